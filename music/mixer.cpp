// The voice mixer: interpolated, looped, ramped voices summed into a block's
// float area, and the float area converted to 16-bit.
#include <cmath>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

#include "music/audio_output.h"

namespace {

// 0.9998941 x 2^-31 (bit pattern 2FFFF910): maps the fraction, shifted right
// by one, to a weight just below 1.
constexpr float kInterpolationScale = 4.656119934e-10f;
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

// The frame at the position and the next, as one 32-bit word.
inline std::int32_t FramePair(const std::int16_t* data, Fixed position) {
    std::int32_t pair;
    std::memcpy(&pair, data + (position >> 32), sizeof pair);
    return pair;
}

#if defined(__SSE2__) || defined(_M_X64)
// Four frames at a time: the whole frames are read as scalars, the fractions
// advance in 32-bit lanes (their carry goes only into the whole part), and
// every float value is the one the frame-by-frame code computes, to the bit.
struct Quad {
    __m128i fraction;
    __m128i fractionStep;
};

inline Quad QuadStart(Fixed position, Fixed delta) {
    const auto f = static_cast<std::uint32_t>(position);
    const auto d = static_cast<std::uint32_t>(delta);
    return {_mm_setr_epi32(static_cast<int>(f), static_cast<int>(f + d), static_cast<int>(f + 2 * d),
                           static_cast<int>(f + 3 * d)),
            _mm_set1_epi32(static_cast<int>(4 * d))};
}

// Interpolates the four frames from the position on and moves it past them.
inline __m128 Interpolate4(const std::int16_t* data, Fixed* position, Fixed delta, Quad* q) {
    // Each 32-bit read holds the frame and the next, put together in
    // registers: four stores read back as one would wait for the stores.
    const Fixed at = *position;
    const __m128i both = _mm_setr_epi32(FramePair(data, at), FramePair(data, at + delta),
                                        FramePair(data, at + 2 * delta), FramePair(data, at + 3 * delta));
    *position = at + 4 * delta;
    // Multiply-adds of the two 16-bit halves give the frame (1, 0) and the
    // difference to the next (-1, 1); a difference of two 16-bit values is
    // exact as a float, so this is the scalar s1 - s0 to the bit.
    const __m128 s0 = _mm_cvtepi32_ps(_mm_madd_epi16(both, _mm_set1_epi32(0x00000001)));
    const __m128 d = _mm_cvtepi32_ps(_mm_madd_epi16(both, _mm_set1_epi32(0x0001FFFF)));
    const __m128 w =
        _mm_mul_ps(_mm_cvtepi32_ps(_mm_srli_epi32(q->fraction, 1)), _mm_set1_ps(kInterpolationScale));
    q->fraction = _mm_add_epi32(q->fraction, q->fractionStep);
    return _mm_add_ps(s0, _mm_mul_ps(d, w));
}

// out[0..7] += the four values, each times the left and the right gain.
inline void Add4(float* out, __m128 v, __m128 left, __m128 right) {
    const __m128 l = _mm_mul_ps(v, left);
    const __m128 r = _mm_mul_ps(v, right);
    _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), _mm_unpacklo_ps(l, r)));
    _mm_storeu_ps(out + 4, _mm_add_ps(_mm_loadu_ps(out + 4), _mm_unpackhi_ps(l, r)));
}
#endif

#if defined(__GNUC__) && defined(__x86_64__)
// Eight frames at a time where the processor has AVX2 (the build assumes
// only SSE2): the same operations on wider registers, so the same bits.
bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

