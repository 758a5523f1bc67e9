// Pitch at the edges: arpeggio and vibrato beside other pitch effects, on
// both frequency tables, and slides that stop between notes.
#include <cmath>
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

constexpr std::uint16_t kLinear = 1;
constexpr std::uint16_t kAmiga = 0;

// A pure tone of eight periods, eight frames a period unless said: a pitch
// a fraction of a hertz off drifts out of phase within a few seconds.
xm::Sample FineTone(int framesPerPeriod = 8) {
    xm::Sample sample;
    sample.sixteenBit = true;
    for (int i = 0; i < 8 * framesPerPeriod; ++i) {
        double phase = 2.0 * 3.14159265358979 * i / framesPerPeriod;
        sample.frames.push_back(static_cast<std::int16_t>(12000.0 * std::sin(phase)));
    }
    sample.loop = xm::Loop::Forward;
    sample.loopLength = static_cast<std::uint32_t>(sample.frames.size());
    return sample;
}

// Arpeggio beside the volume column's vibrato, which it adds to; then the
// effect column's vibrato and arpeggio on rows after each other.
xm::Module ArpeggioWithVibrato(std::uint16_t flags) {
    xm::Module module = Base(1, 12);
    module.flags = flags;
    At(module, 0, 0) = {kC4, 1, 0xA6, 0, 0};
    At(module, 1, 0) = {0, 0, 0xB8, EffectArpeggio, 0x47};
    At(module, 2, 0) = {0, 0, 0xB8, EffectArpeggio, 0x47};
    At(module, 3, 0) = {0, 0, 0, EffectArpeggio, 0x47};
    At(module, 4, 0) = {0, 0, 0, EffectVibrato, 0x48};
    At(module, 5, 0) = {0, 0, 0, EffectArpeggio, 0x37};
    At(module, 6, 0) = {0, 0, 0, EffectVibrato, 0x4C};
    At(module, 7, 0) = {0, 0, 0, EffectArpeggio, 0x37};
    At(module, 8, 0) = {0, 0, 0xB4, EffectArpeggio, 0x37};
    return module;
}
xm::Module ArpeggioWithVibratoLinear() { return ArpeggioWithVibrato(kLinear); }
xm::Module ArpeggioWithVibratoAmiga() { return ArpeggioWithVibrato(kAmiga); }

// Arpeggio on the rows around a pitch slide and the volume column's glide.
xm::Module ArpeggioBesideSlides() {
    xm::Module module = Base(1, 12);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoUp, 0x08};
    At(module, 2, 0) = {0, 0, 0, EffectArpeggio, 0x37};
    At(module, 3, 0) = {kC4 + 5, 0, 0xF4, EffectArpeggio, 0x47};
    At(module, 4, 0) = {0, 0, 0, EffectArpeggio, 0x47};
    At(module, 5, 0) = {0, 0, 0xF0, 0, 0};
    At(module, 6, 0) = {0, 0, 0, EffectArpeggio, 0x47};
    At(module, 7, 0) = {0, 0, 0, EffectPortamentoDown, 0x05};
    At(module, 8, 0) = {0, 0, 0, EffectArpeggio, 0x38};
    return module;
}

// Vibrato in both columns of one row: the volume column's runs first and
// moves the wave on as well, and the effect column's depth holds for both;
// then the speed and depth each column leaves to the other.
xm::Module VibratoInBothColumns() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0xB4, EffectVibrato, 0x48};
    At(module, 1, 0) = {0, 0, 0xB4, EffectVibrato, 0x48};
    At(module, 2, 0) = {0, 0, 0xA8, EffectVibrato, 0x06};
    At(module, 3, 0) = {0, 0, 0xB6, EffectVibrato, 0x00};
    At(module, 4, 0) = {0, 0, 0xB6, EffectVibratoVolumeSlide, 0x01};
    At(module, 5, 0) = {0, 0, 0xA3, EffectVibrato, 0x00};
    At(module, 6, 0) = {kC4 + 2, 1, 0xA6, 0, 0};
    At(module, 7, 0) = {0, 0, 0, EffectVibrato, 0x05};
    At(module, 8, 0) = {0, 0, 0xB0, 0, 0};
    At(module, 9, 0) = {0, 0, 0, EffectVibrato, 0x30};
    At(module, 10, 0) = {0, 0, 0xB9, 0, 0};
    At(module, 11, 0) = {0, 0, 0, EffectVibrato, 0x00};
    At(module, 12, 0) = {0, 0, 0xA2, 0, 0};
    At(module, 13, 0) = {0, 0, 0xB0, 0, 0};
    At(module, 14, 0) = {0, 0, 0, EffectVibratoVolumeSlide, 0x00};
    return module;
}

