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

// A pure tone of eight frames a period: a pitch a fraction of a hertz off
// drifts out of phase within a few seconds.
xm::Sample FineTone() {
    xm::Sample sample;
    sample.sixteenBit = true;
    for (int i = 0; i < 64; ++i) {
        sample.frames.push_back(static_cast<std::int16_t>(12000.0 * std::sin(2.0 * 3.14159265358979 * i / 8.0)));
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
        {"lowest_and_highest_notes_linear", LowestAndHighestNotesLinear},
        {"lowest_and_highest_notes_amiga", LowestAndHighestNotesAmiga},
    };
}

}  // namespace reference