__attribute__((target("avx2"))) std::int32_t MixConstant8(const std::int16_t* data, Fixed* position, Fixed delta,
                                                          float* out, std::int32_t count, float gl, float gr) {
    Fixed at = *position;
    const auto f = static_cast<std::uint32_t>(at);
    const auto d = static_cast<std::uint32_t>(delta);
    __m256i fraction = _mm256_setr_epi32(static_cast<int>(f), static_cast<int>(f + d), static_cast<int>(f + 2 * d),
                                         static_cast<int>(f + 3 * d), static_cast<int>(f + 4 * d),
                                         static_cast<int>(f + 5 * d), static_cast<int>(f + 6 * d),
                                         static_cast<int>(f + 7 * d));
    const __m256i fractionStep = _mm256_set1_epi32(static_cast<int>(8 * d));
    const __m256 left = _mm256_set1_ps(gl);
    const __m256 right = _mm256_set1_ps(gr);
    std::int32_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m256i both = _mm256_setr_epi32(
            FramePair(data, at), FramePair(data, at + delta), FramePair(data, at + 2 * delta),
            FramePair(data, at + 3 * delta), FramePair(data, at + 4 * delta), FramePair(data, at + 5 * delta),
            FramePair(data, at + 6 * delta), FramePair(data, at + 7 * delta));
        at += 8 * delta;
        const __m256 s0 = _mm256_cvtepi32_ps(_mm256_madd_epi16(both, _mm256_set1_epi32(0x00000001)));
        const __m256 dd = _mm256_cvtepi32_ps(_mm256_madd_epi16(both, _mm256_set1_epi32(0x0001FFFF)));
        const __m256 w =
            _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_srli_epi32(fraction, 1)), _mm256_set1_ps(kInterpolationScale));
        fraction = _mm256_add_epi32(fraction, fractionStep);
        const __m256 v = _mm256_add_ps(s0, _mm256_mul_ps(dd, w));
        const __m256 l = _mm256_mul_ps(v, left);
        const __m256 r = _mm256_mul_ps(v, right);
        const __m256 low = _mm256_unpacklo_ps(l, r);   // frames 0, 1 | 4, 5
        const __m256 high = _mm256_unpackhi_ps(l, r);  // frames 2, 3 | 6, 7
        _mm256_storeu_ps(out, _mm256_add_ps(_mm256_loadu_ps(out), _mm256_permute2f128_ps(low, high, 0x20)));
        _mm256_storeu_ps(out + 8, _mm256_add_ps(_mm256_loadu_ps(out + 8), _mm256_permute2f128_ps(low, high, 0x31)));
        out += 16;
    }
    *position = at;
    return k;
}
#endif

void MixConstant(Pass& p, float* out, std::int32_t count, float gl, float gr) {
    const Fixed delta = Delta(p);
    Fixed position = p.position;
    std::int32_t k = 0;
#if defined(__GNUC__) && defined(__x86_64__)
    if (count >= 8 && HasAvx2()) {
        k = MixConstant8(p.data, &position, delta, out, count, gl, gr);
        out += std::size_t{2} * static_cast<std::size_t>(k);
    }
#endif
#if defined(__SSE2__) || defined(_M_X64)
    if (count - k >= 4) {
        Quad q = QuadStart(position, delta);
        const __m128 left = _mm_set1_ps(gl);
        const __m128 right = _mm_set1_ps(gr);
        for (; k + 4 <= count; k += 4) {
            Add4(out, Interpolate4(p.data, &position, delta, &q), left, right);
            out += 8;
        }
    }
#endif
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
    std::int32_t k = 0;
#if defined(__SSE2__) || defined(_M_X64)
    if (count >= 4) {
        Quad q = QuadStart(position, delta);
        for (; k + 4 <= count; k += 4) {
            float lefts[4];
            float rights[4];
            for (int j = 0; j < 4; ++j) {
                lefts[j] = left;
                rights[j] = right;
                left += dl;
                right += dr;
            }
            Add4(out, Interpolate4(p.data, &position, delta, &q), _mm_loadu_ps(lefts), _mm_loadu_ps(rights));
            out += 8;
        }
    }
#endif
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

}  // namespace

