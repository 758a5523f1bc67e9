#include "tools/songgen/instruments.h"

#include <algorithm>
#include <cmath>

#include "tools/songgen/synth.h"

namespace songgen {

using namespace synth;

namespace {

enum : std::uint8_t { EnvOn = 1, EnvSustain = 2, EnvLoop = 4 };

xm::Envelope Env(std::vector<std::array<std::uint16_t, 2>> points, std::uint8_t type, std::uint8_t sustain = 0,
                 std::uint8_t loopStart = 0, std::uint8_t loopEnd = 0) {
    xm::Envelope e;
    e.points = std::move(points);
    e.type = type;
    e.sustain = sustain;
    e.loopStart = loopStart;
    e.loopEnd = loopEnd;
    return e;
}

xm::Instrument One(const char* name, xm::Sample sample, Tuning tuning, std::uint8_t volume, std::uint8_t panning) {
    sample.relativeNote = tuning.relativeNote;
    sample.finetune = tuning.finetune;
    sample.volume = volume;
    sample.panning = panning;
    xm::Instrument ins;
    ins.name = name;
    ins.samples.push_back(std::move(sample));
    return ins;
}

void LoopForward(xm::Sample& s, std::size_t start) {
    s.loop = xm::Loop::Forward;
    s.loopStart = static_cast<std::uint32_t>(start);
    s.loopLength = static_cast<std::uint32_t>(s.frames.size() - start);
}

void LoopPingPong(xm::Sample& s, std::size_t start) {
    s.loop = xm::Loop::PingPong;
    s.loopStart = static_cast<std::uint32_t>(start);
    s.loopLength = static_cast<std::uint32_t>(s.frames.size() - start);
}

int Frames(double seconds, double rate) { return static_cast<int>(seconds * rate); }

double Seconds(int i, double rate) { return static_cast<double>(i) / rate; }

// Six detuned square waves: the metallic core of hats and cymbals.
double Metal(double t, double scale) {
    static const double kRatios[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double v = 0.0;
    for (double r : kRatios) v += std::sin(2.0 * kPi * r * scale * t) >= 0.0 ? 1.0 : -1.0;
    return v / 6.0;
}

// Adds a voice that repeats `cycles` times over the loop of `frames` frames.
void AddVoice(Buffer& b, double cycles, const std::vector<double>& harmonics, double gain, double phase) {
    const double frames = static_cast<double>(b.size());
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double p = 2.0 * kPi * cycles * static_cast<double>(i) / frames;
        double v = 0.0;
        for (std::size_t h = 0; h < harmonics.size(); ++h) {
            v += harmonics[h] * std::sin(p * static_cast<double>(h + 1) + phase * static_cast<double>(h + 1));
        }
        b[i] += gain * v;
    }
}

// Harmonics that stay below 0.4 cycles per frame for a voice of `cycles` over `frames`.
int HarmonicLimit(double cycles, double frames) { return std::max(1, static_cast<int>(0.4 * frames / cycles)); }

// ---- drums ------------------------------------------------------------

xm::Instrument Kick() {
    const double rate = kRate16k;
    Buffer b(static_cast<std::size_t>(Frames(0.36, rate)));
    Noise noise(0x4b1cu);
    OnePole click(2500.0, rate);
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        phase += 2.0 * kPi * Glide(t, 170.0, 43.0, 0.035) / rate;
        const double body = std::sin(phase) * Decay(t, 0.22) * Attack(t, 0.0015);
        b[i] = SoftClip(body + 0.6 * click.lowpass(noise.next()) * Decay(t, 0.005), 2.4);
    }
    FadeOut(b, 400);
    Normalize(b, 1.0);
    return One("kick", ToSample16(b, "kick"), TuneForRate(rate), 64, 128);
}

xm::Instrument Snare() {
    const double rate = kRate33k;
    Buffer b(static_cast<std::size_t>(Frames(0.28, rate)));
    Noise noise(0x5a4eu);
    OnePole hp(1100.0, rate), lp(9000.0, rate);
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        phase += 2.0 * kPi * Glide(t, 340.0, 185.0, 0.012) / rate;
        const double tone = std::sin(phase) * Decay(t, 0.055);
        const double hiss = lp.lowpass(hp.highpass(noise.next())) * Decay(t, 0.09);
        b[i] = SoftClip(0.6 * tone + 1.1 * hiss, 1.4) * Attack(t, 0.001);
    }
    FadeOut(b, 600);
    Normalize(b, 1.0);
    return One("snare", ToSample8(b, "snare"), TuneForRate(rate), 44, 124);
}

