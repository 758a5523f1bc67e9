// The note delay rows' modules saved by the format tracker's older versions,
// whose delayed cells keep their volume column, their instrument number and
// an empty cell's voice until the delay tick, take their key off and
// instrument there as a row would, glide with the column's tone portamento
// and play once in a delayed row.
#include <vector>

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

}  // namespace

std::vector<Behaviour> OlderTrackerNoteDelayBehaviours() {
    return {
        {"older_note_delay_volume_column", OlderDelayedVolumeColumn},
        {"older_note_delay_cuts_and_runs", OlderDelayedCutsAndRuns},
        {"older_note_delay_memories", OlderDelayedNoteMemories},
        {"older_note_delay_key_offs", OlderDelayedKeyOffs},
        {"older_note_delay_instruments", OlderDelayedInstruments},
        {"older_note_delay_in_delayed_rows", OlderDelayedNotesInDelayedRows},
    };
}

}  // namespace reference
