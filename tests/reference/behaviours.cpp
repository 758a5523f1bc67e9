#include "tests/reference/behaviours.h"

#include <cmath>
#include <cstdint>

#include "music/song.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// Panning 0 to 255 and volumes across the range, one channel at a time and
// several together.
xm::Module PanningAndVolume() {
    xm::Module module = Base(4, 16);
    const std::uint8_t pans[4] = {0, 60, 200, 255};
    for (int c = 0; c < 4; ++c) {
        At(module, 2 * c, c) = {static_cast<std::uint8_t>(kC4 + 3 * c), 1, static_cast<std::uint8_t>(0x10 + 16 * c + 16),
                                EffectSetPanning, pans[c]};
        At(module, 12, c) = {0, 0, 0, EffectSetVolume, static_cast<std::uint8_t>(8 + 16 * c)};
    }
    return module;
}

// Short hits every other tick at a tempo whose tick is 455.58 frames long.
xm::Module TickLength() {
    xm::Module module = Base(1, 64);
    module.speed = 1;
    module.bpm = 242;
    for (int row = 0; row < 64; row += 2) At(module, row, 0) = {kC4 + 12, 2, 0, 0, 0};
    return module;
}


// The same tone with only one of the envelopes or the auto-vibrato.
xm::Module OneModulation(int which) {
    xm::Module module = Base(1, 16);
    xm::Instrument instrument = EnvelopedTone();
    if (which != 0) instrument.volumeEnvelope.type = 0;
    if (which != 1) instrument.panningEnvelope.type = 0;
    if (which != 2) instrument.vibratoDepth = 0;
    module.instruments.push_back(instrument);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 10, 0) = {97, 0, 0, 0, 0};
    return module;
}
xm::Module VolumeEnvelope() { return OneModulation(0); }
xm::Module PanningEnvelope() { return OneModulation(1); }
xm::Module AutoVibrato() { return OneModulation(2); }

// The volume column's tone portamento glides to the new note at y x 16.
xm::Module VolumeColumnPortamento() {
    xm::Module module = Base(1, 24);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 7, 0, 0xF2, 0, 0};
    for (int row = 5; row < 10; ++row) At(module, row, 0) = {0, 0, 0xF0, 0, 0};
    At(module, 12, 0) = {kC4 - 5, 1, 0xF1, 0, 0};
    for (int row = 13; row < 20; ++row) At(module, row, 0) = {0, 0, 0xF0, 0, 0};
    return module;
}

// Volume-column slides of volume and panning, row after row.
xm::Module VolumeColumnSlides() {
    xm::Module module = Base(1, 24);
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    for (int row = 1; row < 6; ++row) At(module, row, 0) = {0, 0, 0x72, 0, 0};
    for (int row = 6; row < 12; ++row) At(module, row, 0) = {0, 0, 0x63, 0, 0};
    for (int row = 12; row < 18; ++row) At(module, row, 0) = {0, 0, 0xD6, 0, 0};
    for (int row = 18; row < 24; ++row) At(module, row, 0) = {0, 0, 0xE9, 0, 0};
    return module;
}

// Panning slides that run into the edges, then back.
xm::Module PanningSlideBounds() {
    xm::Module module = Base(1, 32);
    At(module, 0, 0) = {kC4, 1, 0, EffectSetPanning, 0x20};
    for (int row = 1; row < 8; ++row) At(module, row, 0) = {0, 0, 0xDF, 0, 0};
    for (int row = 8; row < 12; ++row) At(module, row, 0) = {0, 0, 0xE8, 0, 0};
    At(module, 12, 0) = {0, 0, 0, EffectSetPanning, 0xE0};
    for (int row = 13; row < 20; ++row) At(module, row, 0) = {0, 0, 0xEF, 0, 0};
    for (int row = 20; row < 24; ++row) At(module, row, 0) = {0, 0, 0xD8, 0, 0};
    for (int row = 24; row < 28; ++row) At(module, row, 0) = {0, 0, 0, EffectPanningSlide, 0xF0};
    for (int row = 28; row < 32; ++row) At(module, row, 0) = {0, 0, 0, EffectPanningSlide, 0x0F};
    return module;
}

// Set volume above 64, then slides from there.
xm::Module SetVolumeAbove64() {
    xm::Module module = Base(2, 16);
    At(module, 0, 0) = {kC4, 1, 0, EffectSetVolume, 0x50};
    At(module, 0, 1) = {kC4 + 4, 1, 0, EffectSetVolume, 0x20};
    At(module, 4, 0) = {0, 0, 0, EffectVolumeSlide, 0x04};
    At(module, 8, 0) = {kC4 + 2, 1, 0, EffectSetVolume, 0xFF};
    At(module, 12, 0) = {0, 0, 0x8A, 0, 0};
    return module;
}

// Arpeggio over whole rows at several speeds.
xm::Module ArpeggioAtSpeed(int speed, int rows) {
    xm::Module module = Base(1, rows);
    module.speed = static_cast<std::uint16_t>(speed);
    At(module, 0, 0) = {kC4, 1, 0, EffectArpeggio, 0x47};
    for (int row = 1; row < rows; ++row) At(module, row, 0) = {0, 0, 0, EffectArpeggio, static_cast<std::uint8_t>(row % 2 == 0 ? 0x37 : 0x5C)};
    return module;
}
xm::Module ArpeggioSpeed4() { return ArpeggioAtSpeed(4, 8); }
xm::Module ArpeggioSpeed5() { return ArpeggioAtSpeed(5, 8); }
xm::Module ArpeggioSpeed7() { return ArpeggioAtSpeed(7, 8); }
xm::Module ArpeggioSpeed31() { return ArpeggioAtSpeed(31, 2); }

// Retriggers of an enveloped, auto-vibrato note.
xm::Module RetriggerEnvelopes() {
    xm::Module module = Base(1, 16);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    for (int row = 4; row < 10; ++row) At(module, row, 0) = {0, 0, 0, EffectExtended, (ExtendedRetrigger << 4) | 4};
    At(module, 10, 0) = {97, 0, 0, 0, 0};
    for (int row = 11; row < 16; ++row) At(module, row, 0) = {0, 0, 0, EffectExtended, (ExtendedRetrigger << 4) | 3};
    return module;
}

