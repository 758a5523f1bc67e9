#include <gtest/gtest.h>

#include "cue_song.h"
#include "scene/glview.h"
#include "scene/scroller.h"

namespace {

constexpr std::uint8_t kCue = 62;

// Hears (order, row) at frame time t and runs the scroller's cue check.
bool TriggersAt(Scroller& scroller, HeardPosition& heard, int order, int row, std::int32_t t) {
    heard.set(order, row);
    scroller.frameTime = t;
    scroller.checkTrigger();
    return scroller.triggered;
}

}  // namespace

TEST(ScrollerCue, IsSeenSixRowsAheadAlsoAcrossTheOrderBoundary) {
    CueSong music(8, 3);
    music.cell(0, 60, 7).instrument = kCue;
    music.cell(2, 2, 3).instrument = kCue;  // order 2 plays pattern 2
    HeardPosition heard;
    Scroller scroller;
    scroller.songSlot = &music.slot;

    EXPECT_FALSE(TriggersAt(scroller, heard, 0, 53, 100));
    EXPECT_TRUE(TriggersAt(scroller, heard, 0, 54, 150));
    EXPECT_EQ(scroller.triggerTime, 150);
    EXPECT_EQ(scroller.lastRow, 54);

    scroller.triggered = false;
    EXPECT_FALSE(TriggersAt(scroller, heard, 1, 59, 900));
    EXPECT_TRUE(TriggersAt(scroller, heard, 1, 60, 950));
    EXPECT_EQ(scroller.triggerTime, 950);
}

TEST(ScrollerCue, ARunningBurstIsNeverRestartedAndARowIsCheckedOnce) {
    CueSong music(8, 1);
    music.cell(0, 10, 2).instrument = kCue;
    music.cell(0, 10, 5).instrument = kCue;
    music.cell(0, 26, 7).instrument = kCue;
    HeardPosition heard;
    Scroller scroller;
    scroller.songSlot = &music.slot;

    EXPECT_TRUE(TriggersAt(scroller, heard, 0, 4, 1000));
    // The next cue comes while the burst runs: nothing is looked at.
    EXPECT_TRUE(TriggersAt(scroller, heard, 0, 20, 1800));
    EXPECT_EQ(scroller.triggerTime, 1000);
    EXPECT_EQ(scroller.lastRow, 4);

    // The burst is over: the row heard now was never checked, so it fires...
    scroller.triggered = false;
    EXPECT_TRUE(TriggersAt(scroller, heard, 0, 20, 1900));
    EXPECT_EQ(scroller.triggerTime, 1900);
    // ...and a row is checked only once, however long it is heard.
    scroller.triggered = false;
    EXPECT_FALSE(TriggersAt(scroller, heard, 0, 20, 1950));
}

TEST(ScrollerCue, NoSongOrAPositionOutsideTheSongGivesNoCue) {
    HeardPosition heard;
    Scroller scroller;
    EXPECT_FALSE(TriggersAt(scroller, heard, 0, 0, 10));  // no slot at all
    Song* none = nullptr;
    scroller.songSlot = &none;
    EXPECT_FALSE(TriggersAt(scroller, heard, 0, 0, 10));
    EXPECT_EQ(scroller.lastRow, -1);

    CueSong music(8, 2);
    scroller.songSlot = &music.slot;
    // Look-ahead past the last order-table entry: nothing to read, no cue.
    EXPECT_FALSE(TriggersAt(scroller, heard, 255, 60, 20));
    // The order table names a pattern the song does not have.
    music.song.orderTable[3] = 200;
    EXPECT_FALSE(TriggersAt(scroller, heard, 2, 61, 30));
    // A heard row far past the pattern's end.
    EXPECT_FALSE(TriggersAt(scroller, heard, 0, 250, 40));
}

TEST(ScrollerCue, LooksIntoTheEntryAfterTheLastOneInUse) {
    CueSong music(8, 2);
    music.song.songLength = 2;  // entry 2 is beyond the song; it names pattern 0
    music.song.orderTable[2] = 0;
    music.cell(0, 1, 0).instrument = kCue;
    HeardPosition heard;
    Scroller scroller;
    scroller.songSlot = &music.slot;
    EXPECT_TRUE(TriggersAt(scroller, heard, 1, 59, 70));
}

TEST(ScrollerCue, ShortPatternsWrapIntoTheNextOrderAtTheirOwnLength) {
    CueSong music(8, 2);
    music.resize(0, 32);
    music.cell(1, 2, 6).instrument = kCue;
    HeardPosition heard;
    Scroller scroller;
    scroller.songSlot = &music.slot;
    EXPECT_FALSE(TriggersAt(scroller, heard, 0, 27, 10));
    EXPECT_TRUE(TriggersAt(scroller, heard, 0, 28, 20));
}

