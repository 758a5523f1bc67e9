// Modules saved by the format tracker's older versions: the panning slides
// of both columns, the volume column's one memory, the envelope position on
// the panning envelope, and the key off of an instrument without a volume
// envelope, where the reference plays those files apart from the newer ones.
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// Panning slides of both columns from set panning near either edge, into
// the edges and back out of them.
xm::Module PanningSlides() {
    xm::Module module = Base(1, 24);
    At(module, 0, 0) = {kC4, 1, 0, EffectSetPanning, 0x22};
    At(module, 2, 0) = {0, 0, 0, EffectPanningSlide, 0x01};
    At(module, 4, 0) = {0, 0, 0, EffectSetPanning, 0xF0};
    At(module, 5, 0) = {0, 0, 0, EffectPanningSlide, 0x10};
    At(module, 6, 0) = {0, 0, 0, EffectPanningSlide, 0x20};
    At(module, 7, 0) = {0, 0, 0, EffectPanningSlide, 0x01};
    At(module, 8, 0) = {0, 0, 0xC5, 0, 0};
    At(module, 9, 0) = {0, 0, 0xD1, 0, 0};
    At(module, 10, 0) = {0, 0, 0, EffectSetPanning, 0x07};
    At(module, 11, 0) = {0, 0, 0xD3, 0, 0};
    At(module, 12, 0) = {0, 0, 0, EffectPanningSlide, 0x10};
    At(module, 13, 0) = {0, 0, 0xE2, 0, 0};
    At(module, 15, 0) = {0, 0, 0, EffectSetPanning, 0xFD};
    At(module, 16, 0) = {0, 0, 0xEF, 0, 0};
    At(module, 17, 0) = {0, 0, 0xD2, 0, 0};
    At(module, 18, 0) = {0, 0, 0, EffectPanningSlide, 0x08};
    return SavedByOlderFormatTracker(module);
}

// Volume-column slides of 0 before any parameter, then after each kind of
// column command that leaves one (slides, fine slides, vibrato) and after
// those that do not (set panning, tone portamento, a slide of 0, a note).
xm::Module ColumnSlideMemory() {
    xm::Module module = Base(1, 24);
    At(module, 0, 0) = {kC4, 1, 0x30, EffectSetPanning, 0x80};
    const std::uint8_t column[18] = {0xD0, 0x73, 0x70, 0xD0, 0xC8, 0xE6, 0x62, 0xC8, 0x84,
                                     0xE0, 0xA5, 0xF1, 0xD0, 0xC8, 0x90, 0x70, 0x80, 0x60};
    for (int row = 1; row <= 18; ++row) At(module, row, 0).volume = column[row - 1];
    At(module, 14, 0).note = kC4;
    At(module, 14, 0).instrument = 1;
    return SavedByOlderFormatTracker(module);
}

// The envelope position effect on instruments with a panning envelope whose
// volume envelope has no sustain point, is off, or has a sustain point but
// is off.
xm::Module EnvelopePositionPanning() {
    xm::Module module = Base(1, 24);
    const std::uint8_t volumeTypes[3] = {1, 0, 2};
    for (std::uint8_t type : volumeTypes) {
        module.instruments.push_back(EnvelopedTone());
        module.instruments.back().volumeEnvelope.type = type;
    }
    for (int k = 0; k < 3; ++k) {
        const std::uint8_t instrument = static_cast<std::uint8_t>(3 + k);
        At(module, 8 * k, 0) = {kC4, instrument, 0, 0, 0};
        At(module, 8 * k + 3, 0) = {0, 0, 0, EffectEnvelopePosition, static_cast<std::uint8_t>(4 + 8 * k)};
        At(module, 8 * k + 6, 0) = {0, 0, 0, EffectEnvelopePosition, 2};
    }
    return SavedByOlderFormatTracker(module);
}

// The key off of instruments without a volume envelope, one fading out and
// one whose panning envelope waits at its sustain point: alone, beside an
// instrument number and beside a volume, then notes and volumes after it;
// K00 beside them releases the note, which fades out.
xm::Module KeyOffSilences() {
    xm::Module module = Base(1, 40);
    xm::Instrument fading = xm::InstrumentOf({Tone()});
    fading.fadeout = 2048;
    module.instruments.push_back(fading);
    xm::Instrument panned = fading;
    panned.panningEnvelope.points = {{0, 8}, {4, 8}, {12, 60}};
    panned.panningEnvelope.type = 1 | 2;
    panned.panningEnvelope.sustain = 1;
    module.instruments.push_back(panned);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 2, 0) = {97, 0, 0, 0, 0};
    At(module, 3, 0) = {kC4 + 2, 0, 0x30, 0, 0};
    At(module, 6, 0) = {97, 3, 0x20, 0, 0};
    At(module, 9, 0) = {kC4, 4, 0, 0, 0};
    At(module, 11, 0) = {97, 0, 0, 0, 0};
    At(module, 13, 0) = {0, 0, 0x38, 0, 0};
    At(module, 16, 0) = {kC4 + 4, 4, 0, 0, 0};
    At(module, 18, 0) = {97, 4, 0, 0, 0};
    At(module, 20, 0) = {kC4, 0, 0x30, 0, 0};
    At(module, 23, 0) = {0, 0, 0, EffectKeyOff, 0};
    At(module, 28, 0) = {kC4, 3, 0, 0, 0};
    At(module, 29, 0) = {0, 0, 0, EffectKeyOff, 2};
    At(module, 33, 0) = {0, 0, 0x40, 0, 0};
    At(module, 35, 0) = {kC4 + 5, 1, 0, 0, 0};
    At(module, 37, 0) = {97, 1, 0x18, 0, 0};
    return SavedByOlderFormatTracker(module);
}

}  // namespace

std::vector<Behaviour> OlderTrackerPanningBehaviours() {
    return {
        {"older_tracker_panning_slides", PanningSlides},
        {"older_tracker_column_slide_memory", ColumnSlideMemory},
        {"older_tracker_envelope_position_panning", EnvelopePositionPanning},
        {"older_tracker_key_off_silences", KeyOffSilences},
    };
}

}  // namespace reference
