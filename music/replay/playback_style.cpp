// The two ways a song is played: the intro's own, and the format's reference
// tracker's, each a preset of the switches in PlaybackBehaviour.
#include "music/player.h"

namespace {

constexpr PlaybackBehaviour kIntroBehaviour{};
constexpr PlaybackBehaviour kTrackerBehaviour{
    .trackerPanningAndVolume = true,
    .shortVolumeRamps = true,
    .gainsRampOverTick = true,
    .volumeColumnPortamentoGlides = true,
    .volumeColumnSlidesSkipFirstTick = true,
    .trackerVibrato = true,
    .roundedVibratoSine = true,
    .amigaVibratoInPitch = true,
    .panningSlidesBounded = true,
    .setVolumeHeldTo64 = true,
    .arpeggioCountsDown = true,
    .arpeggioFromTable = true,
    .arpeggioKeepsVibrato = true,
    .trackerRetrigger = true,
    .retriggerZeroEveryTick = false,
    .keyOffOnTick = true,
    .trackerNoteDelay = true,
    .noteDelayEveryRepeat = true,
    .delayedNoteRestartsWaves = true,
    .delayedNoteLosesFineCommands = true,
    .delayedCellKeysOn = true,
    .delayedInstrumentWaits = true,
    .delayedColumnWaits = false,
    .delayedEmptyCellKeepsVoice = false,
    .delayedColumnPortamentoGlides = false,
    .delayedInstrumentKeepsNote = false,
    .delayedCellTakenAsRow = false,
    .noteCutOnFirstTick = true,
    .finetuneForNoteOnly = true,
    .trackerSampleOffset = true,
    .loopRowCarriesToNextPattern = true,
    .jumpsPastEndRestart = true,
    .loopAfterBreakSetsRow = true,
    .delayedLoopSkipsStartRow = true,
    .loopPastPatternEndMovesOn = true,
    .passEndsOnRevisitedRow = true,
    .outOfRangeNotesSilent = true,
    .heldVolumeOffsets = true,
    .releaseEndsSustainLoop = true,
    .trackerAutoVibrato = true,
    .trackerPeriods = true,
    .trackerInstrumentNumbers = true,
    .separateFineVolumeMemories = true,
    .trackerMultiRetrigger = true,
    .trackerTremolo = true,
    .retriggerTakesColumnVolume = true,
    .retriggerCountFromNote = false,
    .retriggerLongerBesideColumnVolume = false,
    .trackerPortamentoTarget = true,
    .keyOffSilencesVolume = true,
    .everySampleOfInstrument = true,
    .wavesRestartOnNote = true,
    .instrumentWaitsForNote = true,
    .glissando = true,
    .envelopePositionMovesPanning = true,
    .envelopePositionFromTarget = true,
    .squareRootPanningForFormatTracker = true,
    .olderTrackerMixLevel = true,
    .formatTrackerRamps = true,
    .longerRampsDown = true,
    .trackerPanningEnvelope = true,
    .trackerGlobalVolumeSlide = true,
    .instrumentVolumeAfterKeyOff = true,
    .noteAfterKeyOffInstrumentKeysOn = true,
    .keyOffEffectIsNote = true,
    .tremorMutesUntilOn = true,
    .panningSlideLeftZeroToEdge = true,
    .coarsePanningFullRange = true,
    .panningEnvelopeOfNoteInstrument = true,
    .trackerSustainRelease = true,
    .exactFrequencies = true,
    .wholeLinearFinetune = false,
    .outOfRangeNotesHeld = false,
    .sharedPortamentoMemory = false,
    .glideInstrumentNamesSample = false,
    .unmappedNotesPlayFirstSample = true,
    .samplesPast32ByModuleNumber = true,
    .volumeEnvelopeOfNoteInstrument = true,
    .vibratoSpeedVibrates = false,
    .effectVibratoAlone = false,
    .columnVibratoMemory = false,
    .arpeggioFromNote = false,
    .keyOffEffectReleasesOnly = false,
    .oneLoopAtATime = false,
    .loopBeforeBreak = false,
    .glissandoRoundsUp = false,
    .slidesUpToPeriodOne = true,
    .leapingSteps = true,
    .linearTableBottom = true,
    .amigaPitchFromLow16Bits = true,
    .heldVoiceEnds = true,
    .panningSlidesFourfold = false,
    .columnSlideMemory = false,
    .envelopePositionAlwaysMovesPanning = false,
    .keyOffOnlySilences = false,
    .tremorSilencesOwnRowsOnly = false,
    .noteStartRestartsTremor = false,
    .tremoloRampFalls = false,
    .linearTableBottomless = false,
    .amigaFinetuneBetweenSixteenths = false,
    .glideRestartsEndedSample = false,
};

}  // namespace

