#pragma once
// Small but musically different modules for whole-render checks and timing.
#include "tools/xmwriter/xm_writer.h"

namespace replayer_test {

// Linear table, looped waveforms: chords with arpeggio, vibrato, slides and
// tone portamento.
xm::Module ChordsModule();
// Amiga table, one-shot drums and a ping-pong bass: retrigger, cut, delay,
// sample offset, tempo changes, envelopes with fade-out, pattern break.
xm::Module DrumsModule();
// A 16-bit lead with looping panning envelope, tremolo, tremor, global volume
// slide, pattern loop, row delay and auto-vibrato.
xm::Module LeadModule();
// Many busy channels over several minutes, for timing the renderer.
xm::Module BusyModule(int channels, int orders);

}  // namespace replayer_test
