#pragma once
#include <cstdint>
#include <vector>

#include "textures/lights.h"

// The two environment crosses (kCrossWidth x kCrossHeight BGRA bytes): the
// cube lit by the point lights, and the same with a chequer of 16-texel
// squares 0.1 brighter laid over it for the sky.
struct EnvironmentCrosses {
    std::vector<std::uint8_t> environment;
    std::vector<std::uint8_t> sky;
};

EnvironmentCrosses environmentCrossBytes(const std::vector<Float3>& positions,
                                         const std::vector<Float3>& colors);
