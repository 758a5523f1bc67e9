#include "shell/x11/gui_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

#include <ctime>

#include "shell/gl_extensions.h"
#include "shell/gl_headers.h"
#include "shell/x11/x11_modes.h"

#include <GL/glx.h>

namespace {

void* LookupGlx(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

// Refresh rate of the screen's current configuration, or 0 without XRandR.
int RefreshRate(Display* display, Window root) {
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return 0;
    XRRScreenConfiguration* config = XRRGetScreenInfo(display, root);
    if (config == nullptr) return 0;
    const int rate = XRRConfigCurrentRate(config);
    XRRFreeScreenConfigInfo(config);
    return rate;
}

}  // namespace

std::uint32_t GuiX11::time() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

bool GuiX11::init(std::uint32_t, std::uint32_t) {
    return setupStep() && createWindow() && createContext();
}

bool GuiX11::setupStep() {
    if (!readDisplaySettings())
        return false;
    BuildX11ModeCatalogue(display, catalogue);
    return true;
}

bool GuiX11::readDisplaySettings() {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        initError = "cannot connect to the X server (is DISPLAY set?)";
        return false;
    }
    const int screen = DefaultScreen(display);
    // One X screen may span several monitors; the intro covers one of them.
    const X11Monitor monitor = X11IntroMonitor(display);
    windowX = monitor.x;
    windowY = monitor.y;
    width = static_cast<std::uint32_t>(monitor.width);
    height = static_cast<std::uint32_t>(monitor.height);
    desktopWidth = monitor.width;
    desktopHeight = monitor.height;
    frequency = RefreshRate(display, RootWindow(display, screen));
    colorBits = DefaultDepth(display, screen);
    fullscreen = true;
    multiply = 2;
    return true;
}

bool GuiX11::createWindow() {
    Display* dpy = display;
    const int screen = DefaultScreen(dpy);
    const Window root = RootWindow(dpy, screen);

    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1,
                        GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* info = glXChooseVisual(dpy, screen, attributes);
    if (info == nullptr) {
        initError = "no double-buffered RGBA visual with a depth buffer";
        return false;
    }
    visual = info;

    XSetWindowAttributes set{};
    set.colormap = XCreateColormap(dpy, root, info->visual, AllocNone);
    set.background_pixel = BlackPixel(dpy, screen);
    set.border_pixel = 0;
    set.event_mask = KeyPressMask | StructureNotifyMask;
    window = XCreateWindow(dpy, root, windowX, windowY, width, height, 0, info->depth, InputOutput,
                           info->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                           &set);
    if (window == 0) {
        initError = "cannot create the window";
        return false;
    }

    XStoreName(dpy, window, "quillon#1");
    XClassHint classHint{};
    char resName[] = "quillon";
    char resClass[] = "quillon#1";
    classHint.res_name = resName;
    classHint.res_class = resClass;
    XSetClassHint(dpy, window, &classHint);
    // The window manager takes the full-screen state to the monitor the
    // window is on, so the place is asked for as the user's own.
    XSizeHints sizeHints{};
    sizeHints.flags = USPosition | USSize;
    sizeHints.x = windowX;
    sizeHints.y = windowY;
    sizeHints.width = static_cast<int>(width);
    sizeHints.height = static_cast<int>(height);
    XSetWMNormalHints(dpy, window, &sizeHints);

    Atom deleteAtom = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(dpy, window, &deleteAtom, 1);
    wmDeleteWindow = deleteAtom;

    // Full screen is the window manager's business; the state is set before
    // mapping so it applies from the first frame, and the undecorated hint
    // covers managers that ignore it.
    Atom wmState = XInternAtom(dpy, "_NET_WM_STATE", False);
    Atom wmFullscreen = XInternAtom(dpy, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(dpy, window, wmState, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&wmFullscreen), 1);
    struct {
        unsigned long flags, functions, decorations;
        long inputMode;
        unsigned long status;
    } motifHints = {2, 0, 0, 0, 0};
    Atom motifAtom = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
    XChangeProperty(dpy, window, motifAtom, motifAtom, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&motifHints), 5);

    hideCursor();
    XMapRaised(dpy, window);

    // Focus can only go to a viewable window; wait (bounded) until it is.
    XEvent event;
    for (int tries = 0; tries < 200; ++tries) {
        if (XCheckTypedWindowEvent(dpy, window, MapNotify, &event)) {
            XSetInputFocus(dpy, window, RevertToParent, CurrentTime);
            break;
        }
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    return true;
}

bool GuiX11::createContext() {
    auto* info = static_cast<XVisualInfo*>(visual);
    context = glXCreateContext(display, info, nullptr, True);
    XFree(info);
    visual = nullptr;
    if (context == nullptr) {
        initError = "cannot create a GLX context";
        return false;
    }
    if (!glXMakeCurrent(display, window, context)) {
        initError = "cannot make the GLX context current";
        return false;
    }
    LoadGlExtensions(LookupGlx);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    return true;
}

void GuiX11::hideCursor() {
    static char emptyBits[8] = {};
    Pixmap blank = XCreateBitmapFromData(display, window, emptyBits, 8, 8);
    XColor black{};
    Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XDefineCursor(display, window, cursor);
    XFreePixmap(display, blank);
}

void GuiX11::present() {
    glXSwapBuffers(display, window);
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        handleEvent(&event);
    }
}

void GuiX11::handleEvent(const void* raw) {
    const XEvent& event = *static_cast<const XEvent*>(raw);
    switch (event.type) {
    case ConfigureNotify:
        width = static_cast<std::uint32_t>(event.xconfigure.width);
        height = static_cast<std::uint32_t>(event.xconfigure.height);
        glViewport(0, 0, event.xconfigure.width, event.xconfigure.height);
        break;
    case KeyPress: {
        XKeyEvent key = event.xkey;
        if (XLookupKeysym(&key, 0) == XK_Escape) quit = true;
        break;
    }
    case ClientMessage:
        if (static_cast<unsigned long>(event.xclient.data.l[0]) == wmDeleteWindow) quit = true;
        break;
    case DestroyNotify:
        quit = true;
        break;
    default:
        break;
    }
}

void GuiX11::shutdown() {
    if (display == nullptr) return;
    glXMakeCurrent(display, None, nullptr);
    if (context != nullptr) glXDestroyContext(display, context);
    context = nullptr;
    // The window stays until the process ends, as on the other backends.
    XFlush(display);
}
