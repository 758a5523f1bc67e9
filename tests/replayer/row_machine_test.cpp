// Which row plays when: speed, row delay, order steps, jumps, breaks, loops.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "music/format/song_file.h"
#include "music/mix/mixer.h"
#include "tests/replayer/replayer_fixture.h"

namespace replayer_test {
namespace {

using Position = std::pair<int, int>;  // order, row

// The order and row reached after each of a number of ticks.
std::vector<Position> Walk(LoadedSong& loaded, int ticks) {
    std::vector<Position> seen;
    for (int i = 0; i < ticks; ++i) {
        loaded.Tick();
        seen.emplace_back(loaded.song()->order, loaded.song()->row);
    }
    return seen;
}

// The positions at which each row starts, one entry per row.
std::vector<Position> RowStarts(LoadedSong& loaded, int rows) {
    std::vector<Position> seen;
    while (static_cast<int>(seen.size()) < rows) {
        bool first = loaded.song()->tick == 0;
        loaded.Tick();
        if (first) seen.emplace_back(loaded.song()->order, loaded.song()->row);
    }
    return seen;
}

TEST(RowMachine, SpeedSetsTicksPerRowAndZeroMakesEveryTickARow) {
    xm::Module module = SmallModule(1, 8);
    module.speed = 6;
    CellAt(module, 0, 1, 0) = {49, 1, 0, 0, 0};
    LoadedSong six(module);
    ASSERT_NE(six.song(), nullptr);
    std::vector<int> triggers;
    for (int tick = 0; tick < 13; ++tick) {
        six.Tick();
        if (six.channel(0).updateFlags & UpdateTrigger) triggers.push_back(tick);
        EXPECT_EQ(six.song()->row, tick / 6) << "tick " << tick;
    }
    EXPECT_EQ(triggers, std::vector<int>{6});

    CellAt(module, 0, 0, 0) = {0, 0, 0, 15, 0};
    LoadedSong zero(module);
    EXPECT_EQ(Walk(zero, 4), (std::vector<Position>{{0, 0}, {0, 1}, {0, 2}, {0, 3}}));
    EXPECT_EQ(zero.song()->tick, 0);
}

TEST(RowMachine, RowDelayStretchesTheRowAndLaterTicksRunOn) {
    xm::Module module = SmallModule(2, 4);
    module.speed = 3;
    CellAt(module, 0, 0, 0) = {0, 0, 0, 14, 0xE2};
    CellAt(module, 0, 0, 1) = {49, 1, 0x50, 14, 0xC7};  // note cut on tick 7
    LoadedSong loaded(module);
    std::vector<Position> walk = Walk(loaded, 10);
    for (int tick = 0; tick < 9; ++tick) EXPECT_EQ(walk[tick], Position(0, 0)) << tick;
    EXPECT_EQ(walk[9], Position(0, 1));

    LoadedSong cut(module);
    cut.Ticks(7);
    EXPECT_EQ(cut.channel(1).volume, 64);
    cut.Tick();
    EXPECT_EQ(cut.channel(1).volume, 0);
}

TEST(RowMachine, LastOrderContinuesAtRestartPosition) {
    xm::Module module = SmallModule(1, 2);
    AddOrders(module, 3, 2);
    module.speed = 1;
    module.restart = 1;
    LoadedSong loaded(module);
    EXPECT_EQ(Walk(loaded, 8), (std::vector<Position>{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0},
                                                     {2, 1}, {1, 0}, {1, 1}}));

