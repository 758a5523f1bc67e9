// The ALSA backend on a real sound server: the device plays the ring at real
// time speed and the heard block follows its play position.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "music/output/audio_output.h"
#include "music/format/song_file.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::int32_t BlockUnderCursor(std::uint32_t bytes) {
    return static_cast<std::int32_t>(bytes / 4 % static_cast<std::uint32_t>(audioOutput.ringFrames) /
                                     static_cast<std::uint32_t>(audioOutput.blockFrames));
}

TEST(AlsaPlayback, PositionAdvancesInRealTimeAndTheHeardBlockFollows) {
    // The output wants a file table installed, though nothing is loaded here.
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    ASSERT_EQ(AudioOpen(44100), 1) << "no ALSA device";
    Song song{};
    song.channelCount = 1;
    song.defaultBpm = 125;
    song.tickHandler = [](Song* s) { s->row = (s->row + 1) & 63; };
    ASSERT_EQ(SongPlay(&song), 1);
    ASSERT_NE(audioOutput.thread, nullptr);

    // The first two seconds may run slow while the stream settles.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const Clock::time_point start = Clock::now();
    const std::uint32_t startBytes = WaveOutPositionBytes(audioOutput.device);
    int followed = 0;
    int samples = 0;
    int worst = 0;
    while (Clock::now() - start < std::chrono::seconds(4)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(97));
        const std::int32_t cursor = BlockUnderCursor(WaveOutPositionBytes(audioOutput.device));
        const std::int32_t heard = audioOutput.heardIndex.load();
        // The thread polls every 5 ms against 20 ms blocks; on a loaded
        // machine it may be a little late, never far.
        const std::int32_t behind = (cursor - heard + 100) % 100;
        ++samples;
        if (behind <= 2) ++followed;
        if (behind > worst) worst = behind;
    }
    const double seconds = Seconds(Clock::now() - start);
    const double frames = static_cast<double>(WaveOutPositionBytes(audioOutput.device) - startBytes) / 4.0;
    const double rate = frames / seconds;
    std::printf("played %.0f frames in %.3f s: %.1f frames per second\n", frames, seconds, rate);
    EXPECT_NEAR(rate, 44100.0, 44100.0 * 0.05);
    EXPECT_GE(followed * 10, samples * 9) << followed << " of " << samples;
    EXPECT_LE(worst, 10);

    SongStop(&song);
    AudioClose();
}

}  // namespace
