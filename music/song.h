#pragma once
// The loaded module and its play state: plain records shared by the loader,
// the audio output, the replayer, the mixer and the scene's music cues.
#include <cstdint>

struct PatternCell {
    std::uint8_t note;        // 0 none, 1..96 a note, 255 key off
    std::uint8_t instrument;  // 0 none, 1..128
    std::uint8_t volume;      // volume column, as in the file
    std::uint8_t effect;      // effect type
    std::uint8_t parameter;   // effect parameter
};
static_assert(sizeof(PatternCell) == 5, "the scene indexes cells as 5-byte records");

// Effect types of the effect column, in the format's numbering; the types
// missing here do nothing.
enum : std::uint8_t {
    EffectArpeggio = 0,
    EffectPortamentoUp = 1,
    EffectPortamentoDown = 2,
    EffectTonePortamento = 3,
    EffectVibrato = 4,
    EffectTonePortamentoVolumeSlide = 5,
    EffectVibratoVolumeSlide = 6,
    EffectTremolo = 7,
    EffectSetPanning = 8,
    EffectSampleOffset = 9,
    EffectVolumeSlide = 10,
    EffectPositionJump = 11,
    EffectSetVolume = 12,
    EffectPatternBreak = 13,
    EffectExtended = 14,
    EffectSpeedTempo = 15,
    EffectGlobalVolume = 16,
    EffectGlobalVolumeSlide = 17,
    EffectKeyOff = 20,
    EffectEnvelopePosition = 21,
    EffectPanningSlide = 25,
    EffectMultiRetrigger = 27,
    EffectTremor = 29,
    EffectExtraFinePortamento = 33,
};

// The extended effect's commands: the high nibble of its parameter.
enum : std::uint8_t {
    ExtendedFinePortamentoUp = 1,
    ExtendedFinePortamentoDown = 2,
    ExtendedGlissando = 3,
    ExtendedVibratoWaveform = 4,
    ExtendedFinetune = 5,
    ExtendedPatternLoop = 6,
    ExtendedTremoloWaveform = 7,
    ExtendedCoarsePanning = 8,
    ExtendedRetrigger = 9,
    ExtendedFineVolumeUp = 10,
    ExtendedFineVolumeDown = 11,
    ExtendedNoteCut = 12,
    ExtendedNoteDelay = 13,
    ExtendedRowDelay = 14,
};

// Volume-column commands: the high nibble of the column's byte. Values 0x10
// to 0x50 set the volume instead.
enum : std::uint8_t {
    VolumeSlideDown = 0x6,
    VolumeSlideUp = 0x7,
    VolumeFineDown = 0x8,
    VolumeFineUp = 0x9,
    VolumeVibratoSpeed = 0xA,
    VolumeVibrato = 0xB,
    VolumeSetPanning = 0xC,
    VolumePanningSlideLeft = 0xD,
    VolumePanningSlideRight = 0xE,
    VolumeTonePortamento = 0xF,
};

struct Pattern {
    std::int32_t rows;
    PatternCell* cells;  // rows x channelCount, row after row
};

struct EnvelopePoint {
    std::uint16_t x;  // tick
    std::uint16_t y;  // value
};

struct Sample {
    std::int16_t* data;  // length + 8 frames, or none
    std::uint32_t length;
    std::uint32_t loopStart;
    std::uint32_t loopLength;
    std::uint8_t volume;
    std::int8_t finetune;
    std::int32_t panning;
    std::uint8_t bits;
    std::uint8_t loopType;  // 1 none, 2 forward, 4 ping-pong
    std::int8_t relativeNote;
};

enum : std::uint8_t { LoopNone = 1, LoopForward = 2, LoopPingPong = 4 };

constexpr int kEnvelopeCapacity = 20;
// Samples an instrument keeps; the intro's playback uses only the first 16.
constexpr int kInstrumentSampleSlots = 32;
constexpr int kIntroSampleSlots = 16;
constexpr int kEnvelopeFilePoints = 12;