// Key off on a later tick, with and without a volume envelope.
xm::Module KeyOffOnTick() {
    xm::Module module = Base(2, 16);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 0, 1) = {kC4 + 7, 1, 0, 0, 0};
    At(module, 4, 0) = {0, 0, 0, EffectKeyOff, 3};
    At(module, 4, 1) = {0, 0, 0, EffectKeyOff, 4};
    At(module, 8, 0) = {kC4 + 2, 3, 0, 0, 0};
    At(module, 8, 1) = {kC4 + 9, 1, 0, 0, 0};
    At(module, 10, 0) = {0, 0, 0, EffectKeyOff, 0};
    At(module, 10, 1) = {0, 0, 0, EffectKeyOff, 1};
    return module;
}

// Note delays of 0 and more, with and without an instrument in the cell.
xm::Module NoteDelay() {
    xm::Module module = Base(2, 16);
    At(module, 0, 0) = {kC4, 1, 0x20, 0, 0};
    At(module, 2, 0) = {kC4 + 3, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 0};
    At(module, 4, 0) = {kC4 + 5, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 3};
    At(module, 6, 0) = {kC4 + 7, 1, 0, EffectExtended, (ExtendedNoteDelay << 4) | 2};
    At(module, 8, 0) = {0, 0, 0x18, EffectSetPanning, 0x30};
    At(module, 9, 0) = {kC4, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 4};
    At(module, 11, 0) = {kC4 + 2, 1, 0x28, EffectExtended, (ExtendedNoteDelay << 4) | 1};
    At(module, 0, 1) = {kC4 + 12, 2, 0, EffectExtended, (ExtendedNoteDelay << 4) | 0};
    At(module, 3, 1) = {kC4 + 12, 2, 0, EffectExtended, (ExtendedNoteDelay << 4) | 5};
    At(module, 13, 1) = {kC4 + 12, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 2};
    return module;
}

// Note cuts on tick 0 and later.
xm::Module NoteCut() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 2, 0) = {0, 0, 0, EffectExtended, (ExtendedNoteCut << 4) | 0};
    At(module, 4, 0) = {kC4 + 5, 1, 0, EffectExtended, (ExtendedNoteCut << 4) | 0};
    At(module, 6, 0) = {kC4 + 3, 1, 0, EffectExtended, (ExtendedNoteCut << 4) | 3};
    At(module, 8, 0) = {kC4 + 7, 1, 0, 0, 0};
    At(module, 12, 0) = {0, 0, 0, EffectExtended, (ExtendedNoteCut << 4) | 5};
    return module;
}

// Finetune set on one note, then notes without it.
xm::Module FinetuneForOneNote() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, EffectExtended, (ExtendedFinetune << 4) | 0xF};
    At(module, 4, 0) = {kC4, 1, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 2, 1, 0, EffectExtended, (ExtendedFinetune << 4) | 0x2};
    At(module, 12, 0) = {kC4 + 2, 1, 0, 0, 0};
    return module;
}

// Global volume set and slid by the last channel while the others play.
xm::Module GlobalVolume() {
    xm::Module module = Base(4, 16);
    for (int c = 0; c < 3; ++c) At(module, 0, c) = {static_cast<std::uint8_t>(kC4 + 4 * c), 1, 0x20, 0, 0};
    At(module, 2, 3) = {0, 0, 0, EffectGlobalVolume, 0x18};
    At(module, 4, 3) = {0, 0, 0, EffectGlobalVolumeSlide, 0x40};
    At(module, 5, 3) = {0, 0, 0, EffectGlobalVolumeSlide, 0x00};
    At(module, 8, 3) = {0, 0, 0, EffectGlobalVolumeSlide, 0x03};
    At(module, 9, 3) = {0, 0, 0, EffectGlobalVolumeSlide, 0x00};
    At(module, 12, 3) = {0, 0, 0, EffectGlobalVolume, 0x40};
    At(module, 12, 0) = {0, 0, 0, EffectGlobalVolume, 0x10};
    return module;
}

// Multi retrigger: each nibble's memory and the retrigger's own count.
xm::Module MultiRetrigger() {
    xm::Module module = Base(1, 16);
    module.speed = 5;
    At(module, 0, 0) = {kC4 + 12, 2, 0, EffectMultiRetrigger, 0x83};
    At(module, 1, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 2, 0) = {0, 0, 0, EffectMultiRetrigger, 0x02};
    At(module, 3, 0) = {0, 0, 0, EffectMultiRetrigger, 0x20};
    At(module, 4, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 6, 0) = {kC4 + 12, 2, 0, EffectMultiRetrigger, 0x94};
    At(module, 7, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 9, 0) = {kC4 + 10, 2, 0, EffectMultiRetrigger, 0x03};
    At(module, 10, 0) = {kC4 + 10, 0, 0, EffectMultiRetrigger, 0x00};
    return module;
}

// Tremolo over several rows, with rows between that do not name it.
xm::Module Tremolo() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, EffectTremolo, 0x48};
    for (int row = 1; row < 4; ++row) At(module, row, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 5, 0) = {0, 0, 0, EffectTremolo, 0x6C};
    At(module, 6, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 9, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 10, 0) = {0, 0, 0, EffectTremolo, 0x00};
    return module;
}

// Tremor with its parameter, its memory and a new note in between.
xm::Module Tremor() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, EffectTremor, 0x21};
    for (int row = 1; row < 4; ++row) At(module, row, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 4, 0) = {kC4 + 5, 1, 0, EffectTremor, 0x13};
    At(module, 5, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 7, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 8, 0) = {kC4 + 3, 0, 0, EffectTremor, 0x00};
    return module;
}

// An envelope whose loop ends at its sustain point: it loops while the key is
// held and goes on to its last point once released.
xm::Module LoopEndingAtSustain() {
    xm::Module module = Base(1, 24);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 14, 0) = {97, 0, 0, 0, 0};
    return module;
}

