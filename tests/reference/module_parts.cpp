#include "tests/reference/module_parts.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "music/song.h"

namespace reference {

namespace {
constexpr double kPi = 3.14159265358979;
}  // namespace

xm::Sample Tone() {
    xm::Sample sample;
    sample.sixteenBit = true;
    const int period = 64;
    for (int i = 0; i < period * 4; ++i) {
        double phase = 2.0 * kPi * i / period;
        double value = 0.6 * std::sin(phase) + 0.25 * std::sin(3.0 * phase) + 0.1 * std::sin(5.0 * phase);
        sample.frames.push_back(static_cast<std::int16_t>(value * 12000.0));
    }
    sample.loop = xm::Loop::Forward;
    sample.loopLength = static_cast<std::uint32_t>(sample.frames.size());
    return sample;
}

xm::Sample Hit() {
    xm::Sample sample;
    sample.sixteenBit = true;
    std::uint32_t state = 7;
    for (int i = 0; i < 3000; ++i) {
        state = state * 1103515245u + 12345u;
        double noise = static_cast<double>((state >> 16) & 0x7FFF) / 16384.0 - 1.0;
        double tone = std::sin(2.0 * kPi * i / 40.0);
        double value = (0.5 * noise + 0.5 * tone) * std::exp(-3.0 * i / 3000.0);
        sample.frames.push_back(static_cast<std::int16_t>(value * 14000.0));
    }
    return sample;
}

xm::Module Base(int channels, int rows) {
    xm::Module module;
    module.channels = channels;
    module.flags = 1;
    module.speed = 6;
    module.bpm = 125;
    module.orders = {0};
    xm::Pattern pattern;
    pattern.rows = rows;
    pattern.cells.resize(static_cast<std::size_t>(rows * channels));
    module.patterns.push_back(pattern);
    module.instruments = {xm::InstrumentOf({Tone()}), xm::InstrumentOf({Hit()})};
    return module;
}

xm::Cell& At(xm::Module& module, int row, int channel, int pattern) {
    return module.patterns[static_cast<std::size_t>(pattern)].at(row, channel, module.channels);
}

xm::Module NotePerRow(int channels, int rows, int patterns, std::vector<std::uint8_t> orders, int patternStep) {
    xm::Module module = Base(channels, rows);
    module.orders = std::move(orders);
    for (int p = 1; p < patterns; ++p) module.patterns.push_back(module.patterns[0]);
    for (int p = 0; p < patterns; ++p) {
        for (int row = 0; row < rows; ++row) {
            At(module, row, 0, p) = {static_cast<std::uint8_t>(kC4 + row + patternStep * p), 1, 0x30, 0, 0};
        }
    }
    return module;
}

void Effect(xm::Module& module, int row, int channel, std::uint8_t effect, std::uint8_t parameter, int pattern) {
    xm::Cell& cell = At(module, row, channel, pattern);
    cell.effect = effect;
    cell.parameter = parameter;
}

void Loop(xm::Module& module, int row, int channel, int count, int pattern) {
    Effect(module, row, channel, EffectExtended, static_cast<std::uint8_t>(ExtendedPatternLoop << 4 | count),
           pattern);
}

xm::Module SavedByOlderFormatTracker(xm::Module module) {
    module.tracker = "FastTracker v2.00   ";
    module.name = "tune";
    return module;
}

xm::Instrument EnvelopedTone() {
    xm::Instrument instrument = xm::InstrumentOf({Tone()});
    instrument.volumeEnvelope.points = {{0, 64}, {8, 24}, {16, 44}, {40, 8}};
    instrument.volumeEnvelope.type = 1 | 2 | 4;
    instrument.volumeEnvelope.sustain = 2;
    instrument.volumeEnvelope.loopStart = 1;
    instrument.volumeEnvelope.loopEnd = 2;
    instrument.panningEnvelope.points = {{0, 32}, {12, 8}, {24, 56}};
    instrument.panningEnvelope.type = 1;
    instrument.vibratoType = 0;
    instrument.vibratoSweep = 8;
    instrument.vibratoDepth = 10;
    instrument.vibratoRate = 24;
    instrument.fadeout = 1024;
    return instrument;
}

xm::Sample OtherTone() {
    xm::Sample sample = Tone();
    const int period = 64;
    for (std::size_t i = 0; i < sample.frames.size(); ++i) {
        double phase = 2.0 * kPi * static_cast<double>(i) / period;
        sample.frames[i] = static_cast<std::int16_t>((0.6 * std::sin(phase) + 0.3 * std::sin(2.0 * phase)) * 12000.0);
    }
    sample.volume = 32;
    return sample;
}

}  // namespace reference
