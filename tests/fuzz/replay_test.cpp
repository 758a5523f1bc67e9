// Plays the fuzzers' seed modules and every input the fuzzers ever found
// faulty, so that the unit suite (also run under the sanitizers) keeps them
// fixed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "music/output/audio_output.h"
#include "music/output/waveout/offline.h"
#include "tests/fuzz/module_harness.h"
#include "tests/fuzz/seed_modules.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::int16_t> RingCopy() {
    const std::int16_t* ring = OfflineWaveOutRing();
    if (!ring) return {};
    return {ring, ring + std::size_t{2} * static_cast<std::size_t>(audioOutput.ringFrames)};
}

// What one play of the module leaves in the ring, or nothing when refused.
std::vector<std::int16_t> PlayAndCapture(const std::vector<std::uint8_t>& bytes, std::int32_t blocks) {
    Song* song = LoadModuleBytes(bytes.data(), bytes.size());
    if (!song) return {};
    PlaySong(song, 44100, 1 << 30, blocks);
    std::vector<std::int16_t> ring = RingCopy();
    SongFree(song);
    return ring;
}

TEST(FuzzSeeds, EverySeedLoadsAndPlaysWithTheHeardBlockFollowingTheDevice) {
    for (const SeedModule& seed : SeedModules()) {
        SCOPED_TRACE(seed.name);
        Song* song = LoadModuleBytes(seed.bytes.data(), seed.bytes.size());
        ASSERT_NE(song, nullptr);
        const PlayReport report = PlaySong(song, 44100, 400, 400);
        EXPECT_FALSE(report.heardPositionWrong);
        EXPECT_GE(report.ticks, 100);
        SongFree(song);
    }
}

// A song must sound the same whatever was played and freed before it: voices
// left over from an earlier song would mix its freed samples into this one.
TEST(FuzzSeeds, PlayingAfterAnotherSongGivesTheSameSound) {
    const std::vector<SeedModule> seeds = SeedModules();
    std::vector<std::vector<std::int16_t>> alone;
    for (const SeedModule& seed : seeds) alone.push_back(PlayAndCapture(seed.bytes, 150));
    const auto wide = std::find_if(seeds.begin(), seeds.end(), [](const SeedModule& s) { return s.name == "wide_row"; });
    ASSERT_NE(wide, seeds.end());
    bool anySound = false;
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        SCOPED_TRACE(seeds[i].name);
        // After the widest song, which leaves a voice sounding on every channel.
        PlayAndCapture(seeds[(i + 1) % seeds.size()].bytes, 150);
        PlayAndCapture(wide->bytes, 20);
        const std::vector<std::int16_t> after = PlayAndCapture(seeds[i].bytes, 150);
        EXPECT_EQ(after, alone[i]);
        anySound |= std::any_of(after.begin(), after.end(), [](std::int16_t s) { return s != 0; });
    }
    EXPECT_TRUE(anySound);
}

// Cut short anywhere, a module loads or is refused; what loads plays.
TEST(FuzzSeeds, TruncatedSeedsLoadOrAreRefused) {
    for (const SeedModule& seed : SeedModules()) {
        SCOPED_TRACE(seed.name);
        for (std::size_t cut = 0; cut < seed.bytes.size(); cut += cut < 400 ? 1 : 37) {
            const std::vector<std::uint8_t> prefix(seed.bytes.begin(), seed.bytes.begin() + static_cast<long>(cut));
            Song* song = LoadModuleBytes(prefix.data(), prefix.size());
            if (cut < 17) {
                EXPECT_EQ(song, nullptr) << "cut at " << cut;
            }
            if (!song) continue;
            EXPECT_FALSE(PlaySong(song, 8000, 40, 2).heardPositionWrong) << "cut at " << cut;
            SongFree(song);
        }
    }
}

// Inputs the fuzzers kept: refused_* must be refused, loads_* must load and
// play; any other name (slow_*: slow under the fuzzer) may do either but
// must not fault.
TEST(FuzzRegressions, EveryKeptInputIsHandled) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLON_FUZZ_REGRESSIONS)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name.front() == '.') continue;
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> bytes = ReadFile(entry.path());
        Song* song = LoadModuleBytes(bytes.data(), bytes.size());
        if (name.rfind("refused_", 0) == 0) {
            EXPECT_EQ(song, nullptr);
        }
        if (name.rfind("loads_", 0) == 0) {
            EXPECT_NE(song, nullptr);
        }
        if (song) {
            EXPECT_FALSE(PlaySong(song, 8000, 300, 1500).heardPositionWrong);
            // The tracker's playback style takes other paths through the effects.
            SongSetPlaybackStyle(song, PlaybackStyle::Tracker);
            EXPECT_FALSE(PlaySong(song, 44100, 300, 300).heardPositionWrong);
            SongFree(song);
        }
        ++count;
    }
    EXPECT_GT(count, 0);
}

}  // namespace