    // A restart position the order list does not reach starts the song over.
    module.restart = 7;
    LoadedSong beyond(module);
    EXPECT_EQ(Walk(beyond, 7).back(), Position(0, 0));
}

TEST(RowMachine, JumpAndBreakInOneRow) {
    xm::Module module = SmallModule(2, 8);
    AddOrders(module, 4, 8);
    module.speed = 1;
    // The jump first: its order, the break's row.
    CellAt(module, 0, 0, 0) = {0, 0, 0, 11, 3};
    CellAt(module, 0, 0, 1) = {0, 0, 0, 13, 0x05};
    LoadedSong jumpFirst(module);
    EXPECT_EQ(Walk(jumpFirst, 2).back(), Position(3, 5));

    // The break first: the jump wins order and row 0.
    CellAt(module, 0, 0, 0) = {0, 0, 0, 13, 0x05};
    CellAt(module, 0, 0, 1) = {0, 0, 0, 11, 3};
    LoadedSong breakFirst(module);
    EXPECT_EQ(Walk(breakFirst, 2).back(), Position(3, 0));
}

TEST(RowMachine, BreakRowsAndJumpsPastTheEnd) {
    xm::Module module = SmallModule(1, 64);
    AddOrders(module, 3, 64);
    module.speed = 1;
    module.restart = 1;
    CellAt(module, 0, 0, 0) = {0, 0, 0, 13, 0x64};  // 64 is above 63: row 0
    CellAt(module, 1, 0, 0) = {0, 0, 0, 13, 0x63};
    CellAt(module, 2, 63, 0) = {0, 0, 0, 13, 0x02};  // past the last order: order 0
    LoadedSong loaded(module);
    EXPECT_EQ(RowStarts(loaded, 4),
              (std::vector<Position>{{0, 0}, {1, 0}, {2, 63}, {0, 2}}));

    CellAt(module, 0, 0, 0) = {0, 0, 0, 11, 9};
    LoadedSong jump(module);
    EXPECT_EQ(RowStarts(jump, 2).back(), Position(0, 0));
}

TEST(RowMachine, BreakToARowTheTargetLacksPlaysAnEmptyRowThenMovesOn) {
    xm::Module module = SmallModule(1, 4);
    AddOrders(module, 3, 4);
    module.speed = 1;
    CellAt(module, 0, 0, 0) = {0, 0, 0, 13, 0x10};
    for (int row = 0; row < 4; ++row) CellAt(module, 1, row, 0) = {49, 1, 0, 0, 0};
    LoadedSong loaded(module);
    EXPECT_EQ(RowStarts(loaded, 3), (std::vector<Position>{{0, 0}, {1, 10}, {2, 0}}));
    EXPECT_EQ(loaded.channel(0).instrument, 0);
    EXPECT_EQ(loaded.channel(0).volume, 0) << "no cell of order 1 was played";
}

TEST(RowMachine, PatternLoopRepeatsAndHighestChannelDecides) {
    xm::Module module = SmallModule(2, 8);
    module.speed = 1;
    CellAt(module, 0, 1, 0) = {0, 0, 0, 14, 0x60};
    CellAt(module, 0, 3, 0) = {0, 0, 0, 14, 0x62};
    LoadedSong loaded(module);
    std::vector<int> rows;
    for (const Position& p : RowStarts(loaded, 11)) rows.push_back(p.second);
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4}));

    CellAt(module, 0, 2, 1) = {0, 0, 0, 14, 0x60};
    CellAt(module, 0, 3, 1) = {0, 0, 0, 14, 0x61};
    LoadedSong two(module);
    rows.clear();
    for (const Position& p : RowStarts(two, 6)) rows.push_back(p.second);
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 3, 2, 3}));
}

TEST(RowMachine, SpeedAndTempoEffect) {
    xm::Module module = SmallModule(2, 4);
    CellAt(module, 0, 0, 0) = {0, 0, 0, 15, 0x1F};
    CellAt(module, 0, 0, 1) = {0, 0, 0, 15, 0x20};
    LoadedSong loaded(module);
    loaded.Tick();
    EXPECT_EQ(loaded.song()->speed, 31);
    EXPECT_EQ(loaded.song()->bpm, 32);
    EXPECT_EQ(loaded.song()->framesPerTick, 3445);
}

TEST(RowMachine, ChannelsBeyondTheTableAreNeverTouched) {
    constexpr int kChannels = 40;
    std::vector<PatternCell> cells(4 * kChannels, PatternCell{49, 1, 0x40, 8, 0x80});
    Pattern pattern{4, cells.data()};
    Song song;
    std::memset(static_cast<void*>(&song), 0, sizeof(song));
    song.patterns = &pattern;
    song.patternSlots = 1;
    song.songLength = 1;
    song.channelCount = kChannels;
    song.speed = 1;
    song.nextRow = -1;
    song.nextOrder = -1;
    song.globalVolume = 64;
    song.tickHandler = ReplayerTick;
    audioOutput.mixingRate = 44100;
    for (int v = 0; v < kVoiceCount; ++v) {
        std::memset(static_cast<void*>(&audioOutput.voices[v]), 0, sizeof(Voice));
        audioOutput.voices[v].index = v;
    }
    for (int c = 0; c < kChannelCount; ++c) {
        std::memset(static_cast<void*>(&audioOutput.channels[c]), 0, sizeof(Channel));
        audioOutput.channels[c].voice = &audioOutput.voices[c];
    }
    for (int i = 0; i < 12; ++i) ReplayerTick(&song);
    for (int v = 0; v < kVoiceCount; ++v) ASSERT_EQ(audioOutput.voices[v].index, v);
    for (int v = 64; v < kVoiceCount; ++v) EXPECT_EQ(audioOutput.voices[v].sample, nullptr);
    EXPECT_EQ(audioOutput.channels[31].note, 48);
    EXPECT_EQ(song.row, 3);

    // Without instruments every note plays the empty sample: nothing to hear.
    EXPECT_EQ(audioOutput.voices[0].sample, &emptySample);
    audioOutput.rampFrames = 128;
    audioOutput.inverseRampFrames = 1.0f / 128.0f;
    std::vector<float> area(2 * 256, 0.0f);
    MixVoices(area.data(), 256);
    for (float value : area) ASSERT_EQ(value, 0.0f);
    EXPECT_EQ(audioOutput.voices[0].sample, nullptr) << "the empty sample ends at once";
}

}  // namespace
}  // namespace replayer_test
