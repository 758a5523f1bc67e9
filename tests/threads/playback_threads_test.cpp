// The mixing thread against the threads around it, built for ThreadSanitizer:
// playback starts and stops many times while one thread reads the heard
// position and another moves the device on, and a third shuts the music down
// at the end in the program's order (SongStop, SongFree, AudioClose) while
// the mixing thread is running.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "music/output/audio_output.h"
#include "music/output/waveout/offline.h"

namespace {

// Whether the record names a row that exists in the pattern at that order:
// a record torn between two blocks, or read while it is written, may not.
bool ValidPosition(const Song* song, const PositionRecord& record) {
    if (record.order >= song->songLength) return false;
    const Pattern& pattern = song->patterns[song->orderTable[record.order]];
    return record.row < pattern.rows;
}

TEST(PlaybackThreads, StartStopWhileReadingThenShutDownFromAnotherThread) {
    OfflineWaveOutUseMixingThread(true);
    Song* song = nullptr;
    MusicStart(&song);
    ASSERT_NE(song, nullptr);

    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> invalid{0};
    // The device plays about three times faster than real time, so that the
    // mixing thread always has blocks to catch up on.
    std::thread device([&] {
        std::uint32_t bytes = 0;
        while (!done.load()) {
            bytes += 44100 * 4 * 3 / 1000;
            OfflineWaveOutSetPositionBytes(bytes);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::thread reader([&] {
        while (!done.load()) {
            const PositionRecord heard = SongGetPosition(song);
            const std::int32_t order = SongGetOrder(song);
            const std::int32_t row = SongGetRow(song);
            if (!ValidPosition(song, heard) || order >= song->songLength || row >= 256) invalid.fetch_add(1);
            reads.fetch_add(1);
        }
    });

    int started = 0;
    for (int i = 0; i < 40; ++i) {
        started += SongPlay(song);
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 7 * 3));
        // The heard block may be read at any time: before the next stop it
        // must always name a position the song has.
        EXPECT_TRUE(ValidPosition(song, SongGetPosition(song)));
        SongStop(song);
    }
    started += SongPlay(song);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    done.store(true);
    reader.join();

    std::thread shutdown([song] {
        SongStop(song);
        SongFree(song);
        AudioClose();
    });
    shutdown.join();
    device.join();

    EXPECT_EQ(started, 41);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(invalid.load(), 0);
    EXPECT_EQ(audioOutput.thread, nullptr);
    EXPECT_EQ(audioOutput.currentSong, nullptr);
    OfflineWaveOutUseMixingThread(false);
}

}  // namespace
