#pragma once
#include <cstdint>

// One character of the font atlas: its rectangle in the atlas, its vertical
// offset (which marks the descenders) and how far the pen moves after it.
struct Glyph {
    std::uint16_t code;
    std::uint16_t x;
    std::uint16_t y;
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t xOffset;
    std::uint16_t yOffset;
    std::uint16_t xAdvance;
};

constexpr int kGlyphCount = 69;

// Sorted by ascending code, so the layout can search it.
extern const Glyph GlyphTable[kGlyphCount];
