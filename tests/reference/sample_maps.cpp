// Which sample a note plays at the edges of its instrument's map: entries
// past the samples the file declares, instruments that declare more than the
// 32 kept, and instrument numbers that name nothing playable.
#include <cstdint>
#include <vector>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// The tone a semitone higher for each sample, and quieter for each dozen,
// so that any other sample shows in pitch or level.
xm::Sample Numbered(int k) {
    xm::Sample sample = Tone();
    sample.relativeNote = static_cast<std::int8_t>(k % 12 - 6);
    sample.volume = static_cast<std::uint8_t>(64 - 5 * (k / 12));
    return sample;
}

xm::Instrument NumberedInstrument(int samples) {
    xm::Instrument instrument;
    for (int k = 0; k < samples; ++k) instrument.samples.push_back(Numbered(k));
    return instrument;
}

// Each entry on a note of its own, one every other row, on the instrument.
void PlayEntries(xm::Module& module, int firstRow, std::uint8_t instrument, const std::vector<std::uint8_t>& entries) {
    xm::Instrument& played = module.instruments[instrument - 1u];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint8_t note = static_cast<std::uint8_t>(kC4 - 6 + 2 * i);
        played.noteSample[note - 1u] = entries[i];
        At(module, firstRow + 2 * static_cast<int>(i), 0) = {note, instrument, 0, 0, 0};
    }
}

// Map entries past the samples the file declares play the first sample, in
// an instrument of 17 samples and in one of one.
xm::Module EntriesPastTheSamples() {
    xm::Module module = Base(1, 22);
    module.instruments.push_back(NumberedInstrument(17));
    module.instruments.push_back(xm::InstrumentOf({OtherTone()}));
    PlayEntries(module, 0, 3, {16, 17, 31, 32, 255, 3});
    PlayEntries(module, 12, 4, {1, 16, 0});
    At(module, 18, 0) = {kC4, 2, 0, 0, 0};
    return module;
}

// An instrument of 40 samples, the ones past the 32 kept stored 8-bit and
// 4-bit packed, between an instrument of one sample and one of two, whose
// notes name every kind of entry: its own, the module's samples by number,
// one past the module's last, and past its declared count. The instrument
// after it still loads and plays.
xm::Module SamplesPast32() {
    xm::Module module = Base(1, 26);
    module.instruments.pop_back();
    xm::Instrument many = NumberedInstrument(40);
    for (int k = 32; k < 40; ++k) {
        xm::Sample& extra = many.samples[static_cast<std::size_t>(k)];
        extra = Hit();
        extra.sixteenBit = k % 2 == 0;
        extra.packed4Bit = k % 4 == 1;
        if (!extra.sixteenBit) {
            for (std::int16_t& frame : extra.frames) frame = static_cast<std::int16_t>(frame / 256);
        }
    }
    many.volumeEnvelope.points = {{0, 64}, {12, 20}, {24, 40}};
    many.volumeEnvelope.type = 1;
    module.instruments.push_back(many);
    xm::Instrument after = xm::InstrumentOf({OtherTone(), Hit()});
    after.samples[0].relativeNote = 3;
    after.vibratoDepth = 12;
    after.vibratoRate = 20;
    module.instruments.push_back(after);
    // The module's samples: 1 the tone, 2 to 33 the kept 32, 34 and 35 the last two.
    PlayEntries(module, 0, 2, {0, 31, 32, 33, 34, 35, 36, 39, 40, 200});
    At(module, 20, 0) = {kC4, 3, 0, 0, 0};
    At(module, 22, 0) = {kC4 + 2, 1, 0, 0, 0};
    return module;
}

// Instrument numbers without a note that name an instrument past the count
// or one without samples: the sounding note takes its own sample's volume
// and panning again and restarts its envelopes, and the next note without an
// instrument number is silent; so is a note of the instrument without samples.
xm::Module UnknownInstrumentNumbers() {
    xm::Module module = Base(1, 26);
    module.instruments[0].samples[0].volume = 50;
    module.instruments[0].samples[0].panning = 200;
    module.instruments.push_back(EnvelopedTone());
    module.instruments.push_back(xm::Instrument{});
    At(module, 0, 0) = {kC4, 3, 0x20, 0, 0};
    At(module, 4, 0) = {0, 9, 0, 0, 0};
    At(module, 8, 0) = {kC4 + 7, 0, 0, 0, 0};
    At(module, 10, 0) = {kC4, 1, 0x20, 0, 0};
    At(module, 12, 0) = {0, 4, 0, 0, 0};
    At(module, 14, 0) = {kC4 + 5, 0, 0, 0, 0};
    At(module, 16, 0) = {kC4 + 2, 3, 0x30, 0, 0};
    At(module, 18, 0) = {97, 9, 0, 0, 0};
    At(module, 20, 0) = {kC4, 4, 0, 0, 0};
    At(module, 22, 0) = {kC4 + 4, 1, 0x28, 0, 0};
    At(module, 24, 0) = {0, 10, 0, 0, 0};
    return module;
}

// An instrument number alone switching between instruments with and without
// a volume envelope: the next note sounds at its own instrument's envelope,
// full where it has none.
xm::Module EnvelopeOfTheNextNote() {
    xm::Module module = Base(1, 24);
    module.instruments.push_back(EnvelopedTone());
    At(module, 0, 0) = {kC4, 3, 0x30, 0, 0};
    At(module, 4, 0) = {0, 2, 0, 0, 0};
    At(module, 6, 0) = {kC4 + 3, 0, 0, 0, 0};
    At(module, 10, 0) = {0, 3, 0, 0, 0};
    At(module, 12, 0) = {kC4 + 5, 0, 0, 0, 0};
    At(module, 16, 0) = {0, 1, 0, 0, 0};
    At(module, 18, 0) = {kC4, 0, 0, 0, 0};
    return module;
}

}  // namespace

std::vector<Behaviour> SampleMapBehaviours() {
    return {
        {"sample_map_entries_past_the_samples", EntriesPastTheSamples},
        {"sample_map_past_32_samples", SamplesPast32},
        {"instrument_numbers_unknown_or_empty", UnknownInstrumentNumbers},
        {"instrument_numbers_envelope_of_next_note", EnvelopeOfTheNextNote},
    };
}

}  // namespace reference
