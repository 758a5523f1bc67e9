// Note delays in combination (volume column, cuts, row delays), the
// retriggers on a row's first tick, the multi retrigger's count and the
// tremolo's first tick.
#include <cstdint>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"
#include "tests/reference/note_delay.h"

namespace reference {
namespace {

constexpr std::uint8_t kDelay = ExtendedNoteDelay << 4;
constexpr std::uint8_t kCut = ExtendedNoteCut << 4;
constexpr std::uint8_t kRetrigger = ExtendedRetrigger << 4;
constexpr std::uint8_t kRowDelay = ExtendedRowDelay << 4;

xm::Cell Delayed(std::uint8_t note, std::uint8_t instrument, std::uint8_t volume, std::uint8_t ticks) {
    return {note, instrument, volume, EffectExtended, static_cast<std::uint8_t>(kDelay | ticks)};
}

}  // namespace

// A delayed note's volume column: volumes set, slides before and after the
// delay, fine slides, panning; with and without an instrument or a note.
xm::Module DelayedVolumeColumn() {
    xm::Module module = Base(1, 24);
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    At(module, 2, 0) = Delayed(kC4 + 3, 0, 0x64, 3);
    At(module, 4, 0) = Delayed(kC4 + 5, 0, 0x74, 2);
    At(module, 6, 0) = Delayed(kC4 + 7, 1, 0x66, 2);
    At(module, 8, 0) = Delayed(kC4 + 3, 0, 0x8F, 3);
    At(module, 10, 0) = Delayed(kC4 + 5, 0, 0x8C, 2);
    At(module, 12, 0) = Delayed(0, 0, 0x63, 2);
    At(module, 14, 0) = Delayed(kC4 + 3, 0, 0x18, 3);
    At(module, 15, 0) = Delayed(0, 1, 0x28, 4);
    At(module, 17, 0) = Delayed(kC4, 0, 0xCC, 3);
    At(module, 19, 0) = Delayed(kC4 + 5, 0, 0xD4, 2);
    At(module, 21, 0) = Delayed(0, 0, 0xC2, 2);
    return module;
}

// Delayed notes and the memories: a missing instrument, sample offset and
// portamento memories after a delayed note, tone portamento and vibrato in
// a delayed note's volume column.
xm::Module DelayedNoteMemories() {
    xm::Module module = Base(1, 36);
    At(module, 0, 0) = {kC4 + 12, 2, 0, 0, 0};
    At(module, 2, 0) = {kC4, 1, 0x20, 0, 0};
    At(module, 4, 0) = {kC4 + 12, 2, 0, EffectSampleOffset, 0x04};
    At(module, 6, 0) = Delayed(kC4 + 7, 0, 0, 3);
    At(module, 8, 0) = {kC4 + 12, 0, 0, EffectSampleOffset, 0x00};
    At(module, 10, 0) = Delayed(kC4 + 5, 1, 0, 2);
    At(module, 11, 0) = {0, 0, 0, EffectPortamentoUp, 0x00};
    At(module, 12, 0) = {0, 0, 0, EffectPortamentoUp, 0x08};
    At(module, 13, 0) = Delayed(kC4 + 3, 0, 0, 2);
    At(module, 14, 0) = {0, 0, 0, EffectPortamentoUp, 0x00};
    At(module, 16, 0) = Delayed(kC4 + 10, 0, 0, 3);
    At(module, 17, 0) = {kC4, 0, 0, EffectTonePortamento, 0x10};
    At(module, 18, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 20, 0) = Delayed(kC4 + 7, 1, 0xF8, 2);
    At(module, 21, 0) = {0, 0, 0, EffectTonePortamento, 0x00};
    At(module, 23, 0) = {kC4 + 12, 1, 0, EffectVibrato, 0xC8};
    At(module, 25, 0) = Delayed(kC4 + 12, 0, 0xA3, 2);
    At(module, 26, 0) = {0, 0, 0xB8, 0, 0};
    At(module, 27, 0) = Delayed(kC4 + 15, 0, 0xB4, 3);
    At(module, 29, 0) = Delayed(kC4 + 12, 0, 0xB6, 2);
    At(module, 31, 0) = Delayed(kC4 + 12, 0, 0xF8, 2);
    At(module, 32, 0) = {kC4 + 17, 0, 0, EffectTonePortamento, 0};
    At(module, 33, 0) = {0, 0, 0, EffectTonePortamento, 0};
    return module;
}

// Delayed key offs and delayed cells after a key off, on instruments with
// and without a volume envelope: beside an instrument number or a volume in
// the volume column, past the row's end, and before Kxx.
xm::Module DelayedKeyOffs() {
    xm::Module module = Base(2, 24);
    module.instruments.push_back(EnvelopedTone());
    xm::Instrument held = EnvelopedTone();
    held.volumeEnvelope.type = 1 | 2;
    held.panningEnvelope.type = 0;
    held.vibratoDepth = 0;
    module.instruments.push_back(held);
    const std::uint8_t keyOff = 97;
    At(module, 0, 0) = {kC4, 4, 0, 0, 0};
    At(module, 2, 0) = Delayed(keyOff, 0, 0, 3);
    At(module, 4, 0) = {keyOff, 0, 0, 0, 0};
    At(module, 6, 0) = Delayed(0, 0, 0, 2);
    At(module, 8, 0) = Delayed(keyOff, 4, 0, 2);
    At(module, 10, 0) = {keyOff, 0, 0, 0, 0};
    At(module, 11, 0) = Delayed(kC4 + 2, 0, 0, 2);
    At(module, 13, 0) = Delayed(keyOff, 0, 0x20, 3);
    At(module, 15, 0) = Delayed(keyOff, 0, 0, 7);
    At(module, 17, 0) = Delayed(kC4 + 3, 3, 0, 3);
    At(module, 18, 0) = {0, 0, 0, EffectKeyOff, 2};
    At(module, 20, 0) = Delayed(keyOff, 0, 0, 2);
    At(module, 0, 1) = {kC4 + 7, 1, 0, 0, 0};
    At(module, 2, 1) = Delayed(keyOff, 0, 0x30, 1);
    At(module, 4, 1) = Delayed(keyOff, 1, 0, 3);
    At(module, 6, 1) = Delayed(keyOff, 0, 0, 7);
    At(module, 8, 1) = Delayed(kC4 + 7, 1, 0, 4);
    At(module, 9, 1) = {0, 0, 0, EffectKeyOff, 0};
    At(module, 11, 1) = {kC4 + 7, 1, 0, 0, 0};
    At(module, 12, 1) = Delayed(keyOff, 0, 0, 3);
    At(module, 14, 1) = Delayed(0, 0, 0x28, 2);
    At(module, 16, 1) = Delayed(kC4 + 9, 0, 0, 2);
    At(module, 18, 1) = Delayed(kC4 + 5, 1, 0, 2);
    return module;
}

// A delayed cell that names another instrument: until its tick the note
// before plays on with its own envelopes, fade-out and auto-vibrato; a
// delay past the row's end never brings the new one.
xm::Module DelayedInstruments() {
    xm::Module module = Base(1, 24);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 3, 0, 0, 0};
    At(module, 2, 0) = {97, 0, 0, 0, 0};
    At(module, 3, 0) = Delayed(kC4 + 5, 1, 0, 4);
    At(module, 5, 0) = {kC4, 3, 0, 0, 0};
    At(module, 7, 0) = Delayed(kC4 + 7, 2, 0, 5);
    At(module, 9, 0) = {kC4 + 2, 3, 0, 0, 0};
    At(module, 10, 0) = {97, 0, 0, 0, 0};
    At(module, 11, 0) = Delayed(kC4 + 3, 1, 0, 7);
    At(module, 14, 0) = Delayed(kC4 + 5, 0, 0x30, 3);
    At(module, 16, 0) = {kC4, 3, 0, 0, 0};
    At(module, 18, 0) = Delayed(0, 1, 0, 3);
    At(module, 20, 0) = Delayed(kC4 + 12, 2, 0, 4);
    At(module, 21, 0) = Delayed(kC4 + 3, 3, 0, 2);
    return module;
}

