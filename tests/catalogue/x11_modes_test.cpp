#include <gtest/gtest.h>

#include <X11/extensions/Xrandr.h>

#include <vector>

#include "shell/x11/x11_modes.h"

namespace {

TEST(X11ModeRate, FromModeLineTimings) {
    // 1920x1080 CEA timings at 148.5 MHz; 1024x768 at 75 Hz (78.75 MHz).
    EXPECT_EQ(X11ModeRate(148500000, 2200, 1125, 0), 60);
    EXPECT_EQ(X11ModeRate(78750000, 1312, 800, 0), 75);
    // 59.94 Hz rounds to 60, 74.6 Hz to 75.
    EXPECT_EQ(X11ModeRate(148351648, 2200, 1125, 0), 60);
    EXPECT_EQ(X11ModeRate(74600000, 1000, 1000, 0), 75);
    // Interlaced lines come twice as often, double-scanned ones half as often.
    EXPECT_EQ(X11ModeRate(74250000, 2200, 1125, RR_Interlace), 60);
    EXPECT_EQ(X11ModeRate(25175000, 800, 525, RR_DoubleScan), 30);
}

TEST(X11ModeRate, LinesWithoutTimingsGiveZero) {
    EXPECT_EQ(X11ModeRate(0, 0, 0, 0), 0);
    EXPECT_EQ(X11ModeRate(148500000, 0, 1125, 0), 0);
    EXPECT_EQ(X11ModeRate(148500000, 2200, 0, 0), 0);
}

TEST(ChooseX11Monitor, PrimaryElseFirstElseTheWholeScreen) {
    const X11Monitor screen{0, 0, 3840, 1080, false};
    const X11Monitor left{0, 0, 1920, 1080, false};
    const X11Monitor right{1920, 0, 1920, 1080, false};
    const X11Monitor rightPrimary{1920, 0, 1920, 1080, true};
    const X11Monitor emptyPrimary{0, 0, 0, 0, true};
    struct Case {
        const char* what;
        std::vector<X11Monitor> monitors;
        X11Monitor expected;
    } cases[] = {
        {"primary second", {left, rightPrimary}, rightPrimary},
        {"no primary", {right, left}, right},
        {"primary without an area", {emptyPrimary, left}, left},
        {"no monitors", {}, screen},
        {"none with an area", {emptyPrimary}, screen},
    };
    for (const Case& c : cases) {
        const X11Monitor chosen = ChooseX11Monitor(c.monitors, screen);
        EXPECT_EQ(chosen.x, c.expected.x) << c.what;
        EXPECT_EQ(chosen.y, c.expected.y) << c.what;
        EXPECT_EQ(chosen.width, c.expected.width) << c.what;
        EXPECT_EQ(chosen.height, c.expected.height) << c.what;
    }
}

TEST(X11BitsPerPixel, TwentyFourBitDepthIsFiledAsThirtyTwo) {
    EXPECT_EQ(X11BitsPerPixel(24), 32);
    EXPECT_EQ(X11BitsPerPixel(32), 32);
    EXPECT_EQ(X11BitsPerPixel(16), 16);
    EXPECT_EQ(X11BitsPerPixel(8), 8);
}

}  // namespace
