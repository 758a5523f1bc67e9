// The voice mixer: interpolated, looped, ramped voices summed into a block's
// float area, and the float area converted to 16-bit.
#include "music/mix/mixer.h"

#include <cmath>

#include "music/mix/mixer_kernels.h"
#include "music/output/audio_output.h"

namespace {

constexpr float kGainScale = 1.0f / 255.0f;
constexpr float kRampUnit = 1.0f / 256.0f;

using Fixed = std::uint64_t;  // 32.32 sample position or step

struct Pass {
    const std::int16_t* data;
    Fixed position;
    Fixed step;
    bool backward;
};

// What the position moves by per frame: going backward is adding the step's
// two's complement, so one loop serves both directions.
inline Fixed Delta(const Pass& p) { return p.backward ? Fixed{0} - p.step : p.step; }

inline float Interpolate(const std::int16_t* data, Fixed position) {
    const auto frame = static_cast<std::uint32_t>(position >> 32);
    const auto fraction = static_cast<std::uint32_t>(position);
    const float s0 = data[frame];
    const float s1 = data[frame + 1];
    const float w = static_cast<float>(fraction >> 1) * kInterpolationScale;
    return s0 + (s1 - s0) * w;
}

void MixConstant(Pass& p, float* out, std::int32_t count, float gl, float gr) {
    const Fixed delta = Delta(p);
    Fixed position = p.position;
    std::int32_t k = MixConstantWide(p.data, &position, delta, out, count, gl, gr);
    out += std::size_t{2} * static_cast<std::size_t>(k);
    for (; k < count; ++k) {
        const float v = Interpolate(p.data, position);
        position += delta;
        out[0] += v * gl;
        out[1] += v * gr;
        out += 2;
    }
    p.position = position;
}

// The gains step by a float addition each frame, so each frame's gain is the
// running sum, never a product of the frame number.
void MixRamped(Pass& p, float* out, std::int32_t count, float* gl, float* gr, float dl, float dr) {
    const Fixed delta = Delta(p);
    Fixed position = p.position;
    float left = *gl;
    float right = *gr;
    std::int32_t k = MixRampedWide(p.data, &position, delta, out, count, &left, &right, dl, dr);
    out += std::size_t{2} * static_cast<std::size_t>(k);
    for (; k < count; ++k) {
        const float v = Interpolate(p.data, position);
        position += delta;
        out[0] += v * left;
        out[1] += v * right;
        out += 2;
        left += dl;
        right += dr;
    }
    p.position = position;
    *gl = left;
    *gr = right;
}

// A voice at gain 0 adds nothing; only its position moves.
inline void Skip(Pass& p, std::int32_t count) { p.position += Delta(p) * static_cast<Fixed>(count); }

// Output frames until the position crosses the boundary: exact in 64 bits,
// so that no pass stops short of a boundary it is within 2^-24 frames of
// (which would repeat for ever) or runs a frame past a sample's end.
std::uint64_t FramesTo(Fixed distance, Fixed step) {
    if (step == 0) return UINT64_MAX;
    return distance / step + (distance % step != 0 ? 1 : 0);
}

// The same where the boundary lies within count frames, and more than count
// otherwise: most passes end long before a boundary, and a product tells
// them so where a division would take far longer.
std::uint64_t FramesWithin(Fixed distance, Fixed step, std::int32_t count) {
    constexpr std::int32_t kProductSafe = 1 << 21;  // count x step stays below 2^63
    if (count < kProductSafe && distance > step * static_cast<Fixed>(count)) return UINT64_MAX;
    return FramesTo(distance, step);
}

// value = quotient * period + remainder with 0 <= remainder < period, for a
// signed value: the remainder and whether the quotient is odd.
struct FloorDivision {
    Fixed remainder;
    bool odd;
};

FloorDivision DivideFloor(std::int64_t value, Fixed period) {
    if (value >= 0) {
        const Fixed v = static_cast<Fixed>(value);
        return {v % period, ((v / period) & 1) != 0};
    }
    const Fixed magnitude = Fixed{0} - static_cast<Fixed>(value);
    const Fixed q = magnitude / period;
    const Fixed r = magnitude % period;
    if (r == 0) return {0, (q & 1) != 0};
    return {period - r, ((q + 1) & 1) != 0};
}

// Folds a position that left a forward loop back into it, keeping the
// fraction: the same as taking the loop length off until it is inside.
void WrapForward(Pass& p, Fixed start, Fixed length) {
    const auto offset = static_cast<std::int64_t>(p.position - start);
    p.position = start + DivideFloor(offset, length).remainder;
    p.backward = false;
}

// Mirrors a position that left a ping-pong loop at whichever end it crossed,
// as often as needed, flipping the direction at each mirror. Going forward
// and backward are one motion along a path twice the loop long, on which the
// backward position x lies at 2 * length - 1 - x; an odd number of loop
// lengths along that path means going backward.
void FoldPingPong(Pass& p, Fixed start, Fixed length) {
    const auto offset = static_cast<std::int64_t>(p.position - start);
    // 2 * length - 1 - offset is -1 - offset plus two loop lengths, which
    // changes neither the remainder nor whether the quotient is odd.
    const FloorDivision d = DivideFloor(p.backward ? -1 - offset : offset, length);
    p.backward = d.odd;
    p.position = start + (d.odd ? length - 1 - d.remainder : d.remainder);
}

// What an ended voice leaves falls by this much each output frame.
constexpr float kHeldFall = 255.0f / 256.0f;
// Below this the held outputs are dropped: far under what rounds to 1.
constexpr float kHeldSilent = 1.0f / 64.0f;

// Adds the held outputs to count frames, *left and *right at the first and
// falling after each, and leaves them as they stand at the frame after.
void AddHeld(float* out, std::int32_t count, float* left, float* right) {
    float l = *left;
    float r = *right;
    for (std::int32_t k = 0; k < count; ++k) {
        out[0] += l;
        out[1] += r;
        out += 2;
        l *= kHeldFall;
        r *= kHeldFall;
    }
    *left = l;
    *right = r;
}

}  // namespace