void SongSetPlaybackStyle(Song* song, PlaybackStyle style) {
    if (song == nullptr) return;
    song->behaviour = style == PlaybackStyle::Tracker ? kTrackerBehaviour : kIntroBehaviour;
    // The format tracker's older versions count the arpeggio up from each
    // row's first tick, tune finely, hold notes to the range, and play key
    // offs, pattern loops, released envelopes, delayed cells, retriggers, the
    // tremor, panning slides and slides past either table's bottom their own way.
    if (style == PlaybackStyle::Tracker && song->savedBy == SavedBy::OlderFormatTracker) {
        song->behaviour.arpeggioCountsDown = false;
        song->behaviour.wholeLinearFinetune = true;
        song->behaviour.outOfRangeNotesSilent = false;
        song->behaviour.outOfRangeNotesHeld = true;
        song->behaviour.sharedPortamentoMemory = true;
        song->behaviour.trackerPortamentoTarget = false;
        song->behaviour.glideInstrumentNamesSample = true;
        song->behaviour.vibratoSpeedVibrates = true;
        song->behaviour.effectVibratoAlone = true;
        song->behaviour.columnVibratoMemory = true;
        song->behaviour.arpeggioFromNote = true;
        song->behaviour.keyOffEffectReleasesOnly = true;
        song->behaviour.oneLoopAtATime = true;
        song->behaviour.loopBeforeBreak = true;
        song->behaviour.loopRowCarriesToNextPattern = false;
        song->behaviour.releaseEndsSustainLoop = false;
        song->behaviour.trackerSustainRelease = false;
        song->behaviour.trackerGlobalVolumeSlide = false;
        song->behaviour.glissandoRoundsUp = true;
        song->behaviour.noteDelayEveryRepeat = false;
        song->behaviour.delayedColumnWaits = true;
        song->behaviour.delayedEmptyCellKeepsVoice = true;
        song->behaviour.delayedColumnPortamentoGlides = true;
        song->behaviour.delayedInstrumentKeepsNote = true;
        song->behaviour.delayedCellTakenAsRow = true;
        song->behaviour.instrumentVolumeAfterKeyOff = false;
        song->behaviour.panningSlidesFourfold = true;
        song->behaviour.columnSlideMemory = true;
        song->behaviour.envelopePositionAlwaysMovesPanning = true;
        song->behaviour.keyOffOnlySilences = true;
        song->behaviour.tremorSilencesOwnRowsOnly = true;
        song->behaviour.noteStartRestartsTremor = true;
        song->behaviour.tremoloRampFalls = true;
        song->behaviour.retriggerCountFromNote = true;
        song->behaviour.retriggerTakesColumnVolume = false;
        song->behaviour.retriggerLongerBesideColumnVolume = true;
        song->behaviour.retriggerZeroEveryTick = true;
        song->behaviour.amigaPitchFromLow16Bits = false;
        song->behaviour.linearTableBottomless = true;
        song->behaviour.amigaFinetuneBetweenSixteenths = true;
        song->behaviour.glideRestartsEndedSample = true;
    }
}
