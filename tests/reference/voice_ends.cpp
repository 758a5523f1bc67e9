// How a voice ends: one-shot samples played past their last frame, what
// they leave behind, and the notes that come while it lasts.
#include <cmath>
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// A short one-shot tone that drifts away from zero, ending at `end`: where
// it stops, the level it leaves is most of what is heard.
xm::Sample DriftingHit(int end, int period) {
    xm::Sample sample;
    sample.sixteenBit = true;
    const int frames = 12 * period;
    for (int i = 0; i < frames; ++i) {
        double tone = 5000.0 * std::sin(2.0 * 3.14159265358979 * i / period);
        double drift = static_cast<double>(end) * i / (frames - 1);
        sample.frames.push_back(static_cast<std::int16_t>(tone + drift));
    }
    return sample;
}

// One-shot notes at several pitches that end within a row, on two channels
// panned apart: each leaves its last level behind, new notes come while
// some still fall, and a note cut and a note played over a sounding one
// end voices before their sample does.
xm::Module OneShotEnds() {
    xm::Module module = Base(2, 16);
    module.speed = 3;
    xm::Sample high = DriftingHit(14000, 40);
    high.panning = 48;
    xm::Sample low = DriftingHit(-11000, 28);
    low.panning = 208;
    module.instruments = {xm::InstrumentOf({high}), xm::InstrumentOf({low})};
    const std::uint8_t pitches[] = {kC4 + 12, kC4 + 19, kC4 + 24, kC4 + 7, kC4 + 31, kC4 + 16, kC4 + 36, kC4 + 12};
    for (int row = 0; row < 16; row += 2) {
        At(module, row, 0) = {pitches[row / 2], 1, 0, 0, 0};
    }
    for (int row = 1; row < 16; row += 3) {
        At(module, row, 1) = {static_cast<std::uint8_t>(kC4 + 14 + row), 2, 0, 0, 0};
    }
    // A cut before the sample ends, and a note over one still sounding.
    Effect(module, 6, 0, EffectExtended, (ExtendedNoteCut << 4) | 1);
    At(module, 11, 0) = {kC4 + 5, 1, 0, 0, 0};
    return module;
}

}  // namespace

std::vector<Behaviour> VoiceEndsBehaviours() {
    return {
        {"one_shot_ends", OneShotEnds},
    };
}

}  // namespace reference
