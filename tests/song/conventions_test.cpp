// The embedded song, loaded by the program's own loader, against the
// conventions the scene's cues rely on.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "music/format/embedded_song.h"
#include "music/song.h"
#include "music/format/song_file.h"

namespace {

// The arrangement: intro 0, build 1-4, main A 5-12, breakdown 13-16,
// main B 17-25, turnaround 26.
constexpr int kBuildFirst = 1;
constexpr int kBuildLast = 4;
constexpr int kBassFrom = 5;
bool IsMainPart(int order) { return (order >= 5 && order <= 12) || (order >= 17 && order <= 25); }

constexpr int kImpact = 19;
constexpr int kCue = 62;
constexpr int kBassChannel = 4;
constexpr int kCueChannel = 7;

class EmbeddedSong : public ::testing::Test {
protected:
    void SetUp() override {
        MemoryFileSetSource(embeddedSong, embeddedSongSize);
        SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
        song = SongLoad("embedded song", nullptr);
        ASSERT_NE(song, nullptr);
    }
    void TearDown() override { SongFree(song); }

    const PatternCell& cell(int order, int row, int channel) const {
        const Pattern& p = song->patterns[song->orderTable[order]];
        return p.cells[row * song->channelCount + channel];
    }

    Song* song = nullptr;
};

TEST_F(EmbeddedSong, IsTheModuleTheGeneratorWrote) {
    std::ifstream in(SONG_XM_PATH, std::ios::binary);
    ASSERT_TRUE(in) << SONG_XM_PATH;
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(static_cast<std::int32_t>(file.size()), embeddedSongSize);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), embeddedSong));
    EXPECT_LT(embeddedSongSize, 300 * 1024);
}

TEST_F(EmbeddedSong, HeaderFollowsTheSceneTiming) {
    EXPECT_EQ(song->channelCount, 8);
    EXPECT_EQ(song->flags, 0);  // Amiga frequency table
    EXPECT_EQ(song->defaultSpeed, 4);
    EXPECT_EQ(song->defaultBpm, 180);
    EXPECT_GE(song->instrumentCount, 64);
    // The loop skips the intro and lands in the build.
    EXPECT_EQ(song->restartPosition, kBuildFirst);
    ASSERT_GT(song->songLength, kBassFrom);
    for (int i = 0; i < song->patternSlots; ++i) EXPECT_EQ(song->patterns[i].rows, 64) << "pattern " << i;
    for (int instrument : {2, 3, kImpact, kCue}) {
        const Instrument& ins = song->instruments[instrument - 1];
        ASSERT_GT(ins.sampleCount, 0) << "instrument " << instrument;
        EXPECT_GT(ins.samples[0]->length, 0u) << "instrument " << instrument;
    }
}

// Row and tempo effects would move the scene's rows away from the clock the
// scroller's look-ahead and the song length assume.
TEST_F(EmbeddedSong, KeepsSixtyFourRowsAtOneTempo) {
    for (int order = 0; order < song->songLength; ++order) {
        for (int row = 0; row < 64; ++row) {
            for (int ch = 0; ch < song->channelCount; ++ch) {
                const PatternCell& c = cell(order, row, ch);
                const bool extendedRow = c.effect == 14 && (c.parameter >> 4 == 6 || c.parameter >> 4 == 14);
                EXPECT_TRUE(c.effect != 11 && c.effect != 13 && c.effect != 15 && !extendedRow)
                    << "order " << order << " row " << row << " channel " << ch;
            }
        }
    }
    const double seconds = song->songLength * 64.0 * song->defaultSpeed * 2.5 / song->defaultBpm;
    EXPECT_GE(seconds, 90.0);
}

TEST_F(EmbeddedSong, ImpactOpensEachBuildPatternOnTheBassChannel) {
    for (int order = 0; order < kBassFrom; ++order) {
        const bool build = order >= kBuildFirst && order <= kBuildLast;
        EXPECT_EQ(cell(order, 0, kBassChannel).instrument, build ? kImpact : 0) << "order " << order;
        // Nothing else on the channel may move the hair before the bass starts.
        for (int row = 1; row < 64; ++row) {
            EXPECT_EQ(cell(order, row, kBassChannel).instrument, 0) << "order " << order << " row " << row;
        }
    }
}

TEST_F(EmbeddedSong, BassChannelCarriesOnlyBassNotesFromTheMainPartOn) {
    int notes = 0;
    int evenNotes = 0;
    for (int order = kBassFrom; order < song->songLength; ++order) {
        for (int row = 0; row < 64; ++row) {
            const PatternCell& c = cell(order, row, kBassChannel);
            const std::string where = "order " + std::to_string(order) + " row " + std::to_string(row);
            if (c.note == 255 || (c.note == 0 && c.instrument == 0)) continue;
            EXPECT_TRUE(c.instrument == 2 || c.instrument == 3) << where;
            EXPECT_GE(c.note, 56) << where;
            EXPECT_LE(c.note, 71) << where;
            ++notes;
            if (row % 2 == 0) ++evenNotes;
        }
    }
    EXPECT_GT(notes, 100);
    EXPECT_GE(evenNotes * 10, notes * 9);
}

TEST_F(EmbeddedSong, CueLandsEverySixteenRowsOfTheMainPartsAndNowhereElse) {
    int cues = 0;
    for (int order = 0; order < song->songLength; ++order) {
        for (int row = 0; row < 64; ++row) {
            for (int ch = 0; ch < song->channelCount; ++ch) {
                const bool expected = IsMainPart(order) && ch == kCueChannel && row % 16 == 0;
                const bool cue = cell(order, row, ch).instrument == kCue;
                EXPECT_EQ(cue, expected) << "order " << order << " row " << row << " channel " << ch;
                cues += cue;
            }
        }
    }
    EXPECT_EQ(cues, 17 * 4);
}

}  // namespace
