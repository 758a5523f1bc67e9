#include "shell/gl_extensions.h"

GlExtensions glExtensions;

void LoadGlExtensions(GlProcLookup lookup) {
#define QUILLON_GL_LOAD(type, name, required) \
    glExtensions.name = reinterpret_cast<type>(lookup(#name));
    QUILLON_GL_EXTENSIONS(QUILLON_GL_LOAD)
#undef QUILLON_GL_LOAD
}

const char* MissingRequiredGlExtension() {
#define QUILLON_GL_CHECK(type, name, required) \
    if (required && glExtensions.name == nullptr) return #name;
    QUILLON_GL_EXTENSIONS(QUILLON_GL_CHECK)
#undef QUILLON_GL_CHECK
    return nullptr;
}
