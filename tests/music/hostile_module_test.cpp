// Modules whose counts and indices do not fit the records: each is refused or
// brought within them, and what loads can be played. Run under the address
// and undefined-behaviour sanitizers, any access outside a buffer fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>

#include "music/player.h"
#include "music/format/song_file.h"
#include "music/output/waveout/offline.h"
#include "tests/music/music_test_support.h"

using namespace music_test;

namespace {

xm::Module PlayableModule() {
    xm::Module m = BareModule(4);
    m.patterns[0].rows = 8;
    m.patterns[0].at(0, 0, 4) = xm::Cell{49, 1, 0, 0, 0};
    m.patterns[0].at(2, 1, 4) = xm::Cell{61, 2, 0x30, 0x0A, 0x12};
    m.patterns[0].at(4, 2, 4) = xm::Cell{30, 1, 0, 0x04, 0x44};
    m.patterns[0].at(6, 3, 4) = xm::Cell{97, 0, 0, 0, 0};
    std::vector<std::int16_t> wave;
    for (int i = 0; i < 32; ++i) wave.push_back(static_cast<std::int16_t>(i * 8 - 128));
    xm::Instrument a = xm::InstrumentOf({Sample8(wave, xm::Loop::Forward, 4, 20)});
    a.volumeEnvelope.points = {{0, 64}, {4, 20}, {8, 50}};
    a.volumeEnvelope.type = 7;
    a.volumeEnvelope.sustain = 1;
    a.volumeEnvelope.loopStart = 0;
    a.volumeEnvelope.loopEnd = 2;
    a.fadeout = 100;
    xm::Instrument b = xm::InstrumentOf({Sample8(wave, xm::Loop::PingPong, 2, 28), Sample8(wave)});
    b.noteSample.fill(1);
    m.instruments = {a, b};
    m.orders = {0, 0};
    return m;
}

// Plays a loaded song for a few blocks on the offline device.
void PlayBriefly(Song* song) {
    ASSERT_TRUE(OpenOffline(44100));
    ASSERT_EQ(SongPlay(song), 1);
    SongStop(song);
    CloseOutput();
}

TEST(HostileModule, ChannelCounts) {
    xm::Module none = PlayableModule();
    none.channels = 0;
    none.patterns[0].cells.clear();
    EXPECT_EQ(Load(xm::Write(none)), nullptr);

    // Beyond the 32-entry channel table the extra channels are read and dropped.
    xm::Module wide = PlayableModule();
    wide.channels = 40;
    wide.patterns[0].cells.clear();
    wide.patterns[0].at(1, 31, 40) = xm::Cell{20, 1, 0, 0, 0};
    wide.patterns[0].at(1, 39, 40) = xm::Cell{21, 1, 0, 0, 0};
    xm::Pattern second;
    second.rows = 2;
    second.at(1, 0, 40) = xm::Cell{22, 2, 0, 0, 0};
    wide.patterns.push_back(second);
    wide.orders = {0, 1};
    Song* song = Load(xm::Write(wide));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->channelCount, 32);
    EXPECT_EQ(song->patterns[0].cells[1 * 32 + 31].note, 20);
    EXPECT_EQ(song->patterns[1].cells[1 * 32 + 0].note, 22);
    EXPECT_EQ(song->instrumentCount, 2);
    PlayBriefly(song);
    SongFree(song);
}

TEST(HostileModule, OrderListLengthAndRestart) {
    xm::Module longList = PlayableModule();
    longList.declaredSongLength = 300;
    longList.restart = 280;
    Song* song = Load(xm::Write(longList));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 256);
    EXPECT_EQ(song->restartPosition, 0);
    SongFree(song);

    // An empty order list still plays its first entry, which must exist.
    xm::Module empty = PlayableModule();
    empty.declaredSongLength = 0;
    empty.orders = {3};
    song = Load(xm::Write(empty));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 1);
    EXPECT_EQ(song->patternSlots, 4);
    EXPECT_EQ(song->patterns[3].rows, 64);
    PlayBriefly(song);
    SongFree(song);
}

TEST(HostileModule, PatternWithoutRowsGetsOneEmptyRow) {
    xm::Module m = PlayableModule();
    xm::Pattern zero;
    zero.rows = 0;
    m.patterns.push_back(zero);
    m.orders = {1, 0};
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patterns[1].rows, 1);
    ASSERT_NE(song->patterns[1].cells, nullptr);
    EXPECT_EQ(song->patterns[1].cells[3].note, 0);
    PlayBriefly(song);
    SongFree(song);
}

