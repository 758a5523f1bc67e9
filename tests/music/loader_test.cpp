// The memory file, the file-operation table and the module loader, on
// modules written by the module writer.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "music/player.h"
#include "music/format/song_file.h"
#include "music/replay/replayer.h"
#include "tests/music/music_test_support.h"

using namespace music_test;

namespace {

PatternCell Cell(const Song* song, int pattern, int row, int channel) {
    return song->patterns[pattern].cells[row * song->channelCount + channel];
}

TEST(MemoryFile, ReadsSeeksAndStopsAtItsEnds) {
    const std::vector<std::uint8_t> bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    MemoryFileSetSource(bytes.data(), 10);
    void* f = MemoryFileOpen("ignored");
    ASSERT_NE(f, nullptr);
    std::uint8_t out[16] = {};
    EXPECT_EQ(MemoryFileRead(out, 4, f), 4);
    EXPECT_EQ(out[3], 4);
    MemoryFileSeek(f, -2, 1);
    EXPECT_EQ(MemoryFileTell(f), 2);
    // A read that reaches the end delivers what is left.
    EXPECT_EQ(MemoryFileRead(out, 100, f), 8);
    EXPECT_EQ(out[7], 10);
    EXPECT_EQ(MemoryFileRead(out, 1, f), 0);
    MemoryFileSeek(f, 10, 2);
    EXPECT_EQ(MemoryFileTell(f), 10);
    EXPECT_EQ(MemoryFileRead(out, 1, f), 0);
    MemoryFileSeek(f, -3, 2);
    EXPECT_EQ(MemoryFileTell(f), 7);
    MemoryFileSeek(f, 5, 7);  // unknown origin
    EXPECT_EQ(MemoryFileTell(f), 7);
    MemoryFileSeek(f, -100, 1);
    EXPECT_EQ(MemoryFileTell(f), 0);
    EXPECT_EQ(MemoryFileRead(out, 2, f), 2);
    EXPECT_EQ(out[0], 1);
    MemoryFileClose(f);
}

TEST(MemoryFile, ANullSourceIsAnEmptyFile) {
    MemoryFileSetSource(nullptr, 0);
    void* f = MemoryFileOpen(nullptr);
    EXPECT_EQ(static_cast<MemoryFile*>(f)->size, 0);
    MemoryFileClose(f);
}

TEST(FileOps, AnIncompleteTableInstallsNothing) {
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    EXPECT_TRUE(FileOpsInstalled());
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, nullptr, MemoryFileTell);
    EXPECT_FALSE(FileOpsInstalled());
    EXPECT_EQ(fileOps.open, nullptr);
    EXPECT_EQ(AudioOpen(44100), 0);
    const std::vector<std::uint8_t> bytes = xm::Write(BareModule());
    MemoryFileSetSource(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    EXPECT_EQ(SongLoad("module", nullptr), nullptr);
}

TEST(SongLoad, ReadsTheHeader) {
    xm::Module m = BareModule(6);
    m.flags = 1;
    m.speed = 4;
    m.bpm = 180;
    m.restart = 1;
    m.orders = {0, 0, 0};
    m.instruments.push_back(xm::InstrumentOf({}));
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->songLength, 3);
    EXPECT_EQ(song->restartPosition, 1);
    EXPECT_EQ(song->channelCount, 6);
    EXPECT_EQ(song->instrumentCount, 1);
    EXPECT_EQ(song->flags, 1);
    EXPECT_EQ(song->defaultSpeed, 4);
    EXPECT_EQ(song->defaultBpm, 180);
    EXPECT_EQ(song->initialGlobalVolume, 64);
    EXPECT_EQ(song->tickHandler, &ReplayerTick);
    EXPECT_EQ(song->patternsUsed, 1);
    EXPECT_EQ(song->patternSlots, 1);
    EXPECT_EQ(SongFree(song), 1);
    EXPECT_EQ(SongFree(nullptr), 0);

