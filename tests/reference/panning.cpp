// Panning at its edges: the panning envelope held, looped and released, the
// panning memories of both columns, stereo of ping-pong loops, and a key off
// beside a note.
#include <cmath>
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// A panning envelope whose loop ends at its sustain point, swinging fully
// left and right, beside a volume envelope held at a sustain point.
xm::Instrument LoopedPanning() {
    xm::Instrument instrument = xm::InstrumentOf({Tone()});
    instrument.panningEnvelope.points = {{0, 32}, {4, 0}, {8, 64}, {12, 32}, {30, 0}};
    instrument.panningEnvelope.type = 1 | 2 | 4;
    instrument.panningEnvelope.sustain = 2;
    instrument.panningEnvelope.loopStart = 1;
    instrument.panningEnvelope.loopEnd = 2;
    instrument.volumeEnvelope.points = {{0, 64}, {4, 48}, {24, 20}};
    instrument.volumeEnvelope.type = 1 | 2;
    instrument.volumeEnvelope.sustain = 1;
    return instrument;
}

// Key offs on the tick the panning loop ends (K00, a key-off note, Kxx on a
// later tick), one tick before it and within the loop, while the volume
// envelope waits at its sustain point; then a panning envelope held at its
// sustain point and let go.
xm::Module PanningEnvelopeRelease() {
    xm::Module module = Base(1, 32);
    module.instruments.push_back(LoopedPanning());
    xm::Instrument sustained = LoopedPanning();
    sustained.panningEnvelope.type = 1 | 2;
    sustained.panningEnvelope.sustain = 1;
    module.instruments.push_back(sustained);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 4, 0) = {0, 0, 0, EffectKeyOff, 0};
    At(module, 8, 0) = {kC4, 3, 0, 0, 0};
    At(module, 12, 0) = {97, 0, 0, 0, 0};
    At(module, 16, 0) = {kC4 + 2, 3, 0, 0, 0};
    At(module, 18, 0) = {0, 0, 0, EffectKeyOff, 3};
    At(module, 20, 0) = {kC4, 3, 0, 0, 0};
    At(module, 22, 0) = {0, 0, 0, EffectKeyOff, 4};
    At(module, 24, 0) = {kC4 + 4, 3, 0, 0, 0};
    At(module, 26, 0) = {0, 0, 0, EffectKeyOff, 1};
    At(module, 28, 0) = {kC4, 4, 0, 0, 0};
    At(module, 30, 0) = {97, 0, 0, 0, 0};
    return module;
}

// Both columns' panning and their memories: the volume column's set and
// slides (a slide left by 0 included), the effect column's slide with its
// memory, set panning against the volume column's, coarse panning at its
// ends, and a new note with and without its instrument.
xm::Module PanningMemories() {
    xm::Module module = Base(1, 28);
    At(module, 0, 0) = {kC4, 1, 0xC4, 0, 0};
    At(module, 1, 0) = {0, 0, 0xE3, 0, 0};
    At(module, 2, 0) = {0, 0, 0xE0, 0, 0};
    At(module, 3, 0) = {0, 0, 0xD0, 0, 0};
    At(module, 4, 0) = {0, 0, 0xD2, EffectSetPanning, 0xF0};
    At(module, 5, 0) = {0, 0, 0xC0, 0, 0};
    At(module, 6, 0) = {0, 0, 0, EffectPanningSlide, 0x40};
    At(module, 7, 0) = {0, 0, 0, EffectPanningSlide, 0x00};
    At(module, 8, 0) = {0, 0, 0xE0, EffectPanningSlide, 0x00};
    At(module, 9, 0) = {0, 0, 0, EffectPanningSlide, 0x05};
    At(module, 10, 0) = {0, 0, 0, EffectPanningSlide, 0x00};
    At(module, 11, 0) = {0, 0, 0, EffectPanningSlide, 0x34};
    At(module, 12, 0) = {0, 0, 0xCF, EffectSetPanning, 0x40};
    At(module, 13, 0) = {0, 0, 0xC8, EffectPanningSlide, 0x00};
    At(module, 14, 0) = {0, 0, 0, EffectExtended, (ExtendedCoarsePanning << 4) | 0xC};
    At(module, 15, 0) = {0, 0, 0xD4, EffectPanningSlide, 0x30};
    At(module, 16, 0) = {0, 0, 0, EffectExtended, (ExtendedCoarsePanning << 4) | 0xF};
    At(module, 17, 0) = {kC4 + 2, 0, 0, 0, 0};
    At(module, 18, 0) = {0, 0, 0, EffectExtended, (ExtendedCoarsePanning << 4) | 0x1};
    At(module, 19, 0) = {0, 0, 0xE6, EffectExtended, (ExtendedCoarsePanning << 4) | 0x8};
    At(module, 20, 0) = {kC4, 1, 0, 0, 0};
    At(module, 21, 0) = {0, 0, 0, EffectExtended, (ExtendedCoarsePanning << 4) | 0x0};
    At(module, 22, 0) = {0, 0, 0xD0, EffectSpeedTempo, 1};
    At(module, 23, 0) = {0, 0, 0xC6, EffectSpeedTempo, 6};
    At(module, 24, 0) = {0, 0, 0xD0, EffectPanningSlide, 0x02};
    return module;
}

