#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scene/glyph_table.h"
#include "scene/scroller.h"
#include "textures/float_image.h"

namespace {

const Glyph& GlyphOf(char c) {
    for (const Glyph& glyph : GlyphTable) {
        if (glyph.code == static_cast<unsigned char>(c)) return glyph;
    }
    ADD_FAILURE() << "no glyph for " << c;
    return GlyphTable[0];
}

void LayOut(Scroller& scroller, const char* text, std::uint32_t atlasSize = 1024) {
    scroller.fontImage = new ImageStack(makeImageStack(atlasSize, atlasSize));
    scroller.layoutText(text);
}

}  // namespace

TEST(ScrollerText, IsTheGreetingWithItsLeadInAndEveryCharacterHasAGlyph) {
    EXPECT_EQ(std::strlen(ScrollerText), 180u);
    const std::string text(ScrollerText);
    EXPECT_EQ(text.find_first_not_of(' '), 38u);
    EXPECT_NE(text.find("welcome to quillon number 1     team drisk"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 6), " beer ");
    for (char c : text) {
        EXPECT_EQ(GlyphTable[FindGlyph(c)].code, static_cast<unsigned char>(c)) << "'" << c << "'";
    }
}

TEST(ScrollerLayout, TheWholeTextIs720VerticesAnd9865AtlasPixelsLong) {
    Scroller scroller;
    LayOut(scroller, ScrollerText);
    ASSERT_EQ(scroller.glyphCount, 180);
    const GlyphVertex* last = &scroller.quads[179 * 4];
    EXPECT_NEAR(last[3].x, 9865.0 / 1024.0, 1e-4);
    EXPECT_NEAR(last[3].x, 9.634, 5e-4);
    EXPECT_EQ(scroller.quads[0].x, 0.0f);
}

TEST(ScrollerLayout, QuadsAreAdvanceWideTexturesSpanTheGlyphAndDescendersDrop) {
    Scroller scroller;
    LayOut(scroller, ScrollerText);
    for (int i = 0; i < scroller.glyphCount; ++i) {
        SCOPED_TRACE(::testing::Message() << "character " << i << " '" << ScrollerText[i] << "'");
        const Glyph& g = GlyphOf(ScrollerText[i]);
        const GlyphVertex* v = &scroller.quads[i * 4];
        const bool descender = std::strchr("gpqy", ScrollerText[i]) != nullptr;
        const float base = descender ? -0.025f : 0.0f;

        // Corners in strip order: top left, bottom left, top right, bottom right.
        EXPECT_EQ(v[0].x, v[1].x);
        EXPECT_EQ(v[2].x, v[3].x);
        EXPECT_NEAR(v[2].x - v[0].x, g.xAdvance / 1024.0, 1e-5);
        EXPECT_EQ(v[1].y, base);
        EXPECT_EQ(v[3].y, base);
        EXPECT_NEAR(v[0].y - base, g.height / 1024.0, 1e-6);
        EXPECT_EQ(v[0].y, v[2].y);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(v[k].z, 0.0f);

        EXPECT_FLOAT_EQ(v[0].s, g.x / 1024.0f);
        EXPECT_FLOAT_EQ(v[2].s, (g.x + g.width) / 1024.0f);
        EXPECT_FLOAT_EQ(v[0].t, g.y / 1024.0f);
        EXPECT_FLOAT_EQ(v[1].t, (g.y + g.height) / 1024.0f);
        EXPECT_EQ(v[0].s, v[1].s);
        EXPECT_EQ(v[2].s, v[3].s);

        // The strip's joining quad between two characters has no width.
        if (i > 0) {
            EXPECT_EQ(v[0].x, scroller.quads[i * 4 - 2].x);
        }
    }
}

TEST(ScrollerLayout, TakesTheAtlasSizeFromTheFontImage) {
    Scroller scroller;
    LayOut(scroller, "W", 512);
    const Glyph& w = GlyphOf('W');
    EXPECT_FLOAT_EQ(scroller.quads[0].s, w.x / 512.0f);
    EXPECT_FLOAT_EQ(scroller.quads[2].x, w.xAdvance / 512.0f);
    EXPECT_FLOAT_EQ(scroller.quads[0].y, w.height / 512.0f);
}

TEST(ScrollerLayout, AMissingCharacterTakesTheLastRecordTheSearchProbed) {
    // Probes for '#' (35): R, ?, 3, ., !, then ',' where the search ends.
    EXPECT_EQ(GlyphTable[FindGlyph('#')].code, ',');
    // Above the table: the search runs off its top end at 'z'.
    EXPECT_EQ(GlyphTable[FindGlyph('~')].code, 'z');
    // Bytes above 127 compare as negative and end at the space.
    EXPECT_EQ(GlyphTable[FindGlyph(static_cast<char>(200))].code, ' ');
    // Between 'Z' and 'a': '_' (95) probes R, i, Z, d, b and ends on 'a'.
    EXPECT_EQ(GlyphTable[FindGlyph('_')].code, 'a');

    Scroller scroller;
    LayOut(scroller, "a#a");
    const Glyph& comma = GlyphOf(',');
    EXPECT_EQ(scroller.glyphCount, 3);
    EXPECT_FLOAT_EQ(scroller.quads[4].s, comma.x / 1024.0f);
    EXPECT_NEAR(scroller.quads[6].x - scroller.quads[4].x, comma.xAdvance / 1024.0, 1e-6);
}
