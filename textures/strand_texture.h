#pragma once
#include <cstdint>
#include <vector>

#include "textures/random.h"

// Side of the strand and base textures, in texels.
constexpr std::uint32_t kNoiseTextureSize = 256;

// The strand texture as BGRA bytes: opaque white dots (about 24 % of the
// texels) on a transparent ground. Seeds the generator with 0 and draws one
// value per texel, column by column.
std::vector<std::uint8_t> strandTextureBytes(RandomGenerator& generator);
