#pragma once
// Building blocks for the instrument recipes: oscillators, noise, filters and
// shapes over plain double buffers. Everything is deterministic: noise comes
// from a seeded generator and no state depends on time or addresses.
#include <cstdint>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace synth {

using Buffer = std::vector<double>;

constexpr double kPi = 3.14159265358979323846;

// Rates at which a file note C-4 plays a sample at its own speed with relative
// note 12 and 24 respectively and finetune 0.
constexpr double kRate16k = 16726.0;
constexpr double kRate33k = 33452.0;

class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    double next();  // uniform in [-1, 1)

private:
    std::uint32_t state_;
};

// One-pole filters; cutoff in Hz at the given rate.
class OnePole {
public:
    OnePole(double cutoff, double rate);
    double lowpass(double x);
    double highpass(double x);
    void setCutoff(double cutoff, double rate);

private:
    double a_ = 0.0;
    double z_ = 0.0;
};

// Chamberlin state-variable filter: low, band and high outputs of one step.
class StateVariable {
public:
    StateVariable(double cutoff, double q, double rate);
    void setCutoff(double cutoff, double rate);
    void step(double x);
    double low = 0.0;
    double band = 0.0;
    double high = 0.0;

private:
    double f_ = 0.0;
    double damp_ = 0.0;
};

double Decay(double t, double tau);                 // exp(-t / tau)
double Attack(double t, double length);             // 0..1 linear ramp
double Glide(double t, double from, double to, double tau);  // exponential approach
double SoftClip(double x, double drive);            // tanh drive, unity peak for drive 1

// frames of a periodic waveform, framesPerCycle long (any real number), given
// by its harmonic amplitudes: sine terms, phase 0 at frame 0.
Buffer Cycles(const std::vector<double>& harmonics, double framesPerCycle, int frames);
// Cosine series: even around frame 0, so a ping-pong loop over half a cycle
// plays the whole waveform.
Buffer CosineHalfCycle(const std::vector<double>& harmonics, int halfLength);

std::vector<double> SawHarmonics(int count, double brightness);
std::vector<double> SquareHarmonics(int count, double brightness);

void Normalize(Buffer& b, double peak);
void FadeOut(Buffer& b, int frames);

// Relative note and finetune so that a waveform repeating every periodFrames
// sounds at the true pitch of the played note moved by shiftSemitones.
struct Tuning {
    std::int8_t relativeNote;
    std::int8_t finetune;
};
Tuning TuneForPeriod(double periodFrames, int shiftSemitones);
// Relative note and finetune so that C-4 plays a sample recorded at rate at its own speed.
Tuning TuneForRate(double rate);
// Frequency in Hz the player gives a file note (1..96) with this tuning, on the Amiga table.
double PlayedRate(int fileNote, Tuning tuning);

xm::Sample ToSample8(const Buffer& b, const char* name);
xm::Sample ToSample16(const Buffer& b, const char* name);

}  // namespace synth
