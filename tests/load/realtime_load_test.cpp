// The embedded song on the ALSA backend in real time while other processes
// keep every core busy (see run_under_load.sh). It counts the device's
// underruns and the blocks the mixing thread refilled late, and fails if the
// heard block ever leaves the ring: ahead of the play cursor, or a whole
// ring or more behind it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "music/output/audio_output.h"
#include "music/output/waveout/alsa.h"

namespace {

using Clock = std::chrono::steady_clock;

int PlaySeconds() {
    const char* text = std::getenv("QUILLON_LOAD_SECONDS");
    const int seconds = text ? std::atoi(text) : 60;
    return seconds > 0 ? seconds : 60;
}

TEST(RealtimeUnderLoad, HeardBlockStaysInTheRing) {
    Song* song = nullptr;
    MusicStart(&song);
    ASSERT_NE(song, nullptr) << "no ALSA device or no song";
    const std::uint32_t underrunsBefore = AlsaWaveOutUnderruns();
    ASSERT_EQ(SongPlay(song), 1);
    const std::int64_t blockFrames = audioOutput.blockFrames;
    const std::int32_t blocks = audioOutput.ringFrames / audioOutput.blockFrames;

    // Counted from the start: the device began with block 0 and the thread
    // moves the heard block on by one for each block it refills, so after h
    // refills the heard block is the h-th of the song and the song's blocks
    // up to h + blocks - 1 have been mixed.
    const int playSeconds = PlaySeconds();
    // When the device was first seen past each block, in ms from the start.
    std::vector<double> finishedAt(static_cast<std::size_t>(playSeconds + 10) * 1000 / 20 + 1000, -1.0);
    std::int64_t heardBlocks = 0;
    std::int32_t lastHeard = 0;
    std::int64_t lastCursor = 0;
    std::int64_t samples = 0;
    std::int64_t outside = 0;
    std::int64_t lateBlocks = 0;
    std::int64_t staleBlocks = 0;
    std::int64_t worstLag = 0;
    std::int64_t stepsBack = 0;
    std::int64_t lastFrames = 0;
    double worstDelayMs = 0.0;
    const double blockMs = 1000.0 * static_cast<double>(blockFrames) / audioOutput.mixingRate;
    const Clock::time_point start = Clock::now();
    const auto duration = std::chrono::seconds(playSeconds);
    while (Clock::now() - start < duration) {
        // The heard index is read before the position, so that the thread
        // cannot have seen a later position than this one.
        const std::int32_t heard = audioOutput.heardIndex.load();
        const std::int64_t frames = WaveOutPositionBytes(audioOutput.device) / 4;
        const double now = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (frames < lastFrames) ++stepsBack;
        lastFrames = frames;
        const std::int64_t cursor = frames / blockFrames;
        for (std::int64_t b = lastCursor; b < cursor && b < static_cast<std::int64_t>(finishedAt.size()); ++b) {
            finishedAt[static_cast<std::size_t>(b)] = now;
        }
        lastCursor = cursor > lastCursor ? cursor : lastCursor;
        const std::int64_t refilled = (heard - lastHeard + blocks) % blocks;
        for (std::int64_t b = heardBlocks; b < heardBlocks + refilled; ++b) {
            // Block b of the ring was refilled just now: how long after the
            // device had finished it.
            if (b >= static_cast<std::int64_t>(finishedAt.size())) break;
            const double finished = finishedAt[static_cast<std::size_t>(b)];
            const double delay = finished < 0.0 ? 0.0 : now - finished;
            if (delay > worstDelayMs) worstDelayMs = delay;
            if (delay > blockMs) ++lateBlocks;
        }
        heardBlocks += refilled;
        lastHeard = heard;
        const std::int64_t lag = cursor - heardBlocks;
        ++samples;
        if (lag < 0 || lag >= blocks) ++outside;
        if (lag >= blocks) ++staleBlocks;
        if (lag > worstLag) worstLag = lag;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::int64_t frames = WaveOutPositionBytes(audioOutput.device) / 4;
    const std::uint32_t underruns = AlsaWaveOutUnderruns() - underrunsBefore;
    std::printf("played %.1f s of sound in %.1f s; %lld blocks refilled, %lld samples of the heard block\n",
                static_cast<double>(frames) / audioOutput.mixingRate, seconds, static_cast<long long>(heardBlocks),
                static_cast<long long>(samples));
    std::printf("device underruns: %u; blocks refilled over one block (%.1f ms) after the device finished "
                "them: %lld; worst refill delay %.1f ms; worst lag %lld blocks; samples with the cursor a "
                "ring ahead: %lld; device position seen going back: %lld times\n",
                underruns, blockMs, static_cast<long long>(lateBlocks), worstDelayMs,
                static_cast<long long>(worstLag), static_cast<long long>(staleBlocks),
                static_cast<long long>(stepsBack));
    EXPECT_EQ(outside, 0) << "of " << samples << " samples";
    EXPECT_GT(heardBlocks, 0);
    SongStop(song);
    SongFree(song);
    AudioClose();
}

}  // namespace