// Sample offsets: without a note, and past the sample's end.
xm::Module SampleOffset() {
    xm::Module module = Base(2, 16);
    module.instruments[1].samples[0].frames.resize(2000);
    At(module, 0, 0) = {kC4, 2, 0, 0, 0};
    At(module, 2, 0) = {0, 0, 0, EffectSampleOffset, 0x04};
    At(module, 4, 0) = {kC4, 2, 0, EffectSampleOffset, 0x02};
    At(module, 6, 0) = {kC4 + 3, 2, 0, EffectSampleOffset, 0x10};
    At(module, 8, 0) = {kC4, 1, 0, 0, 0};
    At(module, 10, 0) = {kC4, 2, 0, EffectSampleOffset, 0x00};
    At(module, 12, 0) = {kC4 + 2, 2, 0, EffectSampleOffset, 0x08};
    At(module, 0, 1) = {kC4 + 7, 1, 0x20, 0, 0};
    At(module, 6, 1) = {0, 0, 0, EffectSampleOffset, 0x01};
    return module;
}

// A pattern loop, then the next pattern.
xm::Module PatternLoopThenNextPattern() {
    xm::Module module = Base(1, 8);
    module.orders = {0, 1};
    module.patterns.push_back(module.patterns[0]);
    At(module, 0, 0) = {kC4, 2, 0, 0, 0};
    At(module, 2, 0) = {kC4 + 3, 2, 0, EffectExtended, (ExtendedPatternLoop << 4) | 0};
    At(module, 4, 0) = {kC4 + 5, 2, 0, EffectExtended, (ExtendedPatternLoop << 4) | 1};
    for (int row = 0; row < 8; ++row) At(module, row, 0, 1) = {static_cast<std::uint8_t>(kC4 + 12 + row), 2, 0, 0, 0};
    return module;
}

// A jump past the last order, with a restart position.
xm::Module JumpPastTheEnd() {
    xm::Module module = Base(1, 8);
    module.orders = {0, 1};
    module.restart = 1;
    module.patterns.push_back(module.patterns[0]);
    At(module, 0, 0) = {kC4, 2, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 3, 2, 0, EffectPositionJump, 0x05};
    for (int row = 0; row < 8; row += 2) At(module, row, 0, 1) = {static_cast<std::uint8_t>(kC4 + 7 + row), 2, 0, 0, 0};
    return module;
}

// Notes that the samples' relative notes take out of the playable range.
xm::Module NotesOutOfRange() {
    xm::Module module = Base(1, 16);
    module.instruments[0].samples[0].relativeNote = 40;
    module.instruments[1].samples[0].relativeNote = -40;
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 2, 0) = {90, 1, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 24, 1, 0, 0, 0};
    At(module, 6, 0) = {20, 2, 0, 0, 0};
    At(module, 8, 0) = {45, 2, 0, 0, 0};
    At(module, 10, 0) = {2, 2, 0, 0, 0};
    At(module, 12, 0) = {60, 2, 0, 0, 0};
    return module;
}

// Tone portamento: its speed memory, a new target mid-glide, an instrument
// number on the glide, and the Amiga frequency table.
xm::Module TonePortamento() {
    xm::Module module = Base(1, 24);
    module.flags = 0;
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 2, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x10};
    At(module, 4, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 6, 0) = {kC4 - 5, 1, 0x30, EffectTonePortamento, 0x00};
    At(module, 8, 0) = {0, 0, 0, EffectTonePortamentoVolumeSlide, 0x02};
    At(module, 10, 0) = {kC4 + 3, 0, 0, EffectPortamentoUp, 0x08};
    At(module, 12, 0) = {0, 0, 0, EffectPortamentoDown, 0x00};
    At(module, 14, 0) = {0, 0, 0, EffectPortamentoUp, 0x00};
    At(module, 16, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0x6};
    At(module, 17, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 0x0};
    At(module, 18, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x1F};
    At(module, 19, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x10};
    return module;
}


// Tone portamento's target: kept through plain notes and notes it cannot
// play, glided to in whichever direction until reached, and after that
// approached only downward, so that a target above is taken at once. Also a
// glide onto a note of the instrument's other sample, an instrument number
// on the glide, and a sample offset beside the volume column's glide.
xm::Module TonePortamentoTargets() {
    xm::Module module = Base(1, 40);
    module.instruments[0].samples.push_back(OtherTone());
    for (int note = 60; note < 96; ++note) module.instruments[0].noteSample[static_cast<std::size_t>(note)] = 1;
    module.instruments[1] = xm::InstrumentOf({OtherTone()});
    module.instruments[1].samples[0].relativeNote = 30;
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 1, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x08};
    At(module, 2, 0) = {kC4 + 7, 0, 0, 0, 0};
    At(module, 3, 0) = {0, 0, 0, EffectTonePortamento, 0x10};
    At(module, 4, 0) = {0, 0, 0, EffectPortamentoUp, 0x20};
    At(module, 5, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 6, 0) = {kC4, 0, 0xF8, 0, 0};
    At(module, 7, 0) = {kC4 - 5, 0, 0, 0, 0};
    At(module, 8, 0) = {0, 0, 0xF0, 0, 0};
    At(module, 9, 0) = {kC4 + 2, 0, 0, EffectPortamentoDown, 0x00};
    At(module, 10, 0) = {0, 0, 0, EffectTonePortamento, 0x04};
    At(module, 12, 0) = {kC4, 1, 0, 0, 0};
    At(module, 13, 0) = {kC4 + 14, 1, 0, EffectTonePortamento, 0x10};
    At(module, 15, 0) = {kC4 + 2, 1, 0, 0, 0};
    At(module, 16, 0) = {kC4 + 7, 2, 0, EffectTonePortamento, 0x10};
    At(module, 18, 0) = {kC4, 2, 0, 0, 0};
    At(module, 19, 0) = {95, 0, 0, EffectTonePortamento, 0x10};
    At(module, 20, 0) = {71, 0, 0, EffectTonePortamento, 0x10};
    At(module, 21, 0) = {kC4 + 12, 2, 0, 0, 0};
    At(module, 22, 0) = {95, 0, 0, EffectTonePortamento, 0x10};
    At(module, 24, 0) = {41, 2, 0, 0, 0};
    At(module, 25, 0) = {95, 0, 0, EffectTonePortamento, 0x10};
    At(module, 27, 0) = {kC4, 1, 0, 0, 0};
    At(module, 28, 0) = {kC4 + 3, 0, 0, EffectTonePortamento, 0x10};
    At(module, 29, 0) = {kC4 - 5, 1, 0, 0, 0};
    At(module, 30, 0) = {0, 0, 0, EffectTonePortamento, 0x08};
    At(module, 31, 0) = {kC4, 1, 0, 0, 0};
    At(module, 32, 0) = {kC4 + 12, 0, 0, EffectTonePortamento, 0x04};
    At(module, 33, 0) = {kC4 + 17, 1, 0, 0, 0};
    At(module, 34, 0) = {0, 0, 0, EffectTonePortamento, 0x10};
    At(module, 36, 0) = {kC4 + 3, 1, 0xF8, EffectSampleOffset, 0x01};
    At(module, 38, 0) = {kC4, 2, 0, 0, 0};
    At(module, 39, 0) = {kC4 + 3, 0, 0xF8, EffectSampleOffset, 0x02};
    return module;
}

