#include "textures/cube_cross.h"

#include <cstddef>
#include <cstring>

const CrossFace kCrossFaces[6] = {
    {0x12, false}, {0x10, false}, {0x01, false}, {0x21, false}, {0x11, false}, {0x31, true},
};

std::uint32_t crossFaceSize(std::uint32_t crossHeight, std::uint32_t crossWidth) {
    const std::uint32_t size = crossHeight / 4;
    if (crossWidth / 3 != size) return 0;
    return size;
}

void copyCrossFace(const std::uint8_t* cross, std::uint32_t crossWidth, std::uint32_t faceSize,
                   CrossFace where, std::uint8_t* face) {
    const std::size_t column = where.code & 0x3u;
    const std::size_t row = (where.code >> 4) & 0x3u;
    const std::size_t s = faceSize;
    for (std::size_t y = 0; y < s; ++y) {
        const std::uint8_t* source = cross + ((row * s + y) * crossWidth + column * s) * 4;
        if (!where.turned) {
            std::memcpy(face + y * s * 4, source, s * 4);
            continue;
        }
        std::uint8_t* target = face + (s - 1 - y) * s * 4;
        for (std::size_t x = 0; x < s; ++x) {
            std::memcpy(target + (s - 1 - x) * 4, source + x * 4, 4);
        }
    }
}