xm::Instrument Clap() {
    const double rate = kRate33k;
    Buffer b(static_cast<std::size_t>(Frames(0.3, rate)));
    Noise noise(0xc1a9u);
    StateVariable band(1250.0, 1.3, rate);
    OnePole air(5000.0, rate);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        // Three hands a little apart, then the room.
        double env = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double start = 0.011 * k;
            if (t >= start) env += Decay(t - start, 0.0045);
        }
        if (t >= 0.033) env += 0.75 * Decay(t - 0.033, 0.085);
        const double n = noise.next();
        band.step(n);
        b[i] = (band.band + 0.25 * air.highpass(n)) * env;
    }
    FadeOut(b, 600);
    Normalize(b, 1.0);
    return One("clap", ToSample8(b, "clap"), TuneForRate(rate), 58, 132);
}

Buffer Hat(double seconds, double tau, std::uint32_t seed) {
    const double rate = kRate33k;
    Buffer b(static_cast<std::size_t>(Frames(seconds, rate)));
    Noise noise(seed);
    OnePole hp1(6500.0, rate), hp2(6500.0, rate);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        const double raw = 0.7 * Metal(t, 2.1) + 0.5 * noise.next();
        b[i] = hp2.highpass(hp1.highpass(raw)) * Decay(t, tau) * Attack(t, 0.0005);
    }
    FadeOut(b, 200);
    Normalize(b, 1.0);
    return b;
}

xm::Instrument ClosedHat() {
    return One("hat", ToSample8(Hat(0.07, 0.018, 0x4a7u), "closed hat"), TuneForRate(kRate33k), 36, 84);
}

xm::Instrument OpenHat() {
    return One("open hat", ToSample8(Hat(0.34, 0.13, 0x0e4au), "open hat"), TuneForRate(kRate33k), 32, 172);
}

// A cymbal whose sample holds the strike and a steady wash; the instrument's
// volume envelope shapes the long decay over a ping-pong loop of the wash.
Buffer Cymbal(double seconds, double strikeTau, double scale, std::uint32_t seed) {
    const double rate = kRate33k;
    Buffer b(static_cast<std::size_t>(Frames(seconds, rate)));
    Noise noise(seed);
    OnePole hp1(3200.0, rate), hp2(3200.0, rate), lp(12000.0, rate);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        const double raw = 0.55 * Metal(t, scale) + 0.6 * noise.next();
        const double env = (0.4 + 0.6 * Decay(t, strikeTau)) * Attack(t, 0.001);
        b[i] = lp.lowpass(hp2.highpass(hp1.highpass(raw))) * env;
    }
    Normalize(b, 1.0);
    return b;
}

xm::Instrument Crash() {
    xm::Sample s = ToSample8(Cymbal(0.62, 0.1, 3.3, 0xc4a5u), "crash");
    LoopPingPong(s, static_cast<std::size_t>(Frames(0.36, kRate33k)));
    xm::Instrument ins = One("crash", std::move(s), TuneForRate(kRate33k), 38, 150);
    ins.volumeEnvelope = Env({{0, 64}, {20, 46}, {80, 22}, {190, 0}}, EnvOn);
    ins.fadeout = 400;
    return ins;
}