// Key off: beside an instrument number and followed by a glide; on an
// instrument without a volume envelope it silences the volume, which a later
// volume (the volume column, Cxx) brings back while the fade-out runs; with
// a note delay; and Kxx on several ticks with and without envelopes.
xm::Module KeyOffEdges() {
    xm::Module module = Base(2, 40);
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument fading = xm::InstrumentOf({Tone()});
    fading.fadeout = 2048;
    module.instruments.push_back(fading);
    xm::Instrument held = EnvelopedTone();
    held.volumeEnvelope.type = 1 | 2;
    module.instruments.push_back(held);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 2, 0) = {97, 3, 0, 0, 0};
    At(module, 4, 0) = {kC4, 5, 0, 0, 0};
    At(module, 6, 0) = {97, 0, 0, 0, 0};
    At(module, 7, 0) = {kC4 + 5, 0, 0, EffectTonePortamento, 0x10};
    At(module, 8, 0) = {kC4 + 7, 5, 0, EffectTonePortamento, 0x10};
    At(module, 10, 0) = {kC4, 4, 0, 0, 0};
    At(module, 12, 0) = {97, 0, 0, 0, 0};
    At(module, 14, 0) = {0, 0, 0x30, 0, 0};
    At(module, 16, 0) = {kC4, 4, 0, 0, 0};
    At(module, 18, 0) = {97, 0, 0x20, 0, 0};
    At(module, 20, 0) = {0, 4, 0, 0, 0};
    At(module, 22, 0) = {kC4, 5, 0, 0, 0};
    At(module, 24, 0) = {97, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 3};
    At(module, 26, 0) = {97, 5, 0, EffectExtended, (ExtendedNoteDelay << 4) | 2};
    At(module, 28, 0) = {kC4 + 2, 4, 0, 0, 0};
    At(module, 30, 0) = {97, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 3};
    At(module, 32, 0) = {kC4, 1, 0, 0, 0};
    At(module, 34, 0) = {97, 0, 0, 0, 0};
    At(module, 36, 0) = {0, 0, 0, EffectSetVolume, 0x30};
    At(module, 38, 0) = {kC4, 0, 0, 0, 0};
    const std::uint8_t instruments[] = {5, 5, 4, 4, 1, 1, 5};
    const std::uint8_t ticks[] = {0, 4, 0, 2, 0, 3, 9};
    for (int k = 0; k < 7; ++k) {
        At(module, 4 * k, 1) = {kC4 + 12, instruments[k], 0, 0, 0};
        At(module, 4 * k + 1, 1) = {0, 0, 0, EffectKeyOff, ticks[k]};
    }
    At(module, 32, 1) = {kC4 + 12, 4, 0, EffectKeyOff, 1};
    At(module, 36, 1) = {97, 5, 0, 0, 0};
    return module;
}

// Vibrato with its memories and waveforms, also from the volume column.
xm::Module Vibrato() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, EffectVibrato, 0x48};
    At(module, 1, 0) = {0, 0, 0, EffectVibrato, 0x00};
    At(module, 2, 0) = {0, 0, 0, EffectVibratoVolumeSlide, 0x01};
    At(module, 4, 0) = {0, 0, 0, EffectExtended, (ExtendedVibratoWaveform << 4) | 1};
    At(module, 5, 0) = {0, 0, 0, EffectVibrato, 0x6C};
    At(module, 7, 0) = {0, 0, 0xA8, 0, 0};
    At(module, 8, 0) = {0, 0, 0xB6, 0, 0};
    At(module, 9, 0) = {0, 0, 0xB0, 0, 0};
    At(module, 10, 0) = {kC4 + 5, 1, 0, EffectExtended, (ExtendedVibratoWaveform << 4) | 2};
    At(module, 11, 0) = {0, 0, 0, EffectVibrato, 0x00};
    return module;
}

// Volume slides and their memories: Axy, the fine slides and the global slide.
xm::Module VolumeSlides() {
    xm::Module module = Base(1, 16);
    At(module, 0, 0) = {kC4, 1, 0, EffectVolumeSlide, 0x04};
    At(module, 2, 0) = {0, 0, 0, EffectVolumeSlide, 0x00};
    At(module, 4, 0) = {0, 0, 0, EffectVolumeSlide, 0x30};
    At(module, 6, 0) = {0, 0, 0, EffectExtended, (ExtendedFineVolumeDown << 4) | 0x8};
    At(module, 7, 0) = {0, 0, 0, EffectExtended, (ExtendedFineVolumeDown << 4) | 0x0};
    At(module, 8, 0) = {0, 0, 0, EffectExtended, (ExtendedFineVolumeUp << 4) | 0x0};
    At(module, 9, 0) = {0, 0, 0x84, 0, 0};
    At(module, 10, 0) = {0, 0, 0x92, 0, 0};
    At(module, 12, 0) = {0, 0, 0, EffectVolumeSlide, 0x0F};
    return module;
}