// Vibrato beside tone portamento and pitch slides, from either column.
xm::Module VibratoWithPitchEffects(std::uint16_t flags) {
    xm::Module module = Base(1, 16);
    module.flags = flags;
    At(module, 0, 0) = {kC4, 1, 0, EffectVibrato, 0x48};
    At(module, 1, 0) = {kC4 + 7, 0, 0xB6, EffectTonePortamento, 0x08};
    At(module, 2, 0) = {0, 0, 0xB6, EffectTonePortamento, 0x00};
    At(module, 3, 0) = {kC4 - 3, 0, 0xB0, EffectTonePortamentoVolumeSlide, 0x01};
    At(module, 4, 0) = {0, 0, 0xB0, EffectTonePortamentoVolumeSlide, 0x00};
    At(module, 5, 0) = {kC4 + 2, 0, 0xF4, EffectVibrato, 0x58};
    At(module, 6, 0) = {0, 0, 0xF0, EffectVibrato, 0x00};
    At(module, 7, 0) = {0, 0, 0xF0, EffectVibratoVolumeSlide, 0x00};
    At(module, 8, 0) = {0, 0, 0xB8, EffectPortamentoUp, 0x04};
    At(module, 9, 0) = {0, 0, 0xB8, EffectPortamentoDown, 0x06};
    At(module, 10, 0) = {0, 0, 0xB8, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0x8};
    At(module, 11, 0) = {0, 0, 0, EffectVibrato, 0x00};
    At(module, 12, 0) = {0, 0, 0xB8, EffectExtraFinePortamento, 0x18};
    return module;
}
xm::Module VibratoWithPitchEffectsLinear() { return VibratoWithPitchEffects(kLinear); }
xm::Module VibratoWithPitchEffectsAmiga() { return VibratoWithPitchEffects(kAmiga); }

// The instrument's auto-vibrato on the Amiga table, alone and under arpeggio.
xm::Module AutoVibratoAmiga() {
    xm::Module module = Base(1, 16);
    module.flags = kAmiga;
    xm::Instrument instrument = EnvelopedTone();
    instrument.volumeEnvelope.type = 0;
    instrument.panningEnvelope.type = 0;
    module.instruments.push_back(instrument);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 5, 3, 0, EffectArpeggio, 0x37};
    At(module, 10, 0) = {0, 0, 0xB6, EffectArpeggio, 0x37};
    return module;
}

// Slides that stop between notes, held: coarse, fine and extra fine.
xm::Module SlideBetweenNotes(std::uint16_t flags) {
    xm::Module module = Base(1, 24);
    module.flags = flags;
    module.instruments[1] = xm::InstrumentOf({FineTone()});
    At(module, 0, 0) = {kC4, 2, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoUp, 0x03};
    At(module, 8, 0) = {0, 0, 0, EffectPortamentoDown, 0x05};
    At(module, 12, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0x3};
    At(module, 16, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x25};
    return module;
}
xm::Module SlideBetweenNotesLinear() { return SlideBetweenNotes(kLinear); }
xm::Module SlideBetweenNotesAmiga() { return SlideBetweenNotes(kAmiga); }

// Glissando control: tone portamento in semitones, upward and downward, its
// glide with a volume slide, and switched off and on in mid-glide. Once a
// glide has run, the semitones hold on rows without one, under slides and
// vibrato, until a new note.
xm::Module Glissando(std::uint16_t flags) {
    xm::Module module = Base(1, 24);
    module.flags = flags;
    At(module, 0, 0) = {kC4, 1, 0, EffectExtended, (ExtendedGlissando << 4) | 1};
    At(module, 1, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x06};
    At(module, 2, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 3, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 4, 0) = {kC4 - 7, 0, 0, EffectTonePortamento, 0x0B};
    At(module, 5, 0) = {0, 0, 0, EffectTonePortamentoVolumeSlide, 0x01};
    At(module, 6, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 8, 0) = {kC4 + 5, 0, 0, EffectTonePortamento, 0x03};
    At(module, 9, 0) = {0, 0, 0, EffectExtended, (ExtendedGlissando << 4) | 0};
    At(module, 10, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 11, 0) = {0, 0, 0, EffectExtended, (ExtendedGlissando << 4) | 1};
    At(module, 12, 0) = {kC4 - 2, 0, 0, EffectTonePortamento, 0x05};
    At(module, 13, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 14, 0) = {0, 0, 0xF5, 0, 0};
    At(module, 15, 0) = {kC4 + 3, 0, 0xF3, 0, 0};
    At(module, 16, 0) = {0, 0, 0, EffectPortamentoUp, 0x01};
    At(module, 17, 0) = {0, 0, 0, EffectVibrato, 0x4F};
    At(module, 18, 0) = {0, 0, 0, EffectPortamentoDown, 0x02};
    At(module, 19, 0) = {0, 0, 0, EffectArpeggio, 0x47};
    At(module, 20, 0) = {kC4, 1, 0, 0, 0};
    At(module, 21, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0x5};
    At(module, 22, 0) = {0, 0, 0, EffectPortamentoUp, 0x01};
    return module;
}
xm::Module GlissandoLinear() { return Glissando(kLinear); }
xm::Module GlissandoAmiga() { return Glissando(kAmiga); }

