#include "textures/strand_texture.h"

#include "textures/float_image.h"

std::vector<std::uint8_t> strandTextureBytes(RandomGenerator& generator) {
    ImageStack stack = makeImageStack(kNoiseTextureSize, kNoiseTextureSize);
    FloatImage& image = addImage(stack);
    seedRandom(generator, 0);
    for (std::uint32_t x = 0; x < image.width; ++x) {
        for (std::uint32_t y = 0; y < image.height; ++y) {
            const float v = drawRandom(generator) % 100 > 75 ? 1.0f : 0.0f;
            const std::uint32_t i = y * image.width + x;
            for (std::vector<float>& plane : image.planes) plane[i] = v;
        }
    }
    clampImage(image);
    return toBgra(image);
}
