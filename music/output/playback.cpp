// Starting and stopping a song, and filling one block of the ring.
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "music/output/audio_output.h"
#include "music/output/mixing_thread.h"
#include "music/replay/replayer.h"

namespace {

std::int32_t BlockCount() {
    return audioOutput.blockFrames > 0 ? audioOutput.ringFrames / audioOutput.blockFrames : 0;
}

// The scene may ask for the heard position from another thread while a song
// starts or stops, so the records are never freed under it: one array is kept
// for the program's lifetime and only its publication comes and goes.
std::atomic<std::uint64_t>* recordStorage = nullptr;
std::int32_t recordStorageCount = 0;

bool PublishRecords() {
    const std::int32_t count = BlockCount();
    if (count > recordStorageCount) {
        // Only the first start allocates: every rate has the same block count.
        auto* larger = new (std::nothrow) std::atomic<std::uint64_t>[static_cast<std::size_t>(count)]();
        if (!larger) return false;
        delete[] recordStorage;
        recordStorage = larger;
        recordStorageCount = count;
    }
    for (std::int32_t b = 0; b < count; ++b) recordStorage[b].store(0, std::memory_order_relaxed);
    std::atomic_ref(audioOutput.positionRecords).store(recordStorage, std::memory_order_release);
    return true;
}

bool AllocateRing() {
    AudioOutput& a = audioOutput;
    const auto frames = static_cast<std::size_t>(a.ringFrames);
    if (!PublishRecords()) return false;
    // The device may still be looping an earlier ring: it was reset above, so
    // the buffer is free to clear and reuse.
    if (!a.outputBuffer) a.outputBuffer = static_cast<std::int16_t*>(std::calloc(frames, 4));
    else std::memset(a.outputBuffer, 0, frames * 4);
    a.mixBufferAllocation = std::malloc(frames * 2 * sizeof(float) + 256);
    if (!a.outputBuffer || !a.mixBufferAllocation) return false;
    const auto address = reinterpret_cast<std::uintptr_t>(a.mixBufferAllocation);
    a.mixBuffer = reinterpret_cast<float*>((address + 15) & ~std::uintptr_t{15});
    return true;
}

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

}  // namespace

// Called at the frame where each tick begins, before the tick runs: the row a
// tick 0 is about to enter shows in nextOrder, so the first order entered a
// second time marks the end of one pass.
void WatchPass(const Song* song, std::int64_t frame) {
    AudioOutput& a = audioOutput;
    if (!a.passStarted) {
        a.passStarted = true;
        a.orderEntered[song->order & 0xFF] = true;
        return;
    }
    if (song->tick != 0 || song->nextOrder < 0 || a.passEndFrame >= 0) return;
    const std::int32_t entering = song->nextOrder & 0xFF;
    if (a.orderEntered[entering]) a.passEndFrame = frame;
    a.orderEntered[entering] = true;
}

void ResetPassWatch() {
    AudioOutput& a = audioOutput;
    a.mixedFrames = 0;
    for (bool& entered : a.orderEntered) entered = false;
    a.passStarted = false;
    a.passEndFrame = -1;
}

std::int64_t SongPassEndFrame() {
    return audioOutput.passEndFrame;
}

void FillBlock() {
    AudioOutput& a = audioOutput;
    Song* song = a.currentSong;
    if (!song || !a.mixBuffer) return;
    const std::int32_t first = a.fillIndex * a.blockFrames;
    float* area = a.mixBuffer + std::size_t{2} * static_cast<std::size_t>(first);
    std::memset(area, 0, std::size_t{2} * sizeof(float) * static_cast<std::size_t>(a.blockFrames));
    std::int32_t left = song->tickFramesLeft;
    std::int32_t done = 0;
    while (done < a.blockFrames) {
        if (left <= 0) {
            WatchPass(song, a.mixedFrames + done);
            if (song->tickHandler) song->tickHandler(song);
            left = song->framesPerTick;
            // However the tick handler set the tempo, the block moves on.
            if (left < 1) left = 1;
        }
        const std::int32_t n = left < a.blockFrames - done ? left : a.blockFrames - done;
        MixVoices(area + std::size_t{2} * static_cast<std::size_t>(done), n);
        done += n;
        song->elapsedMs += static_cast<std::int32_t>(static_cast<float>(n) * a.inverseRate * 1000.0);
        left -= n;
    }
    const PositionRecord record{static_cast<std::uint8_t>(song->order), static_cast<std::uint8_t>(song->row),
                                song->elapsedMs, ChannelsSounding(song)};
    a.positionRecords[a.fillIndex].store(PositionRecordPack(record), std::memory_order_release);
    song->tickFramesLeft = left;
    ConvertBlock(a.outputBuffer + std::size_t{2} * static_cast<std::size_t>(first), area, a.blockFrames);
    a.mixedFrames += a.blockFrames;
    a.fillIndex += 1;
    if (a.fillIndex >= BlockCount()) a.fillIndex = 0;
}