// Panning: set, coarse, the volume column's, a new instrument's and slides.
xm::Module Panning() {
    xm::Module module = Base(2, 16);
    module.instruments[1].samples[0].panning = 40;
    At(module, 0, 0) = {kC4, 1, 0, EffectSetPanning, 0x20};
    At(module, 0, 1) = {kC4 + 7, 2, 0, 0, 0};
    At(module, 2, 0) = {0, 0, 0xCE, 0, 0};
    At(module, 4, 0) = {0, 0, 0, EffectExtended, (ExtendedCoarsePanning << 4) | 0x3};
    At(module, 4, 1) = {kC4 + 7, 2, 0, EffectPanningSlide, 0x80};
    At(module, 5, 1) = {0, 0, 0, EffectPanningSlide, 0x00};
    At(module, 6, 0) = {kC4, 1, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 2, 0, 0, EffectPanningSlide, 0x08};
    At(module, 10, 1) = {kC4 + 7, 0, 0xC2, 0, 0};
    return module;
}

// Instrument numbers without a note, an instrument that does not exist, and
// key off with an instrument.
xm::Module InstrumentNumbers() {
    xm::Module module = Base(1, 16);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 3, 0x30, 0, 0};
    At(module, 2, 0) = {0, 3, 0, 0, 0};
    At(module, 4, 0) = {kC4 + 4, 9, 0, 0, 0};
    At(module, 6, 0) = {kC4 + 2, 1, 0, 0, 0};
    At(module, 8, 0) = {0, 9, 0, 0, 0};
    At(module, 10, 0) = {kC4, 3, 0, 0, 0};
    At(module, 12, 0) = {97, 3, 0, 0, 0};
    At(module, 14, 0) = {97, 0, 0, 0, 0};
    return module;
}

// The envelope position effect on a held note.
xm::Module EnvelopePosition() {
    xm::Module module = Base(1, 16);
    module.instruments.push_back(EnvelopedTone());
    module.instruments[2].volumeEnvelope.type = 1;
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 4, 0) = {0, 0, 0, EffectEnvelopePosition, 4};
    At(module, 8, 0) = {0, 0, 0, EffectEnvelopePosition, 20};
    At(module, 12, 0) = {0, 0, 0, EffectEnvelopePosition, 60};
    return module;
}

// Speed, tempo and row delay.
xm::Module SpeedAndTempo() {
    xm::Module module = Base(1, 16);
    for (int row = 0; row < 16; row += 2) At(module, row, 0) = {static_cast<std::uint8_t>(kC4 + row), 2, 0, 0, 0};
    At(module, 2, 0).effect = EffectSpeedTempo;
    At(module, 2, 0).parameter = 3;
    At(module, 6, 0).effect = EffectSpeedTempo;
    At(module, 6, 0).parameter = 90;
    At(module, 8, 0).effect = EffectExtended;
    At(module, 8, 0).parameter = (ExtendedRowDelay << 4) | 2;
    At(module, 12, 0).effect = EffectSpeedTempo;
    At(module, 12, 0).parameter = 200;
    return module;
}

// The loader's shapes below carry this tune: two patterns over both
// instruments, so a misread pattern, instrument or sample shows.
xm::Module LoaderTune() {
    xm::Module module = Base(2, 16);
    module.orders = {0, 1};
    module.patterns.push_back(module.patterns[0]);
    for (int row = 0; row < 16; row += 2) {
        At(module, row, 0) = {static_cast<std::uint8_t>(kC4 + row * 5 % 12), 1, 0, 0, 0};
        At(module, row, 1, 1) = {static_cast<std::uint8_t>(kC4 - 12 + row * 7 % 12), 2, 0, 0, 0};
    }
    At(module, 6, 1) = {kC4 + 7, 2, 0x28, 0, 0};
    return module;
}

// Files of versions 0x0102 and 0x0103: instruments and sample headers before
// the patterns, all sample data after them, and 0x0102's one-byte row count.
xm::Module Version0102() {
    xm::Module module = LoaderTune();
    module.version = 0x0102;
    return module;
}

xm::Module Version0103() {
    xm::Module module = LoaderTune();
    module.version = 0x0103;
    return module;
}

// 8-bit samples stored as 4-bit deltas.
xm::Module Packed4BitSamples() {
    xm::Module module = LoaderTune();
    for (xm::Instrument& instrument : module.instruments) {
        xm::Sample& sample = instrument.samples[0];
        for (std::int16_t& frame : sample.frames) frame = static_cast<std::int16_t>(frame / 128);
        sample.sixteenBit = false;
        sample.packed4Bit = true;
    }
    return module;
}

// An instrument of 18 samples, its notes on the first and the 16th; the next
// instrument follows the two it cannot hold.
xm::Module MoreThan16Samples() {
    xm::Module module = LoaderTune();
    xm::Instrument& first = module.instruments[0];
    for (int k = 1; k < 18; ++k) first.samples.push_back(k == 15 ? Tone() : Hit());
    first.samples[15].relativeNote = 5;
    for (int note = 60; note < 96; ++note) first.noteSample[static_cast<std::size_t>(note)] = 15;
    At(module, 8, 0).note = kC4 + 14;
    return module;
}

// Packed data longer than its cells in one pattern, shorter in the other.
xm::Module PackedSizeMismatch() {
    xm::Module module = LoaderTune();
    xm::Pattern& longer = module.patterns[0];
    longer.rawPacked = xm::PackCells(longer, module.channels);
    longer.rawPacked.insert(longer.rawPacked.end(), {0x83, kC4, 2, 0x80, 0x81, 30});
    longer.useRawPacked = true;
    xm::Pattern& shorter = module.patterns[1];
    shorter.rawPacked = xm::PackCells(shorter, module.channels);
    shorter.rawPacked.resize(shorter.rawPacked.size() / 2);
    shorter.useRawPacked = true;
    return module;
}

