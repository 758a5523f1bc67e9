// Pitch in files of the format tracker's older versions: the reference tunes
// and transposes their notes by the older rules.
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

xm::Module OlderBase(int channels, int rows) { return SavedByOlderFormatTracker(Base(channels, rows)); }

// Finetunes between the sixteenths of a semitone, on notes across octaves,
// on either table.
xm::Module Finetune(std::uint16_t flags) {
    xm::Module module = OlderBase(2, 16);
    module.flags = flags;
    module.instruments[0].samples[0].finetune = 20;
    module.instruments[1].samples[0].finetune = -45;
    for (int row = 0; row < 16; row += 2) {
        At(module, row, 0) = {static_cast<std::uint8_t>(kC4 - 24 + 5 * row), 1, 0x20, 0, 0};
        At(module, row + 1, 1) = {static_cast<std::uint8_t>(kC4 - 12 + 3 * row), 2, 0, 0, 0};
    }
    return module;
}
xm::Module FinetuneLinear() { return Finetune(1); }
xm::Module FinetuneAmiga() { return Finetune(0); }

// Notes the samples' relative notes take past either end of the range, and
// the two highest notes.
xm::Module NotesOutOfRange() {
    xm::Module module = OlderBase(1, 16);
    module.instruments[0].samples[0].relativeNote = 40;
    module.instruments[1].samples[0].relativeNote = -40;
    At(module, 0, 0) = {79, 1, 0, 0, 0};
    At(module, 2, 0) = {80, 1, 0, 0, 0};
    At(module, 4, 0) = {90, 1, 0, 0, 0};
    At(module, 6, 0) = {kC4, 1, 0, 0, 0};
    At(module, 8, 0) = {20, 2, 0, 0, 0};
    At(module, 10, 0) = {45, 2, 0, 0, 0};
    At(module, 12, 0) = {2, 2, 0, 0, 0};
    return module;
}

// Portamento up and down with and without parameters, one after the other.
xm::Module PortamentoMemory() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoUp, 0x08};
    At(module, 2, 0) = {0, 0, 0, EffectPortamentoDown, 0x00};
    At(module, 3, 0) = {0, 0, 0, EffectPortamentoDown, 0x03};
    At(module, 4, 0) = {0, 0, 0, EffectPortamentoUp, 0x00};
    At(module, 5, 0) = {0, 0, 0, EffectPortamentoUp, 0x00};
    At(module, 6, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0x4};
    At(module, 7, 0) = {0, 0, 0, EffectPortamentoDown, 0x00};
    return module;
}

// Tone portamento after plain notes, without a note of its own, and after a
// slide past the last note played.
xm::Module PortamentoTarget() {
    xm::Module module = OlderBase(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x08};
    At(module, 2, 0) = {kC4 + 7, 0, 0, 0, 0};
    At(module, 3, 0) = {0, 0, 0, EffectTonePortamento, 0x10};
    At(module, 4, 0) = {0, 0, 0, EffectPortamentoUp, 0x20};
    At(module, 5, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 6, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 8, 0) = {kC4 - 5, 0, 0, 0, 0};
    At(module, 9, 0) = {0, 0, 0xF4, 0, 0};
    At(module, 10, 0) = {kC4 + 2, 0, 0, EffectPortamentoDown, 0x10};
    At(module, 11, 0) = {0, 0, 0, EffectTonePortamento, 0x08};
    return module;
}

// Tone portamentos naming an instrument: one transposed by its sample, and
// one whose note names a quieter sample of the sounding instrument.
xm::Module GlideInstrument() {
    xm::Module module = OlderBase(1, 16);
    module.instruments[1] = xm::InstrumentOf({Tone()});
    module.instruments[1].samples[0].relativeNote = -7;
    module.instruments[1].samples[0].volume = 40;
    xm::Sample quiet = Tone();
    quiet.volume = 24;
    quiet.relativeNote = 12;
    module.instruments[0].samples.push_back(quiet);
    for (int note = 56; note < 96; ++note) module.instruments[0].noteSample[static_cast<std::size_t>(note)] = 1;
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 2, 0) = {kC4 + 5, 2, 0, EffectTonePortamento, 0x10};
    At(module, 6, 0) = {kC4, 1, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 12, 1, 0, EffectTonePortamento, 0x10};
    At(module, 12, 0) = {kC4 + 2, 1, 0xF8, 0, 0};
    return module;
}

