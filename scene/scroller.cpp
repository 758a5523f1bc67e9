#include "scene/scroller.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "music/player.h"
#include "scene/font_atlas.h"
#include "scene/glyph_table.h"
#include "scene/pattern_lookup.h"
#include "textures/float_image.h"

namespace {

constexpr std::int32_t kScrollPeriodMs = 63000;
constexpr std::int32_t kLookAheadRows = 6;
constexpr std::int32_t kAssumedPatternRows = 64;
constexpr std::uint8_t kCueInstrument = 62;
constexpr double kDescenderDrop = -0.025;

}  // namespace

int FindGlyph(char c) {
    // Signed 8-bit comparison, as the table's order is searched with it.
    const auto key = static_cast<std::int8_t>(c);
    int lo = 0;
    int hi = kGlyphCount - 1;
    int mid = 0;
    while (lo <= hi) {
        mid = (lo + hi) / 2;
        const auto code = static_cast<std::int8_t>(GlyphTable[mid].code & 0xFF);
        if (key == code) break;
        if (key > code) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return mid;
}

Scroller::~Scroller() {
    delete[] quads;
    delete fontImage;
}

std::vector<std::uint8_t> Scroller::fontBgra() {
    delete fontImage;
    fontImage = new ImageStack(makeImageStack(kFontAtlasWidth, kFontAtlasHeight));
    FloatImage& image = addImage(*fontImage);
    const std::size_t texels = static_cast<std::size_t>(kFontAtlasWidth) * kFontAtlasHeight;
    for (std::size_t n = 0; n < texels; ++n) {
        image.planes[kRed][n] = 1.0f;
        image.planes[kGreen][n] = 1.0f;
        image.planes[kBlue][n] = 1.0f;
        image.planes[kAlpha][n] = static_cast<float>(FontAtlas[n]) / 255.0f;
    }
    for (FloatImage& each : fontImage->images) clampImage(each);
    return toBgra(fontImage->images.front());
}

void Scroller::layoutText(const char* text) {
    int smallest = 0xFFFF;
    int largest = 0;
    for (const Glyph& glyph : GlyphTable) {
        if ((glyph.code & 0xFF) == ' ') continue;
        if (glyph.yOffset < smallest) smallest = glyph.yOffset;
        if (glyph.yOffset > largest) largest = glyph.yOffset;
    }

    delete[] quads;
    glyphCount = static_cast<std::int32_t>(std::strlen(text));
    quads = new GlyphVertex[static_cast<std::size_t>(glyphCount) * 4]{};

    // Without a font image (or with an empty one) the atlas's own size keeps
    // the reciprocals finite.
    float width = kFontAtlasWidth;
    float height = kFontAtlasHeight;
    if (fontImage && fontImage->width > 0 && fontImage->height > 0) {
        width = static_cast<float>(fontImage->width);
        height = static_cast<float>(fontImage->height);
    }
    const auto inverseWidth = static_cast<float>(1.0 / width);
    const auto inverseHeight = static_cast<float>(1.0 / height);

    float x = 0.0f;
    for (std::int32_t i = 0; i < glyphCount; ++i) {
        const Glyph& glyph = GlyphTable[FindGlyph(text[i])];
        const float s0 = static_cast<float>(glyph.x) * inverseWidth;
        const float s1 = static_cast<float>(glyph.x + glyph.width) * inverseWidth;
        const float t0 = static_cast<float>(glyph.y) * inverseHeight;
        const float t1 = static_cast<float>(glyph.y + glyph.height) * inverseHeight;

        // Only the glyphs with the smallest offset (the descenders) drop
        // below the base line; the ramp formula yields exactly the drop there.
        double base = 0.0;
        if (largest > smallest) {
            base = kDescenderDrop *
                   (1.0 - static_cast<double>(glyph.yOffset - smallest) / static_cast<double>(largest - smallest));
            if (base != kDescenderDrop) base = 0.0;
        }
        const auto yb = static_cast<float>(base);
        const auto top = static_cast<float>(static_cast<double>(glyph.height) * inverseHeight + base);
        const auto next = static_cast<float>(x + static_cast<double>(glyph.xAdvance) * inverseWidth);

        GlyphVertex* v = &quads[static_cast<std::size_t>(i) * 4];
        v[0] = {x, top, 0.0f, s0, t0};
        v[1] = {x, yb, 0.0f, s0, t1};
        v[2] = {next, top, 0.0f, s1, t0};
        v[3] = {next, yb, 0.0f, s1, t1};
        x = next;
    }
}

void Scroller::checkTrigger() {
    if (triggered) return;  // a running burst is never restarted
    Song* song = songSlot ? *songSlot : nullptr;
    if (!song) return;

    PositionRecord heard;
    if (!TakeNewHeardRow(song, lastRow, heard)) return;

    std::int32_t order = heard.order;
    std::int32_t target = heard.row + kLookAheadRows;
    std::int32_t rows = PatternRowsAt(song, order);
    if (rows <= 0) rows = kAssumedPatternRows;
    if (target >= rows) {
        // May name the entry after the last one in use; FindCell keeps it
        // inside the table.
        order += 1;
        target -= rows;
    }
    for (std::int32_t channel = 0; channel < song->channelCount; ++channel) {
        const PatternCell* cell = FindCell(*song, order, target, channel);
        if (!cell) return;
        if (cell->instrument == kCueInstrument) {
            triggerTime = frameTime;
            triggered = true;
            return;
        }
    }
}

int Scroller::burstZooms(float zooms[kMaxBurstPasses]) const {
    if (!triggered) {
        zooms[0] = 0.0f;
        return 1;
    }
    int passes = 0;
    for (float e = 0.0f; !(e > burst) && passes < kMaxBurstPasses; e = static_cast<float>(e + 0.05)) {
        zooms[passes++] = static_cast<float>(2.0 * e);
    }
    return passes;
}

ScrollerPose Scroller::advance(std::int32_t t) {
    frameTime = t;
    checkTrigger();
    scrollTime = t % kScrollPeriodMs;

    ScrollerPose pose;
    pose.angle = static_cast<float>(std::sin(scrollTime * 0.001) * 10.0);
    pose.x = static_cast<float>(-3.0 - scrollTime * 0.004);

    // The difference is taken in 64 bits so that no frame time can overflow it.
    const std::int64_t sinceTrigger = static_cast<std::int64_t>(t) - triggerTime;
    const auto phase = static_cast<float>(static_cast<double>(sinceTrigger) * 0.0035);
    burst = static_cast<float>(std::sin(static_cast<double>(phase)));
    if (burst < 0.0f) {
        burst = 0.0f;
        triggered = false;
    }
    pose.passes = burstZooms(pose.zooms);
    return pose;
}