// A slide up past the top of the linear table, held there, then slid back
// down far enough to hear where it stopped.
xm::Module SlideUpPastTheTop() {
    xm::Module module = Base(1, 12);
    At(module, 0, 0) = {kC4 + 24, 1, 0, 0, 0};
    for (int row = 1; row <= 4; ++row) At(module, row, 0) = {0, 0, 0, EffectPortamentoUp, 0xFF};
    At(module, 7, 0) = {0, 0, 0, EffectPortamentoDown, 0xFF};
    return module;
}

// Fine and extra fine slides up past the top of the linear table, one a
// tick, then fine slides back down.
xm::Module FineSlidesUpPastTheTop() {
    xm::Module module = Base(1, 56);
    module.speed = 1;
    At(module, 0, 0) = {kC4 + 36, 1, 0, 0, 0};
    for (int row = 1; row <= 40; ++row) At(module, row, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0xF};
    for (int row = 41; row <= 44; ++row) At(module, row, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x1F};
    for (int row = 45; row <= 52; ++row) At(module, row, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0xF};
    return module;
}

// Fine slides down from a low note toward the bottom of the table.
xm::Module FineSlidesDownToTheBottom(std::uint16_t flags) {
    xm::Module module = Base(1, 48);
    module.flags = flags;
    module.speed = 1;
    At(module, 0, 0) = {10, 1, 0, 0, 0};
    for (int row = 1; row < 40; ++row) At(module, row, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0xF};
    return module;
}
xm::Module FineSlidesDownToTheBottomLinear() { return FineSlidesDownToTheBottom(kLinear); }
xm::Module FineSlidesDownToTheBottomAmiga() { return FineSlidesDownToTheBottom(kAmiga); }

// Slides up past the top of the Amiga table, where the tone's step leaps
// its whole loop and the note ends: slides, a volume, a tone portamento or
// an instrument number do not bring it back, a new note does.
xm::Module SlideUpPastTheTopAmiga() {
    xm::Module module = Base(1, 16);
    module.flags = kAmiga;
    At(module, 0, 0) = {kC4 + 24, 1, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoUp, 0xFF};
    At(module, 2, 0) = {0, 0, 0, EffectPortamentoUp, 0xFF};
    At(module, 4, 0) = {0, 0, 0, EffectPortamentoDown, 0xFF};
    At(module, 5, 0) = {0, 0, 0x30, EffectSetVolume, 0x20};
    At(module, 6, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x10};
    At(module, 7, 0) = {0, 1, 0, 0, 0};
    At(module, 9, 0) = {kC4 + 24, 1, 0, 0, 0};
    At(module, 10, 0) = {0, 0, 0, EffectPortamentoUp, 0x20};
    At(module, 12, 0) = {kC4 + 12, 1, 0, 0, 0};
    return module;
}

// Fine and extra fine slides up to the top of the Amiga table, a tick each:
// a long loop held at period 1 and slid back down, then a short loop whose
// step comes to leap it, which ends the note.
xm::Module FineSlidesUpPastTheTopAmiga() {
    xm::Module module = Base(1, 56);
    module.flags = kAmiga;
    module.speed = 1;
    module.instruments = {xm::InstrumentOf({FineTone(64)}), xm::InstrumentOf({FineTone()})};
    auto fineUp = [](int x) { return xm::Cell{0, 0, 0, EffectExtended, static_cast<std::uint8_t>((ExtendedFinePortamentoUp << 4) | x)}; };
    auto extraFineUp = [](int x) { return xm::Cell{0, 0, 0, EffectExtraFinePortamento, static_cast<std::uint8_t>(0x10 | x)}; };
    const xm::Cell fineDown{0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0xF};
    for (int start : {0, 24}) {
        At(module, start, 0) = {kC4 + 36, static_cast<std::uint8_t>(start == 0 ? 1 : 2), 0, 0, 0};
        for (int row = start + 4; row < start + 7; ++row) At(module, row, 0) = fineUp(0xF);
    }
    At(module, 10, 0) = extraFineUp(0xF);
    At(module, 12, 0) = extraFineUp(0xF);
    At(module, 14, 0) = extraFineUp(0x4);
    At(module, 15, 0) = fineDown;
    At(module, 16, 0) = fineDown;
    At(module, 32, 0) = extraFineUp(0xF);
    At(module, 34, 0) = extraFineUp(0xA);
    for (int row = 36; row <= 48; row += 3) At(module, row, 0) = extraFineUp(0x1);
    At(module, 50, 0) = fineDown;
    return module;
}

