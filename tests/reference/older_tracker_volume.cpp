// Modules saved by the format tracker's older versions: the tremor's silence
// and count, and the tremolo's ramp, where the reference plays those files
// apart from the newer ones.
#include <cstdint>
#include <vector>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

constexpr std::uint8_t Extended(std::uint8_t command, std::uint8_t value) {
    return static_cast<std::uint8_t>(command << 4 | value);
}

// A tremor held off by a long off time, then rows without it that set,
// slide or keep the volume or play a note, and tremor rows between them.
xm::Module TremorOwnRows() {
    xm::Module module = Base(1, 8);
    At(module, 0, 0) = {kC4, 1, 0x38, EffectTremor, 0x0E};
    At(module, 1, 0) = {0, 0, 0, EffectSetVolume, 0x20};
    At(module, 2, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 3, 0) = {0, 0, 0, EffectVolumeSlide, 0x02};
    At(module, 4, 0) = {kC4 + 2, 0, 0, 0, 0};
    At(module, 5, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 7, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedFineVolumeUp, 2)};
    return SavedByOlderFormatTracker(module);
}

// The tremor's count across an instrument number alone, a tone
// portamento's note, a note without an instrument number, a retrigger and
// a delayed note.
xm::Module TremorNoteStarts() {
    xm::Module module = Base(1, 13);
    At(module, 0, 0) = {kC4, 1, 0, EffectTremor, 0x23};
    At(module, 2, 0) = {0, 1, 0, EffectTremor, 0x00};
    At(module, 4, 0) = {kC4 + 4, 1, 0xF8, EffectTremor, 0x00};
    At(module, 6, 0) = {kC4 + 2, 0, 0, EffectTremor, 0x00};
    At(module, 8, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedRetrigger, 3)};
    At(module, 10, 0) = {kC4, 0, 0, EffectExtended, Extended(ExtendedNoteDelay, 2)};
    for (int row : {1, 3, 5, 7, 9, 11, 12}) At(module, row, 0) = {0, 0, 0, EffectTremor, 0x00};
    return SavedByOlderFormatTracker(module);
}

// The tremolo's ramp at odd depths, against both ends of the volume, after
// a vibrato and from a new note.
xm::Module TremoloRampFalls() {
    xm::Module module = Base(1, 12);
    At(module, 0, 0) = {kC4, 1, 0x30, EffectExtended, Extended(ExtendedTremoloWaveform, 1)};
    At(module, 1, 0) = {0, 0, 0, EffectTremolo, 0x3F};
    At(module, 4, 0) = {0, 0, 0x18, EffectTremolo, 0x5B};
    At(module, 6, 0) = {0, 0, 0x4C, EffectTremolo, 0x27};
    At(module, 7, 0) = {0, 0, 0, EffectVibrato, 0x83};
    At(module, 10, 0) = {kC4, 1, 0x28, EffectTremolo, 0x00};
    for (int row : {2, 3, 5, 8, 9, 11}) At(module, row, 0) = {0, 0, 0, EffectTremolo, 0x00};
    return SavedByOlderFormatTracker(module);
}

}  // namespace

std::vector<Behaviour> OlderTrackerVolumeBehaviours() {
    return {
        {"older_tracker_tremor_own_rows", TremorOwnRows},
        {"older_tracker_tremor_note_starts", TremorNoteStarts},
        {"older_tracker_tremolo_ramp_falls", TremoloRampFalls},
    };
}

}  // namespace reference
