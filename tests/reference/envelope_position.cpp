// Where the envelope position effect puts an envelope: the tick it lands on
// and the points, loop ends and sustain points at that tick or after it.
// Beside it, pitches between the notes: the glissando's semitones on the
// Amiga table and the fraction of a hertz a frequency keeps; and how long a
// voice takes to fall silent.
#include <cmath>
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

xm::Instrument FinetunedTone(std::int8_t finetune) {
    xm::Sample sample = Tone();
    sample.finetune = finetune;
    return xm::InstrumentOf({sample});
}

// Glissandos up and down on the Amiga table, with finetunes that move the
// half-semitone points, one of them past the table's end.
xm::Module GlissandoAmiga() {
    xm::Module module = Base(2, 24);
    module.flags = 0;
    module.instruments = {FinetunedTone(0), FinetunedTone(64), FinetunedTone(-72)};
    const xm::Cell glide{0, 0, 0, EffectTonePortamento, 0};
    At(module, 0, 0) = {kC4, 1, 0, EffectExtended, ExtendedGlissando << 4 | 1};
    At(module, 1, 0) = {kC4 + 7, 0, 0, EffectTonePortamento, 0x03};
    for (int row = 2; row < 12; ++row) At(module, row, 0) = glide;
    At(module, 12, 0) = {kC4 + 21, 2, 0, EffectExtended, ExtendedGlissando << 4 | 1};
    At(module, 13, 0) = {kC4 + 27, 0, 0, EffectTonePortamento, 0x04};
    for (int row = 14; row < 24; ++row) At(module, row, 0) = glide;
    At(module, 0, 1) = {kC4 + 19, 3, 0x30, EffectExtended, ExtendedGlissando << 4 | 1};
    At(module, 1, 1) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x03};
    for (int row = 2; row < 24; ++row) At(module, row, 1) = glide;
    return module;
}

// A loop of the highest partial a sample can hold: a frequency a little off
// drifts from the reference's phase within the note.
xm::Sample Buzz() {
    xm::Sample sample;
    sample.sixteenBit = true;
    for (int i = 0; i < 256; ++i) sample.frames.push_back(static_cast<std::int16_t>(i % 2 == 0 ? 10000 : -10000));
    sample.loop = xm::Loop::Forward;
    sample.loopLength = static_cast<std::uint32_t>(sample.frames.size());
    return sample;
}

// One long note a fine slide moves off the table, to a frequency whose
// sixteenths of a hertz are all but a whole sixteenth.
xm::Module FrequencyBetweenNotes(std::uint16_t flags, std::uint8_t note, std::uint8_t slide) {
    xm::Module module = Base(1, 32);
    module.flags = flags;
    module.instruments = {xm::InstrumentOf({Buzz()})};
    At(module, 0, 0) = {note, 1, 0, EffectExtended, static_cast<std::uint8_t>(ExtendedFinePortamentoUp << 4 | slide)};
    return module;
}

xm::Module FrequencyBetweenNotesAmiga() { return FrequencyBetweenNotes(0, kC4 - 12, 11); }
xm::Module FrequencyBetweenNotesLinear() { return FrequencyBetweenNotes(1, kC4 - 22, 15); }

// A one-shot sample silent for about a tick at C-4 and 255 BPM, and loud
// after: what is heard is mostly how a voice falls silent on the next tick.
xm::Sample LateBurst() {
    xm::Sample sample;
    sample.sixteenBit = true;
    for (int i = 0; i < 480; ++i) {
        sample.frames.push_back(i < 78 ? 0 : static_cast<std::int16_t>(14000.0 * std::sin(i * 0.9)));
    }
    return sample;
}

// Notes cut on their second tick, then, a tick apart, new notes that take
// over from sounding ones, some at lower volumes.
xm::Module SilencesRampDown() {
    xm::Module module = Base(1, 32);
    module.bpm = 255;
    module.speed = 2;
    module.instruments.push_back(xm::InstrumentOf({LateBurst()}));
    for (int row = 0; row < 12; ++row) At(module, row, 0) = {kC4, 3, 0, EffectExtended, ExtendedNoteCut << 4 | 1};
    for (int row = 12; row < 32; ++row) At(module, row, 0) = {kC4, 3, 0, 0, 0};
    At(module, 12, 0).effect = EffectSpeedTempo;
    At(module, 12, 0).parameter = 1;
    At(module, 20, 0).volume = 0x30;
    At(module, 21, 0).volume = 0x20;
    At(module, 22, 0).volume = 0x50;
    return module;
}

}  // namespace

std::vector<Behaviour> EnvelopePositionBehaviours() {
    return {
        {"envelope_position_at_points", EnvelopePositionAtPoints},
        {"glissando_amiga_half_semitones", GlissandoAmiga},
        {"frequency_between_notes_amiga", FrequencyBetweenNotesAmiga},
        {"frequency_between_notes_linear", FrequencyBetweenNotesLinear},
        {"silences_ramp_down", SilencesRampDown},
    };
}

}  // namespace reference
