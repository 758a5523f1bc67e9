// The score's text form: cells, repeats, stacked tracks, echoes, and the
// errors a musician sees.
#include <gtest/gtest.h>

#include "tools/songgen/score.h"

using songgen::ParseScore;
using songgen::Score;

namespace {

int Lookup(const std::string& name) {
    if (name == "kick") return 1;
    if (name == "bass") return 2;
    if (name == "cue") return 62;
    return 0;
}

const xm::Cell& At(const Score& s, int pattern, int row, int channel) {
    return s.patterns[static_cast<std::size_t>(pattern)].cells[static_cast<std::size_t>(row * s.channels + channel)];
}

bool Parse(const std::string& text, Score& score, std::string& error) { return ParseScore(text, Lookup, score, error); }

TEST(Score, ReadsCellsRepeatsAndStackedTracks) {
    const std::string text =
        "song two words\nchannels 4\nspeed 4\nbpm 180\nrestart 1\n"
        "track beat kick   # a comment\n"
        "  ( ( C-4 . )x2 . . . . )x8\n"
        "track line bass\n"
        "  C#4 B-7:v40 == C-0:@kick:A0F .:R82 .:037 A-4:@-:ED2 | G#5:@cue\n"
        "  ( . )x56\n"
        "track fill\n  ( . )x63 .:F06\n"
        "pattern a\n  0 beat\n  3 line + fill\n"
        "pattern b\n"
        "order a b\norder a\n";
    Score s;
    std::string error;
    ASSERT_TRUE(Parse(text, s, error)) << error;
    EXPECT_EQ(s.name, "two words");
    EXPECT_EQ(s.channels, 4);
    EXPECT_EQ(s.speed, 4);
    EXPECT_EQ(s.bpm, 180);
    EXPECT_EQ(s.restart, 1);
    EXPECT_EQ(s.orders, (std::vector<std::uint8_t>{0, 1, 0}));
    ASSERT_EQ(s.patterns.size(), 2u);
    // The nested repeat puts a kick on rows 0 and 2 of every eight.
    for (int row = 0; row < 64; ++row) {
        const bool hit = row % 8 == 0 || row % 8 == 2;
        EXPECT_EQ(At(s, 0, row, 0).note, hit ? 49 : 0) << row;
        EXPECT_EQ(At(s, 0, row, 0).instrument, hit ? 1 : 0) << row;
    }
    EXPECT_EQ(At(s, 0, 0, 3).note, 50);        // C#4
    EXPECT_EQ(At(s, 0, 0, 3).instrument, 2);   // the track's instrument
    EXPECT_EQ(At(s, 0, 1, 3).note, 96);        // B-7, the top note
    EXPECT_EQ(At(s, 0, 1, 3).volume, 0x40);
    EXPECT_EQ(At(s, 0, 2, 3).note, 97);        // key off carries no instrument
    EXPECT_EQ(At(s, 0, 2, 3).instrument, 0);
    EXPECT_EQ(At(s, 0, 3, 3).note, 1);         // C-0
    EXPECT_EQ(At(s, 0, 3, 3).instrument, 1);
    EXPECT_EQ(At(s, 0, 3, 3).effect, 10);
    EXPECT_EQ(At(s, 0, 3, 3).parameter, 0x0F);
    EXPECT_EQ(At(s, 0, 4, 3).note, 0);
    EXPECT_EQ(At(s, 0, 4, 3).instrument, 0);
    EXPECT_EQ(At(s, 0, 4, 3).effect, 27);      // R
    EXPECT_EQ(At(s, 0, 4, 3).parameter, 0x82);
    EXPECT_EQ(At(s, 0, 5, 3).effect, 0);       // arpeggio keeps its parameter
    EXPECT_EQ(At(s, 0, 5, 3).parameter, 0x37);
    EXPECT_EQ(At(s, 0, 6, 3).instrument, 0);   // @- drops the instrument
    EXPECT_EQ(At(s, 0, 6, 3).effect, 14);
    EXPECT_EQ(At(s, 0, 7, 3).note, 69);        // G#5: the # is a sharp, not a comment
    EXPECT_EQ(At(s, 0, 7, 3).instrument, 62);
    EXPECT_EQ(At(s, 0, 63, 3).effect, 15);     // from the stacked track
    for (int row = 0; row < 64; ++row) {
        for (int ch = 0; ch < 4; ++ch) EXPECT_EQ(At(s, 1, row, ch).note, 0);
    }
}

TEST(Score, EchoDelaysATrackAndDropsWhatFallsOffTheEnd) {
    const std::string text =
        "track lead bass\n  A-4:v20:400 ( . )x61 B-4 C-5\n"
        "track echo = lead >3 v18 @kick\n"
        "pattern p\n  1 echo\norder p\n";
    Score s;
    std::string error;
    ASSERT_TRUE(Parse(text, s, error)) << error;
    EXPECT_EQ(At(s, 0, 0, 1).note, 0);
    EXPECT_EQ(At(s, 0, 3, 1).note, 58);
    EXPECT_EQ(At(s, 0, 3, 1).instrument, 1);
    EXPECT_EQ(At(s, 0, 3, 1).volume, 0x18);
    EXPECT_EQ(At(s, 0, 3, 1).effect, 4);
    for (int row = 4; row < 64; ++row) EXPECT_EQ(At(s, 0, row, 1).note, 0) << row;
}

TEST(Score, ErrorsNameTheLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"track t\n  ( . )x63\npattern p\n  0 t\norder p\n", "line 1: track t has 63 rows, not 64"},
        {"track t\n  ( . )x33 ( . )x32\n", "line 1: track t has 65 rows"},
        {"track t snare\n", "line 1: unknown instrument snare"},
        {"track t\n  C-4:@snare ( . )x63\n", "line 2: unknown instrument snare"},
        {"track t\n  H-4 ( . )x63\n", "line 2: bad note H-4"},
        {"track t\n  C-8 ( . )x63\n", "line 2: bad note C-8"},
        {"track t\n  C-4:v05 ( . )x63\n", "line 2: bad volume v05"},
        {"track t\n  C-4:a0F ( . )x63\n", "line 2: bad field a0F"},
        {"track t\n  C-4:A0F:A01 ( . )x63\n", "line 2: bad field A01"},
        {"track t\n  ( . )x64 )\n", "line 2: ')' without '('"},
        {"track t\n  ( ( . )x64\n", "line 1: track t leaves a '(' open"},
        {"track t\n  ( . )y64\n", "line 2: bad repeat )y64"},
        {"track t\n  ( . )x64\ntrack t\n  ( . )x64\n", "line 3: track t defined twice"},
        {"track a\n  C-4 ( . )x63\ntrack b\n  C-4 ( . )x63\npattern p\n  2 a + b\norder p\n",
         "line 6: track b collides on channel 2 row 0"},
        {"pattern p\n  8 t\n", "line 2: bad channel 8"},
        {"pattern p\n  0 nothing\n", "line 2: unknown track nothing"},
        {"track t\n  ( . )x64\npattern p\n  0 t - t\n", "line 4: tracks are joined by +"},
        {"pattern p\norder p q\n", "line 2: unknown pattern q"},
        {"pattern p\norder p\nrestart 1\n", "line 3: restart lies beyond the order"},
        {"pattern p\n", "the score has no order"},
        {"  ( . )x64\n", "line 1: indented line outside a track or pattern"},
        {"speed 40\n", "line 1: speed wants one number from 1 to 31"},
        {"pattern p\nchannels 4\n", "line 2: channels must come before the patterns"},
        {"track e = missing >2\n", "line 1: unknown track missing"},
        {"track t\n  ( . )x64\ntrack e = t 2\n", "line 3: write track NAME = SOURCE >ROWS"},
        {"track t\n  ( . )x64\ntrack e = t >2 v20 v30\n", "line 3: write track NAME = SOURCE >ROWS"},
        {"track t\n  ( . )x64\ntrack e = t >2 @snare\n", "line 3: unknown instrument snare"},
        {"tempo 4\n", "line 1: unknown directive tempo"},
    };
    for (const auto& c : cases) {
        Score s;
        std::string error;
        EXPECT_FALSE(Parse(c.text, s, error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << "got \"" << error << "\" for\n" << c.text;
    }
}

}  // namespace
