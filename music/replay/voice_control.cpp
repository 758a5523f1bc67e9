// Envelopes, fade-out, auto-vibrato, note periods, and the hand-over of a
// channel's tick to its mixer voice.
#include <array>
#include <atomic>
#include <cmath>

#include "music/replay/replayer.h"

namespace {

std::int32_t ClampInt(std::int64_t value, std::int32_t low, std::int32_t high) {
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<std::int32_t>(value);
}

// Far beyond anything audible; keeps the float-to-integer steps defined.
constexpr double kFrequencyLimit = 1e12;

// A voice volume above this only comes from envelope values far outside
// 0..64; holding it here keeps the gains and the mixer's ramps in range.
constexpr std::int32_t kVoiceVolumeLimit = 32767;

constexpr std::int32_t kLowestFrequency = 100;

// The mixer takes the step as 32.32 and plays at most kMaxStepFrames whole
// frames per output frame (kMaxLeapingStepFrames for a voice of leaping
// steps): the frequency stops just short of a step of one frame more.
std::int64_t HighestFrequency(std::int32_t mixingRate, bool leapingSteps = false) {
    std::int64_t most = leapingSteps ? kMaxLeapingStepFrames : kMaxStepFrames;
    return std::int64_t{mixingRate} * (most + 1) - 1;
}

void SetGains(Voice* voice) {
    voice->leftGain = static_cast<std::int32_t>(std::int64_t{voice->volume} * voice->panning / 255);
    voice->rightGain =
        static_cast<std::int32_t>(std::int64_t{voice->volume} * (255 - voice->panning) / 255);
}

// The level the reference mixes the tracker style at, against this mix's
// full level, measured on one centred tone of another tracker's file.
constexpr float kTrackerMixLevel = 0.7345f;

// The share of the level the reference leaves files of the format tracker's
// older versions: 12288 over a step that grows with every other channel,
// truncated, over 192.
float OlderTrackerMixLevel(std::int32_t channels) {
    static const std::int32_t kSteps[16] = {96, 96, 96, 112, 128, 136, 144, 152,
                                            160, 164, 168, 172, 176, 180, 184, 188};
    std::int32_t step = kSteps[ClampInt(channels / 2, 0, 15)];
    return static_cast<float>(12288 / step) / 192.0f;
}

// The voice volume, 127.5 for everything at full, held to 0..kVoiceVolumeLimit.
float ChannelVolume(const Channel* channel, const Song* song) {
    // The tracker's tremor holds the note silent whatever its volume; the
    // older versions' only on the tremor's rows.
    bool tremorRow = !song->behaviour.tremorSilencesOwnRowsOnly || channel->lastEffect == EffectTremor;
    if (channel->tremorMuted != 0 && tremorRow) return 0.0f;
    // The tracker hears the fade-out only while the key is released.
    bool fadeHeard = channel->keyOff != 0 || !song->behaviour.noteAfterKeyOffInstrumentKeysOn;
    std::int32_t fadeout = fadeHeard ? channel->fadeoutVolume : 65536;
    float volume = static_cast<float>(channel->envelopeVolume) *
                   static_cast<float>(channel->volume + channel->volumeDelta) *
                   static_cast<float>(fadeout) *
                   static_cast<float>(song->globalVolume) * 7.4214768e-9f;
    if (song->behaviour.squareRootPanningForFormatTracker) volume *= kTrackerMixLevel;
    if (song->behaviour.olderTrackerMixLevel && song->savedBy == SavedBy::OlderFormatTracker) {
        volume *= OlderTrackerMixLevel(song->channelCount);
    }
    if (volume >= static_cast<float>(kVoiceVolumeLimit)) return static_cast<float>(kVoiceVolumeLimit);
    return volume <= 0.0f ? 0.0f : volume;
}

// The channel's panning swung by the panning envelope, at most as far as the
// nearer edge, and held to 0..255.
std::int32_t ChannelPanning(const Channel* channel, const Song* song) {
    std::int64_t panning = channel->panning;
    std::int64_t distance = panning - 128;
    if (distance < 0) distance = -distance;
    std::int64_t offset = std::int64_t{channel->envelopePanning} - 32;
    // The tracker divides after it multiplies, so near the edges the envelope still swings.
    std::int64_t swing = song->behaviour.trackerPanningEnvelope ? offset * (128 - distance) / 32
                                                                : offset * ((128 - distance) / 32);
    // The older versions' slides reach 256, where the left side is silent.
    return ClampInt(panning + swing, 0, song->behaviour.panningSlidesFourfold ? 256 : 255);
}

// What lround gives, without a library call for the values gains take: a
// float at or above zero plus a half is exact in double, and truncating it
// rounds half away from zero.
std::int32_t RoundHalfAway(float x) {
    if (!(x >= 0.0f && x < 1e9f)) return static_cast<std::int32_t>(std::lround(x));
    return static_cast<std::int32_t>(static_cast<double>(x) + 0.5);
}

// The tracker's law: 0 is left and 255 right, the two sides summing to the
// volume, or with squareRoot the square roots of their shares, and the volume
// kept to the nearest gain step rather than truncated.
void SetTrackerGains(Voice* voice, float volume, std::int32_t panning, bool squareRoot) {
    voice->volume = static_cast<std::int32_t>(volume);
    voice->panning = panning;
    float left = static_cast<float>(256 - panning) / 256.0f;
    float right = static_cast<float>(panning) / 256.0f;
    if (squareRoot) {
        left = std::sqrt(left);
        right = std::sqrt(right);
    }
    voice->leftGain = RoundHalfAway(volume * left);
    voice->rightGain = RoundHalfAway(volume * right);
}

// Whether the song's voices pan by the square-root law.
bool SquareRootPanning(const Song* song) {
    return song->behaviour.squareRootPanningForFormatTracker &&
           (song->savedBy == SavedBy::FormatTracker || song->savedBy == SavedBy::PannedAsFormatTracker);
}

std::int32_t Sine(std::int32_t q) { return static_cast<std::int32_t>(std::sin(2.0 * q * 3.141592 / 256.0) * 64.0); }

// The auto-vibrato's sine at positions 0..255, worked out once.
std::int32_t AutoVibratoSine(std::int32_t q) {
    static const std::array<std::int8_t, 256> table = [] {
        std::array<std::int8_t, 256> values{};
        for (std::int32_t i = 0; i < 256; ++i) {
            values[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(Sine(i));
        }
        return values;
    }();
    if (q < 0 || q > 255) return Sine(q);
    return table[static_cast<std::size_t>(q)];
}

// 8363 x 2^(pitch / 768) truncated, as the linear table gives it.
std::int64_t LinearFrequency(std::int64_t pitch) {
    double frequency = 8363.0 * std::pow(2.0, static_cast<double>(pitch) / 768.0);
    if (!(frequency < kFrequencyLimit)) frequency = kFrequencyLimit;
    return static_cast<std::int64_t>(frequency);
}

// The same for the pitches of notes and the effects on them, each worked out
// once, when first asked for: every voice needs its frequency every tick.
std::int64_t RememberedLinearFrequency(std::int64_t pitch) {
    constexpr std::int64_t kLowest = -8192;  // about 5 Hz
    constexpr std::int64_t kHighest = 12287;  // about 548 MHz, within 32 bits
    static std::atomic<std::uint32_t> remembered[kHighest - kLowest + 1];
    if (pitch < kLowest || pitch > kHighest) return LinearFrequency(pitch);
    std::atomic<std::uint32_t>& slot = remembered[pitch - kLowest];
    std::uint32_t frequency = slot.load(std::memory_order_relaxed);
    if (frequency == 0) {
        frequency = static_cast<std::uint32_t>(LinearFrequency(pitch));
        slot.store(frequency, std::memory_order_relaxed);
    }
    return frequency;
}

// The tracker moves a voice to gains that its envelopes, fade-out and slides
// change over the whole of the next tick, from where its gains are now: the
// ramp is set up here, in the mixer's terms, so that the mixer goes on with it.
void RampOverTick(Voice* voice, std::int32_t frames) {
    if (frames < 1) return;
    voice->seenLeftGain = voice->leftGain;
    voice->seenRightGain = voice->rightGain;
    voice->seenVolume = voice->volume;
    const float perFrame = (1.0f / 255.0f) / static_cast<float>(frames);
    voice->rampDeltaLeft = static_cast<float>(voice->leftGain - voice->rampLeft / 256) * perFrame;
    voice->rampDeltaRight = static_cast<float>(voice->rightGain - voice->rampRight / 256) * perFrame;
    voice->rampFramesLeft = voice->rampDeltaLeft != 0.0f || voice->rampDeltaRight != 0.0f ? frames : 0;
}

// A voice still busy with the previous note is left to fade out; the new note
// takes the other voice of the pair, starting from the old voice's settings.
// A start offset at or past the end restarts the note from its beginning, or
// with silentPastEnd leaves the new voice idle.
Voice* StartNote(Channel* channel, Voice* voice, Sample* sample, bool silentPastEnd) {
    if (voice->sample != nullptr) {
        std::int32_t pair = voice->index < kChannelCount ? voice->index + kChannelCount
                                                          : voice->index - kChannelCount;
        Voice* other = &audioOutput.voices[pair];
        *other = *voice;
        other->index = pair;
        voice->volume = 0;
        voice->leftGain = 0;
        voice->rightGain = 0;
        channel->voice = other;
        voice = other;
    }
    voice->sample = sample;
    std::uint64_t end = std::uint64_t{sample->loopStart} + sample->loopLength;
    if (voice->startOffset >= end) {
        voice->startOffset = 0;
        if (silentPastEnd) voice->sample = nullptr;
    }
    voice->position = voice->startOffset;
    voice->positionFraction = 0;
    voice->direction = 1;
    voice->startOffset = 0;
    voice->rampLeft = 0;
    voice->rampRight = 0;
    voice->rampFramesLeft = 0;
    voice->seenVolume = 0;
    return voice;
}

}  // namespace

EnvelopeShape VolumeEnvelopeOf(const Instrument* instrument) {
    std::int32_t count = instrument->volumePoints;
    return EnvelopeShape{instrument->volumeEnvelope,
                         count > kEnvelopeCapacity ? kEnvelopeCapacity : count,
                         instrument->volumeType,
                         instrument->volumeSustain,
                         instrument->volumeLoopStart,
                         instrument->volumeLoopEnd};
}

EnvelopeShape PanningEnvelopeOf(const Instrument* instrument) {
    std::int32_t count = instrument->panningPoints;
    return EnvelopeShape{instrument->panningEnvelope,
                         count > kEnvelopeCapacity ? kEnvelopeCapacity : count,
                         instrument->panningType,
                         instrument->panningSustain,
                         instrument->panningLoopStart,
                         instrument->panningLoopEnd};
}

EnvelopeState VolumeEnvelopeStateOf(Channel* channel) {
    return EnvelopeState{&channel->volumeEnvelopeTick,  &channel->volumeEnvelopePoint,
                         &channel->volumeEnvelopeValue, &channel->envelopeVolume,
                         &channel->volumeEnvelopeDelta, &channel->volumeEnvelopeDone};
}

EnvelopeState PanningEnvelopeStateOf(Channel* channel) {
    return EnvelopeState{&channel->panningEnvelopeTick,  &channel->panningEnvelopePoint,
                         &channel->panningEnvelopeValue, &channel->envelopePanning,
                         &channel->panningEnvelopeDelta, &channel->panningEnvelopeDone};
}

void RestartEnvelopes(Channel* channel) {
    channel->envelopeVolume = 64;
    channel->volumeEnvelopeTick = 0;
    channel->volumeEnvelopePoint = 0;
    channel->volumeEnvelopeDelta = 0;
    channel->volumeEnvelopeDone = 0;
    channel->envelopePanning = 32;
    channel->panningEnvelopeTick = 0;
    channel->panningEnvelopePoint = 0;
    channel->panningEnvelopeDelta = 0;
    channel->panningEnvelopeDone = 0;
    channel->autoVibratoPosition = 0;
    channel->autoVibratoSweepTicks = 0;
}

void RestartWaves(Channel* channel) {
    // Waveforms 4 and up keep their position across notes.
    if ((channel->waveControl & 0x0F) < 4) channel->vibratoPosition = 0;
    if ((channel->waveControl >> 4) < 4) channel->tremoloPosition = 0;
}

void ResetInstrument(Channel* channel, const Sample* sample, bool restartsTremor) {
    channel->volume = sample->volume;
    channel->panning = sample->panning;
    RestartEnvelopes(channel);
    channel->keyOff = 0;
    channel->fadeoutVolume = 65536;
    RestartWaves(channel);
    if (restartsTremor) {
        channel->tremorCounter = 0;
        channel->tremorMuted = 0;
    }
    channel->updateFlags |= UpdateVolume | UpdatePanning;
}

void StepEnvelope(Channel* channel, const EnvelopeShape& envelope, const EnvelopeState& state,
                  std::uint8_t flagBit, const EnvelopeRules& rules) {
    const EnvelopePoint* points = envelope.points;
    std::int32_t count = envelope.count;
    std::int32_t i = *state.point;
    bool again = false;
    if (i >= 0 && i < count) {
        if (*state.tick == points[i].x) {
            // A loop start the envelope does not have is ignored.
            bool released = rules.releaseEndsLoop && (envelope.type & 2) != 0 && i == envelope.sustain &&
                            rules.released;
            // One the tracker already waits at, the envelope position effect
            // put there, does not loop from it.
            bool waiting = rules.sustain != SustainRelease::OnTheNextStep && (envelope.type & 2) != 0 &&
                           i == envelope.sustain && !rules.released &&
                           (*state.done == kEnvelopeArrived || *state.done == kEnvelopeHeld);
            if (!released && !waiting && (envelope.type & 4) != 0 && i == envelope.loopEnd && envelope.loopStart < count) {
                i = envelope.loopStart;
                *state.tick = points[i].x;
            }
            std::int32_t reached = points[i].y;
            *state.point = i;
            bool atSustain = (envelope.type & 2) != 0 && i == envelope.sustain;
            std::uint8_t waited = *state.done;
            if (i == count - 1) {
                *state.output = reached;
                *state.done = 1;
                // The tracker's panning envelope also waits at a last point
                // that is its sustain point, for the envelope position effect.
                if (atSustain && !rules.released && rules.sustain == SustainRelease::Never) {
                    *state.done = waited == kEnvelopeArrived || waited == kEnvelopeHeld ? kEnvelopeHeld
                                                                                          : kEnvelopeArrived;
                }
                channel->updateFlags |= flagBit;
                return;
            }
            // The tracker's envelope that waited at its sustain point moves on
            // at once when let go, but its panning envelope, once it has held
            // there for a step, stays for good.
            bool stays = atSustain && waited == kEnvelopeHeld && rules.sustain == SustainRelease::Never;
            if (stays) {
                *state.done = kEnvelopeStuck;
                *state.output = reached;
                channel->updateFlags |= flagBit;
                return;
            }
            if (atSustain && !rules.released) {
                if (rules.sustain != SustainRelease::OnTheNextStep) {
                    *state.done = waited == kEnvelopeArrived || waited == kEnvelopeHeld ? kEnvelopeHeld
                                                                                          : kEnvelopeArrived;
                }
                *state.output = reached;
                channel->updateFlags |= flagBit;
                return;
            }
            again = atSustain && waited != 0 && rules.sustain != SustainRelease::OnTheNextStep;
            *state.done = 0;
            std::int32_t span = points[i + 1].x - points[i].x;
            std::int64_t rise = (std::int64_t{points[i + 1].y} - reached) * 65536;
            *state.delta = span != 0 ? static_cast<std::int32_t>(rise / span) : 0;
            *state.value = static_cast<std::int32_t>(std::int64_t{reached} * 65536);
            *state.point = i + 1;
        } else {
            *state.value = static_cast<std::int32_t>(static_cast<std::uint32_t>(*state.value) +
                                                     static_cast<std::uint32_t>(*state.delta));
        }
    }
    // Whatever the points or an envelope-position jump left, never past full.
    *state.output = ClampInt(*state.value >> 16, 0, 64);
    *state.tick += 1;
    channel->updateFlags |= flagBit;
    if (again) StepEnvelope(channel, envelope, state, flagBit, rules);
}

bool KeyOffReleases(const Song* song, const Instrument* instrument) {
    return !song->behaviour.keyOffOnlySilences || !song->behaviour.keyOffSilencesVolume ||
           (instrument->volumeType & 1) != 0;
}

void KeyOff(const Song* song, Channel* channel, const Instrument* instrument) {
    if (KeyOffReleases(song, instrument)) channel->keyOff = 1;
    if ((instrument->volumeType & 1) == 0) {
        if (song->behaviour.keyOffSilencesVolume) {
            channel->volume = 0;
        } else {
            channel->envelopeVolume = 0;
        }
    }
    channel->updateFlags |= UpdateVolume;
}

void FadeOut(Channel* channel, const Instrument* instrument) {
    if (channel->keyOff != 1) return;
    channel->fadeoutVolume -= instrument->fadeout;
    if (channel->fadeoutVolume < 0) channel->fadeoutVolume = 0;
    channel->updateFlags |= UpdateVolume;
}

void AutoVibrato(const Song* song, Channel* channel, const Instrument* instrument) {
    // The tracker moves the position and the sweep on before it reads them,
    // and takes the offset toward zero, so that it has no bias in pitch.
    bool tracker = song->behaviour.trackerAutoVibrato;
    std::int32_t position = channel->autoVibratoPosition;
    std::int32_t q = tracker ? (position + instrument->vibratoRate) & 255 : position;
    std::int32_t value;
    switch (instrument->vibratoType) {
        case 0:
            value = AutoVibratoSine(q);
            break;
        case 1:
            value = q < 128 ? 64 : -64;
            break;
        case 2:
            value = (128 - ((q + 128) % 256)) >> 1;
            break;
        case 3:
            value = (128 - ((384 - q) % 256)) >> 1;
            break;
        default:
            value = 0;
            break;
    }
    value *= instrument->vibratoDepth;
    if (instrument->vibratoSweep != 0) {
        std::int32_t ticks = channel->autoVibratoSweepTicks;
        if (tracker && ticks < instrument->vibratoSweep) ticks += 1;
        value = value * ticks / instrument->vibratoSweep;
    }
    std::int32_t offset = tracker ? value / 64 : value >> 6;
    // Upward in pitch first on either table: on the Amiga table a shorter period.
    if (song->behaviour.amigaVibratoInPitch && (song->flags & 1) == 0) offset = -offset;
    channel->periodDelta += offset;
    if (channel->autoVibratoSweepTicks < instrument->vibratoSweep) {
        channel->autoVibratoSweepTicks += 1;
    } else {
        channel->autoVibratoSweepTicks = instrument->vibratoSweep;
    }
    std::int32_t next = position + instrument->vibratoRate;
    if (next > 255) next -= 256;
    channel->autoVibratoPosition = next;
    channel->updateFlags |= UpdateFrequency;
}

std::int32_t AmigaPeriod(std::int32_t note) {
    return static_cast<std::int32_t>(13.375 * std::pow(2.0, (132 - note) / 12.0));
}

namespace {

// The tracker's Amiga periods of the octave of note 48, in sixteenths of a
// semitone from 16 below its C to 15 above its B; the octaves below double
// them and those above halve them, dropping the remainder.
constexpr std::int16_t kTrackerAmigaOctave[208] = {
    1814, 1807, 1800, 1794, 1788, 1781, 1774, 1768, 1762, 1756, 1750, 1743, 1736, 1730, 1724, 1718,
    1712, 1706, 1700, 1694, 1688, 1682, 1676, 1670, 1664, 1658, 1652, 1646, 1640, 1634, 1628, 1622,
    1616, 1610, 1604, 1598, 1592, 1587, 1582, 1576, 1570, 1564, 1558, 1553, 1548, 1542, 1536, 1530,
    1524, 1519, 1514, 1509, 1504, 1498, 1492, 1487, 1482, 1477, 1472, 1466, 1460, 1455, 1450, 1445,
    1440, 1435, 1430, 1424, 1418, 1413, 1408, 1403, 1398, 1393, 1388, 1383, 1378, 1373, 1368, 1362,
    1356, 1353, 1350, 1345, 1340, 1335, 1330, 1325, 1320, 1315, 1310, 1306, 1302, 1297, 1292, 1286,
    1280, 1276, 1272, 1268, 1264, 1260, 1256, 1251, 1246, 1242, 1238, 1233, 1228, 1224, 1220, 1214,
    1208, 1205, 1202, 1198, 1194, 1189, 1184, 1180, 1176, 1172, 1168, 1164, 1160, 1155, 1150, 1145,
    1140, 1137, 1134, 1130, 1126, 1122, 1118, 1114, 1110, 1106, 1102, 1098, 1094, 1090, 1086, 1081,
    1076, 1073, 1070, 1067, 1064, 1060, 1056, 1052, 1048, 1044, 1040, 1036, 1032, 1029, 1026, 1021,
    1016, 1013, 1010, 1007, 1004, 1000, 996, 992, 988, 985, 982, 978, 974, 971, 968, 964,
    960, 957, 954, 951, 948, 944, 940, 937, 934, 930, 926, 923, 920, 917, 914, 910,
    906, 903, 900, 897, 894, 890, 886, 883, 880, 877, 874, 871, 868, 865, 862, 862,
};

// The table's period for a note, `above` sixteenths of a semitone up from
// the note's finetune; past the table's end its last entry.
std::int32_t TrackerTablePeriod(std::int32_t note, std::int8_t finetune, std::int32_t above) {
    std::int32_t octave = note / 12;
    std::int32_t at = (note % 12) * 16 + (finetune >> 3) + 16 + above;
    std::int32_t period = kTrackerAmigaOctave[at < 207 ? at : 207];
    return octave < 4 ? period << (4 - octave) : period >> (octave - 4);
}

// The period a finetune's eighths of a sixteenth take towards the table's
// next period, worked out in the lowest octave's periods, sixteen times the
// table's, and then halved once an octave, dropping the remainder.
std::int32_t FinetunedTrackerAmigaPeriod(std::uint8_t note, std::int8_t finetune) {
    std::int32_t at = (note % 12) * 16 + (finetune >> 3) + 16;
    std::int32_t period = kTrackerAmigaOctave[at < 207 ? at : 207];
    std::int32_t next = kTrackerAmigaOctave[at + 1 < 207 ? at + 1 : 207];
    return (16 * period + 2 * (next - period) * (finetune & 7)) >> (note / 12);
}

std::int32_t TrackerAmigaPeriod(std::uint8_t note, std::int8_t finetune) {
    return TrackerTablePeriod(note, finetune, 0);
}

}  // namespace

std::int32_t TrackerGlissandoPeriod(std::int32_t period, std::int8_t finetune) {
    // The first note whose period half a semitone up the pitch has reached.
    for (std::int32_t note = 0; note <= kHighestRealNote; ++note) {
        if (TrackerTablePeriod(note, finetune, 8) <= period) return TrackerAmigaPeriod(static_cast<std::uint8_t>(note), finetune);
    }
    return TrackerAmigaPeriod(static_cast<std::uint8_t>(kHighestRealNote), finetune);
}

std::int32_t NotePeriod(std::uint8_t note, std::int8_t finetune, bool trackerTable) {
    if (trackerTable) return TrackerAmigaPeriod(note, finetune);
    std::int32_t p0 = AmigaPeriod(note);
    if (finetune < 0 && note != 0) {
        std::int32_t p1 = AmigaPeriod(note - 1);
        return p0 - ((p0 - p1) * -finetune) / 128;
    }
    std::int32_t p1 = AmigaPeriod(note + 1);
    return p0 + ((p1 - p0) * finetune) / 128;
}

std::int32_t LinearPeriod(std::uint8_t note, std::int8_t finetune) {
    return 7680 - 64 * note - finetune / 2;
}

std::int32_t SongNotePeriod(const Song* song, std::uint8_t note, std::int8_t finetune) {
    bool tracker = song->behaviour.trackerPeriods;
    if ((song->flags & 1) == 0 && tracker && song->behaviour.amigaFinetuneBetweenSixteenths) {
        return FinetunedTrackerAmigaPeriod(note, finetune);
    }
    if ((song->flags & 1) == 0) return NotePeriod(note, finetune, tracker);
    // The tracker takes the finetune in sixteenths of a semitone, as NotePeriod does.
    if (tracker && !song->behaviour.wholeLinearFinetune) finetune = static_cast<std::int8_t>((finetune >> 3) * 8);
    return LinearPeriod(note, finetune);
}

std::int64_t PeriodFrequency(const Song* song, std::int32_t period, std::int32_t periodDelta) {
    if ((song->flags & 1) != 0) return RememberedLinearFrequency((4608 - std::int64_t{period}) + periodDelta);
    std::int64_t sum = std::int64_t{period} + periodDelta;
    if (sum == 0) return 0;
    // The tracker's C-4 (period 1712) sounds at 8363 Hz, as in the linear table.
    return (song->behaviour.trackerPeriods ? 8363 * 1712 : 14317056) / sum;
}

namespace {

// The frequency of a period truncated to sixteenths of a hertz, not to whole hertz.
double ExactPeriodFrequency(const Song* song, std::int32_t period, std::int32_t periodDelta) {
    double frequency = 0.0;
    if ((song->flags & 1) != 0) {
        std::int64_t pitch = (4608 - std::int64_t{period}) + periodDelta;
        // Periods from 9920 on, the thirteenth octave below the table's top, hold the voice.
        if (song->behaviour.linearTableBottomless) {
            // Thirty octaves down the pitch wraps round to the top, every 32 octaves.
            std::int64_t period = 4608 - pitch;
            if (period >= 23040) pitch = 4608 - ((period + 1536) % 24576 - 1536);
        } else if (song->behaviour.linearTableBottom && pitch <= 4608 - 9920) {
            return 0.0;
        }
        frequency = 8363.0 * std::exp2(static_cast<double>(pitch) / 768.0);
    } else {
        std::int64_t sum = std::int64_t{period} + periodDelta;
        if (song->behaviour.amigaPitchFromLow16Bits && sum > 0xFFFF) sum &= 0xFFFF;
        if (sum == 0) return 0.0;
        double clock = song->behaviour.trackerPeriods ? 8363.0 * 1712.0 : 14317056.0;
        frequency = clock / static_cast<double>(sum);
    }
    if (!(frequency < kFrequencyLimit)) return frequency;
    return std::floor(frequency * 16.0) / 16.0;
}

// The voice's 32.32 step for a frequency, held to the same bounds as the
// whole-hertz frequencies are, or down to 0 without a lowest frequency.
void SetExactStep(Voice* voice, double frequency, std::int32_t rate, bool noLowest) {
    double lowest = noLowest ? 0.0 : kLowestFrequency;
    double highest = static_cast<double>(HighestFrequency(rate, voice->leapingSteps));
    if (!(frequency >= lowest)) frequency = lowest;
    if (frequency > highest) frequency = highest;
    double step = std::floor(frequency / rate * 4294967296.0);
    std::uint64_t total = static_cast<std::uint64_t>(step);
    voice->stepInteger = static_cast<std::uint32_t>(total >> 32);
    voice->stepFraction = static_cast<std::uint32_t>(total & 0xFFFFFFFFu);
}

}  // namespace

void RefreshGains(const Song* song) {
    if (!song->behaviour.trackerPanningAndVolume) return;
    std::int32_t channels = PlayedChannelCount(song);
    for (std::int32_t c = 0; c < channels; ++c) {
        Channel* channel = &audioOutput.channels[c];
        Voice* voice = channel->voice;
        if (voice == nullptr) continue;
        SetTrackerGains(voice, ChannelVolume(channel, song), ChannelPanning(channel, song), SquareRootPanning(song));
        bool outright = (channel->updateFlags & (UpdateTrigger | UpdateVolumeSet)) != 0;
        bool changed = voice->leftGain != voice->seenLeftGain || voice->rightGain != voice->seenRightGain;
        // From silence the voice comes in over the short ramp.
        if (voice->rampLeft == 0 && voice->rampRight == 0) outright = true;
        if (song->behaviour.gainsRampOverTick && changed && !outright && voice->sample != nullptr) {
            RampOverTick(voice, song->framesPerTick);
        }
    }
}

void UpdateVoice(Channel* channel, Sample* sample, const Song* song) {
    Voice* voice = channel->voice;
    if (voice == nullptr) return;
    if (std::int64_t{channel->period} + channel->periodDelta == 0) {
        channel->updateFlags &= static_cast<std::uint8_t>(~UpdateFrequency);
    }
    std::uint8_t flags = channel->updateFlags;

    if ((flags & UpdateTrigger) != 0) {
        if (song->behaviour.noteStartRestartsTremor) {
            channel->tremorCounter = 0;
            channel->tremorMuted = 0;
        }
        voice = StartNote(channel, voice, sample, song->behaviour.trackerSampleOffset);
    }

    if (song->behaviour.trackerPanningAndVolume) {
        // Every tick; RefreshGains sets them again once the tick's global volume is known.
        SetTrackerGains(voice, ChannelVolume(channel, song), ChannelPanning(channel, song), SquareRootPanning(song));
    } else {
        if ((flags & UpdateVolume) != 0) {
            float volume = ChannelVolume(channel, song);
            voice->volume = static_cast<std::int32_t>(volume);
            SetGains(voice);
        }
        if ((flags & UpdatePanning) != 0) {
            voice->panning = ChannelPanning(channel, song);
            SetGains(voice);
        }
    }

    std::int32_t rate = audioOutput.mixingRate;
    if ((flags & UpdateFrequency) != 0 && rate > 0 && song->behaviour.exactFrequencies) {
        voice->leapingSteps = song->behaviour.leapingSteps;
        SetExactStep(voice, ExactPeriodFrequency(song, channel->period, channel->periodDelta), rate,
                     song->behaviour.linearTableBottom);
    } else if ((flags & UpdateFrequency) != 0 && rate > 0) {
        std::int64_t frequency = PeriodFrequency(song, channel->period, channel->periodDelta);
        voice->leapingSteps = false;
        if (frequency < kLowestFrequency) frequency = kLowestFrequency;
        std::int64_t highest = HighestFrequency(rate);
        if (frequency > highest) frequency = highest;
        voice->stepInteger = static_cast<std::uint32_t>(frequency / rate);
        voice->stepFraction =
            static_cast<std::uint32_t>((static_cast<std::uint64_t>(frequency % rate) << 32) /
                                       static_cast<std::uint64_t>(rate));
    }

    if ((flags & UpdateRewind) != 0) {
        voice->position = 0;
        voice->positionFraction = 0;
        voice->startOffset = 0;
    }
}
