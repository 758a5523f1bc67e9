#pragma once
#include <cstdint>

// One mode of the display-mode catalogue.
struct DisplayMode {
    std::int32_t width;
    std::int32_t height;
    std::int32_t frequency;
    std::int32_t bitsPerPixel;
};

// Width in the high half, height in the low half: ascending keys read as
// ascending width, then ascending height.
inline std::uint32_t ResolutionKey(std::int32_t width, std::int32_t height) {
    return (static_cast<std::uint32_t>(width) << 16) | static_cast<std::uint32_t>(height);
}

inline std::int32_t ResolutionKeyWidth(std::uint32_t key) {
    return static_cast<std::int32_t>(key >> 16);
}

inline std::int32_t ResolutionKeyHeight(std::uint32_t key) {
    return static_cast<std::int32_t>(key & 0xffffu);
}
