// The embedded song cut short: at every 1 KiB boundary and at every byte of
// every header. A prefix that holds the whole module header loads (the cut
// goes undetected) and plays ten seconds; a shorter one is refused. Each
// prefix sits in a buffer of exactly its size, so that the sanitizers see any
// read past the cut.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "music/output/audio_output.h"
#include "music/format/embedded_song.h"
#include "tests/fuzz/module_harness.h"
#include "tests/longrun/song_layout.h"

namespace {

constexpr std::int32_t kRate = 44100;
// Ten seconds: the ring's first 100 blocks and 400 more, 50 blocks a second.
constexpr std::int32_t kBlocksAfterFirstFill = 400;

struct SweepCount {
    int loaded = 0;
    int refused = 0;
};

std::size_t SongSize() {
    return static_cast<std::size_t>(embeddedSongSize);
}

std::size_t ModuleHeaderEnd() {
    static const std::size_t end = ModuleHeaderRanges(embeddedSong, SongSize()).front().end;
    return end;
}

void PlayPrefix(std::size_t cut, SweepCount& count) {
    const auto prefix = std::make_unique<std::uint8_t[]>(cut ? cut : 1);
    std::copy(embeddedSong, embeddedSong + cut, prefix.get());
    Song* song = LoadModuleBytes(prefix.get(), cut);
    EXPECT_EQ(song != nullptr, cut >= ModuleHeaderEnd()) << "cut at " << cut;
    if (!song) {
        ++count.refused;
        return;
    }
    ++count.loaded;
    const PlayReport report = PlaySong(song, kRate, 1 << 30, kBlocksAfterFirstFill);
    EXPECT_EQ(report.blocks, kBlocksAfterFirstFill) << "cut at " << cut;
    EXPECT_GT(report.ticks, 0) << "cut at " << cut;
    EXPECT_FALSE(report.heardPositionWrong) << "cut at " << cut;
    SongFree(song);
}

TEST(TruncationSweep, TheWholeSongLoadsAndPlays) {
    SweepCount count;
    PlayPrefix(SongSize(), count);
    EXPECT_EQ(count.loaded, 1);
}

TEST(TruncationSweep, EveryKibibyteBoundary) {
    SweepCount count;
    for (std::size_t cut = 0; cut < SongSize(); cut += 1024) PlayPrefix(cut, count);
    std::printf("1 KiB boundaries: %d loaded, %d refused\n", count.loaded, count.refused);
}

TEST(TruncationSweep, EveryByteOfEveryHeader) {
    const std::vector<ByteRange> headers = ModuleHeaderRanges(embeddedSong, SongSize());
    // The module header, at least one pattern and one instrument.
    ASSERT_GE(headers.size(), 3u);
    EXPECT_EQ(headers.front().begin, 0u);
    SweepCount count;
    std::size_t bytes = 0;
    for (const ByteRange& range : headers) {
        for (std::size_t cut = range.begin; cut < range.end; ++cut) PlayPrefix(cut, count);
        bytes += range.end - range.begin;
    }
    std::printf("%zu headers, %zu bytes: %d loaded, %d refused\n", headers.size(), bytes, count.loaded,
                count.refused);
}

}  // namespace
