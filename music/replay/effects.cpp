// The effect column and the volume column: their first-tick and later-tick
// actions, and the steps several effects share.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "music/replay/replayer.h"

namespace {

// Slides without a bound must still not overflow over a very long song.
std::int32_t Saturate(std::int64_t value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t AtMost(std::int32_t value, std::int32_t limit) {
    return value > limit ? limit : value;
}

std::int32_t AtLeast(std::int32_t value, std::int32_t limit) {
    return value < limit ? limit : value;
}

// A slide's parameter moves a value up by x when x is set, otherwise down by
// y, and holds it to 0..limit; a parameter of 0 leaves it as it is.
std::int32_t Slid(std::int32_t value, std::uint8_t parameter, std::int32_t limit) {
    if ((parameter >> 4) != 0) return AtMost(value + (parameter >> 4), limit);
    if ((parameter & 0x0F) != 0) return AtLeast(value - (parameter & 0x0F), 0);
    return value;
}

// Whether a channel other than this one is in the middle of a pattern loop.
bool AnotherLoopCounts(const Song* song, const Channel* channel) {
    const std::int32_t channels = PlayedChannelCount(song);
    for (std::int32_t c = 0; c < channels; ++c) {
        const Channel& other = audioOutput.channels[c];
        if (&other != channel && other.loopCount != 0) return true;
    }
    return false;
}

// The volume moved by a slide's step, held to 0..64.
void RaiseVolume(Channel* channel, std::int32_t step) {
    channel->volume = AtMost(channel->volume + step, 64);
    channel->updateFlags |= UpdateVolume;
}

void LowerVolume(Channel* channel, std::int32_t step) {
    channel->volume = AtLeast(channel->volume - step, 0);
    channel->updateFlags |= UpdateVolume;
}

std::int32_t SineWave(std::int32_t position) {
    return static_cast<std::int32_t>(std::fabs(std::sin(2.0 * position * 3.141592 / 64.0)) * 256.0);
}

// The sine wave at every position a channel keeps, worked out once.
std::int32_t TabledSineWave(std::int32_t position) {
    static const std::array<std::int16_t, 256> table = [] {
        std::array<std::int16_t, 256> values{};
        for (std::int32_t p = -128; p < 128; ++p) {
            values[static_cast<std::uint8_t>(p)] = static_cast<std::int16_t>(SineWave(p));
        }
        return values;
    }();
    if (position < -128 || position > 127) return SineWave(position);
    return table[static_cast<std::uint8_t>(position)];
}

// The tracker's sine: its table's steps of 0..127, rounded, taken twice to
// stand on the scale of 0..255.
std::int32_t RoundedSineWave(std::int32_t position) {
    static const std::array<std::int16_t, 64> table = [] {
        std::array<std::int16_t, 64> values{};
        for (std::size_t p = 0; p < values.size(); ++p) {
            double sine = std::fabs(std::sin(static_cast<double>(p) * 3.14159265358979 / 32.0));
            values[p] = static_cast<std::int16_t>(2 * std::lround(127.0 * sine));
        }
        return values;
    }();
    return table[static_cast<std::size_t>(position & 63)];
}

// The vibrato and tremolo waves over positions -32..31, 0..255 in size.
std::int32_t WaveValue(std::int32_t waveform, std::int32_t position) {
    switch (waveform) {
        case 0:
            return TabledSineWave(position);
        case 1: {
            std::int32_t ramp = ((position & 31) * 8) & 0xFF;
            return position < 0 ? 255 - ramp : ramp;
        }
        default:
            return 255;
    }
}

std::int8_t AdvancePosition(std::int8_t position, std::uint8_t speed) {
    std::int32_t next = position + speed;
    if (next > 31) next -= 64;
    return static_cast<std::int8_t>(next);
}

// Before a delayed note's tick its cell does not reach the voice: no start,
// and no new frequency, volume or panning.
void KeepVoiceAsItIs(Channel* channel) {
    channel->updateFlags &=
        static_cast<std::uint8_t>(~(UpdateTrigger | UpdateFrequency | UpdateVolume | UpdatePanning));
}

// Where slides up stop: the tracker goes on to period 1.
std::int32_t HighestPeriod(const Song* song) {
    return song->behaviour.slidesUpToPeriodOne ? 1 : 56;
}

// A fine slide up's period: unbounded, but in the tracker it stops at
// period 1 as the other slides up do.
std::int32_t FineSlidUp(const Song* song, std::int64_t period) {
    if (period < 1 && HighestPeriod(song) == 1) return 1;
    return Saturate(period);
}

void ClearStart(Channel* channel) {
    channel->updateFlags &= static_cast<std::uint8_t>(~(UpdateTrigger | UpdateFrequency));
}

// In the older versions a glide's note starts a sample that has played to
// its end again, at the pitch the glide goes on from.
bool GlideRestartsEndedSample(const Song* song, const Channel* channel) {
    if (!song->behaviour.glideRestartsEndedSample || (channel->updateFlags & UpdateTrigger) == 0) return false;
    return channel->voice != nullptr && channel->voice->sample == nullptr;
}

// Raising the playing note by some semitones, as an offset for this tick.
std::int32_t SemitoneDelta(const Song* song, const Channel* channel, const Sample* sample,
                           std::int32_t semitones) {
    if ((song->flags & 1) != 0) return semitones * 64;
    std::int32_t raised = channel->realNote + semitones;
    return SongNotePeriod(song, static_cast<std::uint8_t>(raised), sample->finetune) -
           SongNotePeriod(song, channel->realNote, sample->finetune);
}

// 0 the base note, 1 x semitones up, 2 y up. The tracker counts the ticks
// left in the row, and past 16 of them reads a table beyond its end, which
// gives y; at exactly 16 it gives the base note.
std::int32_t ArpeggioStep(const Song* song) {
    if (!song->behaviour.arpeggioCountsDown) return song->tick % 3;
    if (song->speed <= 0) return 0;
    std::int32_t left = song->speed - song->tick % song->speed;
    if (left > 16) return 2;
    return left == 16 ? 0 : left % 3;
}

// The notes the tracker's arpeggio reaches: the one above the highest note,
// without finetune, stands for everything beyond it, counted in sixteenths
// of a semitone with the finetune.
constexpr std::int32_t kArpeggioCeiling = 96;

// The period half a semitone above a note, at the sample's finetune.
std::int32_t HalfSemitoneAbove(const Song* song, std::int32_t note, std::int8_t finetune) {
    if ((song->flags & 1) != 0) return SongNotePeriod(song, static_cast<std::uint8_t>(note), finetune) - 32;
    if (finetune < 64) return SongNotePeriod(song, static_cast<std::uint8_t>(note), static_cast<std::int8_t>(finetune + 64));
    return SongNotePeriod(song, static_cast<std::uint8_t>(note + 1), static_cast<std::int8_t>(finetune - 64));
}

// The table's note nearest a period, a tie going to the lower note: the
// lowest note whose period half a semitone up is not above it.
std::int32_t NearestNote(const Song* song, std::int32_t period, std::int8_t finetune) {
    std::int32_t low = 0;
    std::int32_t high = kArpeggioCeiling;
    while (low < high) {
        std::int32_t middle = (low + high) / 2;
        if (HalfSemitoneAbove(song, middle, finetune) <= period) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

// The tracker's arpeggio offset: from the current period to the period of
// the nearest note raised by some semitones.
std::int32_t TableArpeggioDelta(const Song* song, const Channel* channel, const Sample* sample,
                                std::int32_t semitones) {
    // The older versions raise the note last played, wherever slides took
    // its pitch, past the highest note as well; by 0 they leave the pitch.
    bool fromNote = song->behaviour.arpeggioFromNote;
    if (fromNote && semitones == 0) return 0;
    std::int32_t base = fromNote ? channel->realNote : NearestNote(song, channel->period, sample->finetune);
    std::int32_t note = base + semitones;
    if (fromNote) note = std::min(note, kHighestHeldNote);
    bool beyond = !fromNote && note * 16 + (sample->finetune >> 3) > kArpeggioCeiling * 16;
    std::int32_t target = beyond ? SongNotePeriod(song, kArpeggioCeiling, 0)
                                 : SongNotePeriod(song, static_cast<std::uint8_t>(note), sample->finetune);
    // The linear table's delta raises the pitch, the Amiga table's the period.
    std::int64_t delta = (song->flags & 1) != 0 ? std::int64_t{channel->period} - target
                                                : std::int64_t{target} - channel->period;
    return Saturate(delta);
}

void Arpeggio(const Song* song, Channel* channel, const Sample* sample, std::uint8_t parameter) {
    if (parameter == 0) return;
    std::int32_t step = ArpeggioStep(song);
    std::int32_t semitones = step == 1 ? parameter >> 4 : step == 2 ? parameter & 0x0F : 0;
    std::int32_t delta = 0;
    if (song->behaviour.arpeggioFromTable) {
        delta = step != 0 ? TableArpeggioDelta(song, channel, sample, semitones) : 0;
    } else {
        delta = semitones != 0 ? SemitoneDelta(song, channel, sample, semitones) : 0;
    }
    // The tracker keeps the volume column's vibrato of this tick beside it.
    channel->periodDelta = song->behaviour.arpeggioKeepsVibrato ? Saturate(std::int64_t{channel->periodDelta} + delta) : delta;
    channel->updateFlags |= UpdateFrequency;
}

// The slide's memory: the song's, or in the tracker's playback the channel's own.
std::uint8_t* GlobalVolumeSlideMemory(Song* song, Channel* channel) {
    return song->behaviour.trackerGlobalVolumeSlide ? &channel->globalVolumeSlideMemory
                                                       : &song->globalVolumeSlideMemory;
}

void GlobalVolumeSlide(Song* song, Channel* channel) {
    song->globalVolume = Slid(song->globalVolume, *GlobalVolumeSlideMemory(song, channel), 64);
}

// The older versions' panning slides: four steps a step, from fully left at 0
// to fully right at 256.
void SlidePanningFourfold(Channel* channel, std::int32_t steps) {
    channel->panning = AtMost(AtLeast(channel->panning + 4 * steps, 0), 256);
    channel->updateFlags |= UpdatePanning;
}

void PanningSlide(const Song* song, Channel* channel) {
    std::uint8_t parameter = channel->panningSlideMemory;
    if (song->behaviour.panningSlidesFourfold) {
        SlidePanningFourfold(channel, (parameter >> 4) != 0 ? parameter >> 4 : -(parameter & 0x0F));
        return;
    }
    channel->panning = Slid(channel->panning, parameter, 255);
    channel->updateFlags |= UpdatePanning;
}

void SampleOffset(const Song* song, Channel* channel, const PatternCell* cell, const Sample* sample) {
    if (cell->parameter != 0) channel->sampleOffsetMemory = cell->parameter;
    if (channel->voice == nullptr) return;
    bool tracker = song->behaviour.trackerSampleOffset;
    // The tracker moves only a note that starts on this row.
    if (tracker && (channel->updateFlags & UpdateTrigger) == 0) return;
    std::uint32_t offset = static_cast<std::uint32_t>(channel->sampleOffsetMemory) * 256u;
    std::uint64_t end = static_cast<std::uint64_t>(sample->loopStart) + sample->loopLength;
    // Past the end the tracker starts the note silent; StartNote sees it there.
    if (offset < end || tracker) {
        channel->voice->startOffset = offset;
    } else {
        channel->updateFlags &= static_cast<std::uint8_t>(~UpdateTrigger);
        channel->updateFlags |= UpdateRewind;
    }
}

// Where a jump or break past the last order goes.
std::int32_t PastTheEnd(const Song* song) {
    return song->behaviour.jumpsPastEndRestart ? RestartOrder(song) : 0;
}

void PatternBreak(Song* song, std::uint8_t parameter) {
    std::int32_t row = 10 * (parameter >> 4) + (parameter & 0x0F);
    song->nextRow = row > 63 ? 0 : row;
    // An earlier jump in this row keeps its order; an earlier break set the same one.
    if (song->nextOrder < 0) {
        song->nextOrder = song->order + 1;
        if (song->nextOrder >= SongOrderCount(song)) song->nextOrder = PastTheEnd(song);
    }
}

void ExtraFinePortamento(const Song* song, Channel* channel, std::uint8_t parameter) {
    std::uint8_t y = parameter & 0x0F;
    switch (parameter >> 4) {
        case 1:
            if (y != 0) channel->extraFinePortaUpMemory = y;
            channel->period = FineSlidUp(song, std::int64_t{channel->period} - channel->extraFinePortaUpMemory);
            break;
        case 2:
            if (y != 0) channel->extraFinePortaDownMemory = y;
            channel->period =
                Saturate(std::int64_t{channel->period} + channel->extraFinePortaDownMemory);
            break;
        default:
            break;
    }
}

// The tracker's set finetune: (y - 8) x 16, for the cell's note only.
void FinetuneForNote(Song* song, Channel* channel, const PatternCell* cell, std::uint8_t y) {
    if (!HoldsNote(cell)) return;
    std::int8_t finetune = static_cast<std::int8_t>((y - 8) * 16);
    channel->notePeriod = SongNotePeriod(song, channel->realNote, finetune);
    if (!IsTonePortamento(song, cell)) channel->period = channel->notePeriod;
}

// The multi retrigger's count, kept one up, after a retrigger (E9x): the
// older versions count on from it as from any note start.
std::uint8_t RetriggerCountAfterRetrigger(const Song* song) {
    return song->behaviour.retriggerCountFromNote ? 1 : 0;
}

std::int32_t ExtendedFirstTick(Song* song, Channel* channel, const PatternCell* cell, Sample* sample,
                               const ChannelSnapshot* before) {
    std::uint8_t parameter = cell->parameter;
    std::uint8_t y = parameter & 0x0F;
    switch (parameter >> 4) {
        case ExtendedFinePortamentoUp:
            if (y != 0) channel->finePortaUpMemory = y;
            channel->period = FineSlidUp(song, std::int64_t{channel->period} - 4 * channel->finePortaUpMemory);
            break;
        case ExtendedFinePortamentoDown:
            if (y != 0) channel->finePortaDownMemory = y;
            channel->period =
                Saturate(std::int64_t{channel->period} + 4 * channel->finePortaDownMemory);
            break;
        case ExtendedGlissando:
            channel->glissando = y != 0 ? 1 : 0;
            break;
        case ExtendedVibratoWaveform:
            channel->waveControl = static_cast<std::uint8_t>((channel->waveControl & 0xF0) | y);
            break;
        case ExtendedFinetune:
            if (song->behaviour.finetuneForNoteOnly) {
                FinetuneForNote(song, channel, cell, y);
                break;
            }
            // The shared empty sample stays all zero.
            if (sample != &emptySample) sample->finetune = static_cast<std::int8_t>(y);
            break;
        case ExtendedPatternLoop:
            if (y == 0) {
                channel->loopRow = song->row;
            } else {
                if (channel->loopCount == 0 && song->behaviour.oneLoopAtATime && AnotherLoopCounts(song, channel)) break;
                channel->loopCount = channel->loopCount == 0 ? y : channel->loopCount - 1;
                if (channel->loopCount != 0) return channel->loopRow;
            }
            break;
        case ExtendedTremoloWaveform:
            channel->waveControl = static_cast<std::uint8_t>((channel->waveControl & 0x0F) | (y << 4));
            break;
        case ExtendedCoarsePanning:
            channel->panning = song->behaviour.coarsePanningFullRange ? y * 17 : y * 16;
            channel->updateFlags |= UpdatePanning;
            break;
        case ExtendedFineVolumeUp: {
            // The tracker keeps the memories of the slides up and down apart.
            std::uint8_t* memory = song->behaviour.separateFineVolumeMemories ? &channel->fineVolumeUpMemory
                                                                               : &channel->fineVolumeSlideMemory;
            if (y != 0) *memory = y;
            RaiseVolume(channel, *memory);
            break;
        }
        case ExtendedFineVolumeDown:
            if (y != 0) channel->fineVolumeSlideMemory = y;
            LowerVolume(channel, channel->fineVolumeSlideMemory);
            break;
        case ExtendedRetrigger:
            // The tracker's retrigger starts the multi retrigger's count again.
            if (song->behaviour.trackerMultiRetrigger) channel->retrigCounter = RetriggerCountAfterRetrigger(song);
            // E90 restarts a note that is not new on the first tick.
            if (y == 0 && song->behaviour.trackerRetrigger && !song->behaviour.retriggerZeroEveryTick &&
                !HoldsNote(cell)) {
                RestartEnvelopes(channel);
                channel->updateFlags |= UpdateTrigger | UpdateFrequency | UpdateVolume;
            }
            break;
        case ExtendedNoteCut:
            if (y == 0 && song->behaviour.noteCutOnFirstTick) {
                channel->volume = 0;
                channel->updateFlags |= UpdateVolume;
            }
            break;
        case ExtendedNoteDelay:
            if (y == 0 && song->behaviour.trackerNoteDelay) break;
            // The previous note plays on until the delay tick.
            channel->volume = before->volume;
            channel->period = before->period;
            channel->panning = before->panning;
            KeepVoiceAsItIs(channel);
            break;
        case ExtendedRowDelay:
            song->extraTicks = y * song->speed;
            break;
        default:
            break;
    }
    return -1;
}

// The tracker drops a delayed note's fine volume slides, and the speed of
// its tone portamento, in the volume column.
bool LosesFineCommand(const Song* song, std::uint8_t volume) {
    std::uint8_t command = volume >> 4;
    if (command == VolumeTonePortamento && song->behaviour.delayedColumnPortamentoGlides) return false;
    return song->behaviour.delayedNoteLosesFineCommands &&
           (command == VolumeFineDown || command == VolumeFineUp || command == VolumeTonePortamento);
}

// A delayed cell on its tick: its note, instrument and volume column.
void PlayDelayedCell(const Song* song, Channel* channel, const PatternCell* cell, const Instrument* instrument,
                     Sample* sample) {
    const PlaybackBehaviour& behaviour = song->behaviour;
    bool keyOff = cell->note == 255 && behaviour.keyOffSilencesVolume;
    // The tracker takes a delayed key off first and then starts the
    // instrument again, which puts the key down: only the silence of an
    // instrument without a volume envelope stays.
    bool keysOn = behaviour.delayedCellKeysOn;
    bool keyOffFirst = keyOff && (keysOn || behaviour.instrumentVolumeAfterKeyOff);
    // Otherwise the row's own code has taken the instrument and key off.
    const bool asRow = behaviour.delayedCellTakenAsRow;
    if (!asRow) {
        if (keyOffFirst) KeyOff(song, channel, instrument);
        // The tracker keeps the volume and panning unless the cell names an
        // instrument, but starts the envelopes again.
        if (!behaviour.trackerNoteDelay || NamesInstrument(cell)) {
            ResetInstrument(channel, sample, !song->behaviour.noteStartRestartsTremor);
        } else {
            RestartEnvelopes(channel);
            if (keysOn) {
                channel->keyOff = 0;
                channel->fadeoutVolume = 65536;
            } else if (keyOffFirst && behaviour.noteAfterKeyOffInstrumentKeysOn) {
                // The next note takes the key down again, as after an
                // instrument number beside a key off.
                channel->instrumentBesideKeyOff = 1;
            }
        }
    }
    bool glides = behaviour.delayedColumnPortamentoGlides && (cell->volume >> 4) == VolumeTonePortamento;
    if (!glides) channel->period = channel->notePeriod;
    channel->updateFlags |= UpdateFrequency;
    // The tracker starts the waves of a delayed note on its tick.
    bool restartsWaves = behaviour.delayedNoteRestartsWaves && HoldsNote(cell) && behaviour.wavesRestartOnNote;
    if (restartsWaves) RestartWaves(channel);
    if (cell->volume != 0 && !LosesFineCommand(song, cell->volume)) {
        VolumeColumnFirstTick(song, channel, cell->volume);
    }
    // Where the column waits for the delay tick its vibrato moves on there.
    bool columnMovesOn = behaviour.delayedColumnWaits;
    if (restartsWaves && !columnMovesOn && (cell->volume >> 4) == VolumeVibrato) VibratoAdvance(channel);
    // A delayed key off does not start the sample again.
    if (keyOff) {
        if (!keyOffFirst && !asRow) KeyOff(song, channel, instrument);
        return;
    }
    if (glides || (behaviour.delayedEmptyCellKeepsVoice && !HoldsNote(cell))) return;
    channel->updateFlags |= UpdateTrigger;
}

}  // namespace

bool RetriggersOnTick(const Song* song, std::uint8_t interval) {
    if (interval == 0) return song->behaviour.retriggerZeroEveryTick;
    return song->tick % interval == 0;
}

namespace {

void ExtendedLaterTick(const Song* song, Channel* channel, const PatternCell* cell,
                       const Instrument* instrument, Sample* sample) {
    std::uint8_t y = cell->parameter & 0x0F;
    switch (cell->parameter >> 4) {
        case ExtendedRetrigger:
            if (RetriggersOnTick(song, y)) {
                if (song->behaviour.trackerRetrigger) RestartEnvelopes(channel);
                channel->updateFlags |= UpdateTrigger | UpdateFrequency | UpdateVolume;
                if (song->behaviour.trackerMultiRetrigger) channel->retrigCounter = RetriggerCountAfterRetrigger(song);
            } else if (song->behaviour.trackerMultiRetrigger) {
                channel->retrigCounter = static_cast<std::uint8_t>(AtMost(channel->retrigCounter + 1, 255));
            }
            break;
        case ExtendedNoteCut:
            if (song->tick == y) {
                channel->volume = 0;
                channel->updateFlags |= UpdateVolume;
            }
            break;
        case ExtendedNoteDelay:
            // The tracker played a note delayed by 0 on the first tick.
            if (y == 0 && song->behaviour.trackerNoteDelay) break;
            if (NoteDelayTick(song) == y) {
                PlayDelayedCell(song, channel, cell, instrument, sample);
            } else {
                KeepVoiceAsItIs(channel);
            }
            break;
        default:
            break;
    }
}

}  // namespace

std::int32_t NoteDelayTick(const Song* song) {
    if (!song->behaviour.noteDelayEveryRepeat || song->speed <= 0) return song->tick;
    return song->tick % song->speed;
}

void VolumeSlide(Channel* channel) {
    channel->volume = Slid(channel->volume, channel->volumeSlideMemory, 64);
    channel->updateFlags |= UpdateVolume;
}

void AimPortamento(const Song* song, Channel* channel, const PatternCell* cell, const Sample* sample) {
    channel->glidedSinceNote = 1;
    if (!song->behaviour.trackerPortamentoTarget) {
        channel->portaTarget = channel->notePeriod;
        return;
    }
    // The tracker keeps the last target when the cell has no note it can play.
    if (!PlaysNote(song, cell, sample)) return;
    channel->portaTarget = channel->notePeriod;
    channel->portaArrived = channel->portaTarget == channel->period ? 1 : 0;
}

void TonePortamento(const Song* song, Channel* channel) {
    std::int64_t step = 4 * channel->portaSpeed;
    std::int64_t period = channel->period;
    channel->updateFlags |= UpdateFrequency;
    if (song->behaviour.trackerPortamentoTarget) {
        // Without a target yet the tracker's glide leaves the pitch alone.
        if (channel->portaTarget == 0) return;
        // Once arrived, the tracker glides only downward and stops at the
        // target, so a target above is reached at once.
        if (channel->portaArrived != 0) {
            channel->period = static_cast<std::int32_t>(std::min<std::int64_t>(period + step, channel->portaTarget));
            return;
        }
    }
    if (period < channel->portaTarget) {
        channel->period = static_cast<std::int32_t>(std::min<std::int64_t>(period + step, channel->portaTarget));
    } else if (period > channel->portaTarget) {
        channel->period = static_cast<std::int32_t>(std::max<std::int64_t>(period - step, channel->portaTarget));
    }
    if (channel->period == channel->portaTarget) channel->portaArrived = 1;
}

void Glissando(const Song* song, Channel* channel, const PatternCell* cell, const Sample* sample) {
    if (!song->behaviour.glissando || channel->glissando == 0 || channel->glidedSinceNote == 0) return;
    // An arpeggio's raised note is a note of the table already.
    bool raised = song->tick != 0 && cell->effect == EffectArpeggio && cell->parameter != 0 && ArpeggioStep(song) != 0;
    if (raised) return;
    std::int32_t period = channel->period;
    std::int32_t nearest = period;
    if ((song->flags & 1) != 0) {
        std::int32_t base = SongNotePeriod(song, 0, sample->finetune);
        // The older versions take the note at or above the pitch.
        std::int64_t semitones = (std::int64_t{base} - period + (song->behaviour.glissandoRoundsUp ? 63 : 31));
        semitones = semitones >= 0 ? semitones / 64 : -((-semitones + 63) / 64);
        nearest = static_cast<std::int32_t>(base - 64 * semitones);
        channel->periodDelta += period - nearest;
    } else if (song->behaviour.trackerPeriods && !song->behaviour.glissandoRoundsUp) {
        nearest = TrackerGlissandoPeriod(period, sample->finetune);
        channel->periodDelta += nearest - period;
    } else {
        std::int64_t best = -1;
        for (std::int32_t note = 0; note <= kHighestRealNote; ++note) {
            std::int32_t candidate = SongNotePeriod(song, static_cast<std::uint8_t>(note), sample->finetune);
            std::int64_t distance = std::llabs(std::int64_t{candidate} - period);
            if (song->behaviour.glissandoRoundsUp && candidate > period) continue;
            if (best < 0 || distance < best) {
                best = distance;
                nearest = candidate;
            }
        }
        channel->periodDelta += nearest - period;
    }
    channel->updateFlags |= UpdateFrequency;
}

void Vibrato(const Song* song, Channel* channel) {
    std::int32_t position = channel->vibratoPosition;
    std::int32_t waveform = channel->waveControl & 3;
    std::int32_t value = waveform == 0 && song->behaviour.roundedVibratoSine ? RoundedSineWave(position)
                                                                            : WaveValue(waveform, position);
    // The tracker keeps the fraction that the intro drops before the x 4.
    std::int32_t product = value * channel->vibratoDepth;
    std::int32_t depth = song->behaviour.trackerVibrato ? product >> 5 : (product >> 7) * 4;
    // The tracker's vibrato starts downward in pitch on either table, which
    // on the Amiga table is a longer period.
    if (song->behaviour.amigaVibratoInPitch && (song->flags & 1) == 0) depth = -depth;
    channel->periodDelta = position >= 0 ? -depth : depth;
    channel->updateFlags |= UpdateFrequency;
}

void VibratoAdvance(Channel* channel) {
    channel->vibratoPosition = AdvancePosition(channel->vibratoPosition, channel->vibratoSpeed);
}

namespace {

// The tremolo's offset for this tick, at the position where it stands.
void TremoloOffset(const Song* song, Channel* channel) {
    std::int32_t position = channel->tremoloPosition;
    std::int32_t waveform = (channel->waveControl >> 4) & 3;
    std::int32_t value = WaveValue(waveform == 3 ? 0 : waveform, position);
    // The tracker's ramp falls or rises as the vibrato's position says; the
    // older versions' falls throughout, lowering the volume where the
    // intro's ramp raises it.
    bool falls = waveform == 1 && song->behaviour.tremoloRampFalls;
    if (waveform == 1 && song->behaviour.trackerTremolo && !falls) {
        std::int32_t ramp = (position & 31) * 8;
        value = channel->vibratoPosition < 0 ? 255 - ramp : ramp;
    }
    std::int32_t offset = (value * channel->tremoloDepth) >> 6;
    if ((position < 0) != falls) {
        channel->volumeDelta = -(offset < channel->volume ? offset : channel->volume);
    } else {
        channel->volumeDelta = AtMost(offset, 64 - channel->volume);
    }
    channel->updateFlags |= UpdateVolume;
}

}  // namespace

void Tremolo(const Song* song, Channel* channel) {
    TremoloOffset(song, channel);
    channel->tremoloPosition = AdvancePosition(channel->tremoloPosition, channel->tremoloSpeed);
}

void Tremor(Channel* channel) {
    if (channel->tremorOn <= channel->tremorCounter) channel->volumeDelta = -channel->volume;
    channel->tremorCounter += 1;
    if (channel->tremorCounter == channel->tremorOn + channel->tremorOff) channel->tremorCounter = 0;
    channel->updateFlags |= UpdateVolume;
}

namespace {

// A multi retrigger's restart: the volume change, then the note again. The
// tracker restarts a note beside a volume set in the volume column at that
// volume instead.
void Retrigger(const Song* song, Channel* channel, const PatternCell* cell) {
    if (song->behaviour.retriggerTakesColumnVolume && ColumnSetsVolume(cell->volume)) {
        channel->volume = cell->volume - 16;
        channel->updateFlags |= UpdateVolume;
    } else if (channel->retrigVolumeChange != 0) {
        std::int32_t volume = channel->volume;
        switch (channel->retrigVolumeChange) {
            case 1: volume -= 1; break;
            case 2: volume -= 2; break;
            case 3: volume -= 4; break;
            case 4: volume -= 8; break;
            case 5: volume -= 16; break;
            case 6: volume = song->behaviour.trackerMultiRetrigger ? volume * 5 / 8 : volume * 2 / 3; break;
            case 7: volume = volume / 2; break;
            case 9: volume += 1; break;
            case 10: volume += 2; break;
            case 11: volume += 4; break;
            case 12: volume += 8; break;
            case 13: volume += 16; break;
            case 14: volume = volume * 3 / 2; break;
            case 15: volume = volume * 2; break;
            default: break;
        }
        channel->volume = AtMost(AtLeast(volume, 0), 64);
        channel->updateFlags |= UpdateVolume;
    }
    channel->updateFlags |= UpdateTrigger;
}

// The older versions' multi retrigger beside a volume set in the volume
// column and a volume change of its own.
bool LongerBesideColumnVolume(const Song* song, const PatternCell* cell) {
    return song->behaviour.retriggerLongerBesideColumnVolume && ColumnSetsVolume(cell->volume) &&
           (cell->parameter >> 4) != 0;
}

// The tracker counts every tick of a multi retrigger, whatever the row, and
// restarts the note on the tick that takes the count past the interval. The
// count is kept one up: 0 on a channel that never counted, or after a
// retrigger (E9x) restarted the note, 1 after a restart of its own.
void CountedRetrigger(const Song* song, Channel* channel, const PatternCell* cell, bool mayRestart) {
    std::int32_t count = channel->retrigCounter + 1;
    std::int32_t interval = channel->retrigInterval + (LongerBesideColumnVolume(song, cell) ? 1 : 0);
    if (count <= interval || !mayRestart) {
        channel->retrigCounter = static_cast<std::uint8_t>(AtMost(count, 255));
        return;
    }
    channel->retrigCounter = 1;
    Retrigger(song, channel, cell);
}

// The first tick: an instrument number starts the count again, a note is
// counted but sounds by itself, and beside a volume set in the volume column
// the tracker does not count the tick.
void CountedRetriggerFirstTick(const Song* song, Channel* channel, const PatternCell* cell) {
    if (NamesInstrument(cell) && !song->behaviour.retriggerCountFromNote) channel->retrigCounter = 1;
    if (song->behaviour.retriggerTakesColumnVolume && ColumnSetsVolume(cell->volume)) return;
    CountedRetrigger(song, channel, cell, !HoldsNote(cell));
}

// The tracker's tremor: a count down of the ticks left on or off, which
// flips and reloads at -1, on the ticks after the first only.
void CountedTremor(const Song* song, Channel* channel) {
    bool on = (channel->tremorCounter & 0x80) != 0;
    std::int32_t count = (channel->tremorCounter & 0x7F) - 1;
    if (count < 0) {
        on = !on;
        count = (on ? channel->tremorOn : channel->tremorOff) - 1;
        if (count < 0) count = 0;
    }
    channel->tremorCounter = static_cast<std::uint8_t>((on ? 0x80 : 0) | (count & 0x7F));
    // The older versions' silence is the tremor row's alone: it leaves the volume as it is.
    if (song->behaviour.tremorSilencesOwnRowsOnly) {
        channel->tremorMuted = on ? 0 : 1;
    } else {
        channel->volumeDelta = on ? 0 : -channel->volume;
        if (song->behaviour.tremorMutesUntilOn) channel->tremorMuted = on ? 0 : 1;
    }
    channel->updateFlags |= UpdateVolume;
}

}  // namespace

void MultiRetrigger(const Song* song, Channel* channel, const PatternCell* cell) {
    if (song->behaviour.trackerMultiRetrigger) {
        CountedRetrigger(song, channel, cell, true);
        return;
    }
    if (channel->retrigInterval == 0 || song->tick % channel->retrigInterval != 0) return;
    Retrigger(song, channel, cell);
}

namespace {

// One envelope moved to a tick, as the tracker's envelope position effect does it.
// fromTarget: the next step is the tick after the target, so a point at the
// target is passed, loop end included, unless it is the sustain point the key
// still holds the envelope at.
void SetEnvelopeTick(const EnvelopeShape& envelope, const EnvelopeState& state, std::int32_t target,
                     bool fromTarget, bool released) {
    const EnvelopePoint* points = envelope.points;
    std::int32_t count = envelope.count;
    if (count < 2) return;
    std::int32_t i = 0;
    if (target > points[1].x) {
        // Past the last point the search ends without a match, as it would
        // against the unused zero points that follow.
        i = 1;
        while (i < count && !(i + 1 < count && target <= points[i + 1].x)) ++i;
    }
    bool atPoint = i + 1 < count && target == points[i + 1].x;
    bool heldThere = atPoint && (envelope.type & 2) != 0 && i + 1 == envelope.sustain && !released;
    if (fromTarget && atPoint && !heldThere) ++i;
    *state.point = i;
    if (i >= count - 1) {
        *state.output = points[count - 1].y;
        *state.done = 1;
        return;
    }
    *state.done = 0;
    *state.tick = target;
    std::int32_t span = points[i + 1].x - points[i].x;
    std::int64_t rise = (std::int64_t{points[i + 1].y} - points[i].y) * 65536;
    std::int32_t delta = span != 0 ? static_cast<std::int32_t>(rise / span) : 0;
    std::int64_t value =
        std::int64_t{target - points[i].x} * delta + std::int64_t{points[i].y} * 65536;
    *state.delta = delta;
    *state.value = static_cast<std::int32_t>(value);
    *state.output = *state.value >> 16;
    *state.point = i + 1;
    if (!fromTarget) return;
    if (heldThere) {
        // Waiting at the sustain point as if it had just arrived there.
        *state.output = points[i + 1].y;
        *state.done = kEnvelopeArrived;
    } else {
        *state.tick = target + 1;
    }
}

}  // namespace

void EnvelopePosition(const Song* song, Channel* channel, const Instrument* instrument, std::uint8_t tick) {
    bool fromTarget = song->behaviour.envelopePositionFromTarget;
    bool released = channel->keyOff != 0;
    if ((instrument->volumeType & 1) != 0) {
        SetEnvelopeTick(VolumeEnvelopeOf(instrument), VolumeEnvelopeStateOf(channel), tick, fromTarget, released);
    }
    // The tracker moves the panning envelope too, but only when the volume
    // envelope has a sustain point; its older versions whatever the volume
    // envelope is, on or off.
    bool volumeSustain = (instrument->volumeType & 2) != 0 || song->behaviour.envelopePositionAlwaysMovesPanning;
    if (song->behaviour.envelopePositionMovesPanning && volumeSustain) {
        EnvelopeState panning = PanningEnvelopeStateOf(channel);
        bool waiting = *panning.done == kEnvelopeHeld || *panning.done == kEnvelopeStuck;
        SetEnvelopeTick(PanningEnvelopeOf(instrument), panning, tick, fromTarget, released);
        // A panning envelope held at its sustain point takes the new
        // position's value and stays there.
        if (waiting) *panning.done = kEnvelopeStuck;
    }
}

namespace {

// A slide's parameter, through the older versions' one memory of the column.
std::uint8_t ColumnSlideValue(const Song* song, Channel* channel, std::uint8_t y) {
    if (!song->behaviour.columnSlideMemory) return y;
    if (y == 0) return channel->columnMemory;
    channel->columnMemory = y;
    return y;
}

// The volume column's slides of volume and panning, for one tick.
void VolumeColumnSlide(const Song* song, Channel* channel, std::uint8_t value) {
    std::uint8_t y = ColumnSlideValue(song, channel, value & 0x0F);
    std::uint8_t command = value >> 4;
    if (song->behaviour.panningSlidesFourfold &&
        (command == VolumePanningSlideLeft || command == VolumePanningSlideRight)) {
        SlidePanningFourfold(channel, command == VolumePanningSlideLeft ? -y : y);
        return;
    }
    std::int32_t panningStep = 0;
    switch (command) {
        case VolumeSlideDown:
            LowerVolume(channel, y);
            return;
        case VolumeSlideUp:
            RaiseVolume(channel, y);
            return;
        case VolumePanningSlideLeft:
            panningStep = -y;
            // The tracker's slide left by 0 takes the panning to the left edge.
            if (y == 0 && song->behaviour.panningSlideLeftZeroToEdge) panningStep = -channel->panning;
            break;
        case VolumePanningSlideRight:
            panningStep = y;
            break;
        default:
            return;
    }
    channel->panning = Saturate(std::int64_t{channel->panning} + panningStep);
    if (song->behaviour.panningSlidesBounded) channel->panning = AtMost(AtLeast(channel->panning, 0), 255);
    channel->updateFlags |= UpdatePanning;
}

bool IsVolumeColumnSlide(std::uint8_t value) {
    std::uint8_t command = value >> 4;
    return command == VolumeSlideDown || command == VolumeSlideUp || command == VolumePanningSlideLeft ||
           command == VolumePanningSlideRight;
}

// The older versions keep one memory for the volume column's vibrato speed
// and depth, which also keeps the slides' parameters.
std::uint8_t ColumnVibratoValue(const Song* song, Channel* channel, std::uint8_t y) {
    if (y != 0) {
        if (song->behaviour.columnVibratoMemory || song->behaviour.columnSlideMemory) channel->columnMemory = y;
        return y;
    }
    return song->behaviour.columnVibratoMemory ? channel->columnMemory : y;
}

}  // namespace

void VolumeColumnFirstTick(const Song* song, Channel* channel, std::uint8_t value) {
    std::uint8_t y = value & 0x0F;
    if (ColumnSetsVolume(value)) {
        channel->volume = value - 16;
        channel->updateFlags |= UpdateVolume;
        return;
    }
    if (IsVolumeColumnSlide(value)) {
        if (!song->behaviour.volumeColumnSlidesSkipFirstTick) {
            VolumeColumnSlide(song, channel, value);
        } else {
            ColumnSlideValue(song, channel, y);
        }
        return;
    }
    switch (value >> 4) {
        case VolumeFineDown:
            LowerVolume(channel, ColumnSlideValue(song, channel, y));
            break;
        case VolumeFineUp:
            RaiseVolume(channel, ColumnSlideValue(song, channel, y));
            break;
        case VolumeVibratoSpeed:
            y = ColumnVibratoValue(song, channel, y);
            if (y != 0 || !song->behaviour.trackerVibrato) channel->vibratoSpeed = y;
            if (song->behaviour.vibratoSpeedVibrates && song->behaviour.trackerVibrato) Vibrato(song, channel);
            break;
        case VolumeVibrato:
            y = ColumnVibratoValue(song, channel, y);
            if (y != 0 || !song->behaviour.trackerVibrato) channel->vibratoDepth = y;
            if (song->behaviour.trackerVibrato) Vibrato(song, channel);
            break;
        case VolumeSetPanning:
            channel->panning = y * 16;
            channel->updateFlags |= UpdatePanning;
            break;
        case VolumeTonePortamento:
            if (y != 0) channel->portaSpeed = static_cast<std::uint8_t>(y * 16);
            // The tracker's target comes from the cell's note (AimPortamento).
            if (!song->behaviour.trackerPortamentoTarget) channel->portaTarget = channel->notePeriod;
            if (!GlideRestartsEndedSample(song, channel)) channel->updateFlags &= static_cast<std::uint8_t>(~UpdateTrigger);
            break;
        default:
            break;
    }
}

void VolumeColumnLaterTick(const Song* song, Channel* channel, std::uint8_t value) {
    std::uint8_t y = value & 0x0F;
    if (IsVolumeColumnSlide(value)) {
        VolumeColumnSlide(song, channel, value);
        return;
    }
    switch (value >> 4) {
        case VolumeVibratoSpeed:
            if (!song->behaviour.vibratoSpeedVibrates) break;
            Vibrato(song, channel);
            VibratoAdvance(channel);
            break;
        case VolumeVibrato:
            // The tracker takes the depth on the first tick only, so that the
            // effect column's vibrato on the same row can set its own.
            if (!song->behaviour.trackerVibrato) channel->vibratoDepth = y;
            Vibrato(song, channel);
            VibratoAdvance(channel);
            break;
        case VolumeTonePortamento:
            TonePortamento(song, channel);
            break;
        default:
            break;
    }
}

namespace {

// Effects whose first tick only keeps their parameters for the later ticks.
void RememberParameters(Song* song, Channel* channel, const PatternCell* cell) {
    std::uint8_t parameter = cell->parameter;
    std::uint8_t x = parameter >> 4;
    std::uint8_t y = parameter & 0x0F;
    switch (cell->effect) {
        case EffectPortamentoUp:
        case EffectPortamentoDown:
            if (parameter == 0) break;
            // The older versions slide both ways from one memory.
            if (cell->effect == EffectPortamentoUp || song->behaviour.sharedPortamentoMemory) {
                channel->portaUpMemory = parameter;
            }
            if (cell->effect == EffectPortamentoDown || song->behaviour.sharedPortamentoMemory) {
                channel->portaDownMemory = parameter;
            }
            break;
        case EffectTremolo:
            if (x != 0) channel->tremoloSpeed = x;
            if (y != 0) channel->tremoloDepth = y;
            break;
        case EffectVolumeSlide:
            if (parameter != 0) channel->volumeSlideMemory = parameter;
            break;
        case EffectGlobalVolumeSlide:
            if (parameter != 0) *GlobalVolumeSlideMemory(song, channel) = parameter;
            break;
        case EffectPanningSlide:
            if (parameter != 0) {
                channel->panningSlideMemory = parameter;
                channel->updateFlags |= UpdatePanning;
            }
            break;
        case EffectMultiRetrigger:
            if (song->behaviour.trackerMultiRetrigger) {
                if (x != 0) channel->retrigVolumeChange = x;
                if (y != 0) channel->retrigInterval = y;
            } else if (parameter != 0) {
                channel->retrigVolumeChange = x;
                channel->retrigInterval = y;
            }
            break;
        default:
            break;
    }
}

// Effects on the song's position, speed and tempo.
void SongControlFirstTick(Song* song, const PatternCell* cell) {
    std::uint8_t parameter = cell->parameter;
    switch (cell->effect) {
        case EffectPositionJump:
            song->nextOrder = parameter < SongOrderCount(song) ? parameter : PastTheEnd(song);
            song->nextRow = 0;
            break;
        case EffectPatternBreak:
            PatternBreak(song, parameter);
            break;
        case EffectSpeedTempo:
            if (parameter < 32) {
                song->speed = parameter;
            } else {
                SongSetBpm(song, parameter);
            }
            break;
        default:
            break;
    }
}

}  // namespace

std::int32_t EffectFirstTick(Song* song, Channel* channel, const PatternCell* cell,
                             Instrument* instrument, Sample* sample,
                             const ChannelSnapshot* before) {
    std::uint8_t parameter = cell->parameter;
    std::uint8_t x = parameter >> 4;
    std::uint8_t y = parameter & 0x0F;
    RememberParameters(song, channel, cell);
    SongControlFirstTick(song, cell);
    switch (cell->effect) {
        case EffectTonePortamento:
            if (parameter != 0) channel->portaSpeed = parameter;
            AimPortamento(song, channel, cell, sample);
            if (!GlideRestartsEndedSample(song, channel)) ClearStart(channel);
            break;
        case EffectVibrato:
            if (x != 0) channel->vibratoSpeed = x;
            if (y != 0) channel->vibratoDepth = y;
            Vibrato(song, channel);
            break;
        case EffectTonePortamentoVolumeSlide:
            AimPortamento(song, channel, cell, sample);
            if (parameter != 0) channel->volumeSlideMemory = parameter;
            if (!GlideRestartsEndedSample(song, channel)) ClearStart(channel);
            break;
        case EffectVibratoVolumeSlide:
            if (parameter != 0) channel->volumeSlideMemory = parameter;
            Vibrato(song, channel);
            break;
        case EffectSetPanning:
            channel->panning = parameter;
            channel->updateFlags |= UpdatePanning;
            break;
        case EffectSampleOffset:
            SampleOffset(song, channel, cell, sample);
            break;
        case EffectSetVolume:
            channel->volume = song->behaviour.setVolumeHeldTo64 ? AtMost(parameter, 64) : parameter;
            channel->updateFlags |= UpdateVolume;
            break;
        case EffectExtended:
            return ExtendedFirstTick(song, channel, cell, sample, before);
        case EffectGlobalVolume:
            song->globalVolume = AtMost(parameter, 64);
            channel->updateFlags |= UpdateVolume;
            break;
        case EffectEnvelopePosition:
            if ((instrument->volumeType & 1) != 0 || song->behaviour.envelopePositionAlwaysMovesPanning) {
                EnvelopePosition(song, channel, instrument, parameter);
            }
            break;
        case EffectTremor:
            if (parameter != 0) {
                channel->tremorOn = static_cast<std::uint8_t>(x + 1);
                channel->tremorOff = static_cast<std::uint8_t>(y + 1);
            }
            if (!song->behaviour.heldVolumeOffsets) Tremor(channel);
            break;
        case EffectMultiRetrigger:
            if (song->behaviour.trackerMultiRetrigger) CountedRetriggerFirstTick(song, channel, cell);
            break;
        case EffectTremolo:
            // The tracker's first tick takes the wave where it stands.
            if (song->behaviour.trackerTremolo) TremoloOffset(song, channel);
            break;
        case EffectExtraFinePortamento:
            ExtraFinePortamento(song, channel, parameter);
            break;
        default:
            break;
    }
    return -1;
}

void EffectLaterTick(Song* song, Channel* channel, const PatternCell* cell,
                     Instrument* instrument, Sample* sample) {
    switch (cell->effect) {
        case EffectArpeggio:
            Arpeggio(song, channel, sample, cell->parameter);
            break;
        case EffectPortamentoUp:
            channel->period = AtLeast(Saturate(std::int64_t{channel->period} - 4 * channel->portaUpMemory),
                                      HighestPeriod(song));
            channel->updateFlags |= UpdateFrequency;
            break;
        case EffectPortamentoDown:
            channel->period = Saturate(std::int64_t{channel->period} + 4 * channel->portaDownMemory);
            channel->updateFlags |= UpdateFrequency;
            break;
        case EffectTonePortamento:
            TonePortamento(song, channel);
            break;
        case EffectVibrato:
            Vibrato(song, channel);
            VibratoAdvance(channel);
            break;
        case EffectTonePortamentoVolumeSlide:
            TonePortamento(song, channel);
            VolumeSlide(channel);
            break;
        case EffectVibratoVolumeSlide:
            Vibrato(song, channel);
            VibratoAdvance(channel);
            VolumeSlide(channel);
            break;
        case EffectTremolo:
            Tremolo(song, channel);
            break;
        case EffectVolumeSlide:
            VolumeSlide(channel);
            break;
        case EffectExtended:
            ExtendedLaterTick(song, channel, cell, instrument, sample);
            break;
        case EffectGlobalVolumeSlide:
            GlobalVolumeSlide(song, channel);
            break;
        case EffectPanningSlide:
            PanningSlide(song, channel);
            break;
        case EffectMultiRetrigger:
            MultiRetrigger(song, channel, cell);
            break;
        case EffectTremor:
            if (song->behaviour.heldVolumeOffsets) {
                CountedTremor(song, channel);
            } else {
                Tremor(channel);
            }
            break;
        case EffectKeyOff:
            if (song->behaviour.keyOffOnTick && song->tick == cell->parameter) KeyOff(song, channel, instrument);
            break;
        default:
            break;
    }
}