void MixVoice(Voice* voice, float* area, std::int32_t frameCount) {
    const Sample* sample = voice->sample;
    if (!sample || frameCount <= 0) return;
    const AudioOutput& a = audioOutput;
    const std::int32_t rampFrames = a.rampFrames > 0 ? a.rampFrames : 1;
    const float inverseRampFrames = a.rampFrames > 0 ? a.inverseRampFrames : 1.0f;
    const std::int32_t rampDownFrames = a.rampDownFrames > 0 ? a.rampDownFrames : rampFrames;
    const float inverseRampDownFrames = a.rampDownFrames > 0 ? a.inverseRampDownFrames : inverseRampFrames;

    Pass p{sample->data, (Fixed{voice->position} << 32) | voice->positionFraction,
           (Fixed{voice->stepInteger} << 32) | voice->stepFraction, voice->direction == 2};
    const std::uint32_t mostFrames = voice->leapingSteps ? kMaxLeapingStepFrames : kMaxStepFrames;
    if (voice->stepInteger > mostFrames) p.step = Fixed{mostFrames} << 32;
    const Fixed loopStart = Fixed{sample->loopStart} << 32;
    const std::uint64_t endFrame = std::uint64_t{sample->loopStart} + sample->loopLength;
    const Fixed loopEnd = (endFrame > UINT32_MAX ? Fixed{UINT32_MAX} : endFrame) << 32;
    const Fixed loopLength = loopEnd - loopStart;

    // The gains of the last frame mixed, for a voice that ends: as the last
    // call left them until this one mixes a frame.
    float lastLeft = static_cast<float>(voice->seenLeftGain) * kGainScale;
    float lastRight = static_cast<float>(voice->seenRightGain) * kGainScale;
    if (voice->rampFramesLeft > 0) {
        lastLeft = static_cast<float>(voice->rampLeft) * kRampUnit * kGainScale - voice->rampDeltaLeft;
        lastRight = static_cast<float>(voice->rampRight) * kRampUnit * kGainScale - voice->rampDeltaRight;
    }

    std::int32_t remaining = frameCount;
    float* out = area;
    bool idle = !p.data;
    while (remaining > 0 && !idle) {
        std::int32_t count = remaining;
        bool boundary = false;
        // A position already outside what the current direction may cross
        // counts as on the boundary, so no frame is read from outside.
        std::uint64_t frames;
        if (!p.backward) {
            frames = p.position >= loopEnd ? 0 : FramesWithin(loopEnd - p.position, p.step, count);
        } else {
            frames = p.position < loopStart || p.position >= loopEnd
                         ? 0
                         : FramesWithin(p.position - loopStart + 1, p.step, count);
        }
        if (frames <= static_cast<std::uint64_t>(count)) {
            count = static_cast<std::int32_t>(frames);
            boundary = true;
        }

        if (!(voice->rampFramesLeft > 0 && voice->leftGain == voice->seenLeftGain &&
              voice->rightGain == voice->seenRightGain)) {
            voice->seenLeftGain = voice->leftGain;
            voice->seenRightGain = voice->rightGain;
            // A falling volume takes the ramp down, both sides alike.
            const bool falling = voice->volume < voice->seenVolume;
            voice->seenVolume = voice->volume;
            const std::int32_t frames = falling ? rampDownFrames : rampFrames;
            const float inverse = falling ? inverseRampDownFrames : inverseRampFrames;
            const std::int32_t wholeLeft = voice->rampLeft / 256;
            const std::int32_t wholeRight = voice->rampRight / 256;
            voice->rampDeltaLeft = voice->leftGain == wholeLeft ? 0.0f
                                   : static_cast<float>(voice->leftGain - wholeLeft) * kGainScale * inverse;
            voice->rampDeltaRight = voice->rightGain == wholeRight
                                        ? 0.0f
                                        : static_cast<float>(voice->rightGain - wholeRight) * kGainScale * inverse;
            voice->rampFramesLeft = voice->rampDeltaLeft != 0.0f || voice->rampDeltaRight != 0.0f ? frames : 0;
        }
        const bool ramp = voice->rampFramesLeft > 0;
        if (ramp && count > voice->rampFramesLeft) {
            count = voice->rampFramesLeft;
            boundary = false;
        }

        if (ramp) {
            float gl = static_cast<float>(voice->rampLeft) * kRampUnit * kGainScale;
            float gr = static_cast<float>(voice->rampRight) * kRampUnit * kGainScale;
            MixRamped(p, out, count, &gl, &gr, voice->rampDeltaLeft, voice->rampDeltaRight);
            if (count > 0) {
                lastLeft = gl - voice->rampDeltaLeft;
                lastRight = gr - voice->rampDeltaRight;
            }
            voice->rampLeft = static_cast<std::int32_t>(std::lrint(gl * 255.0f * 256.0f));
            voice->rampRight = static_cast<std::int32_t>(std::lrint(gr * 255.0f * 256.0f));
            voice->rampFramesLeft -= count;
            if (voice->rampFramesLeft == 0) {
                voice->rampDeltaLeft = 0.0f;
                voice->rampDeltaRight = 0.0f;
                voice->rampLeft = voice->leftGain * 256;
                voice->rampRight = voice->rightGain * 256;
            }
        } else if (voice->leftGain == 0 && voice->rightGain == 0) {
            Skip(p, count);
            if (count > 0) lastLeft = lastRight = 0.0f;
        } else {
            MixConstant(p, out, count, static_cast<float>(voice->leftGain) * kGainScale,
                        static_cast<float>(voice->rightGain) * kGainScale);
            if (count > 0) {
                lastLeft = static_cast<float>(voice->leftGain) * kGainScale;
                lastRight = static_cast<float>(voice->rightGain) * kGainScale;
            }
        }
        out += std::size_t{2} * static_cast<std::size_t>(count);
        remaining -= count;

        if (!boundary) continue;
        if ((sample->loopType & LoopForward) && loopLength != 0) {
            if (voice->leapingSteps && p.step > loopLength && p.position - loopEnd >= loopLength) {
                idle = true;
                continue;
            }
            WrapForward(p, loopStart, loopLength);
        } else if ((sample->loopType & LoopPingPong) && loopLength != 0) {
            FoldPingPong(p, loopStart, loopLength);
        } else {
            idle = true;
        }
    }
    if (idle && audioOutput.voiceEndsHeld && p.data) {
        // The voice holds its last output: the frame one step back from
        // where it ended, which lies within the sample (its spare frame past
        // the end at most).
        const Fixed last = p.position - Delta(p);
        if ((last >> 32) < endFrame && (lastLeft != 0.0f || lastRight != 0.0f)) {
            const float v = Interpolate(p.data, last);
            float left = v * lastLeft * kHeldFall;
            float right = v * lastRight * kHeldFall;
            AddHeld(out, remaining, &left, &right);
            audioOutput.heldLeft += left;
            audioOutput.heldRight += right;
        }
    }
    if (idle) {
        voice->sample = nullptr;
        voice->position = 0;
        voice->positionFraction = 0;
        return;
    }
    voice->position = static_cast<std::uint32_t>(p.position >> 32);
    voice->positionFraction = static_cast<std::uint32_t>(p.position);
    voice->direction = p.backward ? 2 : 1;
}