// The panning envelope of the note that sounds: instrument numbers alone
// while it plays restart its envelope, and a later note without an
// instrument takes the waiting instrument, here one without an envelope.
xm::Module PanningEnvelopeInstruments() {
    xm::Module module = Base(1, 24);
    xm::Instrument up = xm::InstrumentOf({Tone()});
    up.panningEnvelope.points = {{0, 0}, {48, 64}};
    up.panningEnvelope.type = 1;
    xm::Instrument down = up;
    down.panningEnvelope.points = {{0, 64}, {48, 0}};
    module.instruments.push_back(up);
    module.instruments.push_back(down);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 2, 0) = {0, 3, 0, 0, 0};
    At(module, 6, 0) = {kC4, 3, 0, 0, 0};
    At(module, 9, 0) = {0, 4, 0, 0, 0};
    At(module, 13, 0) = {0, 1, 0, 0, 0};
    At(module, 14, 0) = {kC4 + 3, 0, 0, 0, 0};
    At(module, 17, 0) = {kC4 + 3, 4, 0, 0, 0};
    At(module, 21, 0) = {0, 1, 0, 0, 0};
    return module;
}

// The envelope position effect on a panning envelope held at its sustain
// point (the volume envelope's sustain point lets it move the panning), held
// and after the release.
xm::Module PanningEnvelopePosition() {
    xm::Module module = Base(1, 24);
    xm::Instrument held = LoopedPanning();
    held.panningEnvelope.sustain = 1;
    held.panningEnvelope.loopStart = 2;
    held.panningEnvelope.loopEnd = 3;
    module.instruments.push_back(held);
    xm::Instrument volumeNotHeld = held;
    volumeNotHeld.volumeEnvelope.type = 1;
    module.instruments.push_back(volumeNotHeld);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 2, 0) = {0, 0, 0, EffectEnvelopePosition, 6};
    At(module, 4, 0) = {97, 0, 0, 0, 0};
    At(module, 6, 0) = {0, 0, 0, EffectEnvelopePosition, 2};
    At(module, 9, 0) = {0, 0, 0, EffectEnvelopePosition, 20};
    At(module, 12, 0) = {kC4, 4, 0, 0, 0};
    At(module, 14, 0) = {0, 0, 0, EffectEnvelopePosition, 9};
    At(module, 17, 0) = {97, 0, 0, EffectEnvelopePosition, 2};
    At(module, 20, 0) = {0, 0, 0, EffectEnvelopePosition, 11};
    return module;
}

// A sample whose loop plays back and forth, 8-bit or 16-bit.
xm::Sample PingPong(bool sixteenBit) {
    xm::Sample sample;
    sample.sixteenBit = sixteenBit;
    for (int i = 0; i < 300; ++i) {
        double value = 0.5 * std::sin(i * 0.37) + 0.4 * std::sin(i * 0.051);
        sample.frames.push_back(static_cast<std::int16_t>(value * (sixteenBit ? 20000.0 : 100.0)));
    }
    sample.loop = xm::Loop::PingPong;
    sample.loopStart = 100;
    sample.loopLength = 150;
    return sample;
}

// Ping-pong loops of both sample widths on two channels, from left to right.
xm::Module PingPongStereo() {
    xm::Module module = Base(2, 16);
    module.instruments.push_back(xm::InstrumentOf({PingPong(true)}));
    module.instruments.push_back(xm::InstrumentOf({PingPong(false)}));
    const std::uint8_t pans[4] = {0x00, 0x50, 0xFF, 0xC0};
    for (int k = 0; k < 4; ++k) {
        At(module, 4 * k, 0) = {static_cast<std::uint8_t>(kC4 + 5 * k - 7), 3, 0, EffectSetPanning, pans[k]};
        At(module, 4 * k + 2, 1) = {static_cast<std::uint8_t>(kC4 + 12 - 3 * k), 4, 0x30, EffectSetPanning,
                                    pans[3 - k]};
    }
    return module;
}

// Key off (K00 and the note column's) beside a note and an instrument number,
// on instruments with and without a volume envelope, both with a panning
// envelope, and beside the volume column.
xm::Module KeyOffBesideNote() {
    xm::Module module = Base(1, 32);
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument panningOnly = EnvelopedTone();
    panningOnly.volumeEnvelope.type = 0;
    module.instruments.push_back(panningOnly);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 2, 3, 0, EffectKeyOff, 0};
    At(module, 8, 0) = {kC4, 3, 0, 0, 0};
    At(module, 10, 0) = {97, 3, 0, 0, 0};
    At(module, 14, 0) = {kC4 + 4, 4, 0, EffectKeyOff, 0};
    At(module, 18, 0) = {kC4 + 4, 4, 0, 0, 0};
    At(module, 20, 0) = {97, 4, 0, 0, 0};
    At(module, 24, 0) = {kC4 + 4, 3, 0x30, EffectKeyOff, 0};
    At(module, 26, 0) = {kC4 + 7, 1, 0, EffectKeyOff, 2};
    At(module, 28, 0) = {kC4 + 5, 0, 0, EffectKeyOff, 0};
    return module;
}

}  // namespace

std::vector<Behaviour> PanningBehaviours() {
    return {
        {"panning_envelope_release", PanningEnvelopeRelease},
        {"panning_memories", PanningMemories},
        {"panning_envelope_instruments", PanningEnvelopeInstruments},
        {"panning_envelope_position", PanningEnvelopePosition},
        {"ping_pong_stereo", PingPongStereo},
        {"key_off_beside_note", KeyOffBesideNote},
    };
}

}  // namespace reference
