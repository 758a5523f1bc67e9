// Portamento memories and targets, key off beside instrument numbers, the
// tremor's silence, and the global volume slide's memory.
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

std::uint8_t Extended(int command, int y) {
    return static_cast<std::uint8_t>((command << 4) | y);
}

// The memories of 1xx and 2xx, of E1x and E2x, of X1x and X2x, each its own,
// and the tone portamento's speed shared by 3xx, 5xx and the volume column.
xm::Module PortamentoMemories() {
    xm::Module module = Base(1, 28);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoUp, 0x08};
    At(module, 2, 0) = {0, 0, 0, EffectPortamentoDown, 0x04};
    At(module, 3, 0) = {0, 0, 0, EffectPortamentoUp, 0};
    At(module, 4, 0) = {0, 0, 0, EffectPortamentoDown, 0};
    At(module, 5, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedFinePortamentoUp, 0)};
    At(module, 6, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedFinePortamentoUp, 8)};
    At(module, 7, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedFinePortamentoDown, 0)};
    At(module, 8, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedFinePortamentoUp, 0)};
    At(module, 9, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x10};
    At(module, 10, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x1F};
    At(module, 11, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x20};
    At(module, 12, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x10};
    At(module, 13, 0) = {kC4 + 5, 0, 0, EffectTonePortamento, 0x06};
    At(module, 14, 0) = {kC4, 0, 0, EffectTonePortamento, 0};
    At(module, 15, 0) = {kC4 + 4, 0, 0xF0, 0, 0};
    At(module, 16, 0) = {kC4 - 3, 0, 0xF3, 0, 0};
    At(module, 17, 0) = {kC4 + 2, 0, 0, EffectTonePortamento, 0};
    At(module, 18, 0) = {0, 0, 0, EffectPortamentoUp, 0};
    At(module, 19, 0) = {0, 0, 0, EffectPortamentoDown, 0};
    At(module, 20, 0) = {kC4 - 4, 0, 0, EffectTonePortamentoVolumeSlide, 0x01};
    At(module, 21, 0) = {0, 0, 0, EffectTonePortamento, 0};
    At(module, 22, 0) = {0, 0, 0, EffectExtended, Extended(ExtendedFinePortamentoDown, 0)};
    At(module, 23, 0) = {kC4 + 7, 0, 0xF0, EffectPortamentoUp, 0};
    At(module, 25, 0) = {kC4, 0, 0xF0, EffectPortamentoDown, 0x10};
    At(module, 27, 0) = {0, 0, 0, EffectTonePortamento, 0};
    return module;
}

// A glide naming another instrument keeps the sounding sample and takes its
// volume; a key off, a cut and notes without an instrument on the glide;
// targets at the ends of the range and past the sample's.
xm::Module PortamentoInstrumentsAndEnds() {
    xm::Module module = Base(1, 32);
    module.instruments[1] = xm::InstrumentOf({OtherTone()});
    module.instruments[1].samples[0].relativeNote = -40;
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    At(module, 1, 0) = {kC4 + 7, 2, 0, EffectTonePortamento, 0x10};
    At(module, 3, 0) = {kC4, 2, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 5, 1, 0x20, EffectTonePortamento, 0x08};
    At(module, 6, 0) = {0, 2, 0, EffectTonePortamento, 0};
    At(module, 7, 0) = {kC4 - 2, 3, 0, EffectTonePortamento, 0x20};
    At(module, 8, 0) = {97, 0, 0, EffectTonePortamento, 0};
    At(module, 10, 0) = {kC4 + 3, 3, 0, EffectTonePortamento, 0x20};
    At(module, 12, 0) = {kC4, 1, 0, 0, 0};
    At(module, 13, 0) = {kC4 + 7, 0, 0xF4, 0, 0};
    At(module, 14, 0) = {97, 0, 0xF0, 0, 0};
    At(module, 16, 0) = {kC4, 1, 0, EffectExtended, Extended(ExtendedNoteCut, 0)};
    At(module, 17, 0) = {kC4 + 4, 1, 0, EffectTonePortamento, 0x10};
    At(module, 19, 0) = {1, 0, 0, EffectTonePortamento, 0x80};
    At(module, 21, 0) = {96, 0, 0, EffectTonePortamento, 0xFF};
    At(module, 24, 0) = {kC4, 1, 0, 0, 0};
    At(module, 25, 0) = {kC4 + 3, 2, 0, EffectTonePortamento, 0x10};
    At(module, 27, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x10};
    At(module, 29, 0) = {0, 1, 0xF0, 0, 0};
    return module;
}

