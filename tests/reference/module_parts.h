#pragma once
// The parts every behaviour module is built from: a looped tone, a decaying
// hit, an enveloped tone, and a one-pattern song to place them in.
#include <cstdint>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace reference {

constexpr std::uint8_t kC4 = 49;

// A looped tone with a few harmonics: any change of pitch, level or timing
// shows in its waveform.
xm::Sample Tone();
// A short one-shot burst that decays: note starts and their timing show.
xm::Sample Hit();
// A second tone of another timbre and half the volume.
xm::Sample OtherTone();
// A tone with a volume envelope whose loop ends at its sustain point, a
// panning envelope, an auto-vibrato and a fade-out.
xm::Instrument EnvelopedTone();
// One pattern, linear frequency table, speed 6 at 125 BPM, a tone instrument
// (1) and a hit instrument (2).
xm::Module Base(int channels, int rows);
xm::Cell& At(xm::Module& module, int row, int channel, int pattern = 0);
// Patterns whose first channel plays a note of its own on every row, each
// pattern patternStep semitones above the one before, so that the order the
// rows play in shows in the pitch.
xm::Module NotePerRow(int channels, int rows, int patterns, std::vector<std::uint8_t> orders, int patternStep = 16);
void Effect(xm::Module& module, int row, int channel, std::uint8_t effect, std::uint8_t parameter, int pattern = 0);
// A pattern loop's start (count 0) or end.
void Loop(xm::Module& module, int row, int channel, int count, int pattern = 0);
// The module as the format tracker's older versions saved it: under its name,
// with the module's name padded with zeros.
xm::Module SavedByOlderFormatTracker(xm::Module module);

}  // namespace reference