    std::vector<std::uint8_t> bytes = xm::Write(m);
    bytes[16] = '_';  // the magic's trailing blank
    EXPECT_EQ(Load(bytes), nullptr);
}

TEST(SongLoad, FillsPatternsTheOrderTableNamesButTheFileLacks) {
    xm::Module m = BareModule(2);
    for (int i = 0; i < 2; ++i) m.patterns.push_back(m.patterns[0]);
    m.patterns[2].at(3, 1, 2) = xm::Cell{50, 1, 0, 0, 0};  // named by no order
    m.orders = {0, 5, 1};
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->patternsUsed, 6);
    EXPECT_EQ(song->patternSlots, 6);
    EXPECT_EQ(Cell(song, 2, 3, 1).note, 50);
    for (int p = 3; p < 6; ++p) {
        ASSERT_EQ(song->patterns[p].rows, 64);
        for (int i = 0; i < 64 * 2; ++i) EXPECT_EQ(song->patterns[p].cells[i].note, 0);
    }
    SongFree(song);
}

TEST(SongLoad, UnpacksCells) {
    xm::Module m = BareModule(2);
    m.patterns[0].at(0, 0, 2) = xm::Cell{97, 129, 16, 12, 34};  // written unpacked
    m.patterns[0].at(0, 1, 2) = xm::Cell{96, 128, 0, 0, 0};     // written with a mask
    m.patterns[0].at(1, 1, 2) = xm::Cell{0, 0, 0x40, 0, 7};
    // An empty pattern is written with packed size 0 and reads no data bytes;
    // a mask byte with no bits is an empty cell.
    xm::Pattern empty;
    empty.rows = 2;
    xm::Pattern raw;
    raw.rows = 1;
    raw.useRawPacked = true;
    raw.rawPacked = {0x80, 0x83, 13, 2};
    m.patterns.push_back(empty);
    m.patterns.push_back(raw);
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    const PatternCell a = Cell(song, 0, 0, 0);
    EXPECT_EQ(a.note, 255);
    EXPECT_EQ(a.instrument, 0);
    EXPECT_EQ(a.volume, 16);
    EXPECT_EQ(a.effect, 12);
    EXPECT_EQ(a.parameter, 34);
    EXPECT_EQ(Cell(song, 0, 0, 1).note, 96);
    EXPECT_EQ(Cell(song, 0, 0, 1).instrument, 128);
    EXPECT_EQ(Cell(song, 0, 1, 1).volume, 0x40);
    EXPECT_EQ(Cell(song, 0, 1, 1).effect, 0);
    EXPECT_EQ(Cell(song, 0, 1, 1).parameter, 7);
    EXPECT_EQ(song->patterns[1].rows, 2);
    EXPECT_EQ(Cell(song, 1, 1, 1).note, 0);
    const PatternCell none = Cell(song, 2, 0, 0);
    EXPECT_EQ(none.note | none.instrument | none.volume | none.effect | none.parameter, 0);
    EXPECT_EQ(Cell(song, 2, 0, 1).note, 13);
    EXPECT_EQ(Cell(song, 2, 0, 1).instrument, 2);
    SongFree(song);
}

