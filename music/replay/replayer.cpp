// The row and tick machine: which row plays, and the order of work on each
// channel within a tick.
#include "music/replay/replayer.h"

namespace {

const PatternCell kEmptyCell{0, 0, 0, 0, 0};

const PatternCell* CellOf(const PatternCell* row, std::int32_t channel) {
    return row != nullptr ? &row[channel] : &kEmptyCell;
}

// The module's sample of this number, counted from 1 over every instrument's
// kept samples in order, and the instrument holding it; none past the last.
Sample* ModuleSample(const Song* song, std::int32_t number, Instrument** holder) {
    for (std::int32_t i = 0; i < song->instrumentCount; ++i) {
        Instrument* instrument = &song->instruments[i];
        std::int32_t kept = instrument->sampleCount;
        if (kept > kInstrumentSampleSlots) kept = kInstrumentSampleSlots;
        if (kept < 0) kept = 0;
        if (number <= kept) {
            *holder = instrument;
            return instrument->samples[number - 1];
        }
        number -= kept;
    }
    return nullptr;
}

// The sample an instrument's map gives a note, and the instrument whose
// auto-vibrato it takes; none where the map names nothing the song keeps.
Sample* MappedSample(const Song* song, Instrument* instrument, std::uint8_t note, Instrument** holder) {
    *holder = instrument;
    std::int32_t slot = note < 96 ? instrument->noteSample[note] : 0;
    if (song->behaviour.unmappedNotesPlayFirstSample && slot >= instrument->fileSampleCount) slot = 0;
    if (song->behaviour.samplesPast32ByModuleNumber && slot >= kInstrumentSampleSlots) {
        Sample* numbered = ModuleSample(song, slot, holder);
        if (numbered == nullptr) *holder = instrument;
        return numbered;
    }
    std::int32_t slots = song->behaviour.everySampleOfInstrument ? kInstrumentSampleSlots : kIntroSampleSlots;
    return slot < slots ? instrument->samples[slot] : nullptr;
}

}  // namespace

void FindInstrumentSample(const Song* song, const Channel* channel, Instrument** instrument,
                          Sample** sample, Instrument** vibratoInstrument) {
    std::uint8_t number =
        song->behaviour.instrumentWaitsForNote ? channel->noteInstrument : channel->instrument;
    Instrument* holder = &emptyInstrument;
    Sample* chosen = nullptr;
    if (song->instruments == nullptr || number >= song->instrumentCount) {
        emptySample.data = nullptr;
        *instrument = &emptyInstrument;
    } else {
        *instrument = &song->instruments[number];
        chosen = MappedSample(song, *instrument, channel->note, &holder);
    }
    *sample = chosen != nullptr ? chosen : &emptySample;
    if (vibratoInstrument != nullptr) *vibratoInstrument = holder;
}

