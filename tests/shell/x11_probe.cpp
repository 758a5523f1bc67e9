// Small X11 helper for the end-to-end scripts:
//   x11_probe window NAME TIMEOUT_MS   prints "ID X Y WIDTH HEIGHT" of the first
//                                      viewable top-level window called NAME
//   x11_probe close ID                 sends WM_DELETE_WINDOW, as a window manager does
//   x11_probe lit PNG                  prints the per-mille of non-black screen pixels
//                                      and saves the screen as a PNG
//   x11_probe cursor                   prints how many pixels of the pointer's cursor
//                                      image are not fully transparent (0: hidden)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "shell/headless/image_file.h"

namespace {

bool IsNamed(Display* display, Window window, const char* name) {
    char* title = nullptr;
    if (!XFetchName(display, window, &title) || title == nullptr) return false;
    const bool same = std::strcmp(title, name) == 0;
    XFree(title);
    return same;
}

Window FindViewable(Display* display, Window parent, const char* name) {
    Window root = 0, parentOut = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes)) continue;
        if (attributes.map_state != IsViewable) continue;
        if (IsNamed(display, children[i], name))
            found = children[i];
        else
            found = FindViewable(display, children[i], name);  // below a frame window
    }
    if (children != nullptr) XFree(children);
    return found;
}

int WaitForWindow(Display* display, const char* name, long timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        Window window = FindViewable(display, DefaultRootWindow(display), name);
        if (window != 0) {
            XWindowAttributes attributes;
            XGetWindowAttributes(display, window, &attributes);
            int x = 0, y = 0;
            Window child = 0;
            XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y,
                                  &child);
            std::printf("%lu %d %d %d %d\n", window, x, y, attributes.width, attributes.height);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::fprintf(stderr, "x11_probe: no window \"%s\" after %ld ms\n", name, timeoutMs);
    return 1;
}

int SendClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(display, window, False, NoEventMask, &event)) return 1;
    XSync(display, False);
    return 0;
}

int LitScreen(Display* display, const char* pngPath) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    const auto width = static_cast<unsigned>(attributes.width);
    const auto height = static_cast<unsigned>(attributes.height);
    XImage* image = XGetImage(display, root, 0, 0, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) return 1;
    std::vector<std::uint8_t> rgba(std::size_t{width} * height * 4);
    std::size_t lit = 0;
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, static_cast<int>(x), static_cast<int>(y));
            std::uint8_t* out = &rgba[(std::size_t{y} * width + x) * 4];
            out[0] = static_cast<std::uint8_t>((pixel & image->red_mask) >> 16);
            out[1] = static_cast<std::uint8_t>((pixel & image->green_mask) >> 8);
            out[2] = static_cast<std::uint8_t>(pixel & image->blue_mask);
            out[3] = 255;
            if (out[0] > 8 || out[1] > 8 || out[2] > 8) ++lit;
        }
    XDestroyImage(image);
    WritePng(pngPath, width, height, rgba);
    std::printf("%zu\n", lit * 1000 / (std::size_t{width} * height));
    return 0;
}

int CursorPixels(Display* display) {
    int eventBase = 0, errorBase = 0;
    if (!XFixesQueryExtension(display, &eventBase, &errorBase)) {
        std::fprintf(stderr, "x11_probe: the X server lacks XFIXES\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (image == nullptr) return 1;
    std::size_t visible = 0;
    for (std::size_t i = 0; i < std::size_t{image->width} * image->height; ++i)
        if ((image->pixels[i] >> 24) != 0) ++visible;
    XFree(image);
    std::printf("%zu\n", visible);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_probe: cannot open display\n");
        return 2;
    }
    int status = 2;
    if (command == "window" && argc == 4)
        status = WaitForWindow(display, argv[2], std::strtol(argv[3], nullptr, 10));
    else if (command == "close" && argc == 3)
        status = SendClose(display, std::strtoul(argv[2], nullptr, 10));
    else if (command == "lit" && argc == 3)
        status = LitScreen(display, argv[2]);
    else if (command == "cursor" && argc == 2)
        status = CursorPixels(display);
    else
        std::fprintf(stderr, "usage: x11_probe window NAME TIMEOUT_MS | close ID | lit PNG | cursor\n");
    XCloseDisplay(display);
    return status;
}
