#include "textures/float_image.h"

#include <cstddef>

ImageStack makeImageStack(std::uint32_t width, std::uint32_t height) {
    ImageStack stack;
    stack.width = width;
    stack.height = height;
    return stack;
}

FloatImage& addImage(ImageStack& stack) {
    FloatImage image;
    image.width = stack.width;
    image.height = stack.height;
    const std::size_t texels = static_cast<std::size_t>(stack.width) * stack.height;
    for (std::vector<float>& plane : image.planes) plane.assign(texels, 0.0f);
    stack.images.push_back(std::move(image));
    return stack.images.back();
}

void clampImage(FloatImage& image) {
    const std::size_t texels = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < texels; ++i) {
        for (std::vector<float>& plane : image.planes) {
            if (plane[i] > 1.0f) plane[i] = 1.0f;
        }
        for (std::vector<float>& plane : image.planes) {
            if (plane[i] < 0.0f) plane[i] = 0.0f;
        }
    }
}

namespace {

std::uint8_t toByte(float value) {
    const double scaled = static_cast<double>(value) * 255.0;
    // Converting NaN or an out-of-range double to an integer is undefined, so
    // those become 0, which is what the hardware conversion yields in its low byte.
    if (!(scaled > -9.2e18 && scaled < 9.2e18)) return 0;
    return static_cast<std::uint8_t>(static_cast<std::int64_t>(scaled) & 0xFF);
}

}  // namespace

std::vector<std::uint8_t> toBgra(const FloatImage& image) {
    const std::size_t texels = static_cast<std::size_t>(image.width) * image.height;
    std::vector<std::uint8_t> bytes(texels * 4);
    for (std::size_t i = 0; i < texels; ++i) {
        bytes[i * 4 + 0] = toByte(image.planes[kBlue][i]);
        bytes[i * 4 + 1] = toByte(image.planes[kGreen][i]);
        bytes[i * 4 + 2] = toByte(image.planes[kRed][i]);
        bytes[i * 4 + 3] = toByte(image.planes[kAlpha][i]);
    }
    return bytes;
}
