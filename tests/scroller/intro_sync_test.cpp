// The intro with the real song through the offline wave-out device: the play
// cursor follows the frame clock, and every frame is checked against the
// cells of the row that is heard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "music/output/audio_output.h"
#include "music/output/mixing_thread.h"
#include "music/song.h"
#include "music/output/waveout/offline.h"
#include "scene/glview.h"
#include "scene/pattern_lookup.h"
#include "scene/scroller.h"
#include "shell/headless/gui_headless.h"

namespace {

// Frames come every 30 ms, so each row (55.6 ms at the song's speed 4 and
// 180 beats per minute) is heard in two frames or more, from shortly before
// an order starts until well into it; in between the intro runs at a few
// frames per second, as on a slow machine, which keeps the test short.
constexpr std::int32_t kFrameStepMs = 30;
constexpr std::int32_t kSlowFrameStepMs = 400;
constexpr std::int32_t kWindowBeforeMs = 400;
constexpr std::int32_t kWindowAfterMs = 1200;
constexpr int kLastOrder = 5;
constexpr std::uint32_t kBytesPerSecond = 44100 * 4;

const PatternCell* CueChannelCell(const Song& song, PositionRecord at) {
    return FindCell(song, at.order, at.row, 4);
}

bool CueAhead(const Song& song, PositionRecord at) {
    std::int32_t order = at.order;
    std::int32_t row = at.row + 6;
    if (row >= PatternRowsAt(&song, order)) {
        row -= PatternRowsAt(&song, order);
        ++order;
    }
    for (std::int32_t channel = 0; channel < song.channelCount; ++channel) {
        const PatternCell* cell = FindCell(song, order, row, channel);
        if (cell && cell->instrument == 62) return true;
    }
    return false;
}

}  // namespace

TEST(IntroSync, BouncesBassWaveAndBurstsFollowTheHeardRowsOfTheSong) {
    GuiHeadless gui(32, 24);
    ASSERT_TRUE(gui.init(0, 0)) << gui.initError;
    gui.multiply = 2;
    GLView view(&gui);
    view.init();
    Song* song = *view.songSlot;
    ASSERT_NE(song, nullptr) << "the embedded song loads";
    ASSERT_GE(song->channelCount, 5);

    std::vector<int> bounceOrders;
    std::vector<int> bassOrders;
    int bursts = 0;
    std::int32_t heardRow = -1;

    const double orderMs = 64.0 * song->defaultSpeed * 2500.0 / song->defaultBpm;
    const auto nextFrame = [&](std::int32_t t) {
        const double intoOrder = std::fmod(t + kWindowBeforeMs, orderMs);
        return t + (intoOrder < kWindowBeforeMs + kWindowAfterMs ? kFrameStepMs : kSlowFrameStepMs);
    };
    const auto runMs = static_cast<std::int32_t>(kLastOrder * orderMs + kWindowAfterMs);

    for (std::int32_t t = kFrameStepMs; t <= runMs; t = nextFrame(t)) {
        SCOPED_TRACE(::testing::Message() << "t = " << t);
        OfflineWaveOutSetPositionBytes(static_cast<std::uint32_t>(
            static_cast<std::uint64_t>(t) * kBytesPerSecond / 1000 / 4 * 4));
        MixingCatchUp();

        const PositionRecord at = SongGetPosition(song);
        const bool newRow = at.row != heardRow;
        heardRow = at.row;
        const float bounceBefore = view.bounceStart;
        const bool burstBefore = view.scroller->triggered;
        const float pendingBefore = view.pendingBassline;

        view.draw(t);

        const PatternCell* cell = CueChannelCell(*song, at);
        const std::uint8_t instrument = newRow && cell ? cell->instrument : 0;
        if (instrument == 19 && bounceBefore == 0.0f) {
            EXPECT_EQ(view.bounceStart, static_cast<float>(t)) << "bounce starts as its row is heard";
            bounceOrders.push_back(at.order);
        } else if (view.bounceStart != 0.0f) {
            EXPECT_TRUE(bounceBefore == view.bounceStart || instrument == 19)
                << "a bounce starts only on an instrument-19 row";
        }
        if (instrument == 2 || instrument == 3) {
            EXPECT_EQ(view.pendingBassline, static_cast<float>(cell->note - 56));
            bassOrders.push_back(at.order);
        } else {
            EXPECT_EQ(view.pendingBassline, pendingBefore) << "no bass change without a bass row";
        }
        if (!burstBefore && view.scroller->triggered) {
            EXPECT_TRUE(CueAhead(*song, at)) << "burst six rows before a cue, heard row " << int(at.row);
            EXPECT_EQ(view.scroller->triggerTime, t);
            ++bursts;
        } else if (!burstBefore && newRow) {
            EXPECT_FALSE(CueAhead(*song, at)) << "a cue six rows ahead must burst";
        }
    }

    EXPECT_EQ(bounceOrders, (std::vector<int>{1, 2, 3, 4}));
    ASSERT_FALSE(bassOrders.empty());
    EXPECT_EQ(bassOrders.front(), 5) << "the bass wave follows the song from order 5 on";
    EXPECT_GT(bursts, 0);
}