TEST(SongLoad, NormalisesSampleLoops) {
    xm::Module m = BareModule();
    std::vector<std::int16_t> frames(40, 0);
    xm::Sample both = Sample8(frames, xm::Loop::Both, 8, 16);
    xm::Sample forward = Sample8(frames, xm::Loop::Forward, 8, 16);
    xm::Sample noLength = Sample8(frames, xm::Loop::Forward, 8, 0);
    xm::Sample none = Sample8(frames, xm::Loop::None, 8, 16);
    xm::Sample wide;
    wide.sixteenBit = true;
    wide.frames.assign(500, 0);  // 1000 bytes
    wide.loop = xm::Loop::Forward;
    wide.loopStart = 50;  // 100 bytes
    wide.loopLength = 200;
    m.instruments.push_back(xm::InstrumentOf({both, forward, noLength, none, wide}));
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    Sample* const* s = song->instruments[0].samples;
    EXPECT_EQ(song->instruments[0].sampleCount, 5);
    EXPECT_EQ(s[0]->loopType, LoopPingPong);
    EXPECT_EQ(s[1]->loopType, LoopForward);
    EXPECT_EQ(s[1]->loopStart, 8u);
    EXPECT_EQ(s[1]->loopLength, 16u);
    for (int i : {2, 3}) {
        EXPECT_EQ(s[i]->loopType, LoopNone);
        EXPECT_EQ(s[i]->loopStart, 0u);
        EXPECT_EQ(s[i]->loopLength, 40u);
    }
    EXPECT_EQ(s[4]->length, 500u);
    EXPECT_EQ(s[4]->loopStart, 50u);
    EXPECT_EQ(s[4]->loopLength, 200u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s[i]->bits, 16);
    for (int i = 5; i < 16; ++i) EXPECT_EQ(s[i], &emptySample);
    SongFree(song);
}

TEST(SongLoad, DecodesSampleDataAndWritesTheLoopGuard) {
    xm::Module m = BareModule();
    // File bytes 10, 246, 0 after delta coding.
    xm::Sample eight = Sample8({10, 0, 0});
    xm::Sample wide;
    wide.sixteenBit = true;
    wide.frames = {1000, -2000, 30000, -32768, 5};
    xm::Sample forward = Sample8({1, 2, 3, 4, 5, 6}, xm::Loop::Forward, 1, 3);
    xm::Sample pingPong = Sample8({1, 2, 3, 4, 5, 6}, xm::Loop::PingPong, 1, 3);
    xm::Sample empty;  // length 0: no data in the file
    m.instruments.push_back(xm::InstrumentOf({eight, wide, empty, forward, pingPong}));
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    Sample* const* s = song->instruments[0].samples;
    EXPECT_EQ(s[0]->data[0], 2560);
    EXPECT_EQ(s[0]->data[1], 0);
    EXPECT_EQ(s[0]->data[2], 0);
    EXPECT_EQ(s[0]->data[3], 0);  // no loop: the spare frame stays zero
    const std::int16_t expected[5] = {1000, -2000, 30000, -32768, 5};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(s[1]->data[k], expected[k]);
    EXPECT_EQ(s[2]->data, nullptr);
    EXPECT_EQ(s[3]->data[4], 2 * 256);  // frame loopStart
    EXPECT_EQ(s[4]->data[4], 4 * 256);  // frame loopStart + loopLength - 1
    EXPECT_EQ(s[4]->data[5], 6 * 256);  // past the loop, untouched
    SongFree(song);
}

TEST(SongLoad, ReadsInstrumentsAroundEmptyOnes) {
    xm::Module m = BareModule();
    xm::Instrument first = xm::InstrumentOf({});
    xm::Instrument second = xm::InstrumentOf({Sample8({7, 7})});
    second.fadeout = 300;
    second.volumeEnvelope.points = {{0, 64}};
    second.volumeEnvelope.type = 1;
    second.panningEnvelope.points = {{0, 32}, {10, 0}};
    second.panningEnvelope.type = 5;
    second.panningEnvelope.loopEnd = 1;
    second.noteSample[40] = 9;
    second.vibratoRate = 33;
    m.instruments = {first, second, first};
    Song* song = Load(xm::Write(m));
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(song->instrumentCount, 3);
    for (int i : {0, 2}) {
        EXPECT_EQ(song->instruments[i].sampleCount, 0);
        for (Sample* slot : song->instruments[i].samples) EXPECT_EQ(slot, &emptySample);
    }
    const Instrument& ins = song->instruments[1];
    EXPECT_EQ(ins.fadeout, 600);
    EXPECT_EQ(ins.volumePoints, 1);
    EXPECT_EQ(ins.volumeType, 0);
    EXPECT_EQ(ins.panningType, 5);
    EXPECT_EQ(ins.panningLoopEnd, 1);
    EXPECT_EQ(ins.panningEnvelope[1].x, 10);
    EXPECT_EQ(ins.noteSample[40], 9);
    EXPECT_EQ(ins.vibratoRate, 33);
    EXPECT_EQ(ins.samples[0]->data[1], 7 * 256);
    SongFree(song);
}

