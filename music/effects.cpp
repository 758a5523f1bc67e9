// The effect column and the volume column: their first-tick and later-tick
// actions, and the steps several effects share.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "music/replayer.h"

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

// The vibrato and tremolo waves over positions -32..31, 0..255 in size.
std::int32_t WaveValue(std::int32_t waveform, std::int32_t position) {
    switch (waveform) {
        case 0:
            return static_cast<std::int32_t>(
                std::fabs(std::sin(2.0 * position * 3.141592 / 64.0)) * 256.0);
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

void ClearStart(Channel* channel) {
    channel->updateFlags &= static_cast<std::uint8_t>(~(UpdateTrigger | UpdateFrequency));
}

// Raising the playing note by some semitones, as an offset for this tick.
std::int32_t SemitoneDelta(const Song* song, const Channel* channel, const Sample* sample,
                           std::int32_t semitones) {
    if ((song->flags & 1) != 0) return semitones * 64;
    std::int32_t raised = channel->realNote + semitones;
    return NotePeriod(static_cast<std::uint8_t>(raised), sample->finetune) -
           NotePeriod(channel->realNote, sample->finetune);
}

void Arpeggio(const Song* song, Channel* channel, const Sample* sample, std::uint8_t parameter) {
    if (parameter == 0) return;
    std::int32_t step = song->tick % 3;
    std::int32_t semitones = step == 1 ? parameter >> 4 : step == 2 ? parameter & 0x0F : 0;
    channel->periodDelta = semitones != 0 ? SemitoneDelta(song, channel, sample, semitones) : 0;
    channel->updateFlags |= UpdateFrequency;
}

void GlobalVolumeSlide(Song* song) {
    std::uint8_t memory = song->globalVolumeSlideMemory;
    if ((memory >> 4) != 0) {
        song->globalVolume = AtMost(song->globalVolume + (memory >> 4), 64);
    } else if ((memory & 0x0F) != 0) {
        song->globalVolume = AtLeast(song->globalVolume - (memory & 0x0F), 0);
    }
}

void PanningSlide(Channel* channel) {
    std::uint8_t memory = channel->panningSlideMemory;
    if ((memory >> 4) != 0) {
        channel->panning = AtMost(channel->panning + (memory >> 4), 255);
    } else if ((memory & 0x0F) != 0) {
        channel->panning = AtLeast(channel->panning - (memory & 0x0F), 0);
    }
    channel->updateFlags |= UpdatePanning;
}

void SampleOffset(Channel* channel, const Sample* sample, std::uint8_t parameter) {
    if (parameter != 0) channel->sampleOffsetMemory = parameter;
    if (channel->voice == nullptr) return;
    std::uint32_t offset = static_cast<std::uint32_t>(channel->sampleOffsetMemory) * 256u;
    std::uint64_t end = static_cast<std::uint64_t>(sample->loopStart) + sample->loopLength;
    if (offset < end) {
        channel->voice->startOffset = offset;
    } else {
        channel->updateFlags &= static_cast<std::uint8_t>(~UpdateTrigger);
        channel->updateFlags |= UpdateRewind;
    }
}

void PatternBreak(Song* song, std::uint8_t parameter) {
    std::int32_t row = 10 * (parameter >> 4) + (parameter & 0x0F);
    song->nextRow = row > 63 ? 0 : row;
    // An earlier jump in this row keeps its order; an earlier break set the same one.
    if (song->nextOrder < 0) {
        song->nextOrder = song->order + 1;
        if (song->nextOrder >= SongOrderCount(song)) song->nextOrder = 0;
    }
}

void ExtraFinePortamento(Channel* channel, std::uint8_t parameter) {
    std::uint8_t y = parameter & 0x0F;
    switch (parameter >> 4) {
        case 1:
            if (y != 0) channel->extraFinePortaUpMemory = y;
            channel->period = Saturate(std::int64_t{channel->period} - channel->extraFinePortaUpMemory);
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

std::int32_t ExtendedFirstTick(Song* song, Channel* channel, Sample* sample,
                               std::uint8_t parameter, const ChannelSnapshot* before) {
    std::uint8_t y = parameter & 0x0F;
    switch (parameter >> 4) {
        case 1:
            if (y != 0) channel->finePortaUpMemory = y;
            channel->period = Saturate(std::int64_t{channel->period} - 4 * channel->finePortaUpMemory);
            break;
        case 2:
            if (y != 0) channel->finePortaDownMemory = y;
            channel->period =
                Saturate(std::int64_t{channel->period} + 4 * channel->finePortaDownMemory);
            break;
        case 4:
            channel->waveControl = static_cast<std::uint8_t>((channel->waveControl & 0xF0) | y);
            break;
        case 5:
            // The shared empty sample stays all zero.
            if (sample != &emptySample) sample->finetune = static_cast<std::int8_t>(y);
            break;
        case 6:
            if (y == 0) {
                channel->loopRow = song->row;
            } else {
                channel->loopCount = channel->loopCount == 0 ? y : channel->loopCount - 1;
                if (channel->loopCount != 0) return channel->loopRow;
            }
            break;
        case 7:
            channel->waveControl = static_cast<std::uint8_t>((channel->waveControl & 0x0F) | (y << 4));
            break;
        case 8:
            channel->panning = y * 16;
            channel->updateFlags |= UpdatePanning;
            break;
        case 10:
            if (y != 0) channel->fineVolumeSlideMemory = y;
            channel->volume = AtMost(channel->volume + channel->fineVolumeSlideMemory, 64);
            channel->updateFlags |= UpdateVolume;
            break;
        case 11:
            if (y != 0) channel->fineVolumeSlideMemory = y;
            channel->volume = AtLeast(channel->volume - channel->fineVolumeSlideMemory, 0);
            channel->updateFlags |= UpdateVolume;
            break;
        case 13:
            // The previous note plays on until the delay tick.
            channel->volume = before->volume;
            channel->period = before->period;
            channel->panning = before->panning;
            channel->updateFlags &= 0xF0;
            break;
        case 14:
            song->extraTicks = y * song->speed;
            break;
        default:
            break;
    }
    return -1;
}

void ExtendedLaterTick(const Song* song, Channel* channel, const PatternCell* cell,
                       Sample* sample) {
    std::uint8_t y = cell->parameter & 0x0F;
    switch (cell->parameter >> 4) {
        case 9:
            if (y != 0 && song->tick % y == 0) {
                channel->updateFlags |= UpdateTrigger | UpdateFrequency | UpdateVolume;
            }
            break;
        case 12:
            if (song->tick == y) {
                channel->volume = 0;
                channel->updateFlags |= UpdateVolume;
            }
            break;
        case 13:
            if (song->tick == y) {
                ResetInstrument(channel, sample);
                channel->period = channel->notePeriod;
                channel->updateFlags |= UpdateFrequency;
                if (cell->volume != 0) VolumeColumnFirstTick(channel, cell->volume);
                channel->updateFlags |= UpdateTrigger;
            } else {
                channel->updateFlags &= 0xF0;
            }
            break;
        default:
            break;
    }
}

}  // namespace

void VolumeSlide(Channel* channel) {
    std::uint8_t memory = channel->volumeSlideMemory;
    if ((memory >> 4) != 0) {
        channel->volume = AtMost(channel->volume + (memory >> 4), 64);
    } else if ((memory & 0x0F) != 0) {
        channel->volume = AtLeast(channel->volume - (memory & 0x0F), 0);
    }
    channel->updateFlags |= UpdateVolume;
}

void TonePortamento(Channel* channel) {
    std::int64_t step = 4 * channel->portaSpeed;
    std::int64_t period = channel->period;
    if (period < channel->portaTarget) {
        channel->period = static_cast<std::int32_t>(std::min<std::int64_t>(period + step, channel->portaTarget));
    } else if (period > channel->portaTarget) {
        channel->period = static_cast<std::int32_t>(std::max<std::int64_t>(period - step, channel->portaTarget));
    }
    channel->updateFlags |= UpdateFrequency;
}

void Vibrato(Channel* channel) {
    std::int32_t position = channel->vibratoPosition;
    std::int32_t value = WaveValue(channel->waveControl & 3, position);
    std::int32_t depth = ((value * channel->vibratoDepth) >> 7) * 4;
    channel->periodDelta = position >= 0 ? -depth : depth;
    channel->updateFlags |= UpdateFrequency;
}

void VibratoAdvance(Channel* channel) {
    channel->vibratoPosition = AdvancePosition(channel->vibratoPosition, channel->vibratoSpeed);
}

void Tremolo(Channel* channel) {
    std::int32_t position = channel->tremoloPosition;
    std::int32_t waveform = (channel->waveControl >> 4) & 3;
    std::int32_t value = WaveValue(waveform == 3 ? 0 : waveform, position);
    std::int32_t offset = (value * channel->tremoloDepth) >> 6;
    if (position < 0) {
        channel->volumeDelta = -(offset < channel->volume ? offset : channel->volume);
    } else {
        channel->volumeDelta = AtMost(offset, 64 - channel->volume);
    }
    channel->tremoloPosition = AdvancePosition(channel->tremoloPosition, channel->tremoloSpeed);
    channel->updateFlags |= UpdateVolume;
}

void Tremor(Channel* channel) {
    if (channel->tremorOn <= channel->tremorCounter) channel->volumeDelta = -channel->volume;
    channel->tremorCounter += 1;
    if (channel->tremorCounter == channel->tremorOn + channel->tremorOff) channel->tremorCounter = 0;
    channel->updateFlags |= UpdateVolume;
}

void MultiRetrigger(const Song* song, Channel* channel) {
    if (channel->retrigInterval == 0 || song->tick % channel->retrigInterval != 0) return;
    if (channel->retrigVolumeChange != 0) {
        std::int32_t volume = channel->volume;
        switch (channel->retrigVolumeChange) {
            case 1: volume -= 1; break;
            case 2: volume -= 2; break;
            case 3: volume -= 4; break;
            case 4: volume -= 8; break;
            case 5: volume -= 16; break;
            case 6: volume = volume * 2 / 3; break;
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

void EnvelopePosition(Channel* channel, const Instrument* instrument, std::uint8_t tick) {
    EnvelopeShape envelope = VolumeEnvelopeOf(instrument);
    const EnvelopePoint* points = envelope.points;
    std::int32_t count = envelope.count;
    if (count < 2) return;
    std::int32_t target = tick;
    std::int32_t i = 0;
    if (target > points[1].x) {
        // Past the last point the search ends without a match, as it would
        // against the unused zero points that follow.
        i = 1;
        while (i < count && !(i + 1 < count && target <= points[i + 1].x)) ++i;
    }
    channel->volumeEnvelopePoint = i;
    if (i >= count - 1) {
        channel->envelopeVolume = points[count - 1].y;
        channel->volumeEnvelopeDone = 1;
        return;
    }
    channel->volumeEnvelopeDone = 0;
    channel->volumeEnvelopeTick = target;
    std::int32_t span = points[i + 1].x - points[i].x;
    std::int64_t rise = (std::int64_t{points[i + 1].y} - points[i].y) * 65536;
    std::int32_t delta = span != 0 ? static_cast<std::int32_t>(rise / span) : 0;
    std::int64_t value =
        std::int64_t{target - points[i].x} * delta + std::int64_t{points[i].y} * 65536;
    channel->volumeEnvelopeDelta = delta;
    channel->volumeEnvelopeValue = static_cast<std::int32_t>(value);
    channel->envelopeVolume = channel->volumeEnvelopeValue >> 16;
    channel->volumeEnvelopePoint = i + 1;
}

void VolumeColumnFirstTick(Channel* channel, std::uint8_t value) {
    std::uint8_t y = value & 0x0F;
    if (value >= 0x10 && value <= 0x50) {
        channel->volume = value - 16;
        channel->updateFlags |= UpdateVolume;
        return;
    }
    switch (value >> 4) {
        case 0x6:
        case 0x8:
            channel->volume = AtLeast(channel->volume - y, 0);
            channel->updateFlags |= UpdateVolume;
            break;
        case 0x7:
        case 0x9:
            channel->volume = AtMost(channel->volume + y, 64);
            channel->updateFlags |= UpdateVolume;
            break;
        case 0xA:
            channel->vibratoSpeed = y;
            break;
        case 0xB:
            channel->vibratoDepth = y;
            break;
        case 0xC:
            channel->panning = y * 16;
            channel->updateFlags |= UpdatePanning;
            break;
        case 0xD:
            channel->panning = Saturate(std::int64_t{channel->panning} - y);
            channel->updateFlags |= UpdatePanning;
            break;
        case 0xE:
            channel->panning = Saturate(std::int64_t{channel->panning} + y);
            channel->updateFlags |= UpdatePanning;
            break;
        case 0xF:
            if (y != 0) channel->portaSpeed = static_cast<std::uint8_t>(y * 16);
            channel->portaTarget = channel->notePeriod;
            channel->updateFlags &= static_cast<std::uint8_t>(~UpdateTrigger);
            break;
        default:
            break;
    }
}

void VolumeColumnLaterTick(Channel* channel, std::uint8_t value) {
    std::uint8_t y = value & 0x0F;
    switch (value >> 4) {
        case 0x6:
        case 0x7:
        case 0xD:
        case 0xE:
            VolumeColumnFirstTick(channel, value);
            break;
        case 0xB:
            channel->vibratoDepth = y;
            Vibrato(channel);
            VibratoAdvance(channel);
            break;
        case 0xF:
            TonePortamento(channel);
            break;
        default:
            break;
    }
}

std::int32_t EffectFirstTick(Song* song, Channel* channel, const PatternCell* cell,
                             Instrument* instrument, Sample* sample,
                             const ChannelSnapshot* before) {
    std::uint8_t parameter = cell->parameter;
    std::uint8_t x = parameter >> 4;
    std::uint8_t y = parameter & 0x0F;
    switch (cell->effect) {
        case 1:
            if (parameter != 0) channel->portaUpMemory = parameter;
            break;
        case 2:
            if (parameter != 0) channel->portaDownMemory = parameter;
            break;
        case 3:
            if (parameter != 0) channel->portaSpeed = parameter;
            channel->portaTarget = channel->notePeriod;
            ClearStart(channel);
            break;
        case 4:
            if (x != 0) channel->vibratoSpeed = x;
            if (y != 0) channel->vibratoDepth = y;
            Vibrato(channel);
            break;
        case 5:
            channel->portaTarget = channel->notePeriod;
            if (parameter != 0) channel->volumeSlideMemory = parameter;
            ClearStart(channel);
            break;
        case 6:
            if (parameter != 0) channel->volumeSlideMemory = parameter;
            Vibrato(channel);
            break;
        case 7:
            if (x != 0) channel->tremoloSpeed = x;
            if (y != 0) channel->tremoloDepth = y;
            break;
        case 8:
            channel->panning = parameter;
            channel->updateFlags |= UpdatePanning;
            break;
        case 9:
            SampleOffset(channel, sample, parameter);
            break;
        case 10:
            if (parameter != 0) channel->volumeSlideMemory = parameter;
            break;
        case 11:
            song->nextOrder = parameter < SongOrderCount(song) ? parameter : 0;
            song->nextRow = 0;
            break;
        case 12:
            channel->volume = parameter;
            channel->updateFlags |= UpdateVolume;
            break;
        case 13:
            PatternBreak(song, parameter);
            break;
        case 14:
            return ExtendedFirstTick(song, channel, sample, parameter, before);
        case 15:
            if (parameter < 32) {
                song->speed = parameter;
            } else {
                SongSetBpm(song, parameter);
            }
            break;
        case 16:
            song->globalVolume = AtMost(parameter, 64);
            channel->updateFlags |= UpdateVolume;
            break;
        case 17:
            if (parameter != 0) song->globalVolumeSlideMemory = parameter;
            break;
        case 21:
            if ((instrument->volumeType & 1) != 0) EnvelopePosition(channel, instrument, parameter);
            break;
        case 25:
            if (parameter != 0) {
                channel->panningSlideMemory = parameter;
                channel->updateFlags |= UpdatePanning;
            }
            break;
        case 27:
            if (parameter != 0) {
                channel->retrigVolumeChange = x;
                channel->retrigInterval = y;
            }
            break;
        case 29:
            if (parameter != 0) {
                channel->tremorOn = static_cast<std::uint8_t>(x + 1);
                channel->tremorOff = static_cast<std::uint8_t>(y + 1);
            }
            Tremor(channel);
            break;
        case 33:
            ExtraFinePortamento(channel, parameter);
            break;
        default:
            break;
    }
    return -1;
}

void EffectLaterTick(Song* song, Channel* channel, const PatternCell* cell,
                     Instrument* instrument, Sample* sample) {
    (void)instrument;
    switch (cell->effect) {
        case 0:
            Arpeggio(song, channel, sample, cell->parameter);
            break;
        case 1:
            channel->period =
                AtLeast(Saturate(std::int64_t{channel->period} - 4 * channel->portaUpMemory), 56);
            channel->updateFlags |= UpdateFrequency;
            break;
        case 2:
            channel->period = Saturate(std::int64_t{channel->period} + 4 * channel->portaDownMemory);
            channel->updateFlags |= UpdateFrequency;
            break;
        case 3:
            TonePortamento(channel);
            break;
        case 4:
            Vibrato(channel);
            VibratoAdvance(channel);
            break;
        case 5:
            TonePortamento(channel);
            VolumeSlide(channel);
            break;
        case 6:
            Vibrato(channel);
            VibratoAdvance(channel);
            VolumeSlide(channel);
            break;
        case 7:
            Tremolo(channel);
            break;
        case 10:
            VolumeSlide(channel);
            break;
        case 14:
            ExtendedLaterTick(song, channel, cell, sample);
            break;
        case 17:
            GlobalVolumeSlide(song);
            break;
        case 25:
            PanningSlide(channel);
            break;
        case 27:
            MultiRetrigger(song, channel);
            break;
        case 29:
            Tremor(channel);
            break;
        default:
            break;
    }
}
