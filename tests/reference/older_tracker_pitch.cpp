// Pitch in files of the format tracker's older versions: the reference tunes
// and transposes their notes by the older rules.
#include <cstdint>

#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// The older versions' header: the format tracker's name, the module's name
// padded with zeros.
xm::Module OlderBase(int channels, int rows) {
    xm::Module module = Base(channels, rows);
    module.tracker = "FastTracker v2.00   ";
    module.name = "tune";
    return module;
}

// Finetunes between the sixteenths of a semitone, on notes across octaves.
xm::Module Finetune() {
    xm::Module module = OlderBase(2, 16);
    module.instruments[0].samples[0].finetune = 20;
    module.instruments[1].samples[0].finetune = -45;
    for (int row = 0; row < 16; row += 2) {
        At(module, row, 0) = {static_cast<std::uint8_t>(kC4 - 24 + 5 * row), 1, 0x20, 0, 0};
        At(module, row + 1, 1) = {static_cast<std::uint8_t>(kC4 - 12 + 3 * row), 2, 0, 0, 0};
    }
    return module;
}

// Notes the samples' relative notes take past either end of the range, and
// the two highest notes.
xm::Module NotesOutOfRange() {
    xm::Module module = OlderBase(1, 16);
    module.instruments[0].samples[0].relativeNote = 40;
    module.instruments[1].samples[0].relativeNote = -40;
    At(module, 0, 0) = {79, 1, 0, 0, 0};
    At(module, 2, 0) = {80, 1, 0, 0, 0};
    At(module, 4, 0) = {90, 1, 0, 0, 0};
    At(module, 6, 0) = {kC4, 1, 0, 0, 0};
    At(module, 8, 0) = {20, 2, 0, 0, 0};
    At(module, 10, 0) = {45, 2, 0, 0, 0};
    At(module, 12, 0) = {2, 2, 0, 0, 0};
    return module;
}

}  // namespace

std::vector<Behaviour> OlderTrackerPitchBehaviours() {
    return {
        {"older_tracker_finetune_linear", Finetune, true},
        {"older_tracker_notes_out_of_range", NotesOutOfRange, true},
    };
}

}  // namespace reference