// A pattern header longer than its fields, a 16-bit sample of an odd byte
// length, and instruments the header counts but the file leaves out.
xm::Module StoredLengths() {
    xm::Module module = LoaderTune();
    module.patterns[0].headerLength = 20;
    module.instruments[0].samples[0].oddByteLength = true;
    module.declaredInstruments = 5;
    return module;
}

// Retrigger with 0, delayed notes of an enveloped instrument with the volume
// column, and a sample offset beside tone portamento.
xm::Module RetriggerDelayAndOffset() {
    xm::Module module = Base(2, 16);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4 + 12, 2, 0, EffectExtended, (ExtendedRetrigger << 4) | 0};
    At(module, 2, 0) = {0, 0, 0, EffectExtended, (ExtendedRetrigger << 4) | 0};
    At(module, 4, 0) = {kC4, 2, 0, EffectSampleOffset, 0x03};
    At(module, 6, 0) = {kC4 + 5, 2, 0, EffectTonePortamento, 0x20};
    At(module, 8, 0) = {kC4 + 2, 0, 0, EffectSampleOffset, 0x00};
    At(module, 0, 1) = {kC4, 3, 0x28, EffectExtended, (ExtendedNoteDelay << 4) | 2};
    At(module, 4, 1) = {kC4 + 3, 0, 0x38, EffectExtended, (ExtendedNoteDelay << 4) | 3};
    At(module, 8, 1) = {kC4 + 5, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 2};
    At(module, 12, 1) = {kC4 + 7, 3, 0xC2, EffectExtended, (ExtendedNoteDelay << 4) | 4};
    return module;
}

// Sample finetunes across octaves, with arpeggio.
xm::Module FinetuneAndTable(std::uint16_t flags) {
    xm::Module module = Base(2, 16);
    module.flags = flags;
    module.instruments[0].samples[0].finetune = 20;
    module.instruments[1].samples[0].finetune = -45;
    for (int row = 0; row < 16; row += 2) {
        At(module, row, 0) = {static_cast<std::uint8_t>(kC4 - 24 + 5 * row), 1, 0x20, 0, 0};
        At(module, row + 1, 1) = {static_cast<std::uint8_t>(kC4 - 12 + 3 * row), 2, 0, EffectArpeggio, 0x37};
    }
    return module;
}
xm::Module FinetuneLinear() { return FinetuneAndTable(1); }
xm::Module FinetuneAmiga() { return FinetuneAndTable(0); }

// Arpeggio past the top of the note range, on a period that slides have
// left between two notes (a tie goes to the lower one), beside the volume
// column's glide, slide and vibrato, and through row delays. With the
// linear table a finetuned sample reaches past the top as well.
xm::Module ArpeggioEdges(std::uint16_t flags) {
    xm::Module module = Base(2, 24);
    module.flags = flags;
    std::uint8_t tuned = 1;
    if (flags == 1) {
        module.instruments.push_back(module.instruments[0]);
        module.instruments[2].samples[0].finetune = -60;
        tuned = 3;
    }
    At(module, 0, 0) = {85, 1, 0, EffectArpeggio, 0xC7};
    At(module, 1, 0) = {91, tuned, 0, EffectArpeggio, 0x67};
    At(module, 2, 0) = {94, 1, 0, EffectArpeggio, 0x3F};
    At(module, 3, 0) = {96, 1, 0, EffectArpeggio, 0xFF};
    At(module, 4, 0) = {kC4 + 24, 1, 0, 0, 0};
    At(module, 5, 0) = {0, 0, 0, EffectExtended, (ExtendedFinePortamentoDown << 4) | 8};
    At(module, 6, 0) = {0, 0, 0, EffectArpeggio, 0x0C};
    At(module, 7, 0) = {0, 0, 0, EffectExtraFinePortamento, 0x21};
    At(module, 8, 0) = {0, 0, 0, EffectArpeggio, 0x30};
    At(module, 9, 0) = {0, 0, 0, EffectPortamentoUp, 0x03};
    At(module, 10, 0) = {0, 0, 0, EffectArpeggio, 0x47};
    At(module, 11, 0) = {kC4 + 5, 0, 0xF4, EffectArpeggio, 0x47};
    At(module, 12, 0) = {0, 0, 0xF0, EffectArpeggio, 0x47};
    At(module, 13, 0) = {0, 0, 0x62, EffectArpeggio, 0x37};
    At(module, 14, 0) = {0, 0, 0xB4, EffectArpeggio, 0x37};
    At(module, 15, 0) = {0, 0, 0x30, EffectPortamentoUp, 0x10};
    At(module, 16, 0) = {0, 0, 0, EffectArpeggio, 0x59};
    At(module, 17, 0) = {kC4, 1, 0, EffectArpeggio, 0x47};
    At(module, 17, 1) = {0, 0, 0, EffectExtended, (ExtendedRowDelay << 4) | 2};
    At(module, 18, 0) = {kC4 + 3, 1, 0, EffectArpeggio, 0x38};
    At(module, 18, 1) = {0, 0, 0, EffectSpeedTempo, 5};
    At(module, 19, 0) = {0, 0, 0, EffectArpeggio, 0x38};
    At(module, 19, 1) = {0, 0, 0, EffectExtended, (ExtendedRowDelay << 4) | 1};
    At(module, 20, 0) = {kC4 - 24, 1, 0, EffectPortamentoDown, 0x40};
    At(module, 21, 0) = {0, 0, 0, EffectArpeggio, 0xCC};
    return module;
}
xm::Module ArpeggioEdgesLinear() { return ArpeggioEdges(1); }

xm::Module ArpeggioEdgesAmiga() { return ArpeggioEdges(0); }

