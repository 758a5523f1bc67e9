// Starting and stopping a song: the ring's buffers and records, the play
// state reset, the ring primed and the mixing thread started behind it.
#include "music/output/playback.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "music/output/audio_output.h"
#include "music/output/mixing_thread.h"
#include "music/output/pass_watch.h"
#include "music/output/ring.h"
#include "music/output/wave_out.h"
#include "music/replay/replayer.h"

namespace {

// The scene may ask for the heard position from another thread while a song
// starts or stops, so the records are never freed under it: one array is kept
// for the program's lifetime and only its publication comes and goes.
std::atomic<std::uint64_t>* recordStorage = nullptr;
std::int32_t recordStorageCount = 0;

bool PublishRecords() {
    const std::int32_t count = RingBlockCount();
    if (count > recordStorageCount) {
        // Only the first start allocates: every rate has the same block count.
        auto* larger = new (std::nothrow) std::atomic<std::uint64_t>[static_cast<std::size_t>(count)]();
        if (!larger) return false;
        delete[] recordStorage;
        recordStorage = larger;
        recordStorageCount = count;
    }
    for (std::int32_t b = 0; b < count; ++b) recordStorage[b].store(0, std::memory_order_relaxed);
    audioOutput.positionRecords.store(recordStorage, std::memory_order_release);
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

// The frame after a one-shot sample's last, which the voice's last frame
// interpolates toward: silence, or with held voice ends the last frame again.
void SetOneShotEnds(Song* song, bool held) {
    if (!song->instruments) return;
    for (int i = 0; i < song->instrumentCount; ++i) {
        const Instrument& ins = song->instruments[i];
        for (int s = 0; s < ins.sampleCount && s < kInstrumentSampleSlots; ++s) {
            Sample* sample = ins.samples[s];
            if (!sample || !sample->data || sample->length == 0 || sample->loopType != LoopNone) continue;
            sample->data[sample->length] = held ? sample->data[sample->length - 1] : std::int16_t{0};
        }
    }
}

}  // namespace

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
    std::int32_t ramp = song->behaviour.shortVolumeRamps ? kTrackerRampFrames : kIntroRampFrames;
    bool formatTracker = song->behaviour.formatTrackerRamps && song->savedBy == SavedBy::FormatTracker;
    if (formatTracker) ramp = kFormatTrackerRampFrames;
    SetRampLength(ramp, song->behaviour.shortVolumeRamps && !formatTracker);
    if (song->behaviour.longerRampsDown && !formatTracker) SetRampDownLength(kTrackerRampDownFrames);
    a.voiceEndsHeld = song->behaviour.heldVoiceEnds;
    SetOneShotEnds(song, song->behaviour.heldVoiceEnds);
    // Voices still sounding from an earlier play may point at the samples of
    // a song freed since: every play starts from silent voices.
    SilenceVoices();
    const std::int32_t channels = PlayedChannelCount(song);
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
    StopMixingThread();
    std::free(a.mixBufferAllocation);
    a.mixBufferAllocation = nullptr;
    a.mixBuffer = nullptr;
    if (a.waveHeader.data && a.device) {
        WaveOutUnprepare(a.device, &a.waveHeader);
        a.waveHeader.prepared = false;
    }
    a.currentSong = nullptr;
    a.positionRecords.store(nullptr, std::memory_order_release);
    return 1;
}
