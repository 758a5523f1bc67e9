// Modules that differ only in whose tracker their header says saved them:
// the reference pans, ramps and levels them by that name.
#include <cstdint>
#include <string>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

const char* const kFormatTracker = "FastTracker v2.00   ";
const char* const kBlankPaddedName = "tune                ";

// One tone across the panning range, then a volume change, a new note over
// the old one and a note cut: where the laws and ramps of the mix show.
xm::Module PannedTone(const std::string& tracker, const std::string& name, std::uint16_t version = 0x0104) {
    xm::Module module = Base(4, 32);
    module.tracker = tracker;
    module.name = name;
    module.version = version;
    const std::uint8_t pans[5] = {0x00, 0x40, 0x80, 0xC0, 0xFF};
    At(module, 0, 0) = {kC4, 1, 0, EffectSetPanning, pans[0]};
    for (int i = 1; i < 5; ++i) At(module, 4 * i, 0) = {0, 0, 0, EffectSetPanning, pans[i]};
    At(module, 20, 0) = {0, 0, 0x20, EffectSetPanning, 0x60};
    At(module, 22, 0) = {0, 0, 0, EffectSetVolume, 0x40};
    At(module, 24, 0) = {kC4 + 7, 1, 0, 0, 0};
    At(module, 28, 0) = {0, 0, 0, EffectExtended, (ExtendedNoteCut << 4) | 2};
    return module;
}

xm::Module FormatTrackerPanning() { return PannedTone(kFormatTracker, kBlankPaddedName); }
xm::Module OtherTrackerPanning() { return PannedTone("xmwriter", "tune"); }
// Before version 0x0104 the format's tracker is told by its name alone.
xm::Module FormatTrackerOldVersion() { return PannedTone(kFormatTracker, "tune", 0x0103); }
xm::Module CloneOfFormatTracker() { return PannedTone("MilkyTracker 1.03.00", "tune"); }
xm::Module NewerOpenTracker() { return PannedTone("OpenMPT 1.22.07.19", "tune"); }
xm::Module OlderOpenTracker() { return PannedTone("OpenMPT 1.22.07.18", "tune"); }

// Under the format tracker's name, a file that ends before the instruments
// it declares, or (with the older versions' zero padding) one with samples
// packed to 4 bits, comes from another tracker.
xm::Module FormatTrackerMissingInstruments() {
    xm::Module module = PannedTone(kFormatTracker, kBlankPaddedName);
    module.declaredInstruments = 4;
    return module;
}
xm::Module OlderFormatTrackerPackedSamples() {
    xm::Module module = PannedTone(kFormatTracker, "tune");
    xm::Sample& tone = module.instruments[0].samples[0];
    tone.sixteenBit = false;
    tone.packed4Bit = true;
    for (std::int16_t& frame : tone.frames) frame = static_cast<std::int16_t>(frame / 256);
    return module;
}

// Hits every other tick over each other, with volume changes between: the
// format tracker's files ramp each change over 5 ms.
xm::Module FormatTrackerRamps() {
    xm::Module module = Base(2, 48);
    module.tracker = kFormatTracker;
    module.name = kBlankPaddedName;
    module.speed = 1;
    for (int row = 0; row < 48; row += 2) {
        At(module, row, 0) = {kC4 + 12, 2, 0, 0, 0};
        At(module, row + 1, 1) = {kC4, 1, static_cast<std::uint8_t>(0x10 + (row * 5) % 0x40), 0, 0};
    }
    return module;
}

// Two tones, at the edges of a module of the given width, saved under the
// format tracker's name but with the module's name padded with zeros.
xm::Module OlderFormatTracker(int channels, const char* tracker = kFormatTracker) {
    xm::Module module = Base(channels, 16);
    module.tracker = tracker;
    module.name = "tune";
    At(module, 0, 0) = {kC4, 1, 0, EffectSetPanning, 0x30};
    At(module, 2, channels - 1) = {kC4 + 4, 1, 0x30, EffectSetPanning, 0xD0};
    At(module, 8, 0) = {kC4 + 7, 1, 0, 0, 0};
    At(module, 12, channels - 1) = {97, 0, 0, 0, 0};
    return module;
}
// An arpeggio at speed 5, which the older versions count up from each row's
// first tick.
xm::Module OlderFormatTrackerArpeggio() {
    xm::Module module = Base(4, 8);
    module.tracker = kFormatTracker;
    module.name = "tune";
    module.speed = 5;
    At(module, 0, 0) = {kC4, 1, 0, EffectArpeggio, 0x47};
    for (int row = 1; row < 8; ++row) {
        At(module, row, 0) = {0, 0, 0, EffectArpeggio, static_cast<std::uint8_t>(row % 2 == 0 ? 0x37 : 0x5C)};
    }
    return module;
}
xm::Module OlderFormatTracker4() { return OlderFormatTracker(4); }
xm::Module OlderFormatTracker8() { return OlderFormatTracker(8); }
xm::Module OlderFormatTracker13() { return OlderFormatTracker(13); }
xm::Module OlderFormatTracker32() { return OlderFormatTracker(32); }
xm::Module OlderFormatTrackerSpaced() { return OlderFormatTracker(6, "FastTracker v 2.00  "); }

}  // namespace

std::vector<Behaviour> SavedByBehaviours() {
    return {
        {"saved_by_format_tracker_panning", FormatTrackerPanning, true},
        {"saved_by_format_tracker_ramps", FormatTrackerRamps, true},
        {"saved_by_other_tracker_panning", OtherTrackerPanning, true},
        {"saved_by_format_tracker_version_0103", FormatTrackerOldVersion, true},
        {"saved_by_clone_of_format_tracker", CloneOfFormatTracker, true},
        {"saved_by_newer_open_tracker", NewerOpenTracker, true},
        {"saved_by_older_open_tracker", OlderOpenTracker, true},
        {"saved_by_format_tracker_missing_instruments", FormatTrackerMissingInstruments, true},
        {"saved_by_older_format_tracker_packed_samples", OlderFormatTrackerPackedSamples, true},
        {"saved_by_older_format_tracker_4", OlderFormatTracker4, true},
        {"saved_by_older_format_tracker_8", OlderFormatTracker8, true},
        {"saved_by_older_format_tracker_13", OlderFormatTracker13, true},
        {"saved_by_older_format_tracker_32", OlderFormatTracker32, true},
        {"saved_by_older_format_tracker_6_spaced", OlderFormatTrackerSpaced, true},
        {"saved_by_older_format_tracker_arpeggio", OlderFormatTrackerArpeggio, true},
    };
}

}  // namespace reference