TEST(HostileModule, EnvelopeCountsAndIndices) {
    xm::Module m = PlayableModule();
    xm::Envelope& v = m.instruments[0].volumeEnvelope;
    v.declaredPoints = 200;
    v.sustain = 150;
    v.loopStart = 1;
    v.loopEnd = 2;
    xm::Envelope& p = m.instruments[1].panningEnvelope;
    p.points = {{0, 10}, {3, 40}, {9, 20}};
    p.type = 7;
    p.sustain = 2;
    p.loopStart = 250;
    p.loopEnd = 1;
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    const Instrument& a = song->instruments[0];
    EXPECT_EQ(a.volumePoints, 12);
    EXPECT_EQ(a.volumeType, 5);  // sustain beyond the points dropped, loop kept
    EXPECT_EQ(a.volumeLoopEnd, 2);
    const Instrument& b = song->instruments[1];
    EXPECT_EQ(b.panningPoints, 3);
    EXPECT_EQ(b.panningType, 3);  // loop start beyond the points dropped
    EXPECT_EQ(b.panningSustain, 2);
    EXPECT_LT(b.panningLoopStart, 3);
    PlayBriefly(song);
    SongFree(song);
}

TEST(HostileModule, LoopsPastTheSampleEnd) {
    xm::Module m = PlayableModule();
    std::vector<std::int16_t> wave(10, 5);
    m.instruments[0].samples = {Sample8(wave, xm::Loop::Forward, 6, 50), Sample8(wave, xm::Loop::PingPong, 12, 4)};
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    const Sample* cut = song->instruments[0].samples[0];
    EXPECT_EQ(cut->loopType, LoopForward);
    EXPECT_EQ(cut->loopStart, 6u);
    EXPECT_EQ(cut->loopLength, 4u);
    EXPECT_EQ(cut->data[10], cut->data[6]);
    const Sample* dropped = song->instruments[0].samples[1];
    EXPECT_EQ(dropped->loopType, LoopNone);
    EXPECT_EQ(dropped->loopLength, 10u);
    PlayBriefly(song);
    SongFree(song);
}

TEST(HostileModule, TooManyInstrumentsAndHugeHeaders) {
    xm::Module many = PlayableModule();
    many.instruments.resize(140, xm::InstrumentOf({}));
    Song* song = Load(xm::Write(many));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->instrumentCount, 128);
    SongFree(song);

    std::vector<std::uint8_t> bytes = xm::Write(PlayableModule());
    bytes[60] = bytes[61] = bytes[62] = bytes[63] = 0xFF;  // header size
    EXPECT_EQ(Load(bytes), nullptr);
}

// A file cut short loads what it holds whole, with a warning, once its module
// header is complete; cut at an instrument's start it reads as a file whose
// trailing empty instruments were left out, which is no fault.
TEST(HostileModule, TruncatedFiles) {
    const xm::Module whole = PlayableModule();
    const std::vector<std::uint8_t> bytes = xm::Write(whole);
    std::vector<std::size_t> instrumentStarts;
    for (std::size_t kept = 0; kept < whole.instruments.size(); ++kept) {
        xm::Module head = whole;
        head.instruments.resize(kept);
        instrumentStarts.push_back(xm::Write(head).size());
    }
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        Song* song = Load(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(size)));
        if (size < 336) {
            EXPECT_EQ(song, nullptr) << size;
            EXPECT_STRNE(SongLoadError(), "") << size;
            continue;
        }
        ASSERT_NE(song, nullptr) << size << ": " << SongLoadError();
        const bool atInstrumentStart =
            std::find(instrumentStarts.begin(), instrumentStarts.end(), size) != instrumentStarts.end();
        EXPECT_EQ(*SongLoadWarning() == '\0', atInstrumentStart) << size << ": " << SongLoadWarning();
        SongFree(song);
    }

    // Cut within the sample data, the module keeps the frames that are there
    // and the sample its length, the rest silent.
    Song* song = Load(std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 20));
    ASSERT_NE(song, nullptr);
    const Sample* last = song->instruments[1].samples[1];
    EXPECT_EQ(last->length, 32u);
    EXPECT_EQ(last->data[11], (11 * 8 - 128) * 256);
    EXPECT_EQ(last->data[12], 0);
    SongFree(song);

    // Cut after the first cell of the pattern data: that cell stays, the
    // instruments are empty, and it plays.
    song = Load(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 336 + 9 + 3));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patterns[0].cells[0].note, 49);
    EXPECT_EQ(song->patterns[0].cells[0].instrument, 1);
    EXPECT_EQ(song->instrumentCount, 2);
    EXPECT_EQ(song->instruments[1].sampleCount, 0);
    EXPECT_EQ(song->instruments[1].samples[0], &emptySample);
    PlayBriefly(song);
    SongFree(song);
}