void MixVoices(float* area, std::int32_t frameCount) {
    AudioOutput& a = audioOutput;
    if (a.heldLeft != 0.0f || a.heldRight != 0.0f) {
        AddHeld(area, frameCount, &a.heldLeft, &a.heldRight);
        if (std::fabs(a.heldLeft) < kHeldSilent && std::fabs(a.heldRight) < kHeldSilent) {
            a.heldLeft = 0.0f;
            a.heldRight = 0.0f;
        }
    }
    // Most voices of a song are idle at any time: no call for them.
    for (int i = 0; i < kMixedVoices; ++i) {
        if (audioOutput.voices[i].sample) MixVoice(&audioOutput.voices[i], area, frameCount);
    }
}

void ConvertBlock(std::int16_t* output, const float* area, std::int32_t frameCount) {
    const std::int32_t values = frameCount * 2;
    std::int32_t i = 2 * ConvertWide(output, area, frameCount);
    for (; i < values; ++i) {
        const float x = area[i];
        // Clipped before rounding, which gives the same result for every
        // value and keeps the rounding within the integer's range.
        if (x >= 32767.0f) output[i] = 32767;
        else if (x <= -32768.0f) output[i] = -32768;
        else output[i] = static_cast<std::int16_t>(std::lrint(x));
    }
}
