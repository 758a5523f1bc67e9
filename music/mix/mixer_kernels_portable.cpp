// No wide kernels on this processor: the mixer's frame-by-frame code does
// every frame.
#include "music/mix/mixer_kernels.h"

std::int32_t MixConstantWide(const std::int16_t*, std::uint64_t*, std::uint64_t, float*, std::int32_t, float, float) {
    return 0;
}

std::int32_t MixRampedWide(const std::int16_t*, std::uint64_t*, std::uint64_t, float*, std::int32_t, float*, float*,
                           float, float) {
    return 0;
}

std::int32_t ConvertWide(std::int16_t*, const float*, std::int32_t) { return 0; }
