#include <gtest/gtest.h>

#include <cmath>

#include "scene/shell_motion.h"

namespace {

TEST(SkyBrightness, FadesInOverThreeSecondsThenStaysAtOne) {
    EXPECT_EQ(skyBrightness(0, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(skyBrightness(1500, 1500.0f), 0.5f);
    EXPECT_LT(skyBrightness(2999, 2999.0f), 1.0f);
    EXPECT_EQ(skyBrightness(3000, 3000.0f), 1.0f);
    EXPECT_EQ(skyBrightness(600000, 600000.0f), 1.0f);
}

TEST(ShellRise, ComesUpFiftyUnitsAndStopsAtFiveSeconds) {
    EXPECT_EQ(shellRise(0.0f), -50.0f);
    EXPECT_FLOAT_EQ(shellRise(2500.0f), static_cast<float>(50.0 * std::sqrt(0.5) - 50.0));
    EXPECT_LT(shellRise(4999.0f), 0.0f);
    EXPECT_GT(shellRise(4999.0f), -0.001f);
    EXPECT_EQ(shellRise(5000.0f), 0.0f);
    EXPECT_EQ(shellRise(90000.0f), 0.0f);
    float previous = -51.0f;
    for (float t = 0.0f; t <= 5000.0f; t += 250.0f) {
        EXPECT_GT(shellRise(t), previous) << t;
        previous = shellRise(t);
    }
}

TEST(ShellBounce, DampedOscillationForThreeSeconds) {
    float start = 0.0f;
    EXPECT_EQ(shellBounce(1234.0f, start), 0.0f);
    EXPECT_EQ(start, 0.0f);

    start = 1000.0f;
    EXPECT_EQ(shellBounce(1000.0f, start), 0.0f);  // sine of 0
    for (float e : {100.0f, 400.0f, 1000.0f, 2200.0f}) {
        const double closedForm = 6.8 * std::sin(e / 250.0) / (1.0 + e / 375.0);
        EXPECT_NEAR(shellBounce(1000.0f + e, start), closedForm, 1e-5) << e;
        EXPECT_EQ(start, 1000.0f);
    }
    // e = 3000 still bounces; the first frame after it ends the bounce.
    const float last = shellBounce(4000.0f, start);
    EXPECT_NE(last, 0.0f);
    EXPECT_NEAR(last, 6.8 * std::sin(12.0) / 9.0, 1e-5);
    EXPECT_EQ(start, 1000.0f);
    EXPECT_EQ(shellBounce(4001.0f, start), 0.0f);
    EXPECT_EQ(start, 0.0f);
    EXPECT_EQ(shellBounce(4020.0f, start), 0.0f);
}

struct Ramp {
    float intensity = 0.0f;
    float bassline = 0.0f;
    float pending = 0.0f;
    bool falling = false;
    void step(float dt) { stepBassline(dt, intensity, bassline, pending, falling); }
};

TEST(BassRamp, FirstFramesStepByTheirLength) {
    Ramp ramp;
    ramp.step(40.0f);
    EXPECT_FLOAT_EQ(ramp.intensity, 0.16f);
    EXPECT_FALSE(ramp.falling);

    // A 300 ms frame overshoots to 1.2; the next frame only turns the ramp round.
    Ramp slow;
    slow.step(300.0f);
    EXPECT_FLOAT_EQ(slow.intensity, 1.2f);
    slow.pending = 7.0f;
    slow.step(300.0f);
    EXPECT_FLOAT_EQ(slow.intensity, 1.2f);
    EXPECT_TRUE(slow.falling);
    EXPECT_EQ(slow.pending, 0.0f);
    slow.step(300.0f);
    EXPECT_NEAR(slow.intensity, 0.0f, 1e-6);
}

TEST(BassRamp, TriangleOfFiveHundredMillisecondsWithoutNotes) {
    Ramp ramp;
    int turns = 0;
    bool wasFalling = false;
    float highest = 0.0f;
    float lowest = 1.0f;
    for (int frame = 0; frame < 1000; ++frame) {  // 10 s of 10 ms frames
        ramp.step(10.0f);
        if (ramp.falling != wasFalling) ++turns;
        wasFalling = ramp.falling;
        highest = std::max(highest, ramp.intensity);
        lowest = std::min(lowest, ramp.intensity);
        ASSERT_EQ(ramp.bassline, 0.0f);
    }
    // Each 0.04 step plus one idle frame at each end: 26 frames per half period.
    EXPECT_NEAR(turns, 2 * 10000 / 520, 2);
    EXPECT_LT(highest, 1.05f);
    EXPECT_GT(lowest, -0.05f);
}

TEST(BassRamp, PendingBasslineTakesEffectAtTheBottomAndLapsesAtTheTop) {
    Ramp ramp;
    ramp.intensity = 0.5f;
    ramp.pending = 4.0f;  // a bass note: its value waits for the fade-out
    ramp.falling = true;
    int frames = 0;
    while (ramp.falling && frames < 1000) {
        EXPECT_EQ(ramp.bassline, 0.0f);
        ramp.step(20.0f);
        ++frames;
    }
    EXPECT_EQ(ramp.bassline, 4.0f);
    EXPECT_LE(ramp.intensity, 0.0f);
    while (!ramp.falling && frames < 1000) {
        ramp.step(20.0f);
        ++frames;
    }
    EXPECT_EQ(ramp.pending, 0.0f);
    EXPECT_EQ(ramp.bassline, 4.0f);
    while (ramp.falling && frames < 1000) {
        ramp.step(20.0f);
        ++frames;
    }
    EXPECT_EQ(ramp.bassline, 0.0f);  // no new note came: the wave goes flat
    EXPECT_LT(frames, 1000);
}

TEST(ShellPlacement, FactorsOffsetsAndSwing) {
    EXPECT_EQ(shellFactor(0), 0.0f);
    EXPECT_EQ(shellFactor(30), 0.5f);
    EXPECT_EQ(shellFactor(59), static_cast<float>(59.0 / 60.0));

    // At the start every shell sits 51.5 below the origin, whatever the bounce.
    for (int i = 0; i < kShellCount; ++i) {
        const ShellOffset o = shellOffset(0.0f, shellFactor(i), shellRise(0.0f));
        EXPECT_EQ(o.y, -51.5f);
        EXPECT_EQ(o.z, 0.0f);
    }
    // A bounce throws outer shells up and towards the camera.
    const ShellOffset outer = shellOffset(2.0f, 0.5f, 0.0f);
    EXPECT_FLOAT_EQ(outer.y, -0.8f);
    EXPECT_FLOAT_EQ(outer.z, 0.4f);

    EXPECT_EQ(shellSwing(0.0f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(shellSwing(0.0f, 1.0f), static_cast<float>(std::sin(-0.2) * 360.0));
    EXPECT_FLOAT_EQ(shellSwing(std::acos(0.0f) * 2000.0f, 0.0f), 360.0f);
    // Outer shells trail: shell s now is where shell 0 was 400 s^2 ms ago.
    EXPECT_NEAR(shellSwing(7000.0f, 0.5f), shellSwing(6900.0f, 0.0f), 1e-3);
}

}  // namespace