// The vibrato waveforms, each restarting on a new note (0..2) or running on
// (4..6), over rows that pick their speed and depth up from memory. (The
// reference plays waveform 3 from a random sequence.)
xm::Module VibratoWaveforms() {
    xm::Module module = Base(1, 24);
    const int waveforms[6] = {0, 1, 2, 4, 5, 6};
    for (int k = 0; k < 6; ++k) {
        int w = waveforms[k];
        int row = 4 * k;
        At(module, row, 0) = {static_cast<std::uint8_t>(kC4 + (w % 3)), 1, 0, EffectExtended,
                              static_cast<std::uint8_t>((ExtendedVibratoWaveform << 4) | w)};
        At(module, row + 1, 0) = {0, 0, 0, EffectVibrato, static_cast<std::uint8_t>(w % 2 == 0 ? 0x5A : 0x3F)};
        At(module, row + 2, 0) = {static_cast<std::uint8_t>(kC4 + 2), 0, 0, EffectVibrato, 0x00};
        At(module, row + 3, 0) = {0, 0, 0, EffectVibrato, 0x00};
    }
    return module;
}

// Tremor after an instrument change, across a pause, against a new note and
// beside a note delay.
xm::Module TremorEdges() {
    xm::Module module = Base(1, 20);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 1, 0, EffectTremor, 0x32};
    At(module, 1, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 2, 0) = {0, 3, 0, EffectTremor, 0x00};
    At(module, 3, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 6, 0) = {0, 0, 0, EffectTremor, 0x00};
    At(module, 7, 0) = {kC4 + 4, 1, 0, EffectTremor, 0x11};
    At(module, 8, 0) = {kC4 + 2, 0, 0, EffectTremor, 0x00};
    At(module, 9, 0) = {0, 0, 0x30, EffectTremor, 0x00};
    At(module, 11, 0) = {kC4 + 5, 1, 0, EffectExtended, (ExtendedNoteDelay << 4) | 2};
    At(module, 12, 0) = {0, 0, 0, EffectTremor, 0x20};
    At(module, 13, 0) = {kC4, 0, 0, EffectExtended, (ExtendedNoteDelay << 4) | 3};
    At(module, 14, 0) = {0, 0, 0, EffectTremor, 0x00};
    return module;
}

// Envelope positions on envelopes with a sustain point and a loop, held and
// released, and on the panning envelope's instrument.
xm::Module EnvelopePositionSustainLoop() {
    xm::Module module = Base(2, 24);
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument sustainOnly = EnvelopedTone();
    sustainOnly.volumeEnvelope.type = 1 | 2;
    sustainOnly.volumeEnvelope.sustain = 1;
    module.instruments.push_back(sustainOnly);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 3, 0) = {0, 0, 0, EffectEnvelopePosition, 2};
    At(module, 6, 0) = {0, 0, 0, EffectEnvelopePosition, 12};
    At(module, 9, 0) = {0, 0, 0, EffectEnvelopePosition, 30};
    At(module, 12, 0) = {97, 0, 0, EffectEnvelopePosition, 10};
    At(module, 15, 0) = {0, 0, 0, EffectEnvelopePosition, 4};
    At(module, 18, 0) = {0, 0, 0, EffectEnvelopePosition, 16};
    At(module, 0, 1) = {kC4 + 7, 4, 0x20, 0, 0};
    At(module, 4, 1) = {0, 0, 0, EffectEnvelopePosition, 3};
    At(module, 8, 1) = {0, 0, 0, EffectEnvelopePosition, 16};
    At(module, 12, 1) = {0, 0, 0, EffectKeyOff, 0};
    At(module, 14, 1) = {0, 0, 0, EffectEnvelopePosition, 2};
    return module;
}

// The global volume set past its range, slid into both ends with both
// nibbles and from memory, while two channels play.
xm::Module GlobalVolumeEdges() {
    xm::Module module = Base(2, 24);
    At(module, 0, 0) = {kC4, 1, 0x30, EffectGlobalVolume, 0x50};
    At(module, 0, 1) = {kC4 + 7, 1, 0x30, 0, 0};
    At(module, 2, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x0F};
    At(module, 3, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x00};
    At(module, 4, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x00};
    At(module, 6, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x00};
    At(module, 8, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0xF3};
    At(module, 9, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x00};
    At(module, 12, 0) = {0, 0, 0, EffectGlobalVolume, 0xFF};
    At(module, 12, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x40};
    At(module, 14, 0) = {0, 0, 0, EffectGlobalVolume, 0x08};
    At(module, 16, 1) = {kC4 + 4, 1, 0, EffectGlobalVolumeSlide, 0x20};
    At(module, 18, 0) = {0, 0, 0, EffectGlobalVolume, 0x40};
    At(module, 18, 1) = {0, 0, 0, EffectGlobalVolumeSlide, 0x02};
    return module;
}

// An instrument number alone: the playing one's again, another one's, one
// with an envelope, while a note sounds and after it was cut.
xm::Module InstrumentAlone() {
    xm::Module module = Base(1, 20);
    module.instruments.push_back(EnvelopedTone());
    module.instruments[1].samples[0].volume = 24;
    module.instruments[1].samples[0].panning = 30;
    At(module, 0, 0) = {kC4, 1, 0x20, 0, 0};
    At(module, 2, 0) = {0, 1, 0, 0, 0};
    At(module, 4, 0) = {0, 2, 0, 0, 0};
    At(module, 6, 0) = {0, 3, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 4, 0, 0, 0, 0};
    At(module, 10, 0) = {0, 0, 0, EffectExtended, (ExtendedNoteCut << 4) | 1};
    At(module, 12, 0) = {0, 1, 0, 0, 0};
    At(module, 14, 0) = {97, 0, 0, 0, 0};
    At(module, 16, 0) = {0, 3, 0, 0, 0};
    return module;
}

// A glide whose target note maps to another sample of the same instrument,
// with another volume, finetune and relative note.
xm::Module GlideAcrossSamples() {
    xm::Module module = Base(1, 16);
    xm::Sample high = Tone();
    high.volume = 30;
    high.relativeNote = 12;
    high.finetune = 40;
    high.panning = 60;
    xm::Instrument split = xm::InstrumentOf({Tone(), high});
    for (int note = 54; note < 96; ++note) split.noteSample[static_cast<std::size_t>(note)] = 1;
    module.instruments.push_back(split);
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 2, 0) = {kC4 + 12, 3, 0, EffectTonePortamento, 0x10};
    At(module, 4, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 6, 0) = {kC4 - 5, 0, 0, EffectTonePortamento, 0x00};
    At(module, 8, 0) = {kC4 + 14, 3, 0, 0, 0};
    At(module, 10, 0) = {kC4 + 2, 3, 0xF4, 0, 0};
    At(module, 12, 0) = {kC4 + 9, 0, 0, EffectTonePortamento, 0x20};
    return module;
}