struct Instrument {
    std::int32_t sampleCount;
    Sample* samples[kInstrumentSampleSlots];
    // The samples the file declares for the instrument, those past the ones
    // kept included.
    std::uint16_t fileSampleCount;
    std::uint8_t noteSample[96];
    EnvelopePoint volumeEnvelope[kEnvelopeCapacity];
    EnvelopePoint panningEnvelope[kEnvelopeCapacity];
    std::uint8_t volumePoints;
    std::uint8_t panningPoints;
    std::uint8_t volumeSustain;
    std::uint8_t volumeLoopStart;
    std::uint8_t volumeLoopEnd;
    std::uint8_t panningSustain;
    std::uint8_t panningLoopStart;
    std::uint8_t panningLoopEnd;
    std::uint8_t volumeType;   // bit 0 on, bit 1 sustain, bit 2 loop
    std::uint8_t panningType;
    std::uint8_t vibratoType;
    std::uint8_t vibratoSweep;
    std::uint8_t vibratoDepth;
    std::uint8_t vibratoRate;
    std::uint16_t fadeout;
};

// The one empty sample and instrument, never freed: the loader fills unused
// sample slots with the sample, and the replayer plays both where a cell
// names nothing playable.
extern Sample emptySample;
extern Instrument emptyInstrument;

