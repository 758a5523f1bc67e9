#pragma once
#include <cstdint>

constexpr int kFontAtlasWidth = 1024;
constexpr int kFontAtlasHeight = 1024;

// Coverage of the scroller's typeface, row by row from the top row: 0 clear,
// 255 inked. Generated at build time from tools/fontgen/glyphs.txt.
extern const std::uint8_t FontAtlas[kFontAtlasWidth * kFontAtlasHeight];
