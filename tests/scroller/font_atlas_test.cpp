#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/font_atlas.h"
#include "scene/glyph_table.h"
#include "tools/fontgen/font_design.h"

namespace {

std::uint8_t AtlasAt(int x, int y) { return FontAtlas[y * kFontAtlasWidth + x]; }

const Glyph& GlyphOf(char c) {
    for (const Glyph& glyph : GlyphTable) {
        if (glyph.code == static_cast<unsigned char>(c)) return glyph;
    }
    ADD_FAILURE() << "no glyph for " << c;
    return GlyphTable[0];
}

bool Inside(const Glyph& g, int x, int y) {
    return x >= g.x && x < g.x + g.width && y >= g.y && y < g.y + g.height;
}

// Lowest and highest inked row of a glyph, counted upwards from the bottom
// edge of its rectangle (0 = bottom row); -1 when nothing is inked.
struct InkRows {
    int lowest = -1;
    int highest = -1;
};

InkRows InkOf(const Glyph& g) {
    InkRows rows;
    for (int y = g.y; y < g.y + g.height; ++y) {
        for (int x = g.x; x < g.x + g.width; ++x) {
            if (!AtlasAt(x, y)) continue;
            int up = g.y + g.height - 1 - y;
            if (rows.lowest < 0 || up < rows.lowest) rows.lowest = up;
            if (up > rows.highest) rows.highest = up;
        }
    }
    return rows;
}

}  // namespace

TEST(FontAtlas, EveryInkedTexelBelongsToAGlyphAndEveryGlyphIsInkedFromItsBottomEdge) {
    for (int y = 0; y < kFontAtlasHeight; ++y) {
        for (int x = 0; x < kFontAtlasWidth; ++x) {
            std::uint8_t v = AtlasAt(x, y);
            if (!v) continue;
            ASSERT_EQ(v, 255) << "blocks are fully inked, at " << x << "," << y;
            bool owned = false;
            for (const Glyph& g : GlyphTable) owned = owned || Inside(g, x, y);
            ASSERT_TRUE(owned) << "ink outside every glyph rectangle at " << x << "," << y;
        }
    }
    for (const Glyph& g : GlyphTable) {
        if (g.code == ' ') continue;
        // The layout stands each rectangle's bottom edge on the base line, so
        // a glyph whose ink floated above it would hover over the line.
        EXPECT_EQ(InkOf(g).lowest, 0) << "glyph " << static_cast<char>(g.code);
    }
}

TEST(FontAtlas, DescendersReachBelowTheBaseLineWhileTheirBodiesMatchTheLowerCase) {
    // The layout drops g, p, q and y by 0.025 of the atlas (25.6 pixels); their
    // bowls must then sit where the other lower-case letters stand.
    const double drop = 0.025 * kFontAtlasHeight;
    const InkRows o = InkOf(GlyphOf('o'));
    for (char c : std::string("gpqy")) {
        SCOPED_TRACE(c);
        const InkRows ink = InkOf(GlyphOf(c));
        EXPECT_EQ(ink.lowest, 0);
        EXPECT_NEAR(ink.highest - drop, o.highest, 9.0) << "top of the body against the x-height";
        // Something must be inked below the base line, and something above it.
        EXPECT_GT(drop, ink.lowest + 9);
    }
    // j is drawn with its hook at the bottom of its rectangle too.
    const Glyph& j = GlyphOf('j');
    const Glyph& i = GlyphOf('i');
    EXPECT_GT(InkOf(j).highest - InkOf(i).highest, 9) << "j is an i with a hook under its foot";
}

TEST(FontDesign, RejectsDrawingsThatDoNotFitOrDoNotMatchTheTable) {
    const Glyph table[2] = {{'A', 2, 3, 18, 18, 0, 0, 20}, {'B', 30, 3, 9, 9, 0, 0, 10}};
    std::vector<fontgen::GlyphDrawing> drawings;
    std::vector<std::uint8_t> atlas;
    std::string error;

    struct Case {
        const char* design;
        const char* expect;  // text the error must contain
    };
    const Case cases[] = {
        {"glyph A\n###\n\nglyph B\n#\n", "'A' is drawn 27 x 9"},
        {"glyph A\n##\n##\n##\n\nglyph B\n#\n", "'A' is drawn 18 x 27"},
        {"glyph A\n#\n", "'B' has no drawing"},
        {"glyph A\n#\n\nglyph B\n#\n\nglyph C\n#\n", "'C' is drawn but not in the glyph table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.design);
        ASSERT_TRUE(fontgen::ParseDesign(c.design, drawings, error)) << error;
        EXPECT_FALSE(fontgen::RasterizeAtlas(drawings, table, 2, 64, 32, atlas, error));
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;
    }

    const char* malformed[] = {"glyph A\n#x\n", ".#\n", "glyph A\n##\n#\n", "glyph A\n#\n\nglyph A\n#\n",
                               "glyph AB\n#\n"};
    for (const char* design : malformed) {
        SCOPED_TRACE(design);
        EXPECT_FALSE(fontgen::ParseDesign(design, drawings, error));
        EXPECT_NE(error.find("line "), std::string::npos) << error;
    }
}

TEST(FontDesign, PlacesEachDrawingOnTheBottomOfItsRectangleCentredAcross) {
    // An 18 x 9 drawing in a 27 x 20 rectangle at (5, 4): 4 pixels across to
    // centre it (integer halving), 11 pixels down to stand it on the bottom.
    const Glyph table[1] = {{'A', 5, 4, 27, 20, 0, 0, 30}};
    std::vector<fontgen::GlyphDrawing> drawings;
    std::vector<std::uint8_t> atlas;
    std::string error;
    ASSERT_TRUE(fontgen::ParseDesign("# comment\n\nglyph A\n#.\n", drawings, error)) << error;
    ASSERT_TRUE(fontgen::RasterizeAtlas(drawings, table, 1, 40, 30, atlas, error)) << error;
    int inked = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            bool expected = x >= 9 && x < 18 && y >= 15 && y < 24;
            EXPECT_EQ(atlas[y * 40 + x], expected ? 255 : 0) << x << "," << y;
            inked += atlas[y * 40 + x] != 0;
        }
    }
    EXPECT_EQ(inked, 81);
}
