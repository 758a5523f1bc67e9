#pragma once
#include <cstdint>
#include <vector>

#include "textures/random.h"

// The base texture as BGRA bytes: opaque grey cloud, white noise (about 34 %
// white) averaged over a 7 x 7 box. Continues the generator's sequence where
// the strand texture left it. The box always divides by 49, so the three
// outermost rows and columns come out darker.
std::vector<std::uint8_t> baseTextureBytes(RandomGenerator& generator);
