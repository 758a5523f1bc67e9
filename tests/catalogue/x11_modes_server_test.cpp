// Runs against a private Xvfb (see xvfb_run.sh): adds mode lines to the
// server's only output in a scrambled order and reads the catalogue back.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/x11/x11_modes.h"

namespace {

struct Line {
    unsigned width, height;
    unsigned long dotClock;
    unsigned hTotal, vTotal;
};

void AddModes(Display* display, const std::vector<Line>& lines) {
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResources(display, root);
    ASSERT_NE(resources, nullptr);
    ASSERT_GE(resources->noutput, 1);
    int n = 0;
    for (const Line& line : lines) {
        std::string name = "test" + std::to_string(n++);
        XRRModeInfo mode{};
        mode.width = line.width;
        mode.height = line.height;
        mode.dotClock = line.dotClock;
        mode.hTotal = line.hTotal;
        mode.vTotal = line.vTotal;
        mode.name = name.data();
        mode.nameLength = static_cast<unsigned>(name.size());
        RRMode id = XRRCreateMode(display, root, &mode);
        XRRAddOutputMode(display, resources->outputs[0], id);
    }
    XSync(display, False);
    XRRFreeScreenResources(resources);
}

std::vector<std::int32_t> Rates(const ModeCatalogue& catalogue, std::int32_t width, std::int32_t height) {
    const FrequencyArray* rates = CatalogueFrequencies(catalogue, ResolutionKey(width, height));
    return rates ? std::vector<std::int32_t>(rates->items, rates->items + rates->count) : std::vector<std::int32_t>{};
}

TEST(X11ModeCatalogue, FilesTheServerModesAtItsDepth) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs DISPLAY (run through xvfb_run.sh)";
    int screen = DefaultScreen(display);
    std::int32_t width = DisplayWidth(display, screen);
    std::int32_t height = DisplayHeight(display, screen);
    ASSERT_EQ(width, 1280);
    ASSERT_EQ(height, 1024);
    // Scrambled: a second line at a known rate, a second rate of the desktop size, one
    // width at two heights.
    AddModes(display, {{1024, 768, 78750000, 1312, 800},
                       {640, 480, 25200000, 800, 525},
                       {1024, 768, 65000000, 1344, 806},
                       {1280, 1024, 157500000, 1728, 1072},
                       {1024, 600, 49000000, 1312, 622},
                       {640, 480, 25175000, 800, 525}});
    ModeCatalogue catalogue;
    BuildX11ModeCatalogue(display, catalogue);

    if (DefaultDepth(display, screen) == 24) {
        std::vector<std::uint32_t> keys(catalogue.modeKeys.items, catalogue.modeKeys.items + catalogue.modeKeys.count);
        EXPECT_EQ(keys, (std::vector<std::uint32_t>{ResolutionKey(640, 480), ResolutionKey(1024, 600),
                                                    ResolutionKey(1024, 768), ResolutionKey(1280, 1024)}));
        // The desktop comes first; the virtual server's own mode has no timings.
        EXPECT_EQ(Rates(catalogue, 1280, 1024), (std::vector<std::int32_t>{0, 85}));
        EXPECT_EQ(Rates(catalogue, 1024, 768), (std::vector<std::int32_t>{75, 60}));
        EXPECT_EQ(Rates(catalogue, 640, 480), (std::vector<std::int32_t>{60}));
        const DisplayMode* desktop = CatalogueMode(catalogue, ResolutionKey(1280, 1024));
        ASSERT_NE(desktop, nullptr);
        EXPECT_EQ(desktop->bitsPerPixel, 32);
        EXPECT_EQ(desktop->frequency, 0);
    } else {
        // No mode of another depth is filed, the desktop's included.
        EXPECT_EQ(catalogue.modeKeys.count, 0u);
        EXPECT_EQ(catalogue.modeTree, nullptr);
        EXPECT_EQ(catalogue.frequencyTree, nullptr);
    }
    CatalogueFree(catalogue);
    XCloseDisplay(display);
}

// Two monitors side by side on one screen, the primary one lower down and
// smaller: the intro covers that one, not the whole screen.
TEST(X11IntroMonitor, IsThePrimaryMonitorOfTheScreen) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "needs DISPLAY (run through xvfb_run.sh)";
    Window root = DefaultRootWindow(display);
    const X11Monitor whole = X11IntroMonitor(display);
    EXPECT_EQ(whole.x, 0);
    EXPECT_EQ(whole.y, 0);
    EXPECT_EQ(whole.width, 1280);
    EXPECT_EQ(whole.height, 1024);

    const Atom names[] = {XInternAtom(display, "TEST-LEFT", False), XInternAtom(display, "TEST-RIGHT", False)};
    for (int i = 0; i < 2; ++i) {
        XRRMonitorInfo* monitor = XRRAllocateMonitor(display, 0);
        monitor->name = names[i];
        monitor->x = 640 * i;
        monitor->y = 100 * i;
        monitor->width = 640;
        monitor->height = i == 0 ? 1024 : 480;
        monitor->mwidth = 160;
        monitor->mheight = 120;
        monitor->primary = i == 1;
        XRRSetMonitor(display, root, monitor);
        XRRFreeMonitors(monitor);
    }
    XSync(display, False);
    const X11Monitor primary = X11IntroMonitor(display);
    EXPECT_EQ(primary.x, 640);
    EXPECT_EQ(primary.y, 100);
    EXPECT_EQ(primary.width, 640);
    EXPECT_EQ(primary.height, 480);

    for (Atom name : names) XRRDeleteMonitor(display, root, name);
    XCloseDisplay(display);
}

}  // namespace
