#include "shell/gl_extensions.h"

#include <cstddef>

GlExtensions glExtensions;

namespace {

// Same order as the members of GlExtensions.
constexpr const char* kEntryNames[] = {
    "glActiveTextureARB",
    "glGenBuffersARB",
    "glBindBufferARB",
    "glBufferDataARB",
    "glDeleteBuffersARB",
    "glMapBufferARB",
    "glUnmapBufferARB",
    "glCreateShaderObjectARB",
    "glShaderSourceARB",
    "glCompileShaderARB",
    "glCreateProgramObjectARB",
    "glAttachObjectARB",
    "glLinkProgramARB",
    "glUseProgramObjectARB",
    "glGetObjectParameterfvARB",
    "glGetObjectParameterivARB",
    "glGetUniformLocationARB",
    "glUniform1iARB",
    "glUniform1fARB",
    "glUniform2fARB",
    "glUniform3fARB",
    "glUniform4fARB",
    "glUniform1fvARB",
    "glUniform2fvARB",
    "glUniform3fvARB",
    "glUniform4fvARB",
    "glUniformMatrix4fvARB",
    "glGetInfoLogARB",
    "glFramebufferTexture2DEXT",
    "glFramebufferRenderbufferEXT",
    "glBindRenderbufferEXT",
    "glGenFramebuffersEXT",
    "glBindFramebufferEXT",
    "glGenRenderbuffersEXT",
    "glRenderbufferStorageEXT",
    "glGenerateMipmapEXT",
    "glCheckFramebufferStatusEXT",
};

constexpr std::size_t kEntryCount = sizeof(kEntryNames) / sizeof(kEntryNames[0]);
static_assert(kEntryCount == 37);
static_assert(sizeof(GlExtensions) == kEntryCount * sizeof(void*));

// The entries the scene calls; the buffer-object and unused uniform entries
// may be missing without harm.
constexpr bool kRequired[kEntryCount] = {
    true,                                       // multitexture
    false, false, false, false, false, false,   // buffer objects
    true, true, true, true, true, true, true,   // shader objects
    false, true, true,
    false, true, false, false, false, false, false, true, false, true,
    true,
    true, true, true, true, true, true, true, true, true,  // framebuffer objects
};

void** entrySlots() { return reinterpret_cast<void**>(&glExtensions); }

}  // namespace

void LoadGlExtensions(GlProcLookup lookup) {
    void** slots = entrySlots();
    for (std::size_t i = 0; i < kEntryCount; ++i) slots[i] = lookup(kEntryNames[i]);
}

const char* MissingRequiredGlExtension() {
    void** slots = entrySlots();
    for (std::size_t i = 0; i < kEntryCount; ++i)
        if (kRequired[i] && slots[i] == nullptr) return kEntryNames[i];
    return nullptr;
}
