#pragma once
// The note delay rows' modules, which the older versions' rows play again
// under the older header.
#include "tools/xmwriter/xm_writer.h"

namespace reference {

xm::Module DelayedVolumeColumn();
xm::Module DelayedNoteMemories();
xm::Module DelayedKeyOffs();
xm::Module DelayedInstruments();
xm::Module DelayedCutsAndRuns();
xm::Module DelayedNotesInDelayedRows();

}  // namespace reference