TEST(ScrollerBurst, DrawsOnePassWhenIdleOrJustTriggeredAndTwentyAtFullStrength) {
    Scroller scroller;
    float zooms[kMaxBurstPasses];
    scroller.burst = 0.7f;
    ASSERT_EQ(scroller.burstZooms(zooms), 1);
    EXPECT_EQ(zooms[0], 0.0f);

    scroller.triggered = true;
    scroller.burst = 0.0f;  // the sine at the trigger frame
    ASSERT_EQ(scroller.burstZooms(zooms), 1);
    EXPECT_EQ(zooms[0], 0.0f);

    scroller.burst = 1.0f;
    ASSERT_EQ(scroller.burstZooms(zooms), 20);
    for (int i = 0; i < 20; ++i) EXPECT_NEAR(zooms[i], 0.1 * i, 1e-5);

    // In between, one pass per 0.05 of burst, the last one at most at 2 x burst.
    for (float burst : {0.25f, 0.6f}) {
        scroller.burst = burst;
        const int passes = scroller.burstZooms(zooms);
        EXPECT_NEAR(passes, burst / 0.05f, 1.0f);
        EXPECT_LE(zooms[passes - 1], 2.0f * burst + 1e-6f);
    }
}

class MusicSync : public ::testing::Test {
protected:
    MusicSync() : view(nullptr) {}
    // The view stops and frees whatever song its slot holds; these are the test's.
    ~MusicSync() override { *view.songSlot = nullptr; }

    void hear(int order, int row, float t) {
        heard.set(order, row);
        view.frameTime = t;
        view.syncToMusic();
    }

    HeardPosition heard;
    GLView view;
};

TEST_F(MusicSync, InstrumentNineteenOnChannelFourStartsOneBounce) {
    CueSong music(8, 1);
    music.cell(0, 0, 4).instrument = 19;
    music.cell(0, 8, 4).instrument = 19;
    music.cell(0, 12, 0).instrument = 19;  // other channels do not act
    music.cell(0, 12, 6).instrument = 19;
    *view.songSlot = &music.song;

    hear(0, 0, 0.0f);  // 0.0 means "no bounce", so none starts
    EXPECT_EQ(view.bounceStart, 0.0f);
    hear(0, 8, 480.0f);
    EXPECT_EQ(view.bounceStart, 480.0f);
    hear(0, 0, 900.0f);  // a running bounce is not restarted
    EXPECT_EQ(view.bounceStart, 480.0f);

    view.bounceStart = 0.0f;
    hear(0, 12, 1000.0f);
    EXPECT_EQ(view.bounceStart, 0.0f);
    EXPECT_EQ(view.lastRow, 12);
}

TEST_F(MusicSync, BassCellsScheduleTheWaveOncePerHeardRow) {
    CueSong music(8, 1);
    music.cell(0, 2, 4) = PatternCell{60, 2, 0, 0, 0};
    music.cell(0, 4, 4) = PatternCell{255, 3, 0, 0, 0};
    music.cell(0, 6, 4) = PatternCell{50, 3, 0, 0, 0};
    *view.songSlot = &music.song;

    hear(0, 2, 100.0f);
    EXPECT_EQ(view.pendingBassline, 4.0f);
    EXPECT_TRUE(view.bassFalling);

    view.bassFalling = false;
    hear(0, 2, 120.0f);  // same row again: already acted on
    EXPECT_FALSE(view.bassFalling);

    hear(0, 4, 200.0f);
    EXPECT_EQ(view.pendingBassline, 199.0f);
    hear(0, 6, 300.0f);
    EXPECT_EQ(view.pendingBassline, -6.0f);
}

TEST_F(MusicSync, FourChannelsNoSongOrAPositionOutsideTheSongChangeNothing) {
    hear(0, 3, 100.0f);  // the slot holds no song
    EXPECT_EQ(view.lastRow, -1);

    // With four channels, "channel 4" of row 0 would be channel 0 of row 1.
    CueSong narrow(4, 1);
    narrow.cell(0, 1, 0).instrument = 19;
    narrow.cell(0, 3, 0) = PatternCell{60, 2, 0, 0, 0};
    *view.songSlot = &narrow.song;
    hear(0, 0, 100.0f);
    hear(0, 2, 200.0f);
    EXPECT_EQ(view.bounceStart, 0.0f);
    EXPECT_FALSE(view.bassFalling);

    // Pattern 1 lies in memory with a cue, but the song counts only pattern 0.
    CueSong music(8, 2, 16);
    music.cell(1, 0, 4).instrument = 19;
    music.song.patternSlots = 1;
    music.song.orderTable[200] = 1;
    *view.songSlot = &music.song;
    hear(0, 16, 300.0f);   // one row past the pattern
    hear(200, 0, 400.0f);  // an order naming a pattern the song lacks
    EXPECT_EQ(view.bounceStart, 0.0f);
    EXPECT_EQ(view.pendingBassline, 0.0f);
    EXPECT_FALSE(view.bassFalling);
}