// Where the intro's playback and the format's reference tracker part ways,
// one switch each. All off is the intro's playback, which every loaded song
// starts with; SongSetPlaybackStyle sets them from a preset.
struct PlaybackBehaviour {
    // Panning 0 is left and 255 right, the two gains sum to the volume, which
    // keeps its fraction, and they follow every tick once all channels have
    // run, so a global volume change reaches every channel on its tick.
    bool trackerPanningAndVolume;
    // Volume changes and note starts ramp over 16 frames at 44100 Hz, not
    // 128, and at other rates over the nearest whole number of frames.
    bool shortVolumeRamps;
    // What the envelopes, the fade-out and the slides change ramps over the
    // whole next tick; only what is set outright (a note, a volume or
    // panning, a cut, a key off on a note without a volume envelope, the
    // tremor), or what a silent voice starts from, takes the short ramp.
    bool gainsRampOverTick;
    // A volume-column tone portamento keeps the note, the instrument and the
    // voice, as effect 3 does, instead of jumping to the new note.
    bool volumeColumnPortamentoGlides;
    // The volume column's slides of volume and panning wait for the second tick.
    bool volumeColumnSlidesSkipFirstTick;
    // Vibrato keeps the fraction of its depth; the volume column's vibrato
    // also runs on the first tick, its speed or depth 0 keeps the last, and
    // it takes its depth on the first tick only.
    bool trackerVibrato;
    // The vibrato's sine comes from the tracker's table: 64 steps of 0..127,
    // rounded, rather than 0..255 truncated.
    bool roundedVibratoSine;
    // On the Amiga table the vibrato and the auto-vibrato swing the pitch
    // the way they do on the linear table: the vibrato starts downward in
    // pitch, the auto-vibrato upward, whichever way the period goes.
    bool amigaVibratoInPitch;
    // The volume column's panning slides stop at 0 and 255.
    bool panningSlidesBounded;
    // Set volume takes values above 64 as 64.
    bool setVolumeHeldTo64;
    // Arpeggio picks its note from the ticks left in the row, not the ticks gone.
    bool arpeggioCountsDown;
    // Arpeggio raises the table's note nearest the current period (a tie
    // goes to the lower note), and plays anything past the highest note as
    // the note above it, without finetune.
    bool arpeggioFromTable;
    // Arpeggio adds its offset to the volume column's vibrato on the same
    // tick rather than replacing it.
    bool arpeggioKeepsVibrato;
    // Retrigger (E9x) also restarts the envelopes and the auto-vibrato, and
    // E90 restarts the note on the first tick.
    bool trackerRetrigger;
    // Retrigger E90 restarts the note on every tick but the first.
    bool retriggerZeroEveryTick;
    // Key off (Kxx) releases the note on tick xx rather than on the first tick.
    bool keyOffOnTick;
    // A note delay of 0 plays the note at once; a delayed cell takes its
    // instrument, volume column and key off on the delay tick, and without an
    // instrument keeps the volume and panning but restarts the envelopes.
    bool trackerNoteDelay;
    // A delayed note plays again on its tick of every repeat of a row that a
    // row delay (EEx) holds, there before the volume column's slides.
    bool noteDelayEveryRepeat;
    // A delayed note starts its vibrato and tremolo waves again on its own
    // tick, and the volume column's vibrato moves on from there; the depth
    // that column names is taken on the row's first tick.
    bool delayedNoteRestartsWaves;
    // A delayed note's volume column leaves out its fine volume slides and
    // its tone portamento, whose speed is not taken.
    bool delayedNoteLosesFineCommands;
    // A delayed cell starts its instrument again on its tick, instrument
    // number or not: the key goes down and the fade-out starts over. A
    // delayed key off comes before that, so that it only silences an
    // instrument without a volume envelope.
    bool delayedCellKeysOn;
    // Until a delayed cell's tick the note before plays on with its own
    // instrument and sample, its envelopes, fade-out and auto-vibrato going
    // on; on the tick the cell's instrument number becomes the channel's and
    // reaches the note that plays, with or without a note in the cell.
    bool delayedInstrumentWaits;
    // A delayed cell's volume column waits for the delay tick, where its
    // slides start, after the note.
    bool delayedColumnWaits;
    // A delayed cell without a note does not start the sample again.
    bool delayedEmptyCellKeepsVoice;
    // A delayed note beside the volume column's tone portamento glides to
    // its note from the delay tick on, at the speed the column names.
    bool delayedColumnPortamentoGlides;
    // A delayed instrument number without a note leaves the sounding note
    // its own instrument, as one that is not delayed does.
    bool delayedInstrumentKeepsNote;
    // A delayed cell's instrument number and key off act on its tick as on a
    // row's first tick: without an instrument the envelopes go on.
    bool delayedCellTakenAsRow;
    // Note cut on tick 0 (EC0) cuts at once.
    bool noteCutOnFirstTick;
    // Set finetune (E5x) sets (y - 8) x 16 for the cell's note only.
    bool finetuneForNoteOnly;
    // A sample offset without a note does nothing; one past the sample's end
    // silences the note instead of starting it from the beginning.
    bool trackerSampleOffset;
    // A pattern loop's row is where the next pattern starts.
    bool loopRowCarriesToNextPattern;
    // A jump or break past the last order goes to the restart position.
    bool jumpsPastEndRestart;
    // A pattern loop in a channel right of a pattern break sends the next
    // pattern to the loop's row instead of the break's; a position jump on
    // the row still starts its order from the top.
    bool loopAfterBreakSetsRow;
    // A row delay on the row that loops back spends its repeats on the
    // loop's first row without playing it, and goes on from the row after,
    // or from the pattern's first row when the loop's row is its last.
    bool delayedLoopSkipsStartRow;
    // A loop back to a row past the pattern's end, a row that a longer
    // pattern set, goes on at the next order's first row; the row still
    // carries to the pattern after that.
    bool loopPastPatternEndMovesOn;
    // One pass ends on entering a row already played while every channel's
    // pattern loop counted as it does now, not on entering an order again:
    // a jump back to an order's unplayed rows, or a loop's second round, plays on.
    bool passEndsOnRevisitedRow;
    // A note its sample transposes outside the playable range is not played.
    bool outOfRangeNotesSilent;
    // The tremolo's and the tremor's offsets hold from tick to tick, also into
    // the next row, until the volume is next set; the tremor counts only the
    // ticks after the first, on and off, across rows.
    bool heldVolumeOffsets;
    // An envelope whose loop ends at its sustain point stops looping there
    // once the key is released, and goes on to its last point.
    bool releaseEndsSustainLoop;
    // The auto-vibrato reads its position and sweep one tick on, and its
    // offset rounds toward zero.
    bool trackerAutoVibrato;
    // Periods as the tracker's tables give them: the finetune in sixteenths
    // of a semitone, the Amiga periods from the tracker's own table, and the
    // Amiga C-4 at 8363 Hz as in the linear table.
    bool trackerPeriods;
    // Beside a key off an instrument number resets only the volume and panning.
    bool trackerInstrumentNumbers;
    // The fine volume slides up and down keep a memory each.
    bool separateFineVolumeMemories;
    // Multi retrigger keeps each nibble's memory and counts every tick with
    // its own counter, the first of a row included, and restarts the note
    // once the count passes the interval (every tick at interval 0). The
    // count starts at 0 on a channel that never counted and at each
    // retrigger (E9x), at 1 after an instrument number and its own restart;
    // a note on the first tick is counted but sounds by itself. Volume
    // change 6 takes the volume to 5/8.
    bool trackerMultiRetrigger;
    // The tremolo takes its offset on a row's first tick too, where the wave
    // stands, and drops it on the next row without a tremolo; its ramp falls
    // or rises as the vibrato's position says, not its own.
    bool trackerTremolo;
    // Beside a volume set in the volume column, multi retrigger restarts the
    // note at that volume, whatever its volume change, and does not count
    // the row's first tick.
    bool retriggerTakesColumnVolume;
    // Every note start but a tone portamento's, the retrigger's (E9x) and
    // the multi retrigger's own included, starts the multi retrigger's count
    // again, as the retrigger does on its first tick; an instrument number
    // alone does not.
    bool retriggerCountFromNote;
    // Beside a volume set in the volume column and a volume change the cell
    // names, multi retrigger's interval is one tick longer.
    bool retriggerLongerBesideColumnVolume;
    // Only a tone portamento's own playable note sets its target; once there,
    // it glides only downward and lands at once on a target above.
    bool trackerPortamentoTarget;
    // A key off on an instrument without a volume envelope sets the channel's
    // volume to 0, so that a volume set later is heard again, fading out; on
    // the first tick it comes before the volume column. A delayed key off
    // releases the note on its tick without restarting the sample.
    bool keyOffSilencesVolume;
    // Notes may name an instrument's samples past the 16th, up to the 32 kept.
    bool everySampleOfInstrument;
    // A new note restarts the vibrato and tremolo waves of waveforms 0 to 3,
    // with or without an instrument number.
    bool wavesRestartOnNote;
    // An instrument number without a note is kept for the next note: the
    // sounding note keeps its instrument's sample and envelopes, which
    // restart, and takes its own sample's volume and panning again. So does
    // a number past the song's instruments or of one without samples, and
    // the next note without an instrument number is then silent.
    bool instrumentWaitsForNote;
    // Glissando control (E3x): once a tone portamento has run since the last
    // note, the pitch sounds in whole semitones, whatever moves it; on the
    // Amiga table a semitone holds until half a semitone sharper is passed.
    bool glissando;
    // The envelope position effect also moves the panning envelope when the
    // volume envelope has a sustain point.
    bool envelopePositionMovesPanning;
    // The envelope position effect gives the target tick's value and steps on
    // from the tick after it: a point at the target, a loop end too, is
    // passed, except the sustain point, where a held key keeps it.
    bool envelopePositionFromTarget;
    // Files saved by the format's own tracker, or by the trackers the
    // reference takes for it, pan each side by the square root of its share;
    // other files share linearly, as loud at the edges and 3 dB quieter in
    // the middle (see Song::savedBy).
    bool squareRootPanningForFormatTracker;
    // Files of the format tracker's older versions mix quieter the more
    // channels the module has: from two thirds of the level up to five
    // channels to about a third at thirty and more.
    bool olderTrackerMixLevel;
    // Files saved by the format's own tracker, in its 0x0104 layout with
    // blank-padded names, ramp every gain change over 5 ms, not the short ramp.
    bool formatTrackerRamps;
    // A voice whose volume falls, to silence or not, ramps over 42 frames at
    // 44100 Hz; rising volumes and panning keep the short ramp. Files that
    // take the format tracker's ramps keep them both ways.
    bool longerRampsDown;
    // The panning envelope swings by its offset times the distance to the
    // nearer edge, over 32, not by the offset times that distance's 32nds.
    bool trackerPanningEnvelope;
    // Each channel keeps its own memory of the global volume slide (Hxy),
    // and what the slide changes reaches every channel over the short ramp,
    // as a global volume set outright does.
    bool trackerGlobalVolumeSlide;
    // An instrument number beside a key off gives the released note its
    // sample's volume after the key off has silenced an instrument without a
    // volume envelope, so the note plays on, fading out; beside a delayed key
    // off it also takes the key down again.
    bool instrumentVolumeAfterKeyOff;
    // After an instrument number beside a key off, the next note without an
    // instrument number takes the key down again, keeping its envelopes and
    // volume; the fade-out stops, unheard until the next key off goes on
    // with it.
    bool noteAfterKeyOffInstrumentKeysOn;
    // Key off on the first tick (K00) stands for a key off in the note
    // column: the cell's note is not played.
    bool keyOffEffectIsNote;
    // The tremor's off ticks silence the note whatever volume is set or slid
    // meanwhile, until the tremor turns it on again or an instrument number
    // resets the channel.
    bool tremorMutesUntilOn;
    // The volume column's panning slide left by 0 (D0) sends the panning
    // fully left on each tick after the first.
    bool panningSlideLeftZeroToEdge;
    // Coarse panning (E8x) sets x times 17, so that F is fully right.
    bool coarsePanningFullRange;
    // Only the sounding note's instrument's own panning envelope swings the
    // panning: a note of an instrument without one sounds at the channel's panning.
    bool panningEnvelopeOfNoteInstrument;
    // The envelopes step before a key off on a row's first tick sees them; one
    // waiting at its sustain point moves on with the first step after the
    // release, except a panning envelope that waited there a step past its
    // arrival, which stays there until the next note. A panning envelope
    // waiting there that the envelope position effect moves stays at its
    // new position.
    bool trackerSustainRelease;
    // Frequencies keep their fraction of a hertz down to sixteenths: a pitch
    // between the notes, which slides and vibratos leave, is not rounded down
    // to whole hertz.
    bool exactFrequencies;
    // The format tracker's older versions take the finetune whole on the
    // linear table, in 128ths of a semitone, not in sixteenths.
    bool wholeLinearFinetune;
    // The older versions play a note its sample transposes outside the
    // playable range at the nearest end of it, the top being note 118.
    bool outOfRangeNotesHeld;
    // The older versions keep one memory for the portamento up and down.
    bool sharedPortamentoMemory;
    // In the older versions an instrument number beside a tone portamento's
    // note reaches the glide, while the sample before glides on with its
    // panning: the instrument's sample for the sounding note transposes and
    // tunes the target, its sample for the cell's note gives the volume.
    bool glideInstrumentNamesSample;
    // A note whose instrument's map names a sample past those the file
    // declares for it plays the instrument's first sample.
    bool unmappedNotesPlayFirstSample;
    // In an instrument that declares more samples than the 32 kept, a map
    // entry e from 32 up, below the declared count, names the module's e-th
    // sample, counted from 1 over every instrument's kept samples in order:
    // the instrument's own 32nd, a later instrument's, or none. The note
    // keeps its instrument's envelopes and fade-out, and takes that sample's
    // instrument's auto-vibrato.
    bool samplesPast32ByModuleNumber;
    // An instrument without a volume envelope sounds at the envelope's full
    // level, also under a note that an earlier instrument's envelope left lower.
    bool volumeEnvelopeOfNoteInstrument;
    // The older versions' volume-column vibrato speed (Ax) also vibrates, at
    // the depth last set, as the column's vibrato does.
    bool vibratoSpeedVibrates;
    // In the older versions a vibrato in the effect column (4xy, 6xy) is the
    // row's only one: the volume column's vibrato beside it only sets its
    // speed or depth.
    bool effectVibratoAlone;
    // The older versions' volume-column vibrato speed and depth of 0 take
    // the last value either of them set.
    bool columnVibratoMemory;
    // The older versions' arpeggio raises the note last played, not the
    // table's note nearest a period that slides have moved, also past the
    // highest note; a step of 0 leaves the slid pitch.
    bool arpeggioFromNote;
    // The format tracker's older versions take the key off effect (Kxx) on
    // the row's first tick, whatever its tick, as a release alone: the
    // cell's note plays, and a note without a volume envelope keeps its
    // volume, fading out.
    bool keyOffEffectReleasesOnly;
    // The format tracker's older versions start a pattern loop only while no
    // other channel's loop is counting, so that of the loops ending on one
    // row the leftmost counts, and a loop finished inside another's does not
    // start again on the next round.
    bool oneLoopAtATime;
    // The older versions take a pattern loop's jump back before a pattern
    // break or position jump on its row; the break or jump comes once the
    // loop is done.
    bool loopBeforeBreak;
    // The older versions' glissando sounds the note at or above the pitch,
    // not the nearest.
    bool glissandoRoundsUp;
    // On either table the slides up, fine and extra fine included, stop at
    // period 1 rather than at 56 or not at all.
    bool slidesUpToPeriodOne;
    // The tracker's mixer plays steps of up to 1023 frames a frame, period 1
    // of the Amiga table included, and ends a voice whose step leaps its
    // whole forward loop where one loop length back still leaves it past
    // the loop's end.
    bool leapingSteps;
    // No pitch is raised to 100 Hz, and on the linear table periods from
    // 9920 on, a little under 70 Hz, hold the voice where it is.
    bool linearTableBottom;
    // On the Amiga table the pitch comes from the period's low 16 bits: a
    // slide down past 65535 comes back in at the top while the period
    // itself slides on.
    bool amigaPitchFromLow16Bits;
    // The tracker's mixer reads a one-shot sample's last frame again past its
    // end, and a voice that ends holds its last output and lets it fall by
    // 1/256 each output frame, whatever the rate, summed with what follows.
    bool heldVoiceEnds;
    // The older versions' panning slides, of both columns, move four steps
    // of the panning per step of the slide and stop at 0 and 256, fully right.
    bool panningSlidesFourfold;
    // The older versions' volume-column slides of volume and panning and
    // fine volume slides of 0 take the column's last nonzero parameter,
    // which these and the column's vibrato set.
    bool columnSlideMemory;
    // The older versions' envelope position effect moves the panning
    // envelope whether the volume envelope has a sustain point or not.
    bool envelopePositionAlwaysMovesPanning;
    // The older versions' key off only silences a note whose instrument has
    // no volume envelope, without releasing it: it does not fade out, its
    // panning envelope waits on at its sustain point, and a volume set later
    // plays it on.
    bool keyOffOnlySilences;
    // The older versions' tremor silences the note only on rows that name
    // it: a row without it plays at the channel's volume, and the next
    // tremor row's first tick is as the tremor's last tick left it.
    bool tremorSilencesOwnRowsOnly;
    // In the older versions every start of a note, a retrigger's included,
    // starts the tremor's count again and lets the note sound; an instrument
    // number alone, or beside a tone portamento's note, keeps them.
    bool noteStartRestartsTremor;
    // The older versions' tremolo ramp (waveform 1) falls all the way: down
    // from the volume over the wave's first half and from above it back down
    // over the second, whatever the vibrato's position.
    bool tremoloRampFalls;
    // The older versions' linear table has no bottom: periods from 9920 on
    // go on lowering the pitch until, from 23040 on, thirty octaves down, it
    // comes back in at the top, once every 32 octaves.
    bool linearTableBottomless;
    // The older versions tune the Amiga table in 128ths of a semitone: a
    // finetune between the table's sixteenths takes its share of the way to
    // the next period, in the lowest octave's periods, before the octave
    // halves them.
    bool amigaFinetuneBetweenSixteenths;
    // In the older versions a tone portamento's note starts a sample that
    // has played to its end again, from its beginning, at the pitch the
    // glide goes on from.
    bool glideRestartsEndedSample;
};

