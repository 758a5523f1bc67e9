// The mixer's wide kernels on x86: four frames at a time with SSE2, which
// every build for these processors assumes, and eight with AVX2 where the
// processor has it, chosen when running. The whole frames are read as
// scalars, the fractions advance in 32-bit lanes (their carry goes only into
// the whole part), and every float value is the one the frame-by-frame code
// computes, to the bit.
#include <algorithm>
#include <cmath>
#include <cstring>

#include <emmintrin.h>
#include <immintrin.h>

#include "music/mix/mixer_kernels.h"

namespace {

using Fixed = std::uint64_t;

// The frame at the position and the next, as one 32-bit word.
inline std::int32_t FramePair(const std::int16_t* data, Fixed position) {
    std::int32_t pair;
    std::memcpy(&pair, data + (position >> 32), sizeof pair);
    return pair;
}

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

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// The same operations as four at a time on wider registers, so the same bits:
// out[0..15] += the eight frames from the position on, each times its left
// and right gain, and the position and fractions move past them.
__attribute__((target("avx2"))) inline void Mix8(const std::int16_t* data, Fixed* position, Fixed delta,
                                                 __m256i* fraction, __m256i fractionStep, float* out, __m256 left,
                                                 __m256 right) {
    const Fixed at = *position;
    const __m256i both = _mm256_setr_epi32(FramePair(data, at), FramePair(data, at + delta),
                                           FramePair(data, at + 2 * delta), FramePair(data, at + 3 * delta),
                                           FramePair(data, at + 4 * delta), FramePair(data, at + 5 * delta),
                                           FramePair(data, at + 6 * delta), FramePair(data, at + 7 * delta));
    *position = at + 8 * delta;
    const __m256 s0 = _mm256_cvtepi32_ps(_mm256_madd_epi16(both, _mm256_set1_epi32(0x00000001)));
    const __m256 dd = _mm256_cvtepi32_ps(_mm256_madd_epi16(both, _mm256_set1_epi32(0x0001FFFF)));
    const __m256 w =
        _mm256_mul_ps(_mm256_cvtepi32_ps(_mm256_srli_epi32(*fraction, 1)), _mm256_set1_ps(kInterpolationScale));
    *fraction = _mm256_add_epi32(*fraction, fractionStep);
    const __m256 v = _mm256_add_ps(s0, _mm256_mul_ps(dd, w));
    const __m256 l = _mm256_mul_ps(v, left);
    const __m256 r = _mm256_mul_ps(v, right);
    const __m256 low = _mm256_unpacklo_ps(l, r);   // frames 0, 1 | 4, 5
    const __m256 high = _mm256_unpackhi_ps(l, r);  // frames 2, 3 | 6, 7
    _mm256_storeu_ps(out, _mm256_add_ps(_mm256_loadu_ps(out), _mm256_permute2f128_ps(low, high, 0x20)));
    _mm256_storeu_ps(out + 8, _mm256_add_ps(_mm256_loadu_ps(out + 8), _mm256_permute2f128_ps(low, high, 0x31)));
}

__attribute__((target("avx2"))) inline __m256i Fractions8(Fixed position, Fixed delta) {
    const auto f = static_cast<std::uint32_t>(position);
    const auto d = static_cast<std::uint32_t>(delta);
    return _mm256_setr_epi32(static_cast<int>(f), static_cast<int>(f + d), static_cast<int>(f + 2 * d),
                             static_cast<int>(f + 3 * d), static_cast<int>(f + 4 * d), static_cast<int>(f + 5 * d),
                             static_cast<int>(f + 6 * d), static_cast<int>(f + 7 * d));
}

__attribute__((target("avx2"))) std::int32_t MixConstant8(const std::int16_t* data, Fixed* position, Fixed delta,
                                                          float* out, std::int32_t count, float gl, float gr) {
    __m256i fraction = Fractions8(*position, delta);
    const __m256i fractionStep = _mm256_set1_epi32(static_cast<int>(8 * static_cast<std::uint32_t>(delta)));
    const __m256 left = _mm256_set1_ps(gl);
    const __m256 right = _mm256_set1_ps(gr);
    Fixed at = *position;
    std::int32_t k = 0;
    for (; k + 8 <= count; k += 8) {
        Mix8(data, &at, delta, &fraction, fractionStep, out, left, right);
        out += 16;
    }
    *position = at;
    return k;
}

std::uint32_t BitsOf(float x) {
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

float FloatOf(std::uint32_t bits) {
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

double DoubleOf(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// A ramp's gain is a running sum, g + d + d + ..., each addition rounded.
// While the sums stay well inside one binade (between two powers of two),
// where the floats are the multiples of one unit u, each addition rounds d
// to the same multiple of u, so the sum's bit pattern grows by the same
// integer every frame and the frames can be done side by side with the very
// bits of the running sum. This finds for how many frames, at most limit,
// that holds, and the integer; 0 frames where it does not hold from here
// (the gain not a positive normal float, the next sum in another binade, or
// d exactly half-way between two multiples of u, where rounding to even
// would alternate).
std::int32_t SteadyFrames(float gain, float step, std::int32_t* stepBits, std::int32_t limit) {
    const std::uint32_t bits = BitsOf(gain);
    if (step == 0.0f && bits != 0x80000000u) {
        // Adding zero leaves every float but -0 as it is.
        *stepBits = 0;
        return limit;
    }
    const std::uint32_t exponent = bits >> 23;
    if (exponent == 0 || exponent >= 255) return 0;
    const std::uint32_t nextBits = BitsOf(gain + step);
    if (nextBits >> 23 != exponent) return 0;
    const std::int32_t d = static_cast<std::int32_t>(nextBits - bits);
    // The remainder of the step past its multiple of u, exact in double.
    const double unit = DoubleOf(std::uint64_t{exponent + 1023 - 150} << 52);  // 2^(exponent - 150)
    const double remainder = static_cast<double>(step) - static_cast<double>(d) * unit;
    if (std::fabs(remainder) * 2.0 == unit) return 0;
    // Every sum kept below the next power of two and at least one unit above
    // the power of two below, under which the floats are twice as fine and a
    // sum that rounded up to it here would round to one of them.
    const std::int32_t mantissa = static_cast<std::int32_t>(bits & 0x7FFFFFu);
    constexpr std::int32_t kHighest = 0x7FFFFF;
    std::int64_t frames;
    if (d > 0) frames = (kHighest - mantissa) / d;
    else if (d < 0) frames = mantissa >= 1 ? (mantissa - 1) / -d : 0;
    else frames = mantissa >= 1 && mantissa <= kHighest ? limit : 0;
    *stepBits = d;
    return frames < limit ? static_cast<std::int32_t>(frames) : limit;
}

// frames (a multiple of 8) of a steady ramp: the gains' bit patterns start
// at leftBits and rightBits and grow by the steps each frame.
__attribute__((target("avx2"))) void MixSteady8(const std::int16_t* data, Fixed* position, Fixed delta, float* out,
                                                std::int32_t frames, std::uint32_t leftBits, std::int32_t leftStep,
                                                std::uint32_t rightBits, std::int32_t rightStep) {
    __m256i fraction = Fractions8(*position, delta);
    const __m256i fractionStep = _mm256_set1_epi32(static_cast<int>(8 * static_cast<std::uint32_t>(delta)));
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i left = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(leftBits)),
                                    _mm256_mullo_epi32(lanes, _mm256_set1_epi32(leftStep)));
    __m256i right = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(rightBits)),
                                     _mm256_mullo_epi32(lanes, _mm256_set1_epi32(rightStep)));
    const __m256i leftStride = _mm256_set1_epi32(8 * leftStep);
    const __m256i rightStride = _mm256_set1_epi32(8 * rightStep);
    Fixed at = *position;
    for (std::int32_t k = 0; k < frames; k += 8) {
        Mix8(data, &at, delta, &fraction, fractionStep, out, _mm256_castsi256_ps(left), _mm256_castsi256_ps(right));
        left = _mm256_add_epi32(left, leftStride);
        right = _mm256_add_epi32(right, rightStride);
        out += 16;
    }
    *position = at;
}

}  // namespace

