#include "scene/shell_motion.h"

#include <cmath>

float skyBrightness(std::int32_t t, float frameTime) {
    if (t < 3000) return static_cast<float>(frameTime / 3000.0);
    return 1.0f;
}

float shellRise(float frameTime) {
    if (frameTime >= 5000.0f) return 0.0f;
    const double quarter = 1.5707963705062866;
    return static_cast<float>(50.0 * std::sin(frameTime / 5000.0 * quarter) - 50.0);
}

float shellBounce(float frameTime, float& bounceStart) {
    if (bounceStart == 0.0f) return 0.0f;
    const float elapsed = frameTime - bounceStart;
    const float g = static_cast<float>(elapsed / 3000.0);
    const float g2 = g + g;
    const float angle = static_cast<float>(6.0 * g2);
    const float sine = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float quotient = static_cast<float>(4.0 * sine / (4.0 * g2 + 1.0));
    float bounce = static_cast<float>(1.7 * quotient);
    if (elapsed > 3000.0f) {
        bounce = 0.0f;
        bounceStart = 0.0f;
    }
    return bounce;
}

void stepBassline(float frameStep, float& intensity, float& bassline, float& pendingBassline,
                  bool& falling) {
    const double step = frameStep * 0.004;
    if (falling) {
        if (intensity > 0.0f) {
            intensity = static_cast<float>(intensity - step);
        } else {
            bassline = pendingBassline;
            falling = false;
        }
    } else {
        if (intensity < 1.0f) {
            intensity = static_cast<float>(intensity + step);
        } else {
            pendingBassline = 0.0f;
            falling = true;
        }
    }
}

float shellFactor(int shell) { return static_cast<float>(shell / 60.0); }

ShellOffset shellOffset(float bounce, float factor, float rise) {
    const double thrown = static_cast<double>(bounce) * factor;
    return ShellOffset{static_cast<float>(thrown * 0.7 - 1.5 + rise),
                       static_cast<float>(thrown * 0.4)};
}

float shellSwing(float frameTime, float factor) {
    const double phase = frameTime * 0.0005 - static_cast<double>(factor) * factor * 0.2;
    return static_cast<float>(std::sin(phase) * 360.0);
}