// An instrument of 32 samples whose notes name the 17th and later.
xm::Module SamplesPast16() {
    xm::Module module = Base(1, 16);
    xm::Instrument many = xm::InstrumentOf({Hit()});
    for (int k = 1; k < 32; ++k) {
        many.samples.push_back(k % 2 == 0 ? Tone() : Hit());
        many.samples.back().relativeNote = static_cast<std::int8_t>(k % 12 - 6);
    }
    const std::uint8_t slots[8] = {16, 17, 30, 19, 31, 3, 25, 24};
    for (int row = 0; row < 16; row += 2) {
        std::uint8_t note = static_cast<std::uint8_t>(kC4 + 4 + row / 2);
        many.noteSample[note - 1u] = slots[row / 2];
        At(module, row, 0) = {note, 3, 0, 0, 0};
    }
    module.instruments.push_back(many);
    return module;
}

// The tune as saved by the format's own tracker, whose name and the
// module's it pads with blanks, and as saved by another tool: the reference
// mixes the second quieter.
xm::Module SavedByFormatTracker() {
    xm::Module module = LoaderTune();
    module.tracker = "FastTracker v2.00   ";
    module.name = "tune                ";
    return module;
}

xm::Module SavedByOtherTracker() {
    xm::Module module = LoaderTune();
    module.tracker = "xmwriter";
    return module;
}

}  // namespace

const std::vector<Behaviour>& Behaviours() {
    static const std::vector<Behaviour> behaviours = [] {
        std::vector<Behaviour> all = {
            {"panning_and_volume", PanningAndVolume},
            {"tick_length", TickLength},
            {"volume_envelope", VolumeEnvelope},
            {"panning_envelope", PanningEnvelope},
            {"auto_vibrato", AutoVibrato},
            {"volume_column_portamento", VolumeColumnPortamento},
            {"volume_column_slides", VolumeColumnSlides},
            {"panning_slide_bounds", PanningSlideBounds},
            {"set_volume_above_64", SetVolumeAbove64},
            {"arpeggio_speed_4", ArpeggioSpeed4},
            {"arpeggio_speed_5", ArpeggioSpeed5},
            {"arpeggio_speed_7", ArpeggioSpeed7},
            {"arpeggio_speed_31", ArpeggioSpeed31},
            {"arpeggio_edges_linear", ArpeggioEdgesLinear},
            {"arpeggio_edges_amiga", ArpeggioEdgesAmiga},
            {"retrigger_envelopes", RetriggerEnvelopes},
            {"key_off_on_tick", KeyOffOnTick},
            {"note_delay", NoteDelay},
            {"note_cut", NoteCut},
            {"finetune_for_one_note", FinetuneForOneNote},
            {"finetune_linear_table", FinetuneLinear},
            {"finetune_amiga_table", FinetuneAmiga},
            {"global_volume", GlobalVolume},
            {"multi_retrigger", MultiRetrigger},
            {"tremolo", Tremolo},
            {"tremor", Tremor},
            {"loop_ending_at_sustain", LoopEndingAtSustain},
            {"sample_offset", SampleOffset},
            {"pattern_loop_then_next_pattern", PatternLoopThenNextPattern},
            {"jump_past_the_end", JumpPastTheEnd},
            {"notes_out_of_range", NotesOutOfRange},
            {"tone_portamento", TonePortamento},
            {"tone_portamento_targets", TonePortamentoTargets},
            {"key_off_edges", KeyOffEdges},
            {"vibrato", Vibrato},
            {"volume_slides", VolumeSlides},
            {"panning", Panning},
            {"instrument_numbers", InstrumentNumbers},
            {"envelope_position", EnvelopePosition},
            {"speed_and_tempo", SpeedAndTempo},
            {"retrigger_delay_and_offset", RetriggerDelayAndOffset},
            {"loader_version_0102", Version0102},
            {"loader_version_0103", Version0103},
            {"loader_packed_4bit_samples", Packed4BitSamples},
            {"loader_more_than_16_samples", MoreThan16Samples},
            {"loader_packed_size_mismatch", PackedSizeMismatch},
            {"loader_stored_lengths", StoredLengths},
            {"vibrato_waveforms", VibratoWaveforms},
            {"tremor_edges", TremorEdges},
            {"envelope_position_sustain_loop", EnvelopePositionSustainLoop},
            {"saved_by_format_tracker", SavedByFormatTracker, true},
            {"saved_by_other_tracker", SavedByOtherTracker, true},
            {"global_volume_edges", GlobalVolumeEdges},
            {"instrument_alone", InstrumentAlone},
            {"glide_across_samples", GlideAcrossSamples},
            {"samples_past_16", SamplesPast16},
        };
        // Families with modules of their own, each in its own file.
        const std::vector<std::vector<Behaviour>> families = {
            PortamentoBehaviours(),
            PanningBehaviours(),
            PitchBehaviours(),
            PatternLoopBehaviours(),
            SavedByBehaviours(),
            NoteDelayBehaviours(),
            OlderTrackerPitchBehaviours(),
            SampleMapBehaviours(),
            OlderTrackerControlBehaviours(),
            EnvelopePositionBehaviours(),
            OlderTrackerNoteDelayBehaviours(),
            VoiceEndsBehaviours(),
            OlderTrackerPanningBehaviours(),
            OlderTrackerVolumeBehaviours(),
            OlderTrackerRetriggerBehaviours(),
        };
        for (const std::vector<Behaviour>& family : families) {
            all.insert(all.end(), family.begin(), family.end());
        }
        return all;
    }();
    return behaviours;
}

}  // namespace reference
