#pragma once
#include <array>
#include <cstdint>
#include <vector>

// A floating-point RGBA image: four planes of width x height floats, row-major,
// row 0 on top. Generators address the planes by index through `planes`.
struct FloatImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::array<std::vector<float>, 4> planes;
};

enum PlaneIndex { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };

// Images of one size; each generator works on stacks of one image.
struct ImageStack {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<FloatImage> images;
};

ImageStack makeImageStack(std::uint32_t width, std::uint32_t height);

// Appends a new image of the stack's size, all planes at 0, and returns it.
// The reference stays valid until the next addImage on the same stack.
FloatImage& addImage(ImageStack& stack);

// Limits every texel of all four planes to 0 ... 1; NaN is left as it is.
void clampImage(FloatImage& image);

// Bytes blue, green, red, alpha per texel: the value times 255, truncated,
// low 8 bits. NaN and values beyond the 64-bit range give 0.
std::vector<std::uint8_t> toBgra(const FloatImage& image);
