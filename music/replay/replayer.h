#pragma once
// The replay stage, file by file: the score as the replayer reads it, the
// tempo, the row and tick machine, the effects, and the envelopes, pitch and
// voice control that hand each channel's tick to its voice. The output and
// the loader call in here; only the music player and its tests include this.
#include <cstdint>

#include "music/output/audio_output.h"
#include "music/song.h"

// The channel's volume, period and panning as they were before a row's cell
// was read; a note delay puts them back.
struct ChannelSnapshot {
    std::int32_t volume;
    std::int32_t period;
    std::int32_t panning;
};

// One of an instrument's two envelopes.
struct EnvelopeShape {
    const EnvelopePoint* points;
    std::int32_t count;  // points in use, never more than kEnvelopeCapacity
    std::uint8_t type;   // bit 0 on, bit 1 sustain, bit 2 loop
    std::uint8_t sustain;
    std::uint8_t loopStart;
    std::uint8_t loopEnd;
};

// A channel's running state for one envelope.
struct EnvelopeState {
    std::int32_t* tick;
    std::int32_t* point;
    std::int32_t* value;  // 16.16
    std::int32_t* output;
    std::int32_t* delta;  // 16.16 per tick
    std::uint8_t* done;
};

// score.cpp
// Order positions the song really has: the file's count, held to the table.
std::int32_t SongOrderCount(const Song* song);
// Where play continues after the last order; a restart position the order
// list does not reach starts the song over instead.
std::int32_t RestartOrder(const Song* song);
// Channels beyond the table are never played, whatever the song declares.
std::int32_t PlayedChannelCount(const Song* song);
// The cells of the current row, channelCount of them, or none when the order,
// pattern or row lies outside what the song holds.
const PatternCell* CurrentRowCells(const Song* song);
bool NamesInstrument(const PatternCell* cell);
bool HoldsNote(const PatternCell* cell);
// Whether a volume column byte sets the volume outright (0x10 to 0x50).
bool ColumnSetsVolume(std::uint8_t volume);
// Whether a cell's note is played: the tracker leaves out notes that the
// sample's relative note takes outside 0..119.
bool PlaysNote(const Song* song, const PatternCell* cell, const Sample* sample);
// Effect 3 or 5, or in the tracker's playback the volume column's as well.
bool IsTonePortamento(const Song* song, const PatternCell* cell);

// tempo.cpp
void SongSetBpm(Song* song, std::int32_t bpm);

// replayer.cpp
// The instrument and sample a channel plays, found from its instrument and
// note, and the instrument whose auto-vibrato the sample takes.
void FindInstrumentSample(const Song* song, const Channel* channel, Instrument** instrument,
                          Sample** sample, Instrument** vibratoInstrument = nullptr);
// Both answer the row a pattern loop asks to jump back to, or -1.
std::int32_t ProcessRow(Song* song);
void ProcessTick(Song* song);
// One tick of the song; the loader installs it as every song's tickHandler.
void ReplayerTick(Song* song);

// effects.cpp
std::int32_t EffectFirstTick(Song* song, Channel* channel, const PatternCell* cell,
                             Instrument* instrument, Sample* sample,
                             const ChannelSnapshot* before);
void EffectLaterTick(Song* song, Channel* channel, const PatternCell* cell,
                     Instrument* instrument, Sample* sample);
// The tick a note delay counts against: the row's tick, or in the tracker's
// playback the tick within the current repeat of a delayed row.
std::int32_t NoteDelayTick(const Song* song);
void VolumeColumnFirstTick(const Song* song, Channel* channel, std::uint8_t value);
void VolumeColumnLaterTick(const Song* song, Channel* channel, std::uint8_t value);
// The target of a tone portamento on its first tick, from the cell's note.
void AimPortamento(const Song* song, Channel* channel, const PatternCell* cell, const Sample* sample);
void TonePortamento(const Song* song, Channel* channel);
// With glissando control on, once a tone portamento has run since the last
// note, the channel sounds at the note of the song's table nearest its
// period, the lower one where two are as near, whatever moves the period
// but an arpeggio's raised note; the period itself goes on in its own steps.
void Glissando(const Song* song, Channel* channel, const PatternCell* cell, const Sample* sample);
void Vibrato(const Song* song, Channel* channel);
void VibratoAdvance(Channel* channel);
void Tremolo(const Song* song, Channel* channel);
void Tremor(Channel* channel);
void VolumeSlide(Channel* channel);
void MultiRetrigger(const Song* song, Channel* channel, const PatternCell* cell);
// Whether a retrigger (E9x) of this interval restarts the note on this later tick.
bool RetriggersOnTick(const Song* song, std::uint8_t interval);
void EnvelopePosition(const Song* song, Channel* channel, const Instrument* instrument, std::uint8_t tick);