struct Song;

// Whose tracker saved a module, as far as the mix tells them apart: another
// tracker, the format's own, one the reference pans as the format's own, or
// an older version of the format's own.
enum class SavedBy : std::uint8_t { OtherTracker, FormatTracker, PannedAsFormatTracker, OlderFormatTracker };

using SongCallback = void (*)(Song* song);
using SampleProvider = void (*)(void* buffer, std::int32_t byteCount, std::int32_t bits,
                                std::int32_t instrumentIndex, std::int32_t sampleIndex);

struct Song {
    Pattern* patterns;
    Instrument* instruments;
    std::int32_t tickFramesLeft;
    std::int32_t framesPerTick;
    std::int16_t songLength;
    std::int16_t restartPosition;
    std::int16_t channelCount;
    std::int32_t patternsUsed;
    std::int32_t patternSlots;
    std::int16_t instrumentCount;
    std::uint16_t flags;  // bit 0: linear frequency table
    std::int16_t defaultSpeed;
    std::int16_t defaultBpm;
    std::uint8_t orderTable[256];
    std::uint8_t initialGlobalVolume;
    std::int32_t globalVolume;
    std::uint8_t globalVolumeSlideMemory;
    std::int32_t tick;
    std::int32_t speed;
    std::int32_t bpm;
    std::int32_t row;
    std::int32_t order;
    std::int32_t extraTicks;
    std::int32_t nextRow;
    std::int32_t nextOrder;
    std::int32_t elapsedMs;
    SongCallback onPlay;
    SongCallback tickHandler;
    SampleProvider sampleProvider;
    PlaybackBehaviour behaviour;
    // The row the next pattern starts at after a pattern loop (see
    // PlaybackBehaviour::loopRowCarriesToNextPattern).
    std::int32_t loopCarryRow;
    // The module's name from its header, for players to show.
    char title[21];
    // Whose tracker saved the file, as its header tells
    // (see PlaybackBehaviour::squareRootPanningForFormatTracker).
    SavedBy savedBy;
};
