#include "bench/song_like.h"

#include <cmath>
#include <cstdint>

namespace bench_songs {
namespace {

constexpr double kPi = 3.14159265358979;

// Deterministic on every platform.
class Random {
public:
    explicit Random(unsigned seed) : state_(seed * 2654435761u + 1u) {}
    int below(int n) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(n));
    }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint32_t state_;
};

// A few harmonics of a period in frames, looped over whole cycles.
xm::Sample Tone(int period, int cycles, int harmonics, bool sixteenBit) {
    xm::Sample sample;
    sample.sixteenBit = sixteenBit;
    const double scale = sixteenBit ? 5000.0 : 24.0;
    for (int i = 0; i < period * cycles; ++i) {
        double value = 0.0;
        for (int h = 1; h <= harmonics; ++h) value += std::sin(2.0 * kPi * h * i / period) / h;
        sample.frames.push_back(static_cast<std::int16_t>(value * scale));
    }
    sample.loop = xm::Loop::Forward;
    sample.loopLength = static_cast<std::uint32_t>(period * cycles);
    return sample;
}

// A decaying hit of tone and noise, played once.
xm::Sample Hit(int frames, double pitch, double noise, bool sixteenBit, unsigned seed) {
    xm::Sample sample;
    sample.sixteenBit = sixteenBit;
    Random random(seed);
    const double scale = sixteenBit ? 9000.0 : 40.0;
    for (int i = 0; i < frames; ++i) {
        const double envelope = std::exp(-5.0 * i / frames);
        const double tone = std::sin(2.0 * kPi * pitch * i / (1.0 + i / 3000.0));
        const double hiss = (random.below(2001) - 1000) / 1000.0;
        sample.frames.push_back(static_cast<std::int16_t>((tone * (1.0 - noise) + hiss * noise) * envelope * scale));
    }
    return sample;
}

xm::Envelope EnvelopeOf(std::vector<std::array<std::uint16_t, 2>> points, std::uint8_t type, std::uint8_t sustain = 0,
                        std::uint8_t loopStart = 0, std::uint8_t loopEnd = 0) {
    xm::Envelope envelope;
    envelope.points = std::move(points);
    envelope.type = type;
    envelope.sustain = sustain;
    envelope.loopStart = loopStart;
    envelope.loopEnd = loopEnd;
    return envelope;
}

enum Role { Kick, Snare, Hat, Bass, Lead, Arp, Pad, Strings, Tom, Sweep, RoleCount };

