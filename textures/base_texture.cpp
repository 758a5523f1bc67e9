#include "textures/base_texture.h"

#include "textures/float_image.h"
#include "textures/strand_texture.h"

std::vector<std::uint8_t> baseTextureBytes(RandomGenerator& generator) {
    ImageStack noiseStack = makeImageStack(kNoiseTextureSize, kNoiseTextureSize);
    ImageStack resultStack = makeImageStack(kNoiseTextureSize, kNoiseTextureSize);
    FloatImage& noise = addImage(noiseStack);
    FloatImage& result = addImage(resultStack);
    const std::int32_t w = static_cast<std::int32_t>(noise.width);
    const std::int32_t h = static_cast<std::int32_t>(noise.height);

    for (std::int32_t x = 0; x < w; ++x) {
        for (std::int32_t y = 0; y < h; ++y) {
            const float v = drawRandom(generator) % 100 > 65 ? 1.0f : 0.0f;
            const std::int32_t i = y * w + x;
            noise.planes[kRed][i] = v;
            noise.planes[kGreen][i] = v;
            noise.planes[kBlue][i] = v;
            noise.planes[kAlpha][i] = 1.0f;
        }
    }

    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            float red = 0.0f;
            float green = 0.0f;
            float blue = 0.0f;
            for (std::int32_t by = y - 3; by <= y + 3; ++by) {
                for (std::int32_t bx = x - 3; bx <= x + 3; ++bx) {
                    if (bx < 0 || by < 0 || bx >= w || by >= h) continue;
                    const std::int32_t j = by * w + bx;
                    red += noise.planes[kRed][j];
                    green += noise.planes[kGreen][j];
                    blue += noise.planes[kBlue][j];
                }
            }
            const std::int32_t i = y * w + x;
            result.planes[kRed][i] = red / 49.0f;
            result.planes[kGreen][i] = green / 49.0f;
            result.planes[kBlue][i] = blue / 49.0f;
            result.planes[kAlpha][i] = 1.0f;
        }
    }
    clampImage(result);
    return toBgra(result);
}