TEST(SongLoad, HandsSampleDataToTheSampleProvider) {
    struct Call {
        std::int32_t bytes, bits, instrument, sample;
    };
    static std::vector<Call> calls;
    calls.clear();
    xm::Module m = BareModule();
    m.instruments.push_back(xm::InstrumentOf({}));
    m.instruments.push_back(xm::InstrumentOf({Sample8({1, 2, 3}), Sample8({4, 5, 6, 7})}));
    const std::vector<std::uint8_t> bytes = xm::Write(m);
    UseMemoryFile(bytes);
    Song* song = SongLoad("module", [](void* buffer, std::int32_t count, std::int32_t bits, std::int32_t i,
                                       std::int32_t s) {
        calls.push_back({count, bits, i, s});
        std::memset(buffer, 3, static_cast<std::size_t>(count));
    });
    ASSERT_NE(song, nullptr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].bytes, 4);
    EXPECT_EQ(calls[1].bits, 8);
    EXPECT_EQ(calls[1].instrument, 1);
    EXPECT_EQ(calls[1].sample, 1);
    // Taken as final values: widened, not summed.
    const Sample* s = song->instruments[1].samples[1];
    for (int k = 0; k < 4; ++k) EXPECT_EQ(s->data[k], 3 * 256);
    SongFree(song);
}

// What a loaded song holds, as numbers: two songs with the same fingerprint
// play the same.
std::vector<std::int64_t> Fingerprint(const Song* song) {
    std::vector<std::int64_t> f{song->channelCount, song->songLength, song->patternSlots, song->instrumentCount};
    for (int p = 0; p < song->patternSlots; ++p) {
        const Pattern& pattern = song->patterns[p];
        f.push_back(pattern.rows);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(pattern.cells);
        f.insert(f.end(), bytes, bytes + std::size_t{5} * pattern.rows * song->channelCount);
    }
    for (int i = 0; i < song->instrumentCount; ++i) {
        const Instrument& ins = song->instruments[i];
        f.push_back(ins.sampleCount);
        f.insert(f.end(), ins.noteSample, ins.noteSample + 96);
        for (int k = 0; k < 12; ++k) f.insert(f.end(), {ins.volumeEnvelope[k].x, ins.volumeEnvelope[k].y});
        for (const Sample* s : ins.samples) {
            f.insert(f.end(), {s->length, s->loopStart, s->loopLength, s->loopType, s->volume, s->finetune,
                               s->panning, s->relativeNote});
            if (s->data) f.insert(f.end(), s->data, s->data + s->length + 1);
        }
    }
    return f;
}

// Two patterns of full cells, which the writer stores unpacked (five bytes a
// cell), and instruments of 8- and 16-bit samples.
xm::Module ShapeBase() {
    xm::Module m = BareModule(2);
    m.orders = {0, 1};
    m.patterns.push_back(m.patterns[0]);
    for (int p = 0; p < 2; ++p) {
        for (int row = 0; row < 4; ++row) {
            for (int c = 0; c < 2; ++c) {
                const auto v = static_cast<std::uint8_t>(10 * p + 4 * row + c + 1);
                m.patterns[p].at(row, c, 2) = xm::Cell{v, 1, 0x20, 1, v};
            }
        }
    }
    xm::Sample wide;
    wide.sixteenBit = true;
    wide.frames = {1000, -2000, 3000, 32767, -32768};
    m.instruments = {xm::InstrumentOf({Sample8({1, 5, -9, 100}), Sample8({-2, 2}, xm::Loop::Forward, 0, 2)}),
                     xm::InstrumentOf({wide, Sample8({42, 43, 44})})};
    return m;
}