// Instrument 62: a bright splash whose hit the scroller's burst follows.
xm::Instrument Splash() {
    const double rate = kRate33k;
    Buffer b = Cymbal(0.5, 0.06, 4.4, 0x5b1au);
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        phase += 2.0 * kPi * Glide(t, 3400.0, 1500.0, 0.03) / rate;
        b[i] += 0.35 * std::sin(phase) * Decay(t, 0.045);
    }
    Normalize(b, 1.0);
    xm::Sample s = ToSample8(b, "splash");
    LoopPingPong(s, static_cast<std::size_t>(Frames(0.3, rate)));
    xm::Instrument ins = One("splash", std::move(s), TuneForRate(rate), 34, 164);
    ins.volumeEnvelope = Env({{0, 64}, {10, 40}, {40, 16}, {90, 0}}, EnvOn);
    return ins;
}

// Instrument 19: the impact that makes the hair bounce.
xm::Instrument Impact() {
    const double rate = kRate16k;
    Buffer b(static_cast<std::size_t>(Frames(1.3, rate)));
    Noise noise(0x19u);
    OnePole lp(7000.0, rate);
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = Seconds(static_cast<int>(i), rate);
        phase += 2.0 * kPi * Glide(t, 120.0, 31.0, 0.16) / rate;
        const double boom = std::sin(phase) * Decay(t, 0.5);
        lp.setCutoff(Glide(t, 7000.0, 180.0, 0.11), rate);
        const double debris = lp.lowpass(noise.next()) * Decay(t, 0.33);
        b[i] = SoftClip(boom + 0.8 * debris, 1.6) * Attack(t, 0.001);
    }
    FadeOut(b, 2000);
    Normalize(b, 1.0);
    // 16-bit: the long quiet tail would be grainy in 8 bits.
    return One("impact", ToSample16(b, "impact"), TuneForRate(rate), 60, 128);
}

// Band-passed noise on a seamless loop; played with portamento up it rises.
xm::Instrument Riser() {
    const double rate = kRate33k;
    const int loop = Frames(0.3, rate);
    const int overlap = Frames(0.05, rate);
    Buffer raw(static_cast<std::size_t>(loop + overlap));
    Noise noise(0x7153u);
    StateVariable band(2200.0, 1.8, rate);
    for (double& v : raw) {
        band.step(noise.next());
        v = band.band;
    }
    // Cross-fade the overshoot into the head, so the loop seam is continuous.
    Buffer b(raw.begin(), raw.begin() + loop);
    for (int i = 0; i < overlap; ++i) {
        const double w = static_cast<double>(i) / static_cast<double>(overlap);
        b[static_cast<std::size_t>(i)] = w * raw[static_cast<std::size_t>(i)] +
                                         (1.0 - w) * raw[static_cast<std::size_t>(loop + i)];
    }
    Normalize(b, 1.0);
    xm::Sample s = ToSample8(b, "riser");
    LoopForward(s, 0);
    xm::Instrument ins = One("riser", std::move(s), TuneForRate(rate), 24, 128);
    ins.panningEnvelope = Env({{0, 32}, {12, 52}, {36, 12}, {48, 32}}, EnvOn | EnvLoop, 0, 0, 3);
    ins.fadeout = 1200;
    return ins;
}

// ---- tonal ------------------------------------------------------------

// Instrument 2: the rolling bass. A saw whose brightness closes over its
// first cycles, then one dark cycle loops.
xm::Instrument Bass() {
    constexpr int kPeriod = 256;
    constexpr int kCycles = 24;
    Buffer b;
    for (int k = 0; k <= kCycles; ++k) {
        std::vector<double> h = SawHarmonics(90, 3.0 + 30.0 * Decay(k, 3.5));
        h[0] += 0.45;  // body under the saw
        const Buffer cycle = Cycles(h, kPeriod, kPeriod);
        b.insert(b.end(), cycle.begin(), cycle.end());
    }
    Normalize(b, 0.95);
    xm::Sample s = ToSample16(b, "bass");
    LoopForward(s, static_cast<std::size_t>(kCycles) * kPeriod);
    xm::Instrument ins = One("bass", std::move(s), TuneForPeriod(kPeriod, -36), 52, 128);
    ins.volumeEnvelope = Env({{0, 64}, {6, 50}, {18, 40}, {48, 30}}, EnvOn);
    return ins;
}

