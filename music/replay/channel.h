#pragma once
// A replayer channel: one column of the pattern, its note, effects memories
// and envelopes, and the voice it plays on.
#include <cstdint>

#include "music/mix/voice.h"

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
    // The volume column's last nonzero parameter, which the older versions
    // of the format tracker take for a vibrato speed or depth, or a slide, of 0.
    std::uint8_t columnMemory;
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
    // retrigger's own tick count (kept one up, 0 before it ever counted).
    std::int32_t heldVolumeDelta;
    std::uint8_t retrigCounter;
    // The tracker's own memory for the fine volume slide up.
    std::uint8_t fineVolumeUpMemory;
    // The tracker's tone portamento reached its target since it was last set.
    std::uint8_t portaArrived;
    // The tracker's playback only: the instrument of the note that sounds,
    // which an instrument number without a note leaves playing.
    std::uint8_t noteInstrument;
    // Glissando control: 1 while a tone portamento moves in semitones.
    std::uint8_t glissando;
    // The tracker's playback only: this channel's memory of the global
    // volume slide, and 1 while the tremor holds the note off.
    std::uint8_t globalVolumeSlideMemory;
    std::uint8_t tremorMuted;
    // The tracker's playback only: 1 from an instrument number beside a key
    // off until the next note, which takes the key down again.
    std::uint8_t instrumentBesideKeyOff;
    // A tone portamento has run since the last note started, so that the
    // glissando control rounds the pitch.
    std::uint8_t glidedSinceNote;
    // The tracker's playback only: a delayed cell's note, the instrument its
    // note plays and the instrument number it leaves, which wait for its tick
    // while the note before plays on.
    std::uint8_t delayedNote;
    std::uint8_t delayedNoteInstrument;
    std::uint8_t delayedInstrument;
};

constexpr int kChannelCount = 32;
