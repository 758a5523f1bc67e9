// Where the envelope position effect puts an envelope: the tick it lands on
// and the points, loop ends and sustain points at that tick or after it.
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// A tone whose volume envelope climbs, falls in a loop and climbs again, so
// that a loop end reached a tick early or late shows as a jump.
xm::Instrument LoopedTone(std::uint8_t type, std::uint8_t sustain) {
    xm::Instrument instrument = xm::InstrumentOf({Tone()});
    instrument.volumeEnvelope.points = {{0, 0}, {8, 64}, {16, 8}, {24, 64}, {32, 16}};
    instrument.volumeEnvelope.type = type;
    instrument.volumeEnvelope.sustain = sustain;
    instrument.volumeEnvelope.loopStart = 1;
    instrument.volumeEnvelope.loopEnd = 2;
    return instrument;
}

// Positions just before a loop end, on it, on its start, on a plain point
// and past the last point, on a loop without a sustain point (first channel)
// and one whose end is the sustain point, before and after a key off.
xm::Module EnvelopePositionAtPoints() {
    xm::Module module = Base(2, 24);
    module.instruments.push_back(LoopedTone(1 | 4, 0));
    module.instruments.push_back(LoopedTone(1 | 2 | 4, 2));
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 2, 0) = {0, 0, 0, EffectEnvelopePosition, 15};
    At(module, 5, 0) = {0, 0, 0, EffectEnvelopePosition, 16};
    At(module, 8, 0) = {0, 0, 0, EffectEnvelopePosition, 8};
    At(module, 10, 0) = {0, 0, 0, EffectEnvelopePosition, 13};
    At(module, 13, 0) = {0, 0, 0, EffectEnvelopePosition, 24};
    At(module, 16, 0) = {0, 0, 0, EffectEnvelopePosition, 40};
    At(module, 18, 0) = {0, 0, 0, EffectEnvelopePosition, 7};
    At(module, 0, 1) = {kC4 + 7, 4, 0x20, 0, 0};
    At(module, 3, 1) = {0, 0, 0, EffectEnvelopePosition, 16};
    At(module, 6, 1) = {0, 0, 0, EffectEnvelopePosition, 12};
    At(module, 9, 1) = {0, 0, 0, EffectEnvelopePosition, 8};
    At(module, 12, 1) = {97, 0, 0, 0, 0};
    At(module, 14, 1) = {0, 0, 0, EffectEnvelopePosition, 16};
    At(module, 17, 1) = {0, 0, 0, EffectEnvelopePosition, 14};
    return module;
}

}  // namespace

std::vector<Behaviour> EnvelopePositionBehaviours() {
    return {
        {"envelope_position_at_points", EnvelopePositionAtPoints},
    };
}

}  // namespace reference