// Instrument 3: the held bass. Half a cycle of a soft square, played as a
// ping-pong loop so the whole period is twice the loop.
xm::Instrument HeldBass() {
    constexpr int kHalf = 128;
    std::vector<double> h(48, 0.0);
    for (int k = 1; k <= 48; ++k) {
        const double lp = 1.0 / (1.0 + std::pow(static_cast<double>(k) / 9.0, 2.0));
        if (k % 2) {
            h[static_cast<std::size_t>(k - 1)] = ((k / 2) % 2 ? -1.0 : 1.0) / k * lp;
        } else {
            h[static_cast<std::size_t>(k - 1)] = 0.22 / k * lp;
        }
    }
    Buffer b = CosineHalfCycle(h, kHalf);
    Normalize(b, 0.9);
    xm::Sample s = ToSample16(b, "held bass");
    LoopPingPong(s, 0);
    xm::Instrument ins = One("held bass", std::move(s), TuneForPeriod(2 * kHalf, -36), 54, 128);
    ins.volumeEnvelope = Env({{0, 64}, {6, 56}, {14, 52}, {40, 26}}, EnvOn | EnvSustain, 2);
    ins.fadeout = 1600;
    ins.vibratoType = 0;
    ins.vibratoSweep = 60;
    ins.vibratoDepth = 3;
    ins.vibratoRate = 6;
    return ins;
}

// A chord whose three notes, each three slightly detuned saws, all repeat a
// whole number of times over the loop: the detune beats once per loop.
Buffer Chord(const int (&cycles)[3], int frames) {
    Buffer b(static_cast<std::size_t>(frames), 0.0);
    const double n = static_cast<double>(frames);
    double phase = 0.3;
    for (int c : cycles) {
        for (int d = -1; d <= 1; ++d) {
            const double voice = static_cast<double>(c + d);
            AddVoice(b, voice, SawHarmonics(HarmonicLimit(voice, n), 4.0), d == 0 ? 0.8 : 0.6, phase);
            phase += 1.37;
        }
    }
    AddVoice(b, cycles[0] / 2.0, {1.0}, 0.9, 0.0);  // root an octave down
    Normalize(b, 0.9);
    return b;
}

xm::Instrument Pad(const char* name, const int (&cycles)[3]) {
    constexpr int kPeriod = 32;
    const int frames = cycles[0] * kPeriod;
    xm::Sample s = ToSample16(Chord(cycles, frames), name);
    LoopForward(s, 0);
    xm::Instrument ins = One(name, std::move(s), TuneForPeriod(kPeriod, -12), 56, 128);
    // Swell, then breathe: the loop runs from 48 to 56 and back for as long as the note lasts.
    ins.volumeEnvelope = Env({{0, 12}, {20, 64}, {70, 48}, {130, 56}, {190, 48}}, EnvOn | EnvLoop, 0, 2, 4);
    ins.panningEnvelope = Env({{0, 32}, {70, 46}, {210, 18}, {280, 32}}, EnvOn | EnvLoop, 0, 0, 3);
    ins.fadeout = 220;
    ins.vibratoDepth = 2;
    ins.vibratoRate = 5;
    return ins;
}

// Just intonation: minor 10:12:15, major 4:5:6.
xm::Instrument PadMinor() {
    static const int kCycles[3] = {220, 264, 330};
    return Pad("pad minor", kCycles);
}

xm::Instrument PadMajor() {
    static const int kCycles[3] = {216, 270, 324};
    return Pad("pad major", kCycles);
}