// Each refusal names its reason in one line.
TEST(HostileModule, RefusalsSayWhy) {
    struct Refusal {
        const char* reason;
        std::vector<std::uint8_t> bytes;
    };
    const std::vector<std::uint8_t> good = xm::Write(PlayableModule());
    std::vector<std::uint8_t> magic = good;
    magic[0] = 'e';
    xm::Module silent = PlayableModule();
    silent.channels = 0;
    silent.patterns[0].cells.clear();
    std::vector<std::uint8_t> header = good;
    header[62] = 0x7F;  // the header size
    xm::Module tall = PlayableModule();
    tall.patterns.push_back(xm::Pattern{});
    tall.patterns[1].rows = 1025;
    // 1000 empty patterns of 256 rows by 32 channels claim 40 MiB of cells
    // with 9 bytes of file each.
    xm::Module claims = BareModule(32);
    claims.patterns[0].rows = 256;
    claims.patterns.resize(1000, claims.patterns[0]);
    const Refusal refusals[] = {
        {"not an extended module: it does not begin with \"Extended Module: \"", magic},
        {"the file ends inside the module header", std::vector<std::uint8_t>(good.begin(), good.begin() + 200)},
        {"the module header declares no channels", xm::Write(silent)},
        {"the module header's size (8323348 bytes) reaches past the end of the file", header},
        {"pattern 2 of 2 has 1025 rows, more than 1024", xm::Write(tall)},
        {"the pattern headers claim more than 32 MiB of pattern cells", xm::Write(claims)},
    };
    for (const Refusal& r : refusals) {
        EXPECT_EQ(Load(r.bytes), nullptr) << r.reason;
        EXPECT_STREQ(SongLoadError(), r.reason);
    }

    // The most the format's tracker writes, 256 patterns of 256 rows by 32
    // channels, stays within the limit.
    claims.patterns.resize(256);
    Song* song = Load(xm::Write(claims));
    ASSERT_NE(song, nullptr) << SongLoadError();
    EXPECT_STREQ(SongLoadError(), "");
    SongFree(song);
}

// Envelope points whose ticks fall back and whose values pass 64 never play
// louder than an envelope held at 64.
TEST(HostileModule, EnvelopesNeverPassFullVolume) {
    auto loudest = [](const std::vector<std::array<std::uint16_t, 2>>& points, bool loop) {
        xm::Module m = BareModule(1);
        m.patterns[0].at(0, 0, 1) = xm::Cell{49, 1, 0, 0, 0};
        std::vector<std::int16_t> square;
        for (int i = 0; i < 32; ++i) square.push_back(i < 16 ? 127 : -127);
        xm::Instrument ins = xm::InstrumentOf({Sample8(square, xm::Loop::Forward, 0, 32)});
        ins.volumeEnvelope.points = points;
        ins.volumeEnvelope.type = loop ? 5 : 1;
        ins.volumeEnvelope.loopEnd = static_cast<std::uint8_t>(points.size() - 1);
        m.instruments = {ins};
        Song* song = Load(xm::Write(m));
        EXPECT_NE(song, nullptr);
        if (!song) return 0;
        const Instrument& loaded = song->instruments[0];
        for (int i = 0; i < loaded.volumePoints; ++i) {
            EXPECT_LE(loaded.volumeEnvelope[i].y, 64);
            if (i > 0) {
                EXPECT_GE(loaded.volumeEnvelope[i].x, loaded.volumeEnvelope[i - 1].x);
            }
        }
        EXPECT_TRUE(OpenOffline(44100));
        EXPECT_EQ(SongPlay(song), 1);
        int peak = 0;
        const std::int16_t* ring = OfflineWaveOutRing();
        for (std::int32_t i = 0; ring && i < 2 * audioOutput.ringFrames; ++i) peak = std::max(peak, std::abs(ring[i]));
        SongStop(song);
        CloseOutput();
        SongFree(song);
        return peak;
    };
    const int full = loudest({{0, 64}, {10, 64}}, false);
    EXPECT_GT(full, 0);
    EXPECT_LE(loudest({{0, 64}, {4, 65535}, {2, 60000}, {1, 300}, {0, 64}}, false), full);
    EXPECT_LE(loudest({{0, 0}, {65535, 200}, {3, 1000}, {65535, 65535}}, true), full);
    EXPECT_LE(loudest({{9, 64}, {5, 64}, {5, 0}, {1, 65}}, true), full);
}

// Random changes to a playable module's bytes: whatever loads also plays.
TEST(HostileModule, MutatedModulesLoadOrAreRefused) {
    const std::vector<std::uint8_t> whole = xm::Write(PlayableModule());
    std::mt19937 random(1234);
    ASSERT_TRUE(OpenOffline(44100));
    int played = 0;
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> bytes = whole;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i) {
            // Most changes land in the header and pattern data, where counts live.
            const std::size_t at = random() % 2 ? 60 + random() % 400 : random() % bytes.size();
            bytes[at % bytes.size()] = static_cast<std::uint8_t>(random());
        }
        Song* song = Load(bytes);
        if (!song) continue;
        ++played;
        // A tempo of 0 or a huge speed must still let the ring fill.
        EXPECT_EQ(SongPlay(song), 1);
        SongFree(song);
    }
    CloseOutput();
    EXPECT_GT(played, 50);
}

}  // namespace
