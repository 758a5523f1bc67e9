// Modules saved by the format tracker's older versions: the multi retrigger's
// count and the retrigger (E9x), where the reference plays those files apart
// from the newer ones.
#include <cstdint>
#include <vector>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

constexpr std::uint8_t kRetrigger = ExtendedRetrigger << 4;
constexpr std::uint8_t kHit = 2;

// Multi retrigger after notes of rows without it, a note without an
// instrument, and a retrigger (E9x), each of which starts its count again,
// and after a tone portamento's note and an instrument number alone, which
// do not.
xm::Module RetriggerCountFromNotes() {
    xm::Module module = Base(2, 20);
    module.speed = 5;
    At(module, 0, 0) = {kC4 + 12, kHit, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectMultiRetrigger, 0x31};
    At(module, 2, 0) = {0, 0, 0, EffectMultiRetrigger, 0x03};
    At(module, 3, 0) = {kC4 + 10, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 5, 0) = {kC4 + 12, kHit, 0, EffectExtended, kRetrigger | 3};
    At(module, 6, 0) = {0, 0, 0, EffectMultiRetrigger, 0x04};
    At(module, 7, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 9, 1) = {kC4 + 7, kHit, 0, EffectMultiRetrigger, 0x82};
    At(module, 10, 1) = {kC4 + 7, 0, 0, 0, 0};
    At(module, 11, 1) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 12, 1) = {0, 0, 0, EffectExtended, kRetrigger | 2};
    At(module, 13, 1) = {0, 0, 0, EffectMultiRetrigger, 0x03};
    At(module, 11, 0) = {kC4 + 12, kHit, 0, EffectMultiRetrigger, 0x8F};
    At(module, 12, 0) = {kC4 + 14, 0, 0, EffectTonePortamento, 0x10};
    At(module, 13, 0) = {0, 0, 0, EffectMultiRetrigger, 0x04};
    At(module, 14, 0) = {0, 0, 0, EffectMultiRetrigger, 0x0F};
    At(module, 15, 0) = {0, kHit, 0, EffectMultiRetrigger, 0x08};
    At(module, 16, 0) = {0, 0, 0, EffectExtended, kRetrigger | 7};
    At(module, 17, 0) = {0, 0, 0, EffectMultiRetrigger, 0x07};
    return SavedByOlderFormatTracker(module);
}

// Multi retrigger beside the volume column: a volume set there is not the
// restarts' volume, and with a volume change in the cell the interval is one
// tick longer; without one, or beside the column's other commands, it is not.
xm::Module RetriggerBesideColumnVolume() {
    xm::Module module = Base(1, 24);
    At(module, 0, 0) = {kC4 + 12, kHit, 0, EffectMultiRetrigger, 0x34};
    At(module, 1, 0) = {0, 0, 0x30, EffectMultiRetrigger, 0x00};
    At(module, 2, 0) = {0, 0, 0x30, EffectMultiRetrigger, 0x02};
    At(module, 3, 0) = {0, 0, 0x40, EffectMultiRetrigger, 0x91};
    At(module, 4, 0) = {kC4 + 12, kHit, 0x20, EffectMultiRetrigger, 0x82};
    At(module, 6, 0) = {0, 0, 0x62, EffectMultiRetrigger, 0x33};
    At(module, 8, 0) = {kC4 + 12, 0, 0x40, EffectMultiRetrigger, 0x62};
    At(module, 10, 0) = {0, 0, 0xA2, EffectMultiRetrigger, 0xA1};
    At(module, 12, 0) = {kC4 + 12, kHit, 0, EffectMultiRetrigger, 0x35};
    At(module, 13, 0) = {0, 0, 0x50, EffectMultiRetrigger, 0x80};
    At(module, 14, 0) = {0, 0, 0x28, EffectMultiRetrigger, 0x51};
    At(module, 16, 0) = {kC4 + 12, kHit, 0x30, EffectMultiRetrigger, 0xC5};
    for (int row = 17; row < 20; ++row) At(module, row, 0) = {0, 0, 0x30, EffectMultiRetrigger, 0x00};
    return SavedByOlderFormatTracker(module);
}

// Retrigger E90 without a note, beside one, beside a note without an
// instrument, and on an enveloped instrument.
xm::Module RetriggerZero() {
    xm::Module module = Base(2, 16);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4 + 12, kHit, 0, EffectExtended, kRetrigger | 3};
    At(module, 2, 0) = {0, 0, 0, EffectExtended, kRetrigger | 0};
    At(module, 4, 0) = {kC4 + 12, kHit, 0, EffectExtended, kRetrigger | 0};
    At(module, 6, 0) = {kC4 + 5, 0, 0x30, EffectExtended, kRetrigger | 0};
    At(module, 8, 1) = {kC4, 3, 0, 0, 0};
    At(module, 10, 1) = {0, 0, 0, EffectExtended, kRetrigger | 0};
    At(module, 12, 1) = {kC4 + 3, 3, 0, EffectExtended, kRetrigger | 0};
    return SavedByOlderFormatTracker(module);
}

}  // namespace

std::vector<Behaviour> OlderTrackerRetriggerBehaviours() {
    return {
        {"older_tracker_retrigger_count_from_notes", RetriggerCountFromNotes},
        {"older_tracker_retrigger_beside_column_volume", RetriggerBesideColumnVolume},
        {"older_tracker_retrigger_zero", RetriggerZero},
    };
}

}  // namespace reference
