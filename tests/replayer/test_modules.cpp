#include "tests/replayer/test_modules.h"

#include <cmath>
#include <cstdint>

#include "music/song.h"

namespace replayer_test {
namespace {

constexpr double kPi = 3.14159265358979;

// Deterministic noise, the same on every platform.
class Noise {
public:
    int next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) & 0xFF) - 128;
    }

private:
    std::uint32_t state_ = 1;
};

xm::Sample Waveform(int period, int cycles, bool square, int amplitude) {
    xm::Sample sample;
    for (int i = 0; i < period * cycles; ++i) {
        double phase = static_cast<double>(i % period) / period;
        double value = square ? (phase < 0.5 ? 1.0 : -1.0) : std::sin(2.0 * kPi * phase);
        sample.frames.push_back(static_cast<std::int16_t>(value * amplitude));
    }
    sample.loop = xm::Loop::Forward;
    sample.loopLength = static_cast<std::uint32_t>(period * cycles);
    return sample;
}

xm::Sample Decaying(int frames, double pitch, double noise, bool sixteenBit) {
    xm::Sample sample;
    sample.sixteenBit = sixteenBit;
    Noise source;
    double scale = sixteenBit ? 20000.0 : 100.0;
    for (int i = 0; i < frames; ++i) {
        double envelope = std::exp(-4.0 * i / frames);
        double tone = std::sin(2.0 * kPi * pitch * i / (1.0 + i / 2000.0));
        double value = (tone * (1.0 - noise) + source.next() / 128.0 * noise) * envelope;
        sample.frames.push_back(static_cast<std::int16_t>(value * scale));
    }
    return sample;
}

xm::Pattern EmptyPattern(int rows, int channels) {
    xm::Pattern pattern;
    pattern.rows = rows;
    pattern.cells.resize(static_cast<std::size_t>(rows * channels));
    return pattern;
}

std::uint8_t Note(int octave, int semitone) {
    return static_cast<std::uint8_t>(octave * 12 + semitone + 1);
}

}  // namespace

xm::Module ChordsModule() {
    xm::Module module;
    module.channels = 4;
    module.flags = 1;
    module.speed = 6;
    module.bpm = 140;
    module.orders = {0, 1, 0};
    xm::Sample square = Waveform(32, 4, true, 40);
    square.finetune = -16;
    xm::Sample sine = Waveform(64, 2, false, 90);
    sine.relativeNote = 12;
    module.instruments = {xm::InstrumentOf({square}), xm::InstrumentOf({sine})};
    module.instruments[1].vibratoType = 0;
    module.instruments[1].vibratoDepth = 6;
    module.instruments[1].vibratoRate = 20;
    module.instruments[1].vibratoSweep = 8;

    const int roots[2][4] = {{0, 5, 7, 3}, {8, 5, 10, 7}};
    for (int p = 0; p < 2; ++p) {
        xm::Pattern pattern = EmptyPattern(16, 4);
        for (int bar = 0; bar < 4; ++bar) {
            int root = roots[p][bar];
            int row = bar * 4;
            pattern.at(row, 0, 4) = {Note(3, root), 1, 0x30, EffectArpeggio, 0x37};
            pattern.at(row + 2, 0, 4) = {0, 0, 0, EffectVolumeSlide, 0x02};
            pattern.at(row, 1, 4) = {Note(2, root), 2, 0, EffectVibrato, 0x46};
            pattern.at(row + 1, 1, 4) = {0, 0, 0xC4, EffectVibratoVolumeSlide, 0x01};
            pattern.at(row + 2, 1, 4) = {Note(2, root + 12), 0, 0, EffectTonePortamento, 0x20};
            pattern.at(row, 2, 4) = {Note(4, root + 7), 2, 0x28, EffectSetPanning,
                                        static_cast<std::uint8_t>(40 + 50 * bar)};
            pattern.at(row + 3, 2, 4) = {0, 0, 0, EffectPortamentoUp, 0x04};
            pattern.at(row + 1, 3, 4) = {Note(4, root + 3), 1, 0x20, EffectPanningSlide, 0x20};
            pattern.at(row + 3, 3, 4) = {97, 0, 0, 0, 0};
        }
        module.patterns.push_back(pattern);
    }
    return module;
}

