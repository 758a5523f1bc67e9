#include "textures/random.h"

void seedRandom(RandomGenerator& generator, std::uint32_t seed) { generator.state = seed; }

std::uint32_t drawRandom(RandomGenerator& generator) {
    generator.state = generator.state * 214013u + 2531011u;
    return (generator.state >> 16) & 0x7FFFu;
}