// Slides down past the bottom of the linear table, where the voice stands
// still; a tone portamento, a slide back up and a new note move it again.
xm::Module SlideDownPastTheBottomLinear() {
    xm::Module module = Base(1, 20);
    At(module, 0, 0) = {13, 1, 0, EffectPortamentoDown, 0x40};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoDown, 0x40};
    At(module, 2, 0) = {0, 0, 0, EffectPortamentoDown, 0x20};
    At(module, 3, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0xF};
    At(module, 4, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x2F};
    At(module, 6, 0) = {13, 0, 0, EffectTonePortamento, 0xFF};
    At(module, 8, 0) = {0, 0, 0, EffectPortamentoDown, 0x80};
    At(module, 9, 0) = {0, 0, 0, EffectPortamentoDown, 0x60};
    At(module, 11, 0) = {0, 0, 0, EffectPortamentoUp, 0x80};
    At(module, 13, 0) = {25, 1, 0, EffectPortamentoDown, 0xFF};
    At(module, 14, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0xF};
    At(module, 16, 0) = {25, 1, 0, 0, 0};
    return module;
}

// Slides down past the bottom of the Amiga table's 16-bit periods, where
// the pitch comes back in at the top, and back up across it.
xm::Module SlideDownPastTheBottomAmiga() {
    xm::Module module = Base(1, 14);
    module.flags = kAmiga;
    At(module, 0, 0) = {1, 1, 0, 0, 0};
    for (int row = 1; row <= 8; ++row) At(module, row, 0) = {0, 0, 0, EffectPortamentoDown, 0xFF};
    At(module, 9, 0) = {0, 0, 0, EffectPortamentoUp, 0xFF};
    At(module, 10, 0) = {0, 0, 0, EffectPortamentoDown, 0x80};
    At(module, 11, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0xF};
    At(module, 12, 0) = {1, 1, 0, 0, 0};
    return module;
}

// The lowest and highest notes the note column holds.
xm::Module LowestAndHighestNotes(std::uint16_t flags) {
    xm::Module module = Base(1, 12);
    module.flags = flags;
    At(module, 0, 0) = {1, 1, 0, 0, 0};
    At(module, 2, 0) = {2, 1, 0, 0, 0};
    At(module, 4, 0) = {13, 1, 0, 0, 0};
    At(module, 6, 0) = {96, 1, 0, 0, 0};
    At(module, 8, 0) = {95, 1, 0, 0, 0};
    At(module, 10, 0) = {84, 1, 0, 0, 0};
    return module;
}
xm::Module LowestAndHighestNotesLinear() { return LowestAndHighestNotes(kLinear); }
xm::Module LowestAndHighestNotesAmiga() { return LowestAndHighestNotes(kAmiga); }

}  // namespace

std::vector<Behaviour> PitchBehaviours() {
    return {
        {"arpeggio_with_vibrato_linear", ArpeggioWithVibratoLinear},
        {"arpeggio_with_vibrato_amiga", ArpeggioWithVibratoAmiga},
        {"arpeggio_beside_slides", ArpeggioBesideSlides},
        {"vibrato_in_both_columns", VibratoInBothColumns},
        {"vibrato_with_pitch_effects_linear", VibratoWithPitchEffectsLinear},
        {"vibrato_with_pitch_effects_amiga", VibratoWithPitchEffectsAmiga},
        {"auto_vibrato_amiga", AutoVibratoAmiga},
        {"slide_between_notes_linear", SlideBetweenNotesLinear},
        {"slide_between_notes_amiga", SlideBetweenNotesAmiga},
        {"glissando_linear", GlissandoLinear},
        {"glissando_amiga", GlissandoAmiga},
        {"slide_up_past_the_top_linear", SlideUpPastTheTop},
        {"fine_slides_up_past_the_top_linear", FineSlidesUpPastTheTop},
        {"fine_slides_down_to_the_bottom_linear", FineSlidesDownToTheBottomLinear},
        {"fine_slides_down_to_the_bottom_amiga", FineSlidesDownToTheBottomAmiga},
        {"slide_up_past_the_top_amiga", SlideUpPastTheTopAmiga},
        {"fine_slides_up_past_the_top_amiga", FineSlidesUpPastTheTopAmiga},
        {"slide_down_past_the_bottom_linear", SlideDownPastTheBottomLinear},
        {"slide_down_past_the_bottom_amiga", SlideDownPastTheBottomAmiga},
        {"lowest_and_highest_notes_linear", LowestAndHighestNotesLinear},
        {"lowest_and_highest_notes_amiga", LowestAndHighestNotesAmiga},
    };
}

}  // namespace reference