// The volume column's vibrato speed alone, after a depth and before the
// next note.
xm::Module ColumnVibratoSpeed() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {kC4, 1, 0xB8, 0, 0};
    At(module, 1, 0) = {0, 0, 0xA6, 0, 0};
    At(module, 2, 0) = {0, 0, 0xA3, 0, 0};
    At(module, 4, 0) = {kC4 + 5, 1, 0xAC, 0, 0};
    At(module, 5, 0) = {0, 0, 0xA5, 0, 0};
    return module;
}

// The volume column's vibrato speed and depth of 0 after the other of them.
xm::Module ColumnVibratoMemory() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {kC4, 1, 0xA4, EffectVibrato, 0x48};
    At(module, 1, 0) = {0, 0, 0xB6, 0, 0};
    At(module, 2, 0) = {0, 0, 0xA2, 0, 0};
    At(module, 3, 0) = {0, 0, 0xB0, 0, 0};
    At(module, 4, 0) = {0, 0, 0xB9, 0, 0};
    At(module, 5, 0) = {0, 0, 0xA0, 0, 0};
    At(module, 6, 0) = {0, 0, 0xB0, 0, 0};
    return module;
}

// Vibrato in both columns of a row.
xm::Module VibratoInBothColumns() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {kC4, 1, 0xB4, EffectVibrato, 0x48};
    At(module, 1, 0) = {0, 0, 0xB4, EffectVibrato, 0x48};
    At(module, 2, 0) = {0, 0, 0xA8, EffectVibrato, 0x06};
    At(module, 3, 0) = {0, 0, 0xAC, EffectVibratoVolumeSlide, 0x01};
    At(module, 4, 0) = {0, 0, 0xB2, EffectVibrato, 0x00};
    return module;
}

// Arpeggio on pitches that slides have moved off the note, up and down.
xm::Module ArpeggioAfterSlides() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoUp, 0x09};
    At(module, 2, 0) = {0, 0, 0, EffectArpeggio, 0x37};
    At(module, 3, 0) = {kC4 + 5, 0, 0, EffectArpeggio, 0x47};
    At(module, 4, 0) = {0, 0, 0, EffectPortamentoDown, 0x05};
    At(module, 5, 0) = {0, 0, 0, EffectArpeggio, 0x38};
    At(module, 6, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0xC};
    At(module, 7, 0) = {0, 0, 0, EffectArpeggio, 0x5C};
    return module;
}

// Arpeggio past the highest note, and by 0 semitones after slides.
xm::Module ArpeggioEdges() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {91, 1, 0, EffectArpeggio, 0x67};
    At(module, 1, 0) = {94, 1, 0, EffectArpeggio, 0x3F};
    At(module, 2, 0) = {kC4 + 24, 1, 0, 0, 0};
    At(module, 3, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 8};
    At(module, 4, 0) = {0, 0, 0, EffectArpeggio, 0x0C};
    At(module, 5, 0) = {0, 0, 0, EffectPortamentoUp, 0x06};
    At(module, 6, 0) = {0, 0, 0, EffectArpeggio, 0x50};
    return module;
}