namespace {

bool Steps(std::uint8_t done) {
    return done != 1 && done != kEnvelopeStuck;
}

// released: the key as the envelopes see it on this step; the tracker's
// envelopes step before a key off on a row's first tick.
void StepEnvelopes(const Song* song, Channel* channel, const Instrument* instrument, bool released) {
    bool tracker = song->behaviour.trackerSustainRelease;
    EnvelopeRules rules{song->behaviour.releaseEndsSustainLoop, released,
                        tracker ? SustainRelease::AtOnce : SustainRelease::OnTheNextStep};
    // An envelope that is done or stuck does not step.
    if ((instrument->volumeType & 1) != 0 && Steps(channel->volumeEnvelopeDone)) {
        StepEnvelope(channel, VolumeEnvelopeOf(instrument), VolumeEnvelopeStateOf(channel), UpdateVolume, rules);
    } else if ((instrument->volumeType & 1) == 0 && song->behaviour.volumeEnvelopeOfNoteInstrument &&
               channel->envelopeVolume != 64) {
        // What an earlier instrument's envelope reached no longer lowers the note.
        channel->envelopeVolume = 64;
        channel->updateFlags |= UpdateVolume;
    }
    if (tracker) rules.sustain = SustainRelease::Never;
    if ((instrument->panningType & 1) != 0 && Steps(channel->panningEnvelopeDone)) {
        StepEnvelope(channel, PanningEnvelopeOf(instrument), PanningEnvelopeStateOf(channel), UpdatePanning, rules);
    } else if ((instrument->panningType & 1) == 0 && song->behaviour.panningEnvelopeOfNoteInstrument) {
        // What an earlier instrument's envelope reached no longer swings the panning.
        channel->envelopePanning = 32;
    }
}

// The tracker keeps the tremolo's or tremor's offset until the volume is set
// again; an offset those two made on this tick stays.
void HoldVolumeOffset(Channel* channel, bool volumeSet, bool freshOffset) {
    if (volumeSet && !freshOffset) channel->volumeDelta = 0;
    channel->heldVolumeDelta = channel->volumeDelta;
}

// An instrument number resets the channel for the instrument; beside a key
// off, the tracker takes only its volume and panning, and the released note
// goes on fading.
void TakeInstrument(const Song* song, Channel* channel, const PatternCell* cell, const Sample* sample) {
    if (!song->behaviour.trackerInstrumentNumbers || cell->note != 255) {
        ResetInstrument(channel, sample, !song->behaviour.noteStartRestartsTremor);
        channel->instrumentBesideKeyOff = 0;
        return;
    }
    if (song->behaviour.noteAfterKeyOffInstrumentKeysOn) channel->instrumentBesideKeyOff = 1;
    channel->volume = sample->volume;
    channel->panning = sample->panning;
    channel->updateFlags |= UpdateVolume | UpdatePanning;
}

// The first note after an instrument number beside a key off, itself
// without one, takes the key down again: the fade-out stops where it is and
// is not heard until the next key off; the envelopes and volume go on.
void KeyDownAfterKeyOffInstrument(Channel* channel) {
    if (channel->instrumentBesideKeyOff == 0) return;
    channel->instrumentBesideKeyOff = 0;
    channel->keyOff = 0;
    channel->updateFlags |= UpdateVolume;
}

bool DelaysCell(const Song* song, const PatternCell* cell) {
    return song->behaviour.trackerNoteDelay && cell->effect == EffectExtended &&
           (cell->parameter >> 4) == ExtendedNoteDelay && (cell->parameter & 0x0F) != 0;
}

// Whether the cell sets the volume or panning outright on this tick, rather
// than sliding it: the tracker's voices then take it over a short ramp.
bool SetsOutright(const Song* song, const PatternCell* cell, const Instrument* instrument) {
    std::uint8_t x = cell->parameter >> 4;
    std::uint8_t y = cell->parameter & 0x0F;
    // A key off silences outright only a note without a volume envelope; one
    // with an envelope goes on from the envelope, which ramps over the tick.
    bool keyOffSilences = (instrument->volumeType & 1) == 0;
    if (song->tick == 0) {
        if ((cell->note == 255 && keyOffSilences) || (cell->volume >> 4) == VolumeSetPanning) return true;
        if (cell->effect == EffectSetVolume || cell->effect == EffectSetPanning) return true;
        if (cell->effect == EffectExtended && x == ExtendedCoarsePanning) return true;
    }
    switch (cell->effect) {
        case EffectTremor:
            return true;
        case EffectKeyOff:
            return keyOffSilences && song->tick == cell->parameter;
        case EffectExtended:
            if (x == ExtendedNoteDelay) return NoteDelayTick(song) == y;
            return x == ExtendedNoteCut && song->tick == y;
        default:
            return false;
    }
}

// Whether the tracker restarts the envelopes on this later tick: a delayed
// note's tick, or a retrigger's.
bool RestartsEnvelopesNow(const Song* song, const PatternCell* cell) {
    std::uint8_t y = cell->parameter & 0x0F;
    if (DelaysCell(song, cell)) return NoteDelayTick(song) == y;
    bool retrigger = cell->effect == EffectExtended && (cell->parameter >> 4) == ExtendedRetrigger;
    return song->behaviour.trackerRetrigger && retrigger && RetriggersOnTick(song, y);
}

bool RepeatsDelayedNote(const Song* song, const PatternCell* cell) {
    if (!song->behaviour.noteDelayEveryRepeat || !DelaysCell(song, cell)) return false;
    return song->tick >= song->speed && NoteDelayTick(song) == (cell->parameter & 0x0F);
}

bool KeysOffAtOnce(const Song* song, const PatternCell* cell) {
    if (cell->note == 255) return true;
    if (cell->effect != EffectKeyOff) return false;
    return !song->behaviour.keyOffOnTick || cell->parameter == 0;
}

// Whether the note before a delayed cell keeps its instrument and sample
// until the cell's tick.
bool InstrumentWaits(const Song* song, const PatternCell* cell) {
    return song->behaviour.delayedInstrumentWaits && song->behaviour.instrumentWaitsForNote &&
           DelaysCell(song, cell);
}

// The sample of the cell's instrument for a note, or none.
Sample* NamedSample(const Song* song, const PatternCell* cell, std::uint8_t note) {
    if (song->instruments == nullptr || cell->instrument - 1 >= song->instrumentCount || note >= 96) return nullptr;
    Instrument* holder;
    return MappedSample(song, &song->instruments[cell->instrument - 1], note, &holder);
}

// In the older versions an instrument number beside a tone portamento's
// note reaches the glide: the target is transposed and tuned by the sample
// the sounding note names in that instrument.
Sample* GlideTargetSample(const Song* song, const Channel* channel, const PatternCell* cell, bool portamento,
                          Sample* sample) {
    if (!song->behaviour.glideInstrumentNamesSample || !portamento || !HoldsNote(cell)) return sample;
    Sample* named = NamedSample(song, cell, channel->note);
    return named != nullptr ? named : sample;
}

// ... and gives the volume of the sample the cell's own note names there.
void TakeNoteSampleVolume(const Song* song, Channel* channel, const PatternCell* cell, bool portamento) {
    if (!song->behaviour.glideInstrumentNamesSample || !portamento || !HoldsNote(cell)) return;
    const Sample* named = NamedSample(song, cell, static_cast<std::uint8_t>(cell->note - 1));
    if (named != nullptr) channel->volume = named->volume;
}

// A cell's key off and instrument number on its first tick.
void TakeKeyOffAndInstrument(const Song* song, Channel* channel, const PatternCell* cell, const Instrument* instrument,
                             const Sample* sample, bool portamento) {
    bool namesInstrument = NamesInstrument(cell);
    bool silences = KeysOffAtOnce(song, cell) && song->behaviour.keyOffSilencesVolume;
    // The tracker's key off comes before the instrument number's volume.
    bool keyOffFirst = silences && cell->note == 255 && song->behaviour.instrumentVolumeAfterKeyOff;
    if (keyOffFirst) KeyOff(song, channel, instrument);
    if (namesInstrument) {
        TakeInstrument(song, channel, cell, sample);
        TakeNoteSampleVolume(song, channel, cell, portamento);
    }
    if (silences && !keyOffFirst) KeyOff(song, channel, instrument);
    if (!namesInstrument && PlaysNote(song, cell, sample)) KeyDownAfterKeyOffInstrument(channel);
}

// In the older versions the effect column's vibrato is the row's only one:
// the volume column's only sets its speed or depth.
bool ColumnVibratoGivesWay(const Song* song, const PatternCell* cell) {
    if (!song->behaviour.effectVibratoAlone) return false;
    std::uint8_t command = cell->volume >> 4;
    bool columnVibrates = command == VolumeVibratoSpeed || command == VolumeVibrato;
    return columnVibrates && (cell->effect == EffectVibrato || cell->effect == EffectVibratoVolumeSlide);
}

// Whether the key off effect only releases the key, on the row's first tick.
bool ReleasesOnly(const Song* song, const PatternCell* cell) {
    return song->behaviour.keyOffEffectReleasesOnly && cell->effect == EffectKeyOff;
}

// The cell with the key off effect taken out where it only releases the key.
const PatternCell* WithoutReleaseEffect(const Song* song, const PatternCell* cell, PatternCell* copy) {
    if (!ReleasesOnly(song, cell)) return cell;
    *copy = *cell;
    copy->effect = 0;
    copy->parameter = 0;
    return copy;
}

std::int32_t RowOnChannel(Song* song, Channel* channel, const PatternCell* cell) {
    const bool releaseOnly = ReleasesOnly(song, cell);
    PatternCell releaseCell;
    cell = WithoutReleaseEffect(song, cell, &releaseCell);
    // The tracker reads K00 as a key off in the note column, in place of the cell's note.
    PatternCell keyOffCell;
    if (song->behaviour.keyOffEffectIsNote && cell->effect == EffectKeyOff && cell->parameter == 0) {
        keyOffCell = *cell;
        keyOffCell.note = 255;
        cell = &keyOffCell;
    }
    bool portamento = IsTonePortamento(song, cell);
    bool namesInstrument = NamesInstrument(cell);
    std::uint8_t soundingNote = channel->note;
    std::uint8_t soundingInstrument = channel->noteInstrument;
    std::uint8_t keptInstrument = channel->instrument;
    if (namesInstrument && !portamento) channel->instrument = cell->instrument - 1;
    if (HoldsNote(cell) && !portamento) {
        channel->note = cell->note - 1;
        channel->noteInstrument = channel->instrument;
    }

    // The cell's instrument and sample; the note before may play on with its own.
    Instrument* instrument;
    Sample* sample;
    Instrument* vibratoInstrument;
    FindInstrumentSample(song, channel, &instrument, &sample, &vibratoInstrument);
    Sample* cellSample = namesInstrument ? GlideTargetSample(song, channel, cell, portamento, sample) : sample;
    if (InstrumentWaits(song, cell)) {
        // On its tick a delayed instrument number reaches the note that plays.
        channel->delayedNote = channel->note;
        bool reachesNote = namesInstrument && !song->behaviour.delayedInstrumentKeepsNote;
        channel->delayedNoteInstrument = reachesNote ? channel->instrument : channel->noteInstrument;
        channel->delayedInstrument = channel->instrument;
        channel->note = soundingNote;
        channel->noteInstrument = soundingInstrument;
        channel->instrument = keptInstrument;
        FindInstrumentSample(song, channel, &instrument, &sample, &vibratoInstrument);
    }

    ChannelSnapshot before{channel->volume, channel->period, channel->panning};

    bool held = song->behaviour.heldVolumeOffsets;
    bool tremoloStops = channel->lastEffect == EffectTremolo && cell->effect != EffectTremolo;
    // The offset the tremolo had reached stays once the tremolo stops; the
    // tracker's goes with it.
    if (!held && tremoloStops) channel->volume += channel->volumeDelta;
    channel->lastEffect = cell->effect;
    bool dropped = tremoloStops && song->behaviour.trackerTremolo;
    channel->volumeDelta = held && !dropped ? channel->heldVolumeDelta : 0;
    channel->updateFlags = 0;

    if (PlaysNote(song, cell, cellSample)) {
        std::int32_t transposed = cell->note + cellSample->relativeNote - 1;
        if (transposed < 0) transposed = 0;
        std::int32_t highest = song->behaviour.outOfRangeNotesHeld ? kHighestHeldNote : kHighestRealNote;
        if (transposed > highest) transposed = highest;
        channel->realNote = static_cast<std::uint8_t>(transposed);
        channel->notePeriod = SongNotePeriod(song, channel->realNote, cellSample->finetune);
        if (!portamento) channel->period = channel->notePeriod;
        channel->updateFlags = UpdateTrigger;
        // The tracker starts a delayed note's waves on its own tick.
        bool delayed = song->behaviour.delayedNoteRestartsWaves && DelaysCell(song, cell);
        if (song->behaviour.wavesRestartOnNote && !portamento && !delayed) RestartWaves(channel);
        if (!portamento) channel->glidedSinceNote = 0;
        if (song->behaviour.retriggerCountFromNote && !portamento) channel->retrigCounter = 1;
    }
    channel->periodDelta = 0;
    channel->updateFlags |= UpdateFrequency | UpdateVolume;

    bool releasedBefore = channel->keyOff != 0;
    // The tracker leaves a delayed cell's instrument, volume column and key
    // off to the delay tick.
    if (!DelaysCell(song, cell)) {
        bool keysOff = KeysOffAtOnce(song, cell) || releaseOnly;
        bool silences = KeysOffAtOnce(song, cell) && song->behaviour.keyOffSilencesVolume;
        TakeKeyOffAndInstrument(song, channel, cell, instrument, sample, portamento);
        if (cell->volume != 0) VolumeColumnFirstTick(song, channel, cell->volume);
        if (song->behaviour.trackerPortamentoTarget && (cell->volume >> 4) == VolumeTonePortamento) {
            AimPortamento(song, channel, cell, sample);
        }
        if (keysOff && !(silences && !KeyOffReleases(song, instrument))) channel->keyOff = 1;
    } else if (song->behaviour.delayedNoteRestartsWaves && (cell->volume >> 4) == VolumeVibrato &&
               (cell->volume & 0x0F) != 0) {
        // The tracker takes a delayed cell's vibrato depth at once: the note
        // before vibrates with it until the delay tick.
        channel->vibratoDepth = cell->volume & 0x0F;
    }

    bool released = channel->keyOff != 0;
    if (song->behaviour.trackerSustainRelease && (KeysOffAtOnce(song, cell) || releaseOnly)) released = releasedBefore;
    StepEnvelopes(song, channel, instrument, released);
    // A released note without a volume envelope stops at once.
    if (!song->behaviour.keyOffSilencesVolume && (instrument->volumeType & 1) == 0 && channel->keyOff == 1) {
        channel->envelopeVolume = 0;
    }
    FadeOut(channel, instrument);

    std::int32_t loopRow = EffectFirstTick(song, channel, cell, instrument, sample, &before);
    bool volumeSet = namesInstrument || ColumnSetsVolume(cell->volume) ||
                     cell->effect == EffectSetVolume;
    // The tremor does not run on the first tick; the tracker's tremolo does.
    bool freshOffset = song->behaviour.trackerTremolo && cell->effect == EffectTremolo;
    if (held) HoldVolumeOffset(channel, volumeSet || channel->volume != before.volume, freshOffset);
    if (volumeSet || SetsOutright(song, cell, instrument)) channel->updateFlags |= UpdateVolumeSet;
    Glissando(song, channel, cell, sample);
    AutoVibrato(song, channel, vibratoInstrument);
    UpdateVoice(channel, sample, song);
    return loopRow;
}

void LaterTickOnChannel(Song* song, Channel* channel, const PatternCell* cell) {
    PatternCell releaseCell;
    cell = WithoutReleaseEffect(song, cell, &releaseCell);
    if (InstrumentWaits(song, cell) && NoteDelayTick(song) == (cell->parameter & 0x0F)) {
        channel->note = channel->delayedNote;
        channel->noteInstrument = channel->delayedNoteInstrument;
        channel->instrument = channel->delayedInstrument;
    }
    Instrument* instrument;
    Sample* sample;
    Instrument* vibratoInstrument;
    FindInstrumentSample(song, channel, &instrument, &sample, &vibratoInstrument);

    bool held = song->behaviour.heldVolumeOffsets;
    std::int32_t volumeBefore = channel->volume;
    channel->volumeDelta = held ? channel->heldVolumeDelta : 0;
    channel->periodDelta = 0;
    channel->updateFlags = 0;

    StepEnvelopes(song, channel, instrument, channel->keyOff != 0);
    FadeOut(channel, instrument);
    // A delayed note that plays again in a repeat of its row comes before the
    // volume column's slides.
    bool delayFirst = RepeatsDelayedNote(song, cell);
    bool columnWaits = song->behaviour.delayedColumnWaits && DelaysCell(song, cell);
    std::int32_t delayTick = cell->parameter & 0x0F;
    if (columnWaits && NoteDelayTick(song) == delayTick) delayFirst = true;
    bool takenAsRow = song->behaviour.delayedCellTakenAsRow && DelaysCell(song, cell) &&
                      NoteDelayTick(song) == delayTick;
    if (takenAsRow) TakeKeyOffAndInstrument(song, channel, cell, instrument, sample, IsTonePortamento(song, cell));
    if (delayFirst) EffectLaterTick(song, channel, cell, instrument, sample);
    bool silences = KeysOffAtOnce(song, cell) && song->behaviour.keyOffSilencesVolume;
    if (takenAsRow && KeysOffAtOnce(song, cell) && !(silences && !KeyOffReleases(song, instrument))) {
        channel->keyOff = 1;
    }
    bool columnRuns = !columnWaits || NoteDelayTick(song) >= delayTick;
    if (columnRuns && !ColumnVibratoGivesWay(song, cell)) VolumeColumnLaterTick(song, channel, cell->volume);
    if (!delayFirst) EffectLaterTick(song, channel, cell, instrument, sample);
    // Envelopes restarted by a delayed note or a retrigger step on that tick,
    // as a row's new note's do.
    if (RestartsEnvelopesNow(song, cell)) StepEnvelopes(song, channel, instrument, channel->keyOff != 0);
    bool freshOffset = cell->effect == EffectTremolo || cell->effect == EffectTremor;
    if (held) HoldVolumeOffset(channel, channel->volume != volumeBefore, freshOffset);
    if (SetsOutright(song, cell, instrument)) channel->updateFlags |= UpdateVolumeSet;
    Glissando(song, channel, cell, sample);
    AutoVibrato(song, channel, vibratoInstrument);
    UpdateVoice(channel, sample, song);
}

void MoveToNextOrder(Song* song) {
    song->nextOrder = song->order + 1;
    if (song->nextOrder >= SongOrderCount(song)) song->nextOrder = RestartOrder(song);
}

// The row after this one, or the next order's first row.
void MoveOnFrom(Song* song, std::int32_t row) {
    song->nextRow = row + 1;
    if (song->nextRow < PatternRowsAt(song, song->order)) return;
    MoveToNextOrder(song);
    song->nextRow = song->loopCarryRow;
    song->loopCarryRow = 0;
}

// Back to a pattern loop's row, or on from it (see the switches).
void LoopBack(Song* song, std::int32_t loopRow) {
    song->nextRow = loopRow;
    if (song->behaviour.loopRowCarriesToNextPattern) song->loopCarryRow = loopRow;
    const std::int32_t rows = PatternRowsAt(song, song->order);
    if (song->behaviour.loopPastPatternEndMovesOn && loopRow >= rows) {
        MoveToNextOrder(song);
        song->nextRow = 0;
    } else if (song->behaviour.delayedLoopSkipsStartRow && song->extraTicks > 0) {
        song->nextRow = loopRow + 1 < rows ? loopRow + 1 : 0;
    }
}

}  // namespace