// The instrument of each role, numbered from 1 in role order.
std::vector<xm::Instrument> Instruments() {
    std::vector<xm::Instrument> instruments(RoleCount);

    instruments[Kick] = xm::InstrumentOf({Hit(4000, 0.008, 0.1, true, 1)});

    instruments[Snare] = xm::InstrumentOf({Hit(5000, 0.04, 0.8, false, 2)});
    instruments[Snare].volumeEnvelope = EnvelopeOf({{0, 64}, {3, 44}, {10, 20}, {24, 0}}, 1);

    xm::Sample hat = Hit(1600, 0.3, 1.0, false, 3);
    hat.volume = 44;
    instruments[Hat] = xm::InstrumentOf({hat});

    xm::Sample bass = Tone(96, 6, 4, true);
    bass.relativeNote = -12;
    instruments[Bass] = xm::InstrumentOf({bass});
    instruments[Bass].volumeEnvelope = EnvelopeOf({{0, 0}, {2, 64}, {10, 46}, {40, 38}, {80, 0}}, 3, 3);
    instruments[Bass].panningEnvelope = EnvelopeOf({{0, 28}, {20, 36}, {40, 28}}, 5, 0, 0, 2);
    instruments[Bass].fadeout = 1400;

    xm::Sample lead = Tone(64, 8, 6, false);
    lead.loopStart = 64;
    lead.loopLength = 64 * 7;
    instruments[Lead] = xm::InstrumentOf({lead});
    instruments[Lead].volumeEnvelope = EnvelopeOf({{0, 64}, {6, 50}, {14, 44}, {20, 40}}, 3, 2);
    instruments[Lead].vibratoType = 0;
    instruments[Lead].vibratoDepth = 3;
    instruments[Lead].vibratoRate = 18;
    instruments[Lead].vibratoSweep = 12;
    instruments[Lead].fadeout = 900;

    xm::Sample arp = Tone(48, 10, 3, false);
    arp.loop = xm::Loop::PingPong;
    arp.loopStart = 96;
    arp.loopLength = 48 * 8;
    instruments[Arp] = xm::InstrumentOf({arp});
    instruments[Arp].volumeEnvelope = EnvelopeOf({{0, 64}, {5, 36}, {16, 14}, {36, 0}}, 1);
    instruments[Arp].panningEnvelope = EnvelopeOf({{0, 16}, {8, 48}, {16, 16}}, 5, 0, 0, 2);

    xm::Sample pad = Tone(128, 40, 5, true);
    pad.loop = xm::Loop::PingPong;
    pad.loopStart = 1024;
    pad.loopLength = 128 * 32;
    instruments[Pad] = xm::InstrumentOf({pad});
    instruments[Pad].volumeEnvelope =
        EnvelopeOf({{0, 0}, {16, 60}, {28, 44}, {44, 52}, {60, 44}, {120, 0}}, 7, 4, 2, 4);
    instruments[Pad].panningEnvelope = EnvelopeOf({{0, 20}, {32, 44}, {64, 20}}, 5, 0, 0, 2);
    instruments[Pad].vibratoType = 0;
    instruments[Pad].vibratoDepth = 4;
    instruments[Pad].vibratoRate = 10;
    instruments[Pad].vibratoSweep = 24;
    instruments[Pad].fadeout = 320;

    xm::Sample strings = Tone(200, 80, 7, true);
    strings.loopStart = 2000;
    strings.loopLength = 200 * 70;
    instruments[Strings] = xm::InstrumentOf({strings});
    instruments[Strings].volumeEnvelope = EnvelopeOf({{0, 8}, {24, 64}, {48, 54}}, 3, 2);
    instruments[Strings].panningEnvelope = EnvelopeOf({{0, 40}, {48, 24}, {96, 40}}, 5, 0, 0, 2);
    instruments[Strings].fadeout = 200;

    instruments[Tom] = xm::InstrumentOf({Hit(7000, 0.02, 0.2, true, 4)});

    xm::Sample sweep = Tone(80, 12, 2, false);
    sweep.loop = xm::Loop::PingPong;
    sweep.loopStart = 0;
    sweep.loopLength = 80 * 12;
    sweep.panning = 200;
    instruments[Sweep] = xm::InstrumentOf({sweep});
    instruments[Sweep].volumeEnvelope = EnvelopeOf({{0, 64}, {4, 24}, {8, 64}}, 5, 0, 0, 2);
    instruments[Sweep].fadeout = 600;
    return instruments;
}

// The roles the channels take in turn, drums and bass first.
constexpr Role kChannelRoles[16] = {Kick, Snare, Hat, Bass, Lead, Arp, Pad, Strings,
                                    Pad,  Lead,  Tom, Sweep, Hat, Arp, Bass, Strings};

std::uint8_t Note(int semitoneFromC4) { return static_cast<std::uint8_t>(49 + semitoneFromC4); }

// Each order's chord roots, in semitones from C.
constexpr int kRoots[8] = {0, -3, 5, 7, 0, 8, 5, 7};