// Note delays beside note cuts, delays as long as the row or longer, delays
// with no note, and delays row after row.
xm::Module DelayedCutsAndRuns() {
    xm::Module module = Base(1, 32);
    At(module, 0, 0) = {kC4, 1, 0, 0, 0};
    At(module, 2, 0) = Delayed(kC4 + 3, 0, 0, 3);
    At(module, 3, 0) = {0, 0, 0, EffectExtended, kCut | 2};
    At(module, 5, 0) = Delayed(kC4 + 5, 1, 0, 7);
    At(module, 7, 0) = Delayed(kC4 + 7, 1, 0, 6);
    At(module, 9, 0) = {kC4, 1, 0, EffectExtended, kCut | 3};
    At(module, 10, 0) = Delayed(0, 0, 0, 2);
    At(module, 12, 0) = {kC4 + 2, 1, 0, 0, 0};
    At(module, 13, 0) = Delayed(0, 0, 0x20, 3);
    At(module, 15, 0) = Delayed(0, 1, 0, 2);
    for (int row = 17; row < 23; ++row) {
        At(module, row, 0) = Delayed(static_cast<std::uint8_t>(kC4 + 2 * (row - 17)), 1, 0,
                                     static_cast<std::uint8_t>((row - 17) % 3 + 2));
    }
    At(module, 23, 0) = Delayed(0, 0, 0, 3);
    At(module, 24, 0) = Delayed(kC4 + 12, 2, 0, 1);
    At(module, 25, 0) = Delayed(kC4 + 12, 0, 0, 1);
    At(module, 26, 0) = Delayed(kC4 + 12, 2, 0, 5);
    At(module, 27, 0) = Delayed(kC4 + 12, 2, 0, 5);
    return module;
}

