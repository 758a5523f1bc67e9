#pragma once
// The single sound output: a looping ring of blocks, the mixing thread that
// refills the blocks the device has played, and the per-block song positions
// the scene reads. Only the player includes this; everything else goes
// through music/player.h.
#include <atomic>
#include <thread>
#include <cstdint>

#include "music/player.h"
#include "music/song.h"
#include "music/output/wave_out.h"

struct Voice {
    std::int32_t index;
    std::int32_t volume;
    std::int32_t panning;
    std::uint32_t startOffset;
    Sample* sample;
    std::int32_t leftGain;
    std::int32_t rightGain;
    std::uint32_t position;
    std::uint32_t positionFraction;
    std::uint32_t stepFraction;
    std::uint32_t stepInteger;
    std::int32_t direction;  // 1 forward, 2 backward
    std::int32_t seenLeftGain;
    std::int32_t seenRightGain;
    std::int32_t rampLeft;
    std::int32_t rampRight;
    float rampDeltaLeft;
    float rampDeltaRight;
    std::int32_t rampFramesLeft;
};

enum : std::uint8_t {
    UpdateFrequency = 1,
    UpdateVolume = 2,
    UpdatePanning = 4,
    UpdateTrigger = 8,
    UpdateRewind = 32,
    // The tracker's playback only: the volume or panning was set outright on
    // this tick, not slid or enveloped, so the voice takes it over a short ramp.
    UpdateVolumeSet = 16,
};

struct Channel {
    std::uint8_t note;
    std::uint8_t updateFlags;
    Voice* voice;
    std::int32_t period;
    std::int32_t volume;
    std::int32_t panning;
    std::int32_t volumeDelta;
    std::int32_t periodDelta;
    std::int32_t volumeEnvelopeTick;
    std::int32_t volumeEnvelopePoint;
    std::int32_t volumeEnvelopeValue;
    std::int32_t envelopeVolume;
    std::int32_t volumeEnvelopeDelta;
    std::uint8_t volumeEnvelopeDone;
    std::int32_t panningEnvelopeTick;
    std::int32_t panningEnvelopePoint;
    std::int32_t panningEnvelopeValue;
    std::int32_t envelopePanning;
    std::int32_t panningEnvelopeDelta;
    std::uint8_t panningEnvelopeDone;
    std::int32_t fadeoutVolume;
    std::int32_t autoVibratoPosition;
    std::int32_t autoVibratoSweepTicks;
    std::uint8_t keyOff;
    std::uint8_t instrument;
    std::uint8_t realNote;
    std::int32_t notePeriod;
    std::uint8_t lastEffect;
    std::int32_t sampleOffsetMemory;
    std::uint8_t portaDownMemory;
    std::uint8_t portaUpMemory;
    std::uint8_t extraFinePortaDownMemory;
    std::uint8_t extraFinePortaUpMemory;
    std::uint8_t volumeSlideMemory;
    std::uint8_t panningSlideMemory;
    std::uint8_t retrigVolumeChange;
    std::uint8_t retrigInterval;
    std::int32_t portaTarget;
    std::uint8_t portaSpeed;
    std::int8_t vibratoPosition;
    std::uint8_t vibratoSpeed;
    std::uint8_t vibratoDepth;
    std::int8_t tremoloPosition;
    std::uint8_t tremoloSpeed;
    std::uint8_t tremoloDepth;
    std::uint8_t tremorCounter;
    std::uint8_t tremorOn;
    std::uint8_t tremorOff;
    std::int32_t loopRow;
    std::int32_t loopCount;
    std::uint8_t waveControl;
    std::uint8_t fineVolumeSlideMemory;
    std::uint8_t finePortaUpMemory;
    std::uint8_t finePortaDownMemory;
    // The tracker's playback only: the tremolo's or tremor's offset, held
    // from tick to tick until the volume is next set, and the multi
    // retrigger's own tick count.
    std::int32_t heldVolumeDelta;
    std::uint8_t retrigCounter;
    // The tracker's own memory for the fine volume slide up.
    std::uint8_t fineVolumeUpMemory;
};

constexpr int kChannelCount = 32;
constexpr int kVoiceCount = 256;
constexpr int kMixedVoices = 64;
// The largest stepInteger the mixer plays: a voice advances fewer than 256
// sample frames per output frame. The mixer plays larger steps at this one.
constexpr std::uint32_t kMaxStepFrames = 255;

struct AudioOutput {
    WaveOutDevice* device;
    std::int32_t mixingRate;
    std::int32_t blockFrames;
    std::int32_t ringFrames;
    std::int32_t latencyMs = 1000;
    float inverseRate;
    std::int32_t rampFrames;
    float inverseRampFrames;
    WaveOutBuffer waveHeader;
    std::int16_t* outputBuffer;
    float* mixBuffer;
    // One record per block, packed into one 64-bit word so that the scene
    // never sees a half-written record (see PositionRecordPack).
    std::atomic<std::uint64_t>* positionRecords;
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
    bool passStarted;
    std::int64_t passEndFrame = -1;
};

extern AudioOutput audioOutput;

// Puts the song at its start (order 0, row 0, default speed and tempo) with
// silent voices and cleared channels; SongPlay does this before priming the ring.
void SongResetPlayState(Song* song);
// The end-of-pass watch: ResetPassWatch forgets the orders entered and
// WatchPass is told of every tick before it runs, at its first frame.
void ResetPassWatch();
void WatchPass(const Song* song, std::int64_t frame);
// Song channels whose voice, or the voice of its note fading out, is heard.
std::uint8_t ChannelsSounding(const Song* song);
// Volume ramps last this many frames at 44100 Hz, in proportion at other rates.
constexpr std::int32_t kIntroRampFrames = 128;
constexpr std::int32_t kTrackerRampFrames = 16;
void SetRampLength(std::int32_t framesAt44100);
std::uint64_t PositionRecordPack(const PositionRecord& record);
PositionRecord PositionRecordUnpack(std::uint64_t packed);
void FillBlock();
// One poll of the mixing thread: refills every block the device has finished.
// The thread calls it every 5 ms; offline renderers call it after moving the
// offline device's play position.
void MixingCatchUp();

// The mixer.
void MixVoices(float* area, std::int32_t frameCount);
void MixVoice(Voice* voice, float* area, std::int32_t frameCount);
void ConvertBlock(std::int16_t* output, const float* area, std::int32_t frameCount);
