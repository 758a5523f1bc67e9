#pragma once
#include <cstdint>

// A vertical cross: 3 x 4 square cells; cube faces are taken from six of them.
constexpr std::uint32_t kCrossFaceSize = 256;
constexpr std::uint32_t kCrossWidth = 3 * kCrossFaceSize;
constexpr std::uint32_t kCrossHeight = 4 * kCrossFaceSize;

// Where a cube face lies in the cross: low two bits of `code` the column,
// bits 4-5 the row. `turned` faces are copied rotated by 180 degrees.
struct CrossFace {
    std::uint8_t code;
    bool turned;
};

// In cube-map target order: +X, -X, +Y, -Y, +Z, -Z.
extern const CrossFace kCrossFaces[6];

// Face size of a cross of the given size, or 0 when it is not a vertical
// cross (width / 3 differs from height / 4, or the cells are empty).
std::uint32_t crossFaceSize(std::uint32_t crossHeight, std::uint32_t crossWidth);

// Copies one face's cell of 4-byte texels into `face` (faceSize x faceSize x 4
// bytes); the cross rows are crossWidth texels apart.
void copyCrossFace(const std::uint8_t* cross, std::uint32_t crossWidth, std::uint32_t faceSize,
                   CrossFace where, std::uint8_t* face);
