#pragma once
// The single sound output: the device, a looping ring of blocks, the mixing
// thread's handshake, the per-block song positions the scene reads, and the
// channels and voices. The player's own files and its tests include this;
// everything else goes through music/player.h.
#include <atomic>
#include <thread>
#include <cstdint>

#include "music/mix/voice.h"
#include "music/output/wave_out.h"
#include "music/player.h"
#include "music/replay/channel.h"
#include "music/song.h"

// Rows entered while a pattern loop counts that the end-of-pass watch keeps;
// past three quarters of this it stops adding them.
constexpr std::int32_t kLoopRowsWatched = 1 << 15;

struct AudioOutput {
    WaveOutDevice* device;
    std::int32_t mixingRate;
    std::int32_t blockFrames;
    std::int32_t ringFrames;
    std::int32_t latencyMs = 1000;
    float inverseRate;
    std::int32_t rampFrames;
    float inverseRampFrames;
    // Ramps of a voice whose volume falls; 0 takes rampFrames.
    std::int32_t rampDownFrames;
    float inverseRampDownFrames;
    // With PlaybackBehaviour::heldVoiceEnds, what the voices that ended leave
    // in the mix: the sum of their held outputs at the next frame mixed.
    bool voiceEndsHeld;
    float heldLeft;
    float heldRight;
    WaveOutBuffer waveHeader;
    std::int16_t* outputBuffer;
    float* mixBuffer;
    // One record per block, packed into one 64-bit word so that the scene
    // never sees a half-written record (see PositionRecordPack).
    std::atomic<std::atomic<std::uint64_t>*> positionRecords;
    std::int32_t fillIndex;
    std::atomic<std::int32_t> heardIndex;
    std::atomic<std::uint8_t> stopRequested;
    std::atomic<std::uint8_t> mixing;
    std::atomic<std::uint8_t> threadFinished{1};  // no thread runs at start
    std::thread* thread;
    Song* currentSong;
    Channel channels[kChannelCount];
    Voice voices[kVoiceCount];
    // What was allocated for mixBuffer before aligning it.
    void* mixBufferAllocation;
    // The device's 32-bit byte count extended to 64 bits, so that the block
    // under the play cursor stays right when the count wraps. Atomic for
    // SongHeardFrames, which reads it on the player's thread.
    std::atomic<std::uint64_t> playedBytes;
    std::uint32_t lastDeviceBytes;
    // Frames heard in the rings played before this one since SongPlay (a move
    // to another order starts a new ring), and whether the device is paused.
    std::int64_t heardBeforeRing;
    bool paused;
    // Frames mixed since the song started, up to the block being filled.
    std::int64_t mixedFrames;
    // Orders entered so far, to find where the first pass ends.
    bool orderEntered[256];
    // With PlaybackBehaviour::passEndsOnRevisitedRow, the rows entered so
    // far: one bit per order and row while no pattern loop counts, and
    // otherwise the order, row and loop counts hashed into an open table.
    std::uint64_t rowEntered[256 * 256 / 64];
    std::uint64_t loopRowEntered[kLoopRowsWatched];
    std::int32_t loopRowsEntered;
    bool passStarted;
    std::int64_t passEndFrame = -1;
};

extern AudioOutput audioOutput;

// Volume ramps last this many frames at 44100 Hz, in proportion at other rates.
constexpr std::int32_t kIntroRampFrames = 128;
constexpr std::int32_t kTrackerRampFrames = 16;
constexpr std::int32_t kFormatTrackerRampFrames = 220;
constexpr std::int32_t kTrackerRampDownFrames = 42;
// Both ramps this long, rising and falling; at other rates truncated, or
// with nearest rounded to the nearest frame.
void SetRampLength(std::int32_t framesAt44100, bool nearest);
// The ramps of falling volumes alone, rounded to the nearest frame.
void SetRampDownLength(std::int32_t framesAt44100);
// Every voice silent, at rest and unbound from any sample.
void SilenceVoices();
