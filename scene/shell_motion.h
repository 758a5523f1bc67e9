#pragma once
#include <cstdint>

// The per-frame values that move the hair shells, kept free of GL so each
// rounding step can be checked on its own. Times are in milliseconds.

constexpr int kShellCount = 60;

// Sky brightness during the fade-in: frameTime / 3000 until t reaches 3000,
// then exactly 1.
float skyBrightness(std::int32_t t, float frameTime);

// Vertical offset of the torus while it rises into view: -50 at 0, easing to
// 0 at 5000 and staying there.
float shellRise(float frameTime);

// Strength of the running bounce, a damped oscillation over 3000 ms from
// bounceStart (0 means none). Ends the bounce, setting bounceStart to 0, on
// the first frame more than 3000 ms after it began.
float shellBounce(float frameTime, float& bounceStart);

// One frame of the bass-wave ramp: the intensity rises and falls at 0.004 per
// ms between 0 and 1, testing before stepping, so it overshoots by up to one
// frame's step. At the bottom the pending bassline takes effect; at the top
// the pending value is reset to 0.
void stepBassline(float frameStep, float& intensity, float& bassline, float& pendingBassline,
                  bool& falling);

// Shell i's offset outwards: i / 60.
float shellFactor(int shell);

// Where shell `factor` sits: y and z of its translation for bounce f and rise d.
struct ShellOffset {
    float y;
    float z;
};
ShellOffset shellOffset(float bounce, float factor, float rise);

// Swing of a shell in degrees about (1, 1, 0); outer shells trail behind.
float shellSwing(float frameTime, float factor);
