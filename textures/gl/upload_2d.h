#pragma once
#include <cstdint>

// Uploads width x height BGRA bytes (see toBgra) as a new mipmapped 2D
// texture with trilinear minification; wrap modes stay at repeat. Returns the
// texture name, left bound to GL_TEXTURE_2D.
std::uint32_t uploadTexture2D(const std::uint8_t* bgra, std::uint32_t width, std::uint32_t height);