xm::Module DrumsModule() {
    xm::Module module;
    module.channels = 4;
    module.flags = 0;
    module.speed = 4;
    module.bpm = 160;
    module.restart = 1;
    module.orders = {0, 1, 2};
    xm::Sample kick = Decaying(3000, 0.01, 0.1, true);
    xm::Sample snare = Decaying(4000, 0.05, 0.8, false);
    snare.finetune = 20;
    xm::Sample hat = Decaying(1200, 0.3, 1.0, false);
    hat.volume = 40;
    xm::Sample bass = Waveform(40, 1, false, 100);
    bass.loop = xm::Loop::PingPong;
    bass.loopStart = 10;
    bass.loopLength = 30;
    module.instruments = {xm::InstrumentOf({kick}), xm::InstrumentOf({snare}), xm::InstrumentOf({hat}),
                          xm::InstrumentOf({bass})};
    xm::Instrument& bassInstrument = module.instruments[3];
    bassInstrument.volumeEnvelope.points = {{0, 0}, {2, 64}, {8, 40}, {20, 30}, {40, 0}};
    bassInstrument.volumeEnvelope.type = 3;
    bassInstrument.volumeEnvelope.sustain = 3;
    bassInstrument.panningEnvelope.points = {{0, 16}, {10, 48}, {20, 32}};
    bassInstrument.panningEnvelope.type = 1;
    bassInstrument.fadeout = 800;

    for (int p = 0; p < 3; ++p) {
        xm::Pattern pattern = EmptyPattern(32, 4);
        for (int row = 0; row < 32; ++row) {
            if (row % 8 == 0) pattern.at(row, 0, 4) = {Note(3, 0), 1, 0, 0, 0};
            if (row % 8 == 4) pattern.at(row, 1, 4) = {Note(4, 2), 2, 0, 0, 0};
            if (row % 2 == 0) {
                std::uint8_t effect = row % 16 == 6    ? EffectMultiRetrigger
                                      : row % 16 == 10 ? EffectExtended
                                                       : 0;
                std::uint8_t parameter = effect == EffectMultiRetrigger ? 0x52
                                        : effect == EffectExtended     ? 0xC2
                                                                       : 0;
                pattern.at(row, 2, 4) = {Note(5, 0), 3, static_cast<std::uint8_t>(0x10 + row), effect, parameter};
            }
            if (row % 4 == 0) {
                int semitone = (row / 4 + p * 3) % 5 * 2;
                pattern.at(row, 3, 4) = {Note(2, semitone), 4, 0, 0, 0};
            }
            if (row % 4 == 2) pattern.at(row, 3, 4) = {97, 0, 0, 0, 0};
        }
        pattern.at(12, 1, 4) = {Note(4, 2), 2, 0, EffectExtended, 0xD2};
        pattern.at(20, 0, 4) = {Note(3, 0), 1, 0, EffectSampleOffset, 0x04};
        pattern.at(16, 3, 4).effect = 0x0F;
        pattern.at(16, 3, 4).parameter = static_cast<std::uint8_t>(p == 1 ? 3 : 0xB0);
        if (p == 2) pattern.at(24, 0, 4) = {0, 0, 0, EffectPatternBreak, 0x00};
        module.patterns.push_back(pattern);
    }
    return module;
}

xm::Module LeadModule() {
    xm::Module module;
    module.channels = 3;
    module.flags = 1;
    module.speed = 5;
    module.bpm = 120;
    module.orders = {0, 1};
    xm::Sample lead = Waveform(100, 3, false, 12000);
    lead.sixteenBit = true;
    xm::Sample pad = Waveform(50, 2, true, 3000);
    pad.sixteenBit = true;
    pad.relativeNote = -12;
    module.instruments = {xm::InstrumentOf({lead}), xm::InstrumentOf({pad})};
    xm::Instrument& leadInstrument = module.instruments[0];
    leadInstrument.panningEnvelope.points = {{0, 0}, {12, 64}, {24, 0}};
    leadInstrument.panningEnvelope.type = 5;
    leadInstrument.panningEnvelope.loopStart = 0;
    leadInstrument.panningEnvelope.loopEnd = 2;
    leadInstrument.vibratoType = 3;
    leadInstrument.vibratoDepth = 10;
    leadInstrument.vibratoRate = 30;

    const int melody[16] = {0, 3, 7, 10, 12, 10, 7, 3, 5, 8, 12, 15, 17, 15, 12, 8};
    for (int p = 0; p < 2; ++p) {
        xm::Pattern pattern = EmptyPattern(16, 3);
        for (int row = 0; row < 16; ++row) {
            std::uint8_t effect = row % 4 == 1 ? EffectTremolo : row % 4 == 3 ? EffectTremor : 0;
            std::uint8_t parameter = effect == EffectTremolo ? 0x68 : effect == EffectTremor ? 0x21 : 0;
            pattern.at(row, 0, 3) = {Note(4, melody[(row + p * 5) % 16]), 1, 0, effect, parameter};
        }
        pattern.at(0, 1, 3) = {Note(3, p * 5), 2, 0x40, EffectExtended, 0x60};
        pattern.at(7, 1, 3) = {0, 0, 0, EffectExtended, 0x61};
        pattern.at(8, 2, 3) = {0, 0, 0, EffectGlobalVolumeSlide, static_cast<std::uint8_t>(p == 0 ? 0x04 : 0x30)};
        pattern.at(12, 2, 3) = {0, 0, 0, EffectExtended, 0xE1};
        pattern.at(15, 1, 3) = {0, 0, 0, EffectGlobalVolume, 0x30};
        module.patterns.push_back(pattern);
    }
    return module;
}

xm::Module BusyModule(int channels, int orders) {
    xm::Module module;
    module.channels = channels;
    module.flags = 1;
    module.speed = 3;
    module.bpm = 150;
    module.instruments = {xm::InstrumentOf({Waveform(32, 4, true, 40)}), xm::InstrumentOf({Waveform(64, 2, false, 90)}),
                          xm::InstrumentOf({Decaying(6000, 0.02, 0.3, true)})};
    module.instruments[1].volumeEnvelope.points = {{0, 64}, {30, 20}, {60, 40}};
    module.instruments[1].volumeEnvelope.type = 5;
    module.instruments[1].volumeEnvelope.loopStart = 1;
    module.instruments[1].volumeEnvelope.loopEnd = 2;
    module.orders.clear();
    for (int order = 0; order < orders; ++order) {
        xm::Pattern pattern = EmptyPattern(64, channels);
        for (int row = 0; row < 64; ++row) {
            for (int c = 0; c < channels; ++c) {
                if ((row + c) % 3 != 0) continue;
                int semitone = (row * 5 + c * 7 + order) % 24;
                std::uint8_t effect = static_cast<std::uint8_t>((row + c) % 4 == 0 ? EffectVibrato : 0);
                pattern.at(row, c, channels) = {Note(3, semitone), static_cast<std::uint8_t>(1 + c % 3),
                                                0, effect, 0x37};
            }
        }
        module.patterns.push_back(pattern);
        module.orders.push_back(static_cast<std::uint8_t>(order));
    }
    return module;
}

}  // namespace replayer_test