// A row delay (EEx) beside note delays, cuts and retriggers on the same row:
// the delayed notes play again in every repeat of the row, the rest once.
xm::Module DelayedNotesInDelayedRows() {
    xm::Module module = Base(3, 20);
    At(module, 0, 0) = {kC4, 1, 0x30, 0, 0};
    At(module, 1, 0) = Delayed(kC4 + 12, 1, 0x64, 3);
    At(module, 1, 1) = {0, 0, 0, EffectExtended, kRowDelay | 2};
    At(module, 4, 0) = {kC4, 1, 0, 0, 0};
    At(module, 5, 0) = {0, 0, 0, EffectExtended, kRowDelay | 2};
    At(module, 5, 1) = Delayed(kC4 + 12, 2, 0, 3);
    At(module, 5, 2) = {kC4 + 19, 2, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 5, 0, 0, EffectExtended, kRowDelay | 1};
    At(module, 8, 1) = {kC4 + 12, 2, 0, EffectExtended, kCut | 2};
    At(module, 8, 2) = {kC4 + 7, 2, 0, EffectExtended, kRetrigger | 4};
    At(module, 11, 0) = {kC4 + 7, 1, 0, EffectExtended, kRowDelay | 1};
    At(module, 11, 1) = Delayed(kC4 + 10, 2, 0, 0);
    At(module, 11, 2) = Delayed(kC4 + 12, 2, 0x20, 4);
    At(module, 13, 0) = Delayed(0, 0, 0x20, 2);
    At(module, 13, 1) = {0, 0, 0, EffectExtended, kRowDelay | 2};
    At(module, 16, 0) = Delayed(kC4 + 3, 0, 0, 2);
    At(module, 16, 2) = {0, 0, 0, EffectExtended, kRowDelay | 1};
    return module;
}

