#include "tools/songgen/synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

double Noise::next() {
    // xorshift32: the same stream on every run and every compiler.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
}

OnePole::OnePole(double cutoff, double rate) { setCutoff(cutoff, rate); }

void OnePole::setCutoff(double cutoff, double rate) { a_ = 1.0 - std::exp(-2.0 * kPi * cutoff / rate); }

double OnePole::lowpass(double x) {
    z_ += a_ * (x - z_);
    return z_;
}

double OnePole::highpass(double x) { return x - lowpass(x); }

StateVariable::StateVariable(double cutoff, double q, double rate) : damp_(1.0 / q) { setCutoff(cutoff, rate); }

void StateVariable::setCutoff(double cutoff, double rate) {
    // Kept below a sixth of the rate, where the Chamberlin form stays stable.
    f_ = 2.0 * std::sin(kPi * std::min(cutoff, rate / 6.0) / rate);
}

void StateVariable::step(double x) {
    low += f_ * band;
    high = x - low - damp_ * band;
    band += f_ * high;
}

double Decay(double t, double tau) { return std::exp(-t / tau); }

double Attack(double t, double length) { return t >= length ? 1.0 : t / length; }

double Glide(double t, double from, double to, double tau) { return to + (from - to) * std::exp(-t / tau); }

double SoftClip(double x, double drive) { return std::tanh(x * drive) / std::tanh(drive); }

Buffer Cycles(const std::vector<double>& harmonics, double framesPerCycle, int frames) {
    Buffer out(static_cast<std::size_t>(frames), 0.0);
    for (int i = 0; i < frames; ++i) {
        const double phase = 2.0 * kPi * static_cast<double>(i) / framesPerCycle;
        double v = 0.0;
        for (std::size_t h = 0; h < harmonics.size(); ++h) {
            if (harmonics[h] != 0.0) v += harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
        }
        out[static_cast<std::size_t>(i)] = v;
    }
    return out;
}

Buffer CosineHalfCycle(const std::vector<double>& harmonics, int halfLength) {
    // Sampled at half-frame offsets so that the mirror at either end of a
    // ping-pong loop lands exactly on the waveform's axis of symmetry.
    Buffer out(static_cast<std::size_t>(halfLength), 0.0);
    for (int i = 0; i < halfLength; ++i) {
        const double phase = kPi * (static_cast<double>(i) + 0.5) / static_cast<double>(halfLength);
        double v = 0.0;
        for (std::size_t h = 0; h < harmonics.size(); ++h) {
            if (harmonics[h] != 0.0) v += harmonics[h] * std::cos(phase * static_cast<double>(h + 1));
        }
        out[static_cast<std::size_t>(i)] = v;
    }
    return out;
}

std::vector<double> SawHarmonics(int count, double brightness) {
    // brightness is the harmonic number where a gentle low-pass sets in.
    std::vector<double> h(static_cast<std::size_t>(count));
    for (int k = 1; k <= count; ++k) {
        const double r = static_cast<double>(k) / brightness;
        h[static_cast<std::size_t>(k - 1)] = (k % 2 ? 1.0 : -1.0) / static_cast<double>(k) / (1.0 + r * r);
    }
    return h;
}

std::vector<double> SquareHarmonics(int count, double brightness) {
    std::vector<double> h(static_cast<std::size_t>(count), 0.0);
    for (int k = 1; k <= count; k += 2) {
        const double r = static_cast<double>(k) / brightness;
        h[static_cast<std::size_t>(k - 1)] = 1.0 / static_cast<double>(k) / (1.0 + r * r);
    }
    return h;
}

void Normalize(Buffer& b, double peak) {
    double m = 0.0;
    for (double v : b) m = std::max(m, std::fabs(v));
    if (m == 0.0) return;
    for (double& v : b) v *= peak / m;
}

void FadeOut(Buffer& b, int frames) {
    const std::size_t n = std::min(b.size(), static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < n; ++i) b[b.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(n);
}

namespace {

// The player's C-4 (note 48 counted from 0) plays at 8363 Hz; a waveform of
// 32 frames per cycle there sounds at 8363 / 32 Hz, a hair below middle C.
constexpr double kC4Rate = 8363.0;
constexpr double kMiddleC = 261.6255653005986;

Tuning Split(double semitones) {
    const double whole = std::floor(semitones + 0.5);
    double fine = std::floor((semitones - whole) * 128.0 + 0.5);
    fine = std::clamp(fine, -128.0, 127.0);
    return Tuning{static_cast<std::int8_t>(whole), static_cast<std::int8_t>(fine)};
}

std::int32_t AmigaPeriod(int k) { return static_cast<std::int32_t>(13.375 * std::pow(2.0, (132.0 - k) / 12.0)); }

}  // namespace

Tuning TuneForPeriod(double periodFrames, int shiftSemitones) {
    return Split(static_cast<double>(shiftSemitones) + 12.0 * std::log2(kMiddleC * periodFrames / kC4Rate));
}

Tuning TuneForRate(double rate) { return Split(12.0 * std::log2(rate / kC4Rate)); }

double PlayedRate(int fileNote, Tuning tuning) {
    const int n = static_cast<std::uint8_t>(fileNote + tuning.relativeNote - 1);
    const int f = tuning.finetune;
    const std::int32_t p0 = AmigaPeriod(n);
    std::int32_t period;
    if (f < 0 && n != 0) {
        period = p0 - ((p0 - AmigaPeriod(n - 1)) * -f) / 128;
    } else {
        period = p0 + ((AmigaPeriod(n + 1) - p0) * f) / 128;
    }
    return static_cast<double>(14317056 / period);
}

xm::Sample ToSample8(const Buffer& b, const char* name) {
    xm::Sample s;
    s.name = name;
    s.sixteenBit = false;
    s.frames.resize(b.size());
    for (std::size_t i = 0; i < b.size(); ++i) {
        s.frames[i] = static_cast<std::int16_t>(std::clamp(std::lround(b[i] * 127.0), -128L, 127L));
    }
    return s;
}

xm::Sample ToSample16(const Buffer& b, const char* name) {
    xm::Sample s;
    s.name = name;
    s.sixteenBit = true;
    s.frames.resize(b.size());
    for (std::size_t i = 0; i < b.size(); ++i) {
        s.frames[i] = static_cast<std::int16_t>(std::clamp(std::lround(b[i] * 32767.0), -32768L, 32767L));
    }
    return s;
}

}  // namespace synth
