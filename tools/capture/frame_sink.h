#pragma once
// Where a capture's pictures and sound go.
#include <cstdint>
#include <string>
#include <vector>

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // One picture, top-down RGBA bytes of the capture's size.
    virtual bool frame(const std::vector<std::uint8_t>& rgba) = 0;
    // Interleaved 16-bit stereo sound frames that follow the previous ones.
    virtual bool sound(const std::int16_t* frames, std::int64_t frameCount) = 0;
    // Completes the output; false with a one-line reason.
    virtual bool finish(std::string* error) = 0;
    // The reason the last frame() or sound() failed.
    virtual std::string failure() const = 0;
};
