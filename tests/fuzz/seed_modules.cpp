#include "tests/fuzz/seed_modules.h"

#include <cmath>

#include "tools/xmwriter/xm_writer.h"

namespace {

// Short waveforms: a fuzzer mutates every byte, so samples stay a few dozen frames.
xm::Sample Wave(int frames, bool sixteenBit, int shape, xm::Loop loop) {
    xm::Sample s;
    s.sixteenBit = sixteenBit;
    const double peak = sixteenBit ? 30000.0 : 120.0;
    for (int i = 0; i < frames; ++i) {
        const double phase = static_cast<double>(i) / frames;
        double v = 0.0;
        if (shape == 0) v = std::sin(phase * 6.283185307179586);
        if (shape == 1) v = 2.0 * phase - 1.0;
        if (shape == 2) v = phase < 0.5 ? 1.0 : -1.0;
        if (shape == 3) v = static_cast<double>((i * 7919 + 13) % 251) / 125.0 - 1.0;
        s.frames.push_back(static_cast<std::int16_t>(v * peak));
    }
    s.loop = loop;
    if (loop != xm::Loop::None) {
        s.loopStart = static_cast<std::uint32_t>(frames / 4);
        s.loopLength = static_cast<std::uint32_t>(frames - frames / 4);
    }
    return s;
}

xm::Instrument Enveloped(const xm::Sample& sample, std::uint8_t volumeType, std::uint8_t panningType) {
    xm::Instrument ins = xm::InstrumentOf({sample});
    ins.volumeEnvelope.points = {{0, 0}, {2, 64}, {6, 40}, {10, 50}, {20, 0}};
    ins.volumeEnvelope.sustain = 2;
    ins.volumeEnvelope.loopStart = 1;
    ins.volumeEnvelope.loopEnd = 3;
    ins.volumeEnvelope.type = volumeType;
    ins.panningEnvelope.points = {{0, 0}, {4, 64}, {8, 32}};
    ins.panningEnvelope.sustain = 1;
    ins.panningEnvelope.loopStart = 0;
    ins.panningEnvelope.loopEnd = 2;
    ins.panningEnvelope.type = panningType;
    ins.fadeout = 2000;
    ins.vibratoType = 1;
    ins.vibratoSweep = 4;
    ins.vibratoDepth = 8;
    ins.vibratoRate = 20;
    return ins;
}

std::vector<xm::Instrument> BasicInstruments() {
    return {xm::InstrumentOf({Wave(32, false, 0, xm::Loop::Forward)}),
            xm::InstrumentOf({Wave(48, true, 1, xm::Loop::PingPong)}),
            Enveloped(Wave(40, false, 2, xm::Loop::Forward), 7, 7),
            xm::InstrumentOf({Wave(64, true, 3, xm::Loop::None)})};
}

void Put(xm::Module& m, int pattern, int row, int channel, xm::Cell cell) {
    m.patterns[static_cast<std::size_t>(pattern)].at(row, channel, m.channels) = cell;
}

xm::Module Basic() {
    xm::Module m;
    m.channels = 4;
    m.speed = 3;
    m.bpm = 150;
    m.patterns.resize(1);
    m.patterns[0].rows = 16;
    for (int r = 0; r < 16; r += 2) {
        Put(m, 0, r, r / 2 % 4, {static_cast<std::uint8_t>(40 + r), static_cast<std::uint8_t>(1 + r / 2 % 4), 0, 0, 0});
    }
    Put(m, 0, 12, 0, {97, 0, 0, 0, 0});
    m.instruments = BasicInstruments();
    return m;
}

// Every effect type, every extended sub-effect and a spread of parameters, two rows apart.
xm::Module Effects(bool linear) {
    xm::Module m;
    m.channels = 4;
    m.flags = linear ? 1 : 0;
    m.speed = 4;
    m.patterns.resize(3);
    int slot = 0;
    const std::uint8_t params[] = {0x00, 0x12, 0x37, 0xF1, 0x80, 0xFF};
    auto next = [&](std::uint8_t effect, std::uint8_t parameter) {
        const int pattern = slot / 32;
        const int row = slot % 32 * 2;
        Put(m, pattern, row, 0, {static_cast<std::uint8_t>(30 + slot % 50), static_cast<std::uint8_t>(1 + slot % 4), 0,
                                 effect, parameter});
        Put(m, pattern, row + 1, 1, {0, 0, 0, effect, static_cast<std::uint8_t>(parameter ^ 0x5A)});
        ++slot;
    };
    for (std::uint8_t effect = 0; effect <= 35; ++effect) {
        if (effect == 11 || effect == 13 || effect == 14) continue;  // flow effects live in their own module
        next(effect, params[effect % 6]);
    }
    for (std::uint8_t x = 0; x < 16; ++x) {
        if (x == 6 || x == 14) continue;
        next(14, static_cast<std::uint8_t>(x << 4 | (x % 3 + 1)));
    }
    next(15, 0x01);
    next(15, 0x20);
    next(15, 0xFF);
    next(16, 0x90);
    next(17, 0x0F);
    m.orders = {0, 1, 2};
    m.instruments = BasicInstruments();
    return m;
}

// The volume column in steps that hit every command and its nibble extremes.
xm::Module VolumeColumn() {
    xm::Module m;
    m.channels = 2;
    m.speed = 3;
    m.patterns.resize(2);
    int row = 0;
    for (int v = 0x10; v <= 0xFF; v += 0x07) {
        Put(m, row / 64, row % 64, row % 2, {static_cast<std::uint8_t>(row % 3 == 0 ? 49 : 0), 2,
                                             static_cast<std::uint8_t>(v), 0, 0});
        ++row;
    }
    m.orders = {0, 1};
    m.instruments = BasicInstruments();
    return m;
}

// Jumps, breaks, loops, delays and orders that name patterns the file lacks.
xm::Module Flow() {
    xm::Module m;
    m.channels = 3;
    m.speed = 2;
    m.restart = 2;
    m.patterns.resize(3);
    for (auto& p : m.patterns) p.rows = 16;
    Put(m, 0, 0, 0, {49, 1, 0, 0x0E, 0x60});
    Put(m, 0, 3, 0, {0, 0, 0, 0x0E, 0x62});
    Put(m, 0, 4, 1, {52, 2, 0, 0x0E, 0xE3});
    Put(m, 0, 6, 2, {0, 0, 0, 0x0D, 0x99});
    Put(m, 1, 2, 0, {55, 3, 0, 0x0B, 0x07});
    Put(m, 1, 2, 1, {0, 0, 0, 0x0D, 0x05});
    Put(m, 2, 5, 0, {60, 4, 0, 0x0F, 0x00});
    Put(m, 2, 6, 0, {0, 0, 0, 0x0F, 0x03});
    Put(m, 2, 9, 2, {0, 0, 0, 0x0B, 0xF0});
    m.orders = {0, 1, 5, 2, 1, 7};
    m.instruments = BasicInstruments();
    return m;
}

// Envelopes with sustain and loops, fade-out after key off, auto-vibrato, envelope position.
xm::Module Envelopes() {
    xm::Module m;
    m.channels = 2;
    m.flags = 1;
    m.speed = 2;
    m.patterns.resize(1);
    m.patterns[0].rows = 32;
    m.instruments = {Enveloped(Wave(24, false, 0, xm::Loop::Forward), 3, 3),
                     Enveloped(Wave(24, true, 1, xm::Loop::PingPong), 5, 5),
                     Enveloped(Wave(24, false, 2, xm::Loop::Forward), 7, 1)};
    m.instruments[2].volumeEnvelope.points.resize(12, {60, 10});
    Put(m, 0, 0, 0, {48, 1, 0, 0, 0});
    Put(m, 0, 0, 1, {60, 2, 0, 0, 0});
    Put(m, 0, 8, 0, {97, 0, 0, 0, 0});
    Put(m, 0, 9, 1, {0, 0, 0, 20, 0});
    Put(m, 0, 12, 0, {36, 3, 0, 21, 5});
    Put(m, 0, 20, 0, {0, 0, 0, 21, 40});
    Put(m, 0, 24, 1, {72, 3, 0, 0, 0});
    return m;
}

// Instruments with many samples, more than the 32 kept, a note map across
// them and past them, relative notes and finetunes at the extremes.
xm::Module Multisample() {
    xm::Module m;
    m.channels = 2;
    m.patterns.resize(1);
    m.patterns[0].rows = 24;
    xm::Instrument ins;
    for (int i = 0; i < 16; ++i) {
        xm::Sample s = Wave(8 + i, i % 2 == 1, i % 4, static_cast<xm::Loop>(i % 4));
        s.relativeNote = static_cast<std::int8_t>(i * 16 - 128);
        s.finetune = static_cast<std::int8_t>(i * 17 - 128);
        s.panning = static_cast<std::uint8_t>(i * 17);
        s.volume = static_cast<std::uint8_t>(i * 4);
        ins.samples.push_back(s);
    }
    for (int i = 16; i < 40; ++i) ins.samples.push_back(Wave(8 + i, i % 3 == 0, i % 4, xm::Loop::Forward));
    for (int n = 0; n < 96; ++n) ins.noteSample[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(n % 48);
    m.instruments = {ins, xm::InstrumentOf({Wave(16, false, 0, xm::Loop::None)})};
    for (int r = 0; r < 24; ++r) {
        Put(m, 0, r, r % 2, {static_cast<std::uint8_t>(1 + r * 4), static_cast<std::uint8_t>(1 + r % 2), 0, 0x09,
                             static_cast<std::uint8_t>(r)});
    }
    return m;
}

// The widest legal row: 32 channels, each starting a note at once.
xm::Module WideRow() {
    xm::Module m;
    m.channels = 32;
    m.speed = 1;
    m.bpm = 255;
    m.patterns.resize(1);
    m.patterns[0].rows = 2;
    for (int c = 0; c < 32; ++c) Put(m, 0, 0, c, {static_cast<std::uint8_t>(20 + c * 2), 1, 0x40, 0x08, 0x80});
    m.instruments = {xm::InstrumentOf({Wave(16, true, 0, xm::Loop::Forward)})};
    return m;
}

// Raw packed data: the empty mask, notes above 96, instruments above 128, a pattern with no data.
xm::Module Packing() {
    xm::Module m;
    m.channels = 2;
    m.patterns.resize(3);
    m.patterns[0].rows = 2;
    m.patterns[0].useRawPacked = true;
    m.patterns[0].rawPacked = {0x80, 0x9F, 97, 129, 0x50, 0x0C, 0x20, 0x83, 100, 200, 0x01, 0x02, 0x03, 0x04, 0x05};
    m.patterns[1].rows = 4;
    m.patterns[2].rows = 1;
    m.patterns[2].useRawPacked = true;
    m.patterns[2].rawPacked = {0x81, 50, 0x82, 1};
    m.orders = {0, 1, 2, 3};
    m.instruments = {xm::InstrumentOf({Wave(8, false, 1, xm::Loop::None)})};
    return m;
}

xm::Module Empty() {
    xm::Module m;
    m.channels = 1;
    m.orders = {};
    return m;
}

}  // namespace

std::vector<SeedModule> SeedModules() {
    return {{"basic", xm::Write(Basic())},
            {"effects_amiga", xm::Write(Effects(false))},
            {"effects_linear", xm::Write(Effects(true))},
            {"volume_column", xm::Write(VolumeColumn())},
            {"flow", xm::Write(Flow())},
            {"envelopes", xm::Write(Envelopes())},
            {"multisample", xm::Write(Multisample())},
            {"wide_row", xm::Write(WideRow())},
            {"packing", xm::Write(Packing())},
            {"empty", xm::Write(Empty())}};
}