// Key off beside an instrument number, in the note column, as K00 (which
// also leaves the cell's note unplayed) and delayed, on instruments with and
// without a volume envelope, each followed by a note without an instrument,
// and a key off after that note, whose fade-out goes on from where it stood.
xm::Module KeyOffBesideInstrument() {
    xm::Module module = Base(1, 44);
    module.instruments[1] = xm::InstrumentOf({OtherTone()});
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument fading = xm::InstrumentOf({Tone()});
    fading.fadeout = 2048;
    module.instruments.push_back(fading);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {97, 2, 0, 0, 0};
    At(module, 3, 0) = {kC4 + 4, 0, 0, 0, 0};
    At(module, 4, 0) = {kC4, 4, 0, 0, 0};
    At(module, 5, 0) = {97, 4, 0x20, 0, 0};
    At(module, 6, 0) = {kC4 + 5, 0, 0, 0, 0};
    At(module, 8, 0) = {kC4, 4, 0, 0, 0};
    At(module, 9, 0) = {97, 0, 0, 0, 0};
    At(module, 10, 0) = {kC4 + 5, 0, 0x30, 0, 0};
    At(module, 12, 0) = {kC4, 4, 0, 0, 0};
    At(module, 13, 0) = {0, 4, 0, EffectKeyOff, 0};
    At(module, 15, 0) = {kC4 + 2, 4, 0x30, EffectKeyOff, 0};
    At(module, 17, 0) = {kC4, 3, 0, 0, 0};
    At(module, 18, 0) = {kC4 + 4, 3, 0, EffectKeyOff, 0};
    At(module, 20, 0) = {kC4, 4, 0, 0, 0};
    At(module, 21, 0) = {97, 0, 0, EffectExtended, Extended(ExtendedNoteDelay, 3)};
    At(module, 22, 0) = {kC4 + 5, 0, 0x30, 0, 0};
    At(module, 24, 0) = {kC4, 4, 0, 0, 0};
    At(module, 25, 0) = {97, 4, 0, EffectExtended, Extended(ExtendedNoteDelay, 3)};
    At(module, 26, 0) = {kC4 + 5, 0, 0x30, 0, 0};
    At(module, 28, 0) = {kC4, 1, 0, 0, 0};
    At(module, 29, 0) = {97, 1, 0, EffectExtended, Extended(ExtendedNoteDelay, 2)};
    At(module, 31, 0) = {kC4, 4, 0, 0, 0};
    At(module, 32, 0) = {97, 3, 0, 0, 0};
    At(module, 34, 0) = {0, 4, 0, 0, 0};
    At(module, 36, 0) = {kC4, 3, 0, 0, 0};
    At(module, 37, 0) = {97, 3, 0, 0, 0};
    At(module, 39, 0) = {kC4 + 5, 0, 0, 0, 0};
    At(module, 41, 0) = {97, 0, 0, 0, 0};
    return module;
}

// Kxx past the row's speed, reached only where a row delay lengthens the
// row, with and without envelopes, and K00 and K02 through a row delay.
xm::Module KeyOffPastSpeed() {
    xm::Module module = Base(2, 24);
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument fading = xm::InstrumentOf({Tone()});
    fading.fadeout = 2048;
    module.instruments.push_back(fading);
    const std::uint8_t instruments[6] = {1, 4, 3, 1, 1, 1};
    const std::uint8_t ticks[6] = {8, 10, 7, 6, 2, 0};
    const std::uint8_t delays[6] = {1, 1, 2, 0, 1, 1};
    for (int k = 0; k < 6; ++k) {
        At(module, 4 * k, 0) = {kC4, instruments[k], 0, 0, 0};
        At(module, 4 * k + 1, 0) = {0, 0, 0, EffectKeyOff, ticks[k]};
        if (delays[k] != 0) At(module, 4 * k + 1, 1) = {0, 0, 0, EffectExtended, Extended(ExtendedRowDelay, delays[k])};
    }
    At(module, 22, 0) = {0, 0, 0x30, 0, 0};
    return module;
}

// The tremor switched off by a long off time, then a row without it that
// sets or slides the volume, names an instrument or plays a note.
xm::Module TremorHeldOff() {
    xm::Module module = Base(1, 32);
    const xm::Cell after[8] = {
        {0, 0, 0, EffectSetVolume, 0x20},
        {0, 0, 0x30, 0, 0},
        {0, 1, 0, 0, 0},
        {kC4 + 2, 0, 0, 0, 0},
        {kC4 + 2, 1, 0, 0, 0},
        {0, 0, 0, EffectVolumeSlide, 0x02},
        {0, 0, 0, EffectExtended, Extended(ExtendedFineVolumeUp, 2)},
        {0, 0, 0, EffectTremolo, 0x44},
    };
    for (int k = 0; k < 8; ++k) {
        At(module, 4 * k, 0) = {kC4, 1, 0x38, EffectTremor, 0x0E};
        At(module, 4 * k + 1, 0) = after[k];
    }
    return module;
}

// Global volume slides from each channel's own memory, across pattern
// breaks, from above 64 and with both nibbles.
xm::Module GlobalVolumeSlideMemories() {
    xm::Module module = Base(2, 8);
    module.orders = {0, 1, 2};
    module.patterns.push_back(module.patterns[0]);
    module.patterns.push_back(module.patterns[0]);
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    At(module, 0, 1) = {kC4 + 7, 1, 0x30, EffectGlobalVolumeSlide, 0x04};
    At(module, 1, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 2, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 3, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0x20};
    At(module, 4, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 5, 1) = {0, 0, 0, EffectPatternBreak, 0x02};
    At(module, 5, 0) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 0, 0, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x05};
    At(module, 2, 0, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 3, 1, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 4, 1, 1) = {0, 0, 0, EffectPatternBreak, 0x00};
    At(module, 4, 0, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x30};
    At(module, 0, 0, 2) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    At(module, 1, 1, 2) = {0, 0, 0, EffectGlobalVolume, 0x80};
    At(module, 2, 1, 2) = {0, 0, 0, EffectGlobalVolumeSlide, 0x0F};
    At(module, 3, 1, 2) = {0, 0, 0, EffectGlobalVolumeSlide, 0xF0};
    At(module, 4, 0, 2) = {0, 0, 0, EffectGlobalVolumeSlide, 0};
    return module;
}

}  // namespace

std::vector<Behaviour> PortamentoBehaviours() {
    return {
        {"portamento_memories", PortamentoMemories},
        {"portamento_instruments_and_ends", PortamentoInstrumentsAndEnds},
        {"key_off_beside_instrument", KeyOffBesideInstrument},
        {"key_off_past_speed", KeyOffPastSpeed},
        {"tremor_held_off", TremorHeldOff},
        {"global_volume_slide_memories", GlobalVolumeSlideMemories},
    };
}

}  // namespace reference