std::int32_t ProcessRow(Song* song) {
    song->nextOrder = -1;
    song->nextRow = -1;
    const PatternCell* row = CurrentRowCells(song);
    std::int32_t loopRow = -1;
    bool positionJump = false;
    std::int32_t channels = PlayedChannelCount(song);
    for (std::int32_t c = 0; c < channels; ++c) {
        const PatternCell* cell = CellOf(row, c);
        std::int32_t asked = RowOnChannel(song, &audioOutput.channels[c], cell);
        if (cell->effect == EffectPositionJump) positionJump = true;
        if (asked < 0) continue;
        // The highest-numbered channel that asks for a loop decides.
        loopRow = asked;
        if (song->behaviour.loopAfterBreakSetsRow && song->nextRow >= 0 && !positionJump) {
            song->nextRow = asked;
        }
    }
    // A global volume set outright reaches every channel outright.
    for (std::int32_t c = 0; c < channels; ++c) {
        if (CellOf(row, c)->effect != EffectGlobalVolume) continue;
        for (std::int32_t d = 0; d < channels; ++d) audioOutput.channels[d].updateFlags |= UpdateVolumeSet;
        break;
    }
    RefreshGains(song);
    return loopRow;
}

void ProcessTick(Song* song) {
    const PatternCell* row = CurrentRowCells(song);
    std::int32_t channels = PlayedChannelCount(song);
    std::int32_t globalVolumeBefore = song->globalVolume;
    for (std::int32_t c = 0; c < channels; ++c) {
        LaterTickOnChannel(song, &audioOutput.channels[c], CellOf(row, c));
    }
    // The tracker's global volume slide reaches every channel outright.
    if (song->behaviour.trackerGlobalVolumeSlide && song->globalVolume != globalVolumeBefore) {
        for (std::int32_t c = 0; c < channels; ++c) audioOutput.channels[c].updateFlags |= UpdateVolumeSet;
    }
    RefreshGains(song);
}

void ReplayerTick(Song* song) {
    if (song->tick == 0) {
        if (song->nextOrder >= 0) song->order = song->nextOrder;
        if (song->nextRow >= 0) song->row = song->nextRow;
        std::int32_t loopRow = ProcessRow(song);
        // The loop's jump back goes first; a break or jump beside it waits for the loop's end.
        if (loopRow >= 0 && song->behaviour.loopBeforeBreak) {
            song->nextRow = -1;
            song->nextOrder = -1;
        }
        if (song->nextRow == -1) {
            if (loopRow >= 0) {
                LoopBack(song, loopRow);
            } else {
                MoveOnFrom(song, song->row);
            }
        } else {
            song->loopCarryRow = 0;
        }
    } else {
        ProcessTick(song);
    }
    song->tick += 1;
    if (song->tick >= song->speed + song->extraTicks) {
        song->tick = 0;
        song->extraTicks = 0;
    }
}
