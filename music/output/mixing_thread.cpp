// The mixing thread: follows the device's play cursor and refills the blocks
// it has finished; started behind a primed ring, stopped before anything it
// touches is released.
#include "music/output/mixing_thread.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "music/output/audio_output.h"
#include "music/output/ring.h"
#include "music/output/wave_out.h"

void MixingCatchUp() {
    AudioOutput& a = audioOutput;
    if (!a.currentSong || !a.device || !a.positionRecords || a.blockFrames <= 0) return;
    const std::uint32_t bytes = WaveOutPositionBytes(a.device);
    // The unsigned difference is right across a wrap of the 32-bit count;
    // 2^32 bytes is no whole number of rings, so the wrapped count itself
    // would name the wrong block.
    const std::uint32_t advance = bytes - a.lastDeviceBytes;
    // A count a little behind the last one (a device correcting its estimate)
    // is no wrap: taken as one, it would move the ring's blocks out of step
    // with the device for good. Polls are milliseconds apart, so a real
    // advance is never half the count.
    if (advance >= 0x80000000u) return;
    a.playedBytes += advance;
    a.lastDeviceBytes = bytes;
    const std::uint64_t frames = a.playedBytes / 4;
    const auto playing = static_cast<std::int32_t>((frames % static_cast<std::uint64_t>(a.ringFrames)) /
                                                   static_cast<std::uint64_t>(a.blockFrames));
    const std::int32_t blocks = a.ringFrames / a.blockFrames;
    while (a.fillIndex != playing) {
        a.mixing = 1;
        // The heard block moves on before the block behind it is refilled, so
        // the record being rewritten is never the one the scene reads.
        std::int32_t heard = a.heardIndex.load(std::memory_order_relaxed) + 1;
        if (heard >= blocks) heard = 0;
        a.heardIndex.store(heard, std::memory_order_release);
        FillBlock();
        a.mixing = 0;
    }
}

namespace {

int MixingThread() {
    WaveOutRaiseThreadPriority();
    while (!audioOutput.stopRequested) {
        MixingCatchUp();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    audioOutput.threadFinished = 1;
    return 0;
}

}  // namespace

void StartMixingThread() {
    AudioOutput& a = audioOutput;
    a.stopRequested = 0;
    if (!WaveOutWantsMixingThread(a.device)) return;
    // Set here rather than by the thread, so that a stop right after the start
    // waits for a thread that has not run yet.
    a.threadFinished = 0;
    try {
        a.thread = new std::thread(MixingThread);
    } catch (const std::exception&) {
        delete a.thread;
        a.thread = nullptr;
        a.threadFinished = 1;
    }
}

void StopMixingThread() {
    AudioOutput& a = audioOutput;
    a.stopRequested = 1;
    // A block fill in progress, on the thread or on a renderer's, ends first.
    while (a.mixing) std::this_thread::yield();
    // Joined rather than polled, so that a stop waits no longer than the
    // thread's last poll.
    if (a.thread) {
        a.thread->join();
        delete a.thread;
        a.thread = nullptr;
    }
}