namespace {

// Retrigger (E9x) on the first tick: with and without a note, E90, a note
// without an instrument, and beside the volume column's volumes and slides.
xm::Module RetriggerFirstTick() {
    xm::Module module = Base(1, 24);
    const std::uint8_t hit = 2;
    At(module, 0, 0) = {kC4 + 12, hit, 0, EffectExtended, kRetrigger | 3};
    At(module, 2, 0) = {0, 0, 0, EffectExtended, kRetrigger | 3};
    At(module, 4, 0) = {0, 0, 0, EffectExtended, kRetrigger | 0};
    At(module, 6, 0) = {kC4 + 12, hit, 0, EffectExtended, kRetrigger | 0};
    At(module, 8, 0) = {kC4 + 12, hit, 0, EffectExtended, kRetrigger | 1};
    At(module, 10, 0) = {kC4 + 12, 0, 0, EffectExtended, kRetrigger | 2};
    At(module, 12, 0) = {0, 0, 0x20, EffectExtended, kRetrigger | 2};
    At(module, 14, 0) = {kC4 + 12, hit, 0x18, EffectExtended, kRetrigger | 4};
    At(module, 16, 0) = {0, 0, 0x64, EffectExtended, kRetrigger | 2};
    At(module, 18, 0) = {kC4 + 5, 0, 0x30, EffectExtended, kRetrigger | 7};
    At(module, 20, 0) = {0, hit, 0, EffectExtended, kRetrigger | 2};
    return module;
}

// Multi retrigger beside the volume column: a volume set there is the
// volume of every restart and keeps the first tick out of the count; its
// other commands change neither.
xm::Module MultiRetriggerColumnVolume() {
    xm::Module module = Base(1, 28);
    const std::uint8_t hit = 2;
    At(module, 0, 0) = {kC4 + 12, hit, 0, EffectMultiRetrigger, 0x34};
    for (int row = 1; row < 4; ++row) At(module, row, 0) = {0, 0, 0x30, EffectMultiRetrigger, 0x00};
    At(module, 4, 0) = {kC4 + 12, hit, 0x20, EffectMultiRetrigger, 0x82};
    At(module, 6, 0) = {0, 0, 0x62, EffectMultiRetrigger, 0x33};
    At(module, 8, 0) = {kC4 + 12, 0, 0x40, EffectMultiRetrigger, 0x62};
    At(module, 10, 0) = {0, 0, 0x10, EffectMultiRetrigger, 0xA2};
    At(module, 12, 0) = {kC4 + 12, hit, 0x68, EffectMultiRetrigger, 0x32};
    At(module, 14, 0) = {0, 0, 0x92, EffectMultiRetrigger, 0x00};
    At(module, 16, 0) = {kC4 + 12, hit, 0, EffectMultiRetrigger, 0x35};
    for (int row = 17; row < 20; ++row) At(module, row, 0) = {0, 0, 0x84, EffectMultiRetrigger, 0x00};
    At(module, 20, 0) = {0, 0, 0x28, EffectMultiRetrigger, 0x51};
    At(module, 22, 0) = {kC4 + 12, hit, 0xC4, EffectMultiRetrigger, 0xB3};
    for (int row = 23; row < 26; ++row) At(module, row, 0) = {0, 0, 0x2C, EffectMultiRetrigger, 0x00};
    return module;
}

// Multi retrigger on channels that never counted: without a note, with a
// note that has no instrument, and with no interval yet (every tick).
xm::Module MultiRetriggerFreshCount() {
    xm::Module module = Base(3, 20);
    module.speed = 5;
    const std::uint8_t hit = 2;
    At(module, 0, 0) = {kC4 + 12, hit, 0, 0, 0};
    At(module, 1, 0) = {0, 0, 0, EffectMultiRetrigger, 0x31};
    At(module, 2, 0) = {0, 0, 0, EffectMultiRetrigger, 0x34};
    At(module, 3, 0) = {0, 0, 0, EffectMultiRetrigger, 0x35};
    At(module, 4, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 8, 1) = {kC4 + 7, hit, 0, 0, 0};
    At(module, 10, 1) = {kC4 + 7, 0, 0, EffectMultiRetrigger, 0x23};
    At(module, 11, 1) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 14, 2) = {kC4 + 3, hit, 0, 0, 0};
    At(module, 15, 2) = {0, 0, 0, EffectMultiRetrigger, 0x70};
    At(module, 16, 2) = {0, 0, 0, EffectMultiRetrigger, 0x04};
    return module;
}

