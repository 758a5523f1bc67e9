#include "shell/web/gui_web.h"

#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

namespace {

constexpr const char* kCanvas = "#canvas";

}  // namespace

GuiWeb::~GuiWeb() {
    shutdown();
}

std::uint32_t GuiWeb::time() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
}

bool GuiWeb::init(std::uint32_t requestedWidth, std::uint32_t requestedHeight) {
    width = requestedWidth;
    height = requestedHeight;
    fullscreen = true;
    // Half the display's size, as on the desktop.
    multiply = 2;
    emscripten_set_canvas_element_size(kCanvas, static_cast<int>(width), static_cast<int>(height));
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_TRUE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    context = emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0) {
        context = 0;
        initError = "this browser offers no WebGL";
        return false;
    }
    emscripten_webgl_make_context_current(context);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    return true;
}

void GuiWeb::shutdown() {
    if (!context) return;
    emscripten_webgl_make_context_current(0);
    emscripten_webgl_destroy_context(context);
    context = 0;
}

void GuiWeb::resize(std::uint32_t newWidth, std::uint32_t newHeight) {
    if (newWidth == 0 || newHeight == 0 || !context) return;
    width = newWidth;
    height = newHeight;
    emscripten_set_canvas_element_size(kCanvas, static_cast<int>(width), static_cast<int>(height));
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
}
