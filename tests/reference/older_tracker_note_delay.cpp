// The note delay rows' modules saved by the format tracker's older versions,
// whose delayed cells keep their volume column, their instrument number and
// an empty cell's voice until the delay tick, take their key off and
// instrument there as a row would, glide with the column's tone portamento
// and play once in a delayed row; and the volume column's panning slides.
#include <vector>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"
#include "tests/reference/note_delay.h"

namespace reference {
namespace {

xm::Module OlderDelayedVolumeColumn() { return SavedByOlderFormatTracker(DelayedVolumeColumn()); }
xm::Module OlderDelayedCutsAndRuns() { return SavedByOlderFormatTracker(DelayedCutsAndRuns()); }
xm::Module OlderDelayedNoteMemories() { return SavedByOlderFormatTracker(DelayedNoteMemories()); }
xm::Module OlderDelayedKeyOffs() { return SavedByOlderFormatTracker(DelayedKeyOffs()); }
xm::Module OlderDelayedInstruments() { return SavedByOlderFormatTracker(DelayedInstruments()); }
xm::Module OlderDelayedNotesInDelayedRows() { return SavedByOlderFormatTracker(DelayedNotesInDelayedRows()); }

// The volume column's panning slides, delayed or not, both ways and against
// the right edge: four steps for each one named.
xm::Module OlderColumnPanningSlides() {
    xm::Module module = Base(1, 12);
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    At(module, 2, 0) = {0, 0, 0xD4, 0, 0};
    At(module, 4, 0) = {0, 0, 0xE2, 0, 0};
    At(module, 5, 0) = {kC4 + 3, 0, 0xD3, EffectExtended, ExtendedNoteDelay << 4 | 2};
    At(module, 6, 0) = {kC4 + 5, 1, 0xEF, 0, 0};
    At(module, 8, 0) = {0, 0, 0xDF, 0, 0};
    At(module, 9, 0) = {0, 0, 0xDF, 0, 0};
    At(module, 10, 0) = {0, 0, 0xE1, 0, 0};
    return SavedByOlderFormatTracker(module);
}

}  // namespace

std::vector<Behaviour> OlderTrackerNoteDelayBehaviours() {
    return {
        {"older_note_delay_volume_column", OlderDelayedVolumeColumn},
        {"older_note_delay_cuts_and_runs", OlderDelayedCutsAndRuns},
        {"older_note_delay_memories", OlderDelayedNoteMemories},
        {"older_note_delay_key_offs", OlderDelayedKeyOffs},
        {"older_note_delay_instruments", OlderDelayedInstruments},
        {"older_note_delay_in_delayed_rows", OlderDelayedNotesInDelayedRows},
        {"older_column_panning_slides", OlderColumnPanningSlides},
    };
}

}  // namespace reference
