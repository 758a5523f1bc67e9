#include "shell/headless/gui_headless.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

#include "shell/gl_extensions.h"
#include "shell/gl_headers.h"

namespace {

void* LookupEgl(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

EGLDisplay SurfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) return EGL_NO_DISPLAY;
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

}  // namespace

GuiHeadless::GuiHeadless(std::uint32_t pbufferWidth, std::uint32_t pbufferHeight, HeadlessApi api)
    : pbufferWidth(pbufferWidth), pbufferHeight(pbufferHeight), api(api) {}

GuiHeadless::~GuiHeadless() {
    shutdown();
}

std::uint32_t GuiHeadless::time() {
    return now;
}

bool GuiHeadless::init(std::uint32_t, std::uint32_t) {
    width = pbufferWidth;
    height = pbufferHeight;
    desktopWidth = static_cast<std::int32_t>(pbufferWidth);
    desktopHeight = static_cast<std::int32_t>(pbufferHeight);
    fullscreen = true;
    multiply = 2;

    EGLDisplay dpy = SurfacelessDisplay();
    if (dpy == EGL_NO_DISPLAY) {
        initError = "no EGL surfaceless display";
        return false;
    }
    if (!eglInitialize(dpy, nullptr, nullptr)) {
        initError = "eglInitialize failed";
        return false;
    }
    display = dpy;

    // Same buffer layout as the windowed backends: RGBA colour, 16-bit depth.
    const bool es2 = api == HeadlessApi::Es2;
    const EGLint configAttribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
        EGL_RENDERABLE_TYPE, es2 ? EGL_OPENGL_ES2_BIT : EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 16,
        EGL_NONE,
    };
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(dpy, configAttribs, &config, 1, &configCount) || configCount < 1) {
        initError = es2 ? "no EGL config with RGBA and depth for OpenGL ES 2.0"
                        : "no EGL config with RGBA and depth for desktop OpenGL";
        return false;
    }

    const EGLint surfaceAttribs[] = {
        EGL_WIDTH, static_cast<EGLint>(pbufferWidth),
        EGL_HEIGHT, static_cast<EGLint>(pbufferHeight),
        EGL_NONE,
    };
    EGLSurface surf = eglCreatePbufferSurface(dpy, config, surfaceAttribs);
    if (surf == EGL_NO_SURFACE) {
        initError = "eglCreatePbufferSurface failed";
        return false;
    }
    surface = surf;

    if (!eglBindAPI(es2 ? EGL_OPENGL_ES_API : EGL_OPENGL_API)) {
        initError = es2 ? "OpenGL ES is not available through EGL" : "desktop OpenGL is not available through EGL";
        return false;
    }
    const EGLint desktopAttribs[] = {
        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
        EGL_NONE,
    };
    const EGLint es2Attribs[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    EGLContext ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, es2 ? es2Attribs : desktopAttribs);
    if (ctx == EGL_NO_CONTEXT) {
        initError = "eglCreateContext failed";
        return false;
    }
    context = ctx;
    if (!eglMakeCurrent(dpy, surf, surf, ctx)) {
        initError = "eglMakeCurrent failed";
        return false;
    }

    // The desktop path's entry points; the ES path calls its library directly.
    if (!es2) LoadGlExtensions(LookupEgl);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    return true;
}

void GuiHeadless::shutdown() {
    if (display == nullptr) return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr) eglDestroyContext(display, context);
    if (surface != nullptr) eglDestroySurface(display, surface);
    // The display stays initialised: EGL hands every caller in the process the
    // same one, and terminating it would pull it from under other shells.
    display = surface = context = nullptr;
}

void GuiHeadless::present() {
    if (display != nullptr) {
        eglSwapBuffers(display, surface);
        glFinish();
    }
    ++presents;
}

std::vector<std::uint8_t> GuiHeadless::readPixels() const {
    const std::size_t rowBytes = std::size_t{width} * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * height);
    if (bottomUp.empty()) return bottomUp;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                 GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (std::uint32_t y = 0; y < height; ++y)
        std::memcpy(&topDown[std::size_t{y} * rowBytes],
                    &bottomUp[std::size_t{height - 1 - y} * rowBytes], rowBytes);
    return topDown;
}
