#pragma once
#include <cstdint>

// Makes a cube-map texture (linear filtering, no mipmaps, S and T clamped to
// the edge) from a vertical cross of BGRA bytes; the -Z face is turned by 180
// degrees. Returns the texture name, left bound, or 0 without creating
// anything when the size is not that of a vertical cross.
std::uint32_t makeCubeMap(const std::uint8_t* cross, std::uint32_t crossHeight,
                          std::uint32_t crossWidth);