std::int32_t MixConstantWide(const std::int16_t* data, std::uint64_t* position, std::uint64_t delta, float* out,
                             std::int32_t count, float leftGain, float rightGain) {
    std::int32_t k = 0;
    if (count >= 8 && HasAvx2()) {
        k = MixConstant8(data, position, delta, out, count, leftGain, rightGain);
        out += std::size_t{2} * static_cast<std::size_t>(k);
    }
    if (count - k >= 4) {
        Fixed at = *position;
        Quad q = QuadStart(at, delta);
        const __m128 left = _mm_set1_ps(leftGain);
        const __m128 right = _mm_set1_ps(rightGain);
        for (; k + 4 <= count; k += 4) {
            Add4(out, Interpolate4(data, &at, delta, &q), left, right);
            out += 8;
        }
        *position = at;
    }
    return k;
}

std::int32_t MixRampedWide(const std::int16_t* data, std::uint64_t* position, std::uint64_t delta, float* out,
                           std::int32_t count, float* leftGain, float* rightGain, float leftStep, float rightStep) {
    Fixed at = *position;
    float left = *leftGain;
    float right = *rightGain;
    const bool wide = HasAvx2();
    std::int32_t k = 0;
    while (count - k >= 4) {
        const std::int32_t limit = count - k;
        std::int32_t leftBits = 0;
        std::int32_t rightBits = 0;
        std::int32_t steady = SteadyFrames(left, leftStep, &leftBits, limit);
        if (steady >= 4) steady = std::min(steady, SteadyFrames(right, rightStep, &rightBits, limit));
        const std::int32_t done = wide && steady >= 8 ? steady & ~7 : steady & ~3;
        if (done >= 4) {
            // The gains' bits grow by the same integer every frame.
            const std::uint32_t l0 = BitsOf(left);
            const std::uint32_t r0 = BitsOf(right);
            if (wide && done >= 8) {
                MixSteady8(data, &at, delta, out, done, l0, leftBits, r0, rightBits);
            } else {
                Quad q = QuadStart(at, delta);
                __m128i l = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(l0)),
                                          _mm_setr_epi32(0, leftBits, 2 * leftBits, 3 * leftBits));
                __m128i r = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(r0)),
                                          _mm_setr_epi32(0, rightBits, 2 * rightBits, 3 * rightBits));
                for (std::int32_t j = 0; j < done; j += 4) {
                    Add4(out + 2 * j, Interpolate4(data, &at, delta, &q), _mm_castsi128_ps(l), _mm_castsi128_ps(r));
                    l = _mm_add_epi32(l, _mm_set1_epi32(4 * leftBits));
                    r = _mm_add_epi32(r, _mm_set1_epi32(4 * rightBits));
                }
            }
            left = FloatOf(l0 + static_cast<std::uint32_t>(leftBits) * static_cast<std::uint32_t>(done));
            right = FloatOf(r0 + static_cast<std::uint32_t>(rightBits) * static_cast<std::uint32_t>(done));
            out += std::size_t{2} * static_cast<std::size_t>(done);
            k += done;
            continue;
        }
        // Four frames with the running sums stepped one by one, as the
        // frame-by-frame code steps them.
        Quad q = QuadStart(at, delta);
        float lefts[4];
        float rights[4];
        for (int j = 0; j < 4; ++j) {
            lefts[j] = left;
            rights[j] = right;
            left += leftStep;
            right += rightStep;
        }
        Add4(out, Interpolate4(data, &at, delta, &q), _mm_loadu_ps(lefts), _mm_loadu_ps(rights));
        out += 8;
        k += 4;
    }
    *position = at;
    *leftGain = left;
    *rightGain = right;
    return k;
}

std::int32_t ConvertWide(std::int16_t* output, const float* area, std::int32_t frameCount) {
    // Clamped first, then rounded in the current (nearest-even) mode as lrint
    // rounds: the same value for every finite input.
    const std::int32_t values = frameCount * 2;
    const __m128 highest = _mm_set1_ps(32767.0f);
    const __m128 lowest = _mm_set1_ps(-32768.0f);
    std::int32_t i = 0;
    for (; i + 8 <= values; i += 8) {
        const __m128 a = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(area + i), lowest), highest);
        const __m128 b = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(area + i + 4), lowest), highest);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(output + i),
                         _mm_packs_epi32(_mm_cvtps_epi32(a), _mm_cvtps_epi32(b)));
    }
    return i / 2;
}