void SongResetPlayState(Song* song) {
    AudioOutput& a = audioOutput;
    song->globalVolume = song->initialGlobalVolume;
    song->speed = song->defaultSpeed;
    song->row = 0;
    song->order = 0;
    song->nextRow = -1;
    song->nextOrder = -1;
    song->tickFramesLeft = 0;
    song->tick = 0;
    song->extraTicks = 0;
    song->elapsedMs = 0;
    song->loopCarryRow = 0;
    if (song->onPlay) song->onPlay(song);
    SongSetBpm(song, song->defaultBpm);
    SetRampLength(song->behaviour.shortVolumeRamps ? kTrackerRampFrames : kIntroRampFrames);
    // Voices still sounding from an earlier play may point at the samples of
    // a song freed since: every play starts from silent voices.
    for (int j = 0; j < kVoiceCount; ++j) {
        a.voices[j] = Voice{};
        a.voices[j].index = j;
        a.voices[j].stepInteger = 1;
    }
    const std::int32_t channels = song->channelCount < kChannelCount ? song->channelCount : kChannelCount;
    for (std::int32_t i = 0; i < channels; ++i) {
        a.channels[i] = Channel{};
        a.channels[i].voice = &a.voices[i];
    }
}

int SongPlay(Song* song) {
    if (!song) return 0;
    SongStop(song);
    AudioOutput& a = audioOutput;
    // Without an open device there is no ring to fill.
    if (!a.device) return 0;
    SongResetPlayState(song);
    // A second start begins from a silent, rewound device, so that its byte
    // count and the heard block start again from block 0.
    WaveOutReset(a.device);
    a.heardIndex = 0;
    a.playedBytes = 0;
    a.lastDeviceBytes = 0;
    a.heardBeforeRing = 0;
    a.paused = false;
    a.currentSong = song;
    if (!AllocateRing()) {
        SongStop(song);
        return 0;
    }
    a.waveHeader = WaveOutBuffer{a.outputBuffer, static_cast<std::uint32_t>(a.ringFrames) * 4u, false};
    ResetPassWatch();
    PrimeRing();
    return 1;
}

void PrimeRing() {
    AudioOutput& a = audioOutput;
    WaveOutPrepare(a.device, &a.waveHeader);
    a.fillIndex = 0;
    do {
        FillBlock();
    } while (a.fillIndex != 0);
    WaveOutWriteLooping(a.device, &a.waveHeader);
    StartMixingThread();
}

int SongStop(Song* song) {
    if (!song) return 0;
    AudioOutput& a = audioOutput;
    a.stopRequested = 1;
    while (a.mixing) std::this_thread::yield();
    if (a.thread) {
        while (!a.threadFinished) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        a.thread->join();
        delete a.thread;
        a.thread = nullptr;
    }
    std::free(a.mixBufferAllocation);
    a.mixBufferAllocation = nullptr;
    a.mixBuffer = nullptr;
    if (a.waveHeader.data && a.device) {
        WaveOutUnprepare(a.device, &a.waveHeader);
        a.waveHeader.prepared = false;
    }
    a.currentSong = nullptr;
    std::atomic_ref(a.positionRecords).store(nullptr, std::memory_order_release);
    return 1;
}
