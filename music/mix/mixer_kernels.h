#pragma once
// The mixer's inner loops over whole groups of frames, as the build's
// processor does them fastest. Each does as many frames as its groups cover
// and returns how many; the mixer does the rest frame by frame, and every
// value a kernel writes is the one the frame-by-frame code computes, to the
// bit. Positions and steps are 32.32 fixed point; a backward step is the
// forward step's two's complement.
#include <cstdint>

// 0.9998941 x 2^-31 (bit pattern 2FFFF910): maps the fraction, shifted right
// by one, to a weight just below 1.
inline constexpr float kInterpolationScale = 4.656119934e-10f;

// out (interleaved left, right) += each interpolated frame times the gains.
std::int32_t MixConstantWide(const std::int16_t* data, std::uint64_t* position, std::uint64_t delta, float* out,
                             std::int32_t count, float leftGain, float rightGain);

// The same with the gains stepping by a float addition after each frame;
// the gains come back as they stand after the last frame done.
std::int32_t MixRampedWide(const std::int16_t* data, std::uint64_t* position, std::uint64_t delta, float* out,
                           std::int32_t count, float* leftGain, float* rightGain, float leftStep, float rightStep);

// The interleaved float frames clipped to 16 bits and rounded to nearest even.
std::int32_t ConvertWide(std::int16_t* output, const float* area, std::int32_t frameCount);