void MixVoice(Voice* voice, float* area, std::int32_t frameCount) {
    const Sample* sample = voice->sample;
    if (!sample || frameCount <= 0) return;
    const AudioOutput& a = audioOutput;
    const std::int32_t rampFrames = a.rampFrames > 0 ? a.rampFrames : 1;
    const float inverseRampFrames = a.rampFrames > 0 ? a.inverseRampFrames : 1.0f;

    Pass p{sample->data, (Fixed{voice->position} << 32) | voice->positionFraction,
           (Fixed{voice->stepInteger} << 32) | voice->stepFraction, voice->direction == 2};
    if (voice->stepInteger > kMaxStepFrames) p.step = Fixed{kMaxStepFrames} << 32;
    const Fixed loopStart = Fixed{sample->loopStart} << 32;
    const std::uint64_t endFrame = std::uint64_t{sample->loopStart} + sample->loopLength;
    const Fixed loopEnd = (endFrame > UINT32_MAX ? Fixed{UINT32_MAX} : endFrame) << 32;
    const Fixed loopLength = loopEnd - loopStart;

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
            frames = p.position >= loopEnd ? 0 : FramesTo(loopEnd - p.position, p.step);
        } else {
            frames = p.position < loopStart || p.position >= loopEnd
                         ? 0
                         : FramesTo(p.position - loopStart + 1, p.step);
        }
        if (frames <= static_cast<std::uint64_t>(count)) {
            count = static_cast<std::int32_t>(frames);
            boundary = true;
        }

        if (!(voice->rampFramesLeft > 0 && voice->leftGain == voice->seenLeftGain &&
              voice->rightGain == voice->seenRightGain)) {
            voice->seenLeftGain = voice->leftGain;
            voice->seenRightGain = voice->rightGain;
            const std::int32_t wholeLeft = voice->rampLeft / 256;
            const std::int32_t wholeRight = voice->rampRight / 256;
            voice->rampDeltaLeft = voice->leftGain == wholeLeft ? 0.0f
                                   : static_cast<float>(voice->leftGain - wholeLeft) * kGainScale * inverseRampFrames;
            voice->rampDeltaRight = voice->rightGain == wholeRight
                                        ? 0.0f
                                        : static_cast<float>(voice->rightGain - wholeRight) * kGainScale *
                                              inverseRampFrames;
            voice->rampFramesLeft =
                voice->rampDeltaLeft != 0.0f || voice->rampDeltaRight != 0.0f ? rampFrames : 0;
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
        } else {
            MixConstant(p, out, count, static_cast<float>(voice->leftGain) * kGainScale,
                        static_cast<float>(voice->rightGain) * kGainScale);
        }
        out += std::size_t{2} * static_cast<std::size_t>(count);
        remaining -= count;

        if (!boundary) continue;
        if ((sample->loopType & LoopForward) && loopLength != 0) {
            WrapForward(p, loopStart, loopLength);
        } else if ((sample->loopType & LoopPingPong) && loopLength != 0) {
            FoldPingPong(p, loopStart, loopLength);
        } else {
            idle = true;
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
    // Most voices of a song are idle at any time: no call for them.
    for (int i = 0; i < kMixedVoices; ++i) {
        if (audioOutput.voices[i].sample) MixVoice(&audioOutput.voices[i], area, frameCount);
    }
}

void ConvertBlock(std::int16_t* output, const float* area, std::int32_t frameCount) {
    const std::int32_t values = frameCount * 2;
    std::int32_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    // Clamped first, then rounded in the current (nearest-even) mode as lrint
    // rounds: the same value for every finite input.
    const __m128 highest = _mm_set1_ps(32767.0f);
    const __m128 lowest = _mm_set1_ps(-32768.0f);
    for (; i + 8 <= values; i += 8) {
        const __m128 a = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(area + i), lowest), highest);
        const __m128 b = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(area + i + 4), lowest), highest);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(output + i),
                         _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
    }
#endif
    for (; i < values; ++i) {
        const float x = area[i];
        // Clipped before rounding, which gives the same result for every
        // value and keeps the rounding within the integer's range.
        if (x >= 32767.0f) output[i] = 32767;
        else if (x <= -32768.0f) output[i] = -32768;
        else output[i] = static_cast<std::int16_t>(std::lrint(x));
    }
}
