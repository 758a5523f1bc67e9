#include "shell/x11/x11_modes.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace {

const XRRModeInfo* FindMode(const XRRScreenResources* resources, RRMode id) {
    for (int i = 0; i < resources->nmode; ++i)
        if (resources->modes[i].id == id)
            return &resources->modes[i];
    return nullptr;
}

RROutput CatalogueOutput(Display* display, Window root, const XRRScreenResources* resources) {
    RROutput primary = XRRGetOutputPrimary(display, root);
    for (int i = 0; i < resources->noutput; ++i)
        if (resources->outputs[i] == primary)
            return primary;
    return resources->noutput > 0 ? resources->outputs[0] : 0;
}

std::int32_t ModeLineRate(const XRRModeInfo& mode) {
    return X11ModeRate(mode.dotClock, mode.hTotal, mode.vTotal, mode.modeFlags);
}

// The rate of the mode the output's CRTC is showing, else what the older
// screen-configuration request reports.
std::int32_t CurrentRate(Display* display, Window root, XRRScreenResources* resources, RROutput output) {
    std::int32_t rate = 0;
    if (XRROutputInfo* info = output ? XRRGetOutputInfo(display, resources, output) : nullptr) {
        if (info->crtc) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, info->crtc)) {
                if (const XRRModeInfo* mode = FindMode(resources, crtc->mode))
                    rate = ModeLineRate(*mode);
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(info);
    }
    if (rate == 0) {
        if (XRRScreenConfiguration* config = XRRGetScreenInfo(display, root)) {
            rate = XRRConfigCurrentRate(config);
            XRRFreeScreenConfigInfo(config);
        }
    }
    return rate;
}

}  // namespace

std::int32_t X11BitsPerPixel(int depth) {
    return depth == 24 ? 32 : depth;
}

std::int32_t X11ModeRate(unsigned long dotClock, unsigned hTotal, unsigned vTotal, unsigned long modeFlags) {
    double lines = vTotal;
    if (modeFlags & RR_DoubleScan)
        lines *= 2.0;
    if (modeFlags & RR_Interlace)
        lines /= 2.0;
    double pixels = static_cast<double>(hTotal) * lines;
    if (pixels <= 0.0)
        return 0;
    return static_cast<std::int32_t>(static_cast<double>(dotClock) / pixels + 0.5);
}

X11Monitor ChooseX11Monitor(const std::vector<X11Monitor>& monitors, const X11Monitor& screen) {
    const X11Monitor* first = nullptr;
    for (const X11Monitor& monitor : monitors) {
        if (monitor.width <= 0 || monitor.height <= 0)
            continue;
        if (monitor.primary)
            return monitor;
        if (!first)
            first = &monitor;
    }
    return first ? *first : screen;
}

X11Monitor X11IntroMonitor(Display* display) {
    const int screen = DefaultScreen(display);
    const X11Monitor whole{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen), false};
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // Asking an older server for monitors is a protocol error, which ends the program.
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return whole;
    int count = 0;
    XRRMonitorInfo* found = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
    std::vector<X11Monitor> monitors;
    for (int i = 0; i < count; ++i)
        monitors.push_back({found[i].x, found[i].y, found[i].width, found[i].height, found[i].primary != 0});
    if (found)
        XRRFreeMonitors(found);
    return ChooseX11Monitor(monitors, whole);
}

void BuildX11ModeCatalogue(Display* display, ModeCatalogue& catalogue) {
    int screen = DefaultScreen(display);
    Window root = RootWindow(display, screen);
    std::int32_t bitsPerPixel = X11BitsPerPixel(DefaultDepth(display, screen));
    const X11Monitor monitor = X11IntroMonitor(display);
    DisplayMode desktop{monitor.width, monitor.height, 0, bitsPerPixel};

    int eventBase = 0;
    int errorBase = 0;
    // What the server already knows: a fresh probe of the outputs can stall start-up.
    XRRScreenResources* resources =
        XRRQueryExtension(display, &eventBase, &errorBase) ? XRRGetScreenResourcesCurrent(display, root) : nullptr;
    if (!resources) {
        CatalogueInsert(catalogue, desktop);
        return;
    }
    RROutput output = CatalogueOutput(display, root, resources);
    desktop.frequency = CurrentRate(display, root, resources, output);
    CatalogueInsert(catalogue, desktop);
    if (XRROutputInfo* info = output ? XRRGetOutputInfo(display, resources, output) : nullptr) {
        for (int i = 0; i < info->nmode; ++i) {
            if (const XRRModeInfo* mode = FindMode(resources, info->modes[i]))
                CatalogueInsert(catalogue, {static_cast<std::int32_t>(mode->width),
                                            static_cast<std::int32_t>(mode->height), ModeLineRate(*mode),
                                            bitsPerPixel});
        }
        XRRFreeOutputInfo(info);
    }
    XRRFreeScreenResources(resources);
}