// Files as trackers and tools write them: each loads, without a warning, to
// the song its plain counterpart gives.
TEST(SongLoad, RealWorldShapes) {
    struct Shape {
        const char* name;
        std::function<void(xm::Module&)> shape;
        std::function<void(xm::Module&)> plain;
    };
    // Steps the table of 4-bit packed data holds, so the frames survive packing.
    const std::vector<std::int16_t> stepped{0, 1, 3, 7, 15, 31, 63, 127, 126, 124, 120, 112, 96, 64, 0, -128, -64};
    const Shape shapes[] = {
        {"version 0x0102: instruments first, rows - 1 in one byte, sample data last",
         [](xm::Module& m) { m.version = 0x0102; }, nullptr},
        {"version 0x0103: instruments first, sample data last", [](xm::Module& m) { m.version = 0x0103; }, nullptr},
        {"trailing empty instruments left out of the file", [](xm::Module& m) { m.declaredInstruments = 5; },
         [](xm::Module& m) { m.instruments.resize(5, xm::InstrumentOf({})); }},
        {"an instrument of 34 samples: the first 32 are kept, the rest passed over",
         [](xm::Module& m) {
             for (int k = 0; k < 32; ++k) m.instruments[0].samples.push_back(Sample8({static_cast<std::int16_t>(k), 9}));
         },
         [](xm::Module& m) {
             for (int k = 0; k < 30; ++k) m.instruments[0].samples.push_back(Sample8({static_cast<std::int16_t>(k), 9}));
         }},
        {"4-bit packed 8-bit samples",
         [&](xm::Module& m) {
             m.instruments[0].samples[0] = Sample8(stepped);
             m.instruments[0].samples[0].packed4Bit = true;
             m.instruments[0].samples[1].packed4Bit = true;
         },
         [&](xm::Module& m) { m.instruments[0].samples[0] = Sample8(stepped); }},
        {"a 16-bit sample of an odd byte length",
         [](xm::Module& m) { m.instruments[1].samples[0].oddByteLength = true; }, nullptr},
        {"a pattern header longer than its fields", [](xm::Module& m) { m.patterns[0].headerLength = 16; }, nullptr},
        {"packed data longer than its cells",
         [](xm::Module& m) {
             xm::Pattern& p = m.patterns[0];
             p.rawPacked = xm::PackCells(p, m.channels);
             p.rawPacked.insert(p.rawPacked.end(), {0x83, 60, 1, 0x80, 7});
             p.useRawPacked = true;
         },
         nullptr},
        {"packed data shorter than its cells: the cells past it are empty",
         [](xm::Module& m) {
             xm::Pattern& p = m.patterns[0];
             p.rawPacked = xm::PackCells(p, m.channels);
             p.rawPacked.resize(2 * 2 * 5);
             p.useRawPacked = true;
         },
         [](xm::Module& m) {
             for (int row = 2; row < 4; ++row) {
                 for (int c = 0; c < 2; ++c) m.patterns[0].at(row, c, 2) = xm::Cell{};
             }
         }},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.name);
        xm::Module shaped = ShapeBase();
        xm::Module plain = ShapeBase();
        s.shape(shaped);
        if (s.plain) s.plain(plain);
        Song* expected = Load(xm::Write(plain));
        ASSERT_NE(expected, nullptr);
        Song* song = Load(xm::Write(shaped));
        ASSERT_NE(song, nullptr) << SongLoadError();
        EXPECT_STREQ(SongLoadWarning(), "");
        EXPECT_EQ(Fingerprint(song), Fingerprint(expected));
        SongFree(song);
        SongFree(expected);
    }
}

}  // namespace