// Two saws and a square, a few cents apart, looping every 150 cycles.
xm::Instrument LeadVoice(const char* name, double brightness, std::uint8_t volume, std::uint8_t panning) {
    constexpr int kPeriod = 32;
    constexpr int kCycles = 150;
    const double frames = kPeriod * kCycles;
    Buffer b(static_cast<std::size_t>(frames), 0.0);
    const int harmonics = HarmonicLimit(kCycles + 1, frames);
    AddVoice(b, kCycles, SawHarmonics(harmonics, brightness), 1.0, 0.0);
    AddVoice(b, kCycles + 1, SawHarmonics(harmonics, brightness), 0.8, 1.1);
    AddVoice(b, kCycles - 1, SquareHarmonics(harmonics, brightness * 0.7), 0.6, 2.3);
    Normalize(b, 0.9);
    xm::Sample s = ToSample16(b, name);
    LoopForward(s, 0);
    xm::Instrument ins = One(name, std::move(s), TuneForPeriod(kPeriod, 0), volume, panning);
    ins.volumeEnvelope = Env({{0, 0}, {2, 64}, {14, 52}, {30, 0}}, EnvOn | EnvSustain, 2);
    ins.fadeout = 900;
    ins.vibratoType = 0;
    ins.vibratoSweep = 36;
    ins.vibratoDepth = 5;
    ins.vibratoRate = 10;
    return ins;
}

xm::Instrument Lead() { return LeadVoice("lead", 7.0, 56, 118); }

// The lead's echo: darker, and on the other side.
xm::Instrument Echo() { return LeadVoice("echo", 3.0, 56, 178); }

// A plucked square-saw: bright for its first cycles, then one soft cycle loops.
xm::Instrument Pluck() {
    constexpr int kPeriod = 32;
    constexpr int kCycles = 20;
    Buffer b;
    for (int k = 0; k <= kCycles; ++k) {
        const double brightness = 1.5 + 14.0 * Decay(k, 5.0);
        std::vector<double> h = SawHarmonics(13, brightness);
        const std::vector<double> sq = SquareHarmonics(13, brightness);
        for (std::size_t i = 0; i < h.size(); ++i) h[i] = 0.6 * h[i] + 0.7 * sq[i];
        const Buffer cycle = Cycles(h, kPeriod, kPeriod);
        b.insert(b.end(), cycle.begin(), cycle.end());
    }
    Normalize(b, 0.9);
    xm::Sample s = ToSample16(b, "pluck");
    LoopForward(s, static_cast<std::size_t>(kCycles) * kPeriod);
    xm::Instrument ins = One("pluck", std::move(s), TuneForPeriod(kPeriod, 0), 42, 150);
    ins.volumeEnvelope = Env({{0, 64}, {5, 38}, {18, 16}, {44, 0}}, EnvOn);
    return ins;
}

}  // namespace

const std::vector<Recipe>& Recipes() {
    static const std::vector<Recipe> recipes = {
        {1, "kick", Kick},           {2, "bass", Bass},          {3, "heldbass", HeldBass},
        {4, "snare", Snare},         {5, "clap", Clap},          {6, "hat", ClosedHat},
        {7, "openhat", OpenHat},     {8, "crash", Crash},        {9, "padminor", PadMinor},
        {10, "padmajor", PadMajor},  {11, "lead", Lead},         {12, "pluck", Pluck},
        {13, "riser", Riser},        {14, "echo", Echo},         {19, "impact", Impact},
        {62, "splash", Splash},
    };
    return recipes;
}

int InstrumentSlot(const std::string& name) {
    for (const Recipe& r : Recipes()) {
        if (name == r.name) return r.slot;
    }
    return 0;
}

std::vector<xm::Instrument> BuildInstruments() {
    std::vector<xm::Instrument> instruments(kInstrumentSlots);
    for (const Recipe& r : Recipes()) instruments[static_cast<std::size_t>(r.slot - 1)] = r.build();
    return instruments;
}

}  // namespace songgen
