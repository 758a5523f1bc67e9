#include "textures/environment_maps.h"

#include <cstddef>

#include "textures/cube_cross.h"
#include "textures/float_image.h"

namespace {

// One lit cell of the cross: the cube points it stands for. Axis 0 is x,
// 1 is y, 2 is z; across runs left to right from -1, down from `downStart`.
struct LitCell {
    std::uint32_t column;
    std::uint32_t row;
    int fixedAxis;
    float fixedValue;
    int acrossAxis;
    int downAxis;
    float downStart;
    float downStep;
};

constexpr float kTexelStep = 1.0f / 128.0f;

// The cell holding the z = -1 points becomes the +Z face and the z = +1 cell
// the -Z face, as the cross layout places them.
constexpr LitCell kLitCells[6] = {
    {1, 1, 2, -1.0f, 0, 1, 1.0f, -kTexelStep},
    {1, 0, 1, 1.0f, 0, 2, 1.0f, -kTexelStep},
    {0, 1, 0, -1.0f, 2, 1, 1.0f, -kTexelStep},
    {2, 1, 0, 1.0f, 2, 1, 1.0f, -kTexelStep},
    {1, 2, 1, -1.0f, 0, 2, -1.0f, kTexelStep},
    {1, 3, 2, 1.0f, 0, 1, -1.0f, kTexelStep},
};

void addLight(FloatImage& cross, const Float3& position, const Float3& color) {
    const float light[3] = {position.x, position.y, position.z};
    for (const LitCell& cell : kLitCells) {
        float point[3];
        point[cell.fixedAxis] = cell.fixedValue;
        point[cell.downAxis] = cell.downStart;
        for (std::uint32_t y = 0; y < kCrossFaceSize; ++y) {
            point[cell.acrossAxis] = -1.0f;
            const std::size_t rowStart =
                (static_cast<std::size_t>(cell.row) * kCrossFaceSize + y) * cross.width +
                cell.column * kCrossFaceSize;
            for (std::uint32_t x = 0; x < kCrossFaceSize; ++x) {
                const float dx = light[0] - point[0];
                const float dy = light[1] - point[1];
                const float dz = light[2] - point[2];
                const float distanceSquared = dx * dx + dy * dy + dz * dz;
                float intensity = 0.5f / distanceSquared;
                if (intensity > 3.0f) intensity = 3.0f;
                const std::size_t i = rowStart + x;
                cross.planes[kRed][i] += color.x * intensity;
                cross.planes[kGreen][i] += color.y * intensity;
                cross.planes[kBlue][i] += color.z * intensity;
                cross.planes[kAlpha][i] = 1.0f;
                point[cell.acrossAxis] += kTexelStep;
            }
            point[cell.downAxis] += cell.downStep;
        }
    }
}

void addChequer(FloatImage& cross) {
    for (std::uint32_t y = 0; y < cross.height; ++y) {
        for (std::uint32_t x = 0; x < cross.width; ++x) {
            if ((x / 16 + y / 16) % 2 == 0) continue;
            const std::size_t i = static_cast<std::size_t>(y) * cross.width + x;
            cross.planes[kRed][i] += 0.1f;
            cross.planes[kGreen][i] += 0.1f;
            cross.planes[kBlue][i] += 0.1f;
        }
    }
}

}  // namespace

EnvironmentCrosses environmentCrossBytes(const std::vector<Float3>& positions,
                                         const std::vector<Float3>& colors) {
    ImageStack stack = makeImageStack(kCrossWidth, kCrossHeight);
    FloatImage& cross = addImage(stack);
    const std::size_t lights = positions.size() < colors.size() ? positions.size() : colors.size();
    for (std::size_t l = 0; l < lights; ++l) addLight(cross, positions[l], colors[l]);

    EnvironmentCrosses result;
    clampImage(cross);
    result.environment = toBgra(cross);
    addChequer(cross);
    clampImage(cross);
    result.sky = toBgra(cross);
    return result;
}