// Multi retrigger after a retrigger (E9x), beside an instrument number
// without a note and a note without an instrument, and its volume change 6.
xm::Module MultiRetriggerRestarts() {
    xm::Module module = Base(1, 20);
    module.speed = 7;
    const std::uint8_t hit = 2;
    At(module, 0, 0) = {kC4 + 12, hit, 0, EffectExtended, kRetrigger | 3};
    At(module, 1, 0) = {0, 0, 0, EffectMultiRetrigger, 0x04};
    At(module, 2, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 4, 0) = {kC4 + 12, hit, 0, 0, 0};
    At(module, 5, 0) = {0, hit, 0, EffectMultiRetrigger, 0x53};
    At(module, 6, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 8, 0) = {kC4 + 12, hit, 0, EffectMultiRetrigger, 0x62};
    At(module, 9, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 10, 0) = {kC4 + 10, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 11, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    At(module, 12, 0) = {kC4 + 12, hit, 0, 0, 0};
    At(module, 13, 0) = {0, 0, 0, EffectExtended, kRetrigger | 5};
    At(module, 14, 0) = {0, 0, 0, EffectMultiRetrigger, 0x93};
    At(module, 15, 0) = {0, 0, 0, EffectMultiRetrigger, 0x00};
    return module;
}

// Tremolo on a row's first tick, with a note, beside a volume set, and
// after it stops; the ramp beside a vibrato, the square, and the sine with
// and without a restart on a new note.
xm::Module TremoloFirstTickAndRamp() {
    xm::Module module = Base(1, 20);
    constexpr std::uint8_t kWaveform = ExtendedTremoloWaveform << 4;
    At(module, 0, 0) = {kC4, 1, 0x30, EffectExtended, kWaveform | 1};
    At(module, 1, 0) = {0, 0, 0, EffectTremolo, 0x48};
    At(module, 2, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 4, 0) = {0, 0, 0, EffectVibrato, 0x81};
    At(module, 5, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 6, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 7, 0) = {kC4, 0, 0x20, EffectTremolo, 0x00};
    At(module, 8, 0) = {0, 0, 0, EffectExtended, kWaveform | 2};
    At(module, 9, 0) = {0, 0, 0, EffectTremolo, 0x8C};
    At(module, 10, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 11, 0) = {0, 0, 0, EffectVolumeSlide, 0x20};
    At(module, 12, 0) = {0, 0, 0, EffectExtended, kWaveform | 4};
    At(module, 13, 0) = {kC4 + 5, 1, 0, EffectTremolo, 0x6A};
    At(module, 14, 0) = {0, 0, 0, EffectTremolo, 0x00};
    At(module, 15, 0) = {kC4, 1, 0x30, EffectTremolo, 0x3F};
    At(module, 16, 0) = {0, 0, 0, EffectTremolo, 0x00};
    return module;
}

}  // namespace

std::vector<Behaviour> NoteDelayBehaviours() {
    return {
        {"note_delay_volume_column", DelayedVolumeColumn},
        {"note_delay_cuts_and_runs", DelayedCutsAndRuns},
        {"note_delay_memories", DelayedNoteMemories},
        {"note_delay_key_offs", DelayedKeyOffs},
        {"note_delay_instruments", DelayedInstruments},
        {"note_delay_in_delayed_rows", DelayedNotesInDelayedRows},
        {"retrigger_first_tick", RetriggerFirstTick},
        {"multi_retrigger_column_volume", MultiRetriggerColumnVolume},
        {"multi_retrigger_fresh_count", MultiRetriggerFreshCount},
        {"multi_retrigger_restarts", MultiRetriggerRestarts},
        {"tremolo_first_tick_and_ramp", TremoloFirstTickAndRamp},
    };
}

}  // namespace reference
