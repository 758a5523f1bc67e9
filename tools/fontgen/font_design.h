#pragma once
// The readable font design (glyphs drawn as text on a grid of blocks) and its
// rasterisation into the scroller's coverage atlas.
#include <cstdint>
#include <string>
#include <vector>

struct Glyph;

namespace fontgen {

constexpr int kBlockPixels = 9;

struct GlyphDrawing {
    unsigned char character = 0;
    std::vector<std::string> rows;  // top row first; '#' inked, '.' clear
};

// Parses the design text. On failure returns false and says why in error.
bool ParseDesign(const std::string& text, std::vector<GlyphDrawing>& drawings, std::string& error);

// Draws every glyph of the table into a width x height coverage atlas (row by
// row from the top), bottom-aligned and centred across inside the glyph's
// rectangle. Fails when a glyph has no drawing, a drawing has no glyph, or a
// drawing does not fit its rectangle.
bool RasterizeAtlas(const std::vector<GlyphDrawing>& drawings, const Glyph* table, int glyphCount,
                    int width, int height, std::vector<std::uint8_t>& atlas, std::string& error);

}  // namespace fontgen