void FillChannel(xm::Pattern& pattern, int channel, int channels, Role role, int order, Random& random) {
    const int shift = channel >= 16 ? 12 * ((channel / 16) % 2 ? -1 : 1) : 0;
    const std::uint8_t instrument = static_cast<std::uint8_t>(role + 1);
    auto at = [&](int row) -> xm::Cell& { return pattern.at(row, channel, channels); };
    const int root = kRoots[order % 8];
    const int chord[4] = {0, 4, 7, 11};
    for (int row = 0; row < pattern.rows; ++row) {
        const int beat = row % 16;
        const int step = (row / 4 + order) % 4;
        xm::Cell& cell = at(row);
        switch (role) {
            case Kick:
                if (row % 4 == 0 || (beat == 10 && random.chance(60))) {
                    cell = {Note(-12), instrument, static_cast<std::uint8_t>(0x40 + random.below(17)), 0, 0};
                }
                break;
            case Snare:
                if (row % 8 == 4) cell = {Note(0), instrument, 0, 0, 0};
                else if (row % 8 == 7 && random.chance(40)) cell = {Note(0), instrument, 0x1C, 0x0E, 0xD2};
                break;
            case Hat:
                if (row % 2 == 0 || random.chance(30)) {
                    cell = {Note(12 + shift), instrument, static_cast<std::uint8_t>(0x18 + random.below(0x28)),
                            0x08, static_cast<std::uint8_t>(96 + random.below(64))};
                    if (random.chance(10)) cell.effect = 0x1B, cell.parameter = 0x32;
                }
                break;
            case Bass:
                if (row % 2 == 0) {
                    const int note = root + (beat % 8 == 6 ? 12 : 0) + shift;
                    cell = {Note(note - 12), instrument, 0, 0, 0};
                    if (beat % 8 == 4 && random.chance(40)) cell.effect = 0x03, cell.parameter = 0x30;
                } else if (random.chance(50)) {
                    cell = {97, 0, 0, 0, 0};
                }
                break;
            case Lead:
                if (row % 4 == 0 || (row % 2 == 0 && random.chance(40))) {
                    const int note = root + chord[random.below(4)] + 12 * random.below(2) + shift;
                    cell = {Note(note), instrument, static_cast<std::uint8_t>(random.chance(50) ? 0x38 : 0), 0, 0};
                } else if (row % 4 == 3 && random.chance(35)) {
                    cell = {97, 0, 0, 0, 0};
                } else {
                    cell.effect = random.chance(60) ? 0x04 : 0x0A;
                    cell.parameter = cell.effect == 0x04 ? 0x46 : 0x02;
                    if (random.chance(15)) cell.effect = 0x01, cell.parameter = 0x04;
                }
                break;
            case Arp:
                if (row % 4 == 0) {
                    cell = {Note(root + shift), instrument, 0, 0x00, 0x47};
                } else {
                    cell = {0, 0, static_cast<std::uint8_t>(0x62 + random.below(3)), 0x00, 0x47};
                }
                break;
            case Pad:
                if (row % 16 == 0) {
                    cell = {Note(root + chord[channel % 3] - 12 + shift), instrument, 0x10, 0x0A, 0x40};
                } else if (row % 16 < 6) {
                    cell.effect = 0x0A, cell.parameter = 0x40;
                } else if (row % 16 == 14) {
                    cell = {97, 0, 0, 0, 0};
                }
                break;
            case Strings:
                if (row % 8 == 0) {
                    cell = {Note(root + chord[step] + shift), instrument, 0, 0x04, 0x23};
                } else if (row % 8 == 7) {
                    cell = {97, 0, 0, 0, 0};
                } else {
                    cell.effect = row % 8 < 4 ? 0x04 : 0x06;
                    cell.parameter = row % 8 < 4 ? 0x23 : 0x01;
                }
                break;
            case Tom:
                if (row >= 56 && (row % 2 == 0 || random.chance(50))) {
                    cell = {Note(7 - (row - 56) + shift), instrument, 0, 0, 0};
                } else if (beat == 14 && random.chance(30)) {
                    cell = {Note(5), instrument, 0x28, 0, 0};
                }
                break;
            case Sweep:
                if (row % 16 == 8) {
                    cell = {Note(root + 19 + shift), instrument, 0, 0x19, 0x0F};
                } else if (row % 16 == 12) {
                    cell = {97, 0, 0, 0x19, 0xF0};
                } else if (row % 16 > 8) {
                    cell.effect = 0x02, cell.parameter = 0x08;
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace

xm::Module SongLike(int channels, int orders, unsigned seed) {
    xm::Module module;
    module.name = "song-like";
    module.channels = channels;
    module.flags = 1;
    module.speed = 5;
    module.bpm = 135;
    module.instruments = Instruments();
    Random random(seed);
    for (int order = 0; order < orders; ++order) {
        xm::Pattern pattern;
        pattern.rows = 64;
        pattern.cells.resize(static_cast<std::size_t>(64 * channels));
        for (int c = 0; c < channels; ++c) {
            FillChannel(pattern, c, channels, kChannelRoles[c % 16], order, random);
        }
        // Tempo and speed change now and then, as songs do, on the kick's
        // channel, which has no other effects.
        if (order % 4 == 2) pattern.at(0, 0, channels).effect = 0x0F, pattern.at(0, 0, channels).parameter = 6;
        if (order % 4 == 3) pattern.at(0, 0, channels).effect = 0x0F, pattern.at(0, 0, channels).parameter = 5;
        if (order % 3 == 1) pattern.at(32, 0, channels).effect = 0x0F, pattern.at(32, 0, channels).parameter = 0x8C;
        module.patterns.push_back(pattern);
        module.orders.push_back(static_cast<std::uint8_t>(order));
    }
    return module;
}

}  // namespace bench_songs