// voice_control.cpp
EnvelopeShape VolumeEnvelopeOf(const Instrument* instrument);
EnvelopeShape PanningEnvelopeOf(const Instrument* instrument);
EnvelopeState VolumeEnvelopeStateOf(Channel* channel);
EnvelopeState PanningEnvelopeStateOf(Channel* channel);

// The envelopes and the auto-vibrato from their start, as a new instrument
// starts them; the key and the fade-out stay as they are.
void RestartEnvelopes(Channel* channel);
// A new instrument on the channel: its sample's volume and panning, the
// envelopes from their start, the key down again, and the tremor's count
// from its start where restartsTremor says so.
void ResetInstrument(Channel* channel, const Sample* sample, bool restartsTremor);
// The vibrato's and tremolo's waves from their start, unless their waveform keeps them running.
void RestartWaves(Channel* channel);
// How an envelope waiting at its sustain point lets go once the key is released.
enum class SustainRelease : std::uint8_t {
    OnTheNextStep,  // it gives the point's value once more, then moves on
    AtOnce,         // the step after the release is already one tick on
    Never,          // as AtOnce, but a point it held for a step more than
                    // its arrival keeps it for good
};
// The done flag of an envelope waiting at its sustain point: arrived there
// on the last step, or held there since; a stuck one no longer steps.
constexpr std::uint8_t kEnvelopeArrived = 2;
constexpr std::uint8_t kEnvelopeHeld = 3;
constexpr std::uint8_t kEnvelopeStuck = 4;
struct EnvelopeRules {
    // A loop that ends at the sustain point no longer loops once released.
    bool releaseEndsLoop;
    // The key as this step sees it.
    bool released;
    SustainRelease sustain;
};
void StepEnvelope(Channel* channel, const EnvelopeShape& envelope, const EnvelopeState& state,
                  std::uint8_t flagBit, const EnvelopeRules& rules);
void FadeOut(Channel* channel, const Instrument* instrument);
// Releases the note on a later tick; without a volume envelope it stops at once.
void KeyOff(const Song* song, Channel* channel, const Instrument* instrument);
// Whether a key off releases a note of the instrument, or only silences it.
bool KeyOffReleases(const Song* song, const Instrument* instrument);
void AutoVibrato(const Song* song, Channel* channel, const Instrument* instrument);
std::int32_t AmigaPeriod(std::int32_t note);
// With trackerTable, the periods of the tracker's table, whose finetune
// counts in sixteenths of a semitone.
std::int32_t NotePeriod(std::uint8_t note, std::int8_t finetune, bool trackerTable = false);
// The semitone a glissando sounds on the tracker's Amiga table: the first
// note, upward, whose period half a semitone sharper is at or below the period.
std::int32_t TrackerGlissandoPeriod(std::int32_t period, std::int8_t finetune);
std::int32_t LinearPeriod(std::uint8_t note, std::int8_t finetune);
// The period of a note in the song's frequency table.
std::int32_t SongNotePeriod(const Song* song, std::uint8_t note, std::int8_t finetune);
// The frequency a period and its delta sound at, before the floor and the ceiling.
std::int64_t PeriodFrequency(const Song* song, std::int32_t period, std::int32_t periodDelta);
void UpdateVoice(Channel* channel, Sample* sample, const Song* song);
// The tracker's gains of every channel again, after all channels' effects of
// the tick: a global volume set by a later channel reaches the earlier ones
// on the same tick.
void RefreshGains(const Song* song);

// Highest note a transposed note is held to; above it the Amiga periods
// shrink to a few units and stop meaning anything.
constexpr std::int32_t kHighestRealNote = 119;
// The top the older versions of the format tracker hold such a note to.
constexpr std::int32_t kHighestHeldNote = 118;