// Glissando on tone portamentos up and down, on either table.
xm::Module Glissando(std::uint16_t flags) {
    xm::Module module = OlderBase(1, 12);
    module.flags = flags;
    At(module, 0, 0) = {kC4, 1, 0, EffectExtended, (ExtendedGlissando << 4) | 1};
    At(module, 1, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x06};
    At(module, 2, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 3, 0) = {kC4 - 7, 0, 0, EffectTonePortamento, 0x0B};
    At(module, 4, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 5, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    return module;
}
xm::Module GlissandoLinear() { return Glissando(1); }
xm::Module GlissandoAmiga() { return Glissando(0); }

// Tone portamentos in either column, with and without a note, after a
// one-shot sample has played to its end.
xm::Module GlideAfterSampleEnd() {
    xm::Module module = OlderBase(1, 20);
    At(module, 0, 0) = {kC4, 2, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x10};
    At(module, 8, 0) = {0, 0, 0, EffectTonePortamento, 0x10};
    At(module, 10, 0) = {kC4, 0, 0xF2, 0, 0};
    At(module, 14, 0) = {kC4 + 6, 0, 0, EffectTonePortamentoVolumeSlide, 0x01};
    At(module, 18, 0) = {0, 0, 0, EffectPortamentoDown, 0x10};
    return module;
}

// Slides down the linear table past where the tracker holds the voice, on
// to thirty octaves down, where the pitch comes back in at the top, and a
// tone portamento back up.
xm::Module SlideDownPastTheBottomLinear() {
    xm::Module module = OlderBase(1, 12);
    At(module, 0, 0) = {1, 1, 0, EffectPortamentoDown, 0xFF};
    At(module, 1, 0) = {0, 0, 0, EffectPortamentoDown, 0xFF};
    At(module, 2, 0) = {0, 0, 0, EffectPortamentoDown, 0xFF};
    At(module, 3, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x2F};
    At(module, 4, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0xF};
    At(module, 5, 0) = {0, 0, 0, EffectPortamentoUp, 0x20};
    At(module, 6, 0) = {13, 0, 0, EffectTonePortamento, 0xFF};
    At(module, 7, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 8, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 10, 0) = {25, 1, 0, 0, 0};
    return module;
}

// Slides down the Amiga table past period 65535 and back up across it.
xm::Module SlideDownPastTheBottomAmiga() {
    xm::Module module = OlderBase(1, 12);
    module.flags = 0;
    At(module, 0, 0) = {1, 1, 0, EffectPortamentoDown, 0xFF};
    for (int row = 1; row < 8; ++row) At(module, row, 0) = {0, 0, 0, EffectPortamentoDown, 0xFF};
    At(module, 8, 0) = {0, 0, 0, EffectPortamentoUp, 0xFF};
    At(module, 9, 0) = {0, 0, 0, EffectPortamentoDown, 0x80};
    At(module, 10, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoUp << 4) | 0xF};
    return module;
}

}  // namespace

std::vector<Behaviour> OlderTrackerPitchBehaviours() {
    return {
        {"older_tracker_finetune_linear", FinetuneLinear, true},
        {"older_tracker_finetune_amiga", FinetuneAmiga, true},
        {"older_tracker_notes_out_of_range", NotesOutOfRange, true},
        {"older_tracker_portamento_memory", PortamentoMemory, true},
        {"older_tracker_portamento_target", PortamentoTarget, true},
        {"older_tracker_glide_instrument", GlideInstrument, true},
        {"older_tracker_column_vibrato_speed", ColumnVibratoSpeed, true},
        {"older_tracker_column_vibrato_memory", ColumnVibratoMemory, true},
        {"older_tracker_vibrato_in_both_columns", VibratoInBothColumns, true},
        {"older_tracker_arpeggio_after_slides", ArpeggioAfterSlides, true},
        {"older_tracker_arpeggio_edges", ArpeggioEdges, true},
        {"older_tracker_glissando_linear", GlissandoLinear, true},
        {"older_tracker_glissando_amiga", GlissandoAmiga, true},
        {"older_tracker_slide_down_past_the_bottom_linear", SlideDownPastTheBottomLinear, true},
        {"older_tracker_slide_down_past_the_bottom_amiga", SlideDownPastTheBottomAmiga, true},
        {"older_tracker_glide_after_sample_end", GlideAfterSampleEnd, true},
    };
}

}  // namespace reference
