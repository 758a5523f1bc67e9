// What a player program asks beyond play and stop, on the offline device: the
// length of a pass worked out before playing against where the mixing finds
// it, and the heard clock through a pause and a move to another order.
#include <gtest/gtest.h>

#include <vector>

#include "tests/music/music_test_support.h"

namespace {

using music_test::Load;

// Four orders of 16-row patterns: the second sets speed 3 and tempo 140, the
// third breaks to row 8 of the fourth, the fourth jumps back to the second.
std::vector<std::uint8_t> JumpingModule() {
    xm::Module m = music_test::BareModule(2);
    m.orders = {0, 1, 2, 3};
    m.patterns.assign(4, xm::Pattern{});
    for (xm::Pattern& p : m.patterns) p.rows = 16;
    m.patterns[1].at(0, 0, 2) = xm::Cell{0, 0, 0, EffectSpeedTempo, 3};
    m.patterns[1].at(0, 1, 2) = xm::Cell{0, 0, 0, EffectSpeedTempo, 140};
    m.patterns[2].at(4, 0, 2) = xm::Cell{0, 0, 0, EffectPatternBreak, 0x08};
    m.patterns[3].at(15, 1, 2) = xm::Cell{0, 0, 0, EffectPositionJump, 1};
    return xm::Write(m);
}

// Three orders of one pattern, played through to the restart.
std::vector<std::uint8_t> PlainModule() {
    xm::Module m = music_test::BareModule(2);
    m.orders = {0, 0, 0};
    m.patterns[0].rows = 40;
    return xm::Write(m);
}

// One pattern of 12 rows whose second loop end, without a start of its own,
// shares the first's start and count: rows 2 to 7 loop for ever.
std::vector<std::uint8_t> NeverEndingLoopModule() {
    xm::Module m = music_test::BareModule(2);
    m.patterns[0].rows = 12;
    m.patterns[0].at(2, 1, 2) = xm::Cell{0, 0, 0, EffectExtended, ExtendedPatternLoop << 4 | 0};
    m.patterns[0].at(4, 1, 2) = xm::Cell{0, 0, 0, EffectExtended, ExtendedPatternLoop << 4 | 1};
    m.patterns[0].at(7, 1, 2) = xm::Cell{0, 0, 0, EffectExtended, ExtendedPatternLoop << 4 | 2};
    return xm::Write(m);
}

std::int64_t RenderUntilPassEnd() {
    std::vector<std::int16_t> frames(2 * 4096);
    std::int64_t rendered = 0;
    while (SongPassEndFrame() < 0 && rendered < 600 * 44100) rendered += AudioRender(frames.data(), 4096);
    return SongPassEndFrame();
}

class PlayerControl : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(music_test::OpenOffline(44100)); }
    void TearDown() override {
        if (song_) SongFree(song_);
        music_test::CloseOutput();
    }
    Song* song_ = nullptr;
};

TEST_F(PlayerControl, PassMeasuredBeforePlayingEndsWhereTheMixingFindsIt) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {{"plain", PlainModule()}, {"jumps, breaks and tempo", JumpingModule()}};
    for (const Case& c : cases) {
        for (const PlaybackStyle style : {PlaybackStyle::Intro, PlaybackStyle::Tracker}) {
            SCOPED_TRACE(c.name);
            Song* song = Load(c.bytes);
            ASSERT_NE(song, nullptr);
            SongSetPlaybackStyle(song, style);
            const std::int64_t measured = SongMeasurePass(song, 44100);
            ASSERT_EQ(SongPlay(song), 1);
            EXPECT_EQ(SongMeasurePass(song, 44100), -1) << "not while a song plays";
            EXPECT_GT(measured, 0);
            EXPECT_EQ(RenderUntilPassEnd(), measured);
            SongStop(song);
            SongFree(song);
        }
    }
}

TEST_F(PlayerControl, NeverEndingLoopEndsInTheTrackerStyleWhereARowComesBackWithItsLoopCounts) {
    const std::vector<std::uint8_t> bytes = NeverEndingLoopModule();
    song_ = Load(bytes);
    ASSERT_NE(song_, nullptr);
    // Rows 0..4, 2..4, 5..7 and 2..4: the loop back from row 4 then finds
    // row 2 counting 1 again. Six ticks of 882 frames a row.
    SongSetPlaybackStyle(song_, PlaybackStyle::Tracker);
    const std::int64_t rows = 5 + 3 + 3 + 3;
    EXPECT_EQ(SongMeasurePass(song_, 44100), rows * 6 * 882);
    ASSERT_EQ(SongPlay(song_), 1);
    EXPECT_EQ(RenderUntilPassEnd(), rows * 6 * 882);
    SongStop(song_);
    // The intro's style ends a pass only where an order comes back.
    SongSetPlaybackStyle(song_, PlaybackStyle::Intro);
    EXPECT_EQ(SongMeasurePass(song_, 44100), -1);
}

TEST_F(PlayerControl, HeardClockStandsInAPauseAndGoesOnFromAnotherOrder) {
    const std::vector<std::uint8_t> bytes = JumpingModule();
    song_ = Load(bytes);
    ASSERT_NE(song_, nullptr);
    ASSERT_EQ(SongPlay(song_), 1);
    std::vector<std::int16_t> frames(2 * 4096);
    std::int64_t rendered = 0;
    while (rendered < 44100) rendered += AudioRender(frames.data(), 4096);
    EXPECT_EQ(SongHeardFrames(), rendered);

    SongPause(true);
    EXPECT_TRUE(SongPaused());
    AudioRender(frames.data(), 4096);
    EXPECT_EQ(SongHeardFrames(), rendered) << "the clock stands while paused";

    // The move ends the pause, starts the order at once and keeps the clock,
    // the speed and the tempo that the second order set.
    ASSERT_EQ(SongPlayFromOrder(song_, 2), 1);
    EXPECT_FALSE(SongPaused());
    EXPECT_EQ(SongGetOrder(song_), 2);
    EXPECT_EQ(SongGetRow(song_), 0);
    EXPECT_EQ(SongHeardFrames(), rendered);
    EXPECT_EQ(song_->speed, 3);
    EXPECT_EQ(song_->bpm, 140);
    // The orders before it count as played: the jump back to the second ends
    // the pass, on the heard clock, after rows 0..4 of the third order and
    // 8..15 of the fourth, three ticks of 787 frames each.
    EXPECT_EQ(RenderUntilPassEnd(), rendered + 13 * 3 * 787);
    EXPECT_EQ(SongPlayFromOrder(nullptr, 0), 0);
}

}  // namespace
