#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "textures/cube_cross.h"
#include "textures/environment_maps.h"

namespace {

struct Light {
    double position[3];
    double color[3];
};

const Light kLights[2] = {
    {{0.2, 1.0, 0.0}, {1.0, 0.3, 0.01}},
    {{0.6, -1.0, 0.4}, {0.2, 0.4, 0.8}},
};

class EnvironmentMaps : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<Float3> positions;
        std::vector<Float3> colors;
        for (const Light& light : kLights) {
            appendColor(positions, float(light.position[0]), float(light.position[1]),
                        float(light.position[2]));
            appendColor(colors, float(light.color[0]), float(light.color[1]),
                        float(light.color[2]));
        }
        crosses = new EnvironmentCrosses(environmentCrossBytes(positions, colors));
    }
    static void TearDownTestSuite() {
        delete crosses;
        crosses = nullptr;
    }

    static const std::uint8_t* at(const std::vector<std::uint8_t>& bytes, std::uint32_t x,
                                  std::uint32_t y) {
        return &bytes[(static_cast<std::size_t>(y) * kCrossWidth + x) * 4];
    }

    static EnvironmentCrosses* crosses;
};

EnvironmentCrosses* EnvironmentMaps::crosses = nullptr;

// The cube point that texel (x, y) of a lit cell stands for, from the layout of
// the vertical cross: the z = -1 points sit in the middle cell, the z = +1
// points at the bottom, the side cells run z across, the top and bottom cells
// run z down.
struct CellPoint {
    std::uint32_t column;
    std::uint32_t row;
    void (*point)(double a, double d, double p[3]);
};

const CellPoint kCells[6] = {
    {1, 1, [](double a, double d, double p[3]) { p[0] = a; p[1] = d; p[2] = -1; }},
    {1, 0, [](double a, double d, double p[3]) { p[0] = a; p[1] = 1; p[2] = d; }},
    {0, 1, [](double a, double d, double p[3]) { p[0] = -1; p[1] = d; p[2] = a; }},
    {2, 1, [](double a, double d, double p[3]) { p[0] = 1; p[1] = d; p[2] = a; }},
    {1, 2, [](double a, double d, double p[3]) { p[0] = a; p[1] = -1; p[2] = -d; }},
    {1, 3, [](double a, double d, double p[3]) { p[0] = a; p[1] = -d; p[2] = 1; }},
};

TEST_F(EnvironmentMaps, EachCellIsLitFromItsOwnCubePoints) {
    const std::uint32_t samples[][2] = {{0, 0},     {255, 0},   {0, 255},  {255, 255},
                                        {153, 128}, {204, 179}, {60, 200}, {128, 128}};
    for (const CellPoint& cell : kCells) {
        for (const auto& s : samples) {
            double p[3];
            cell.point(-1.0 + s[0] / 128.0, 1.0 - s[1] / 128.0, p);
            double rgb[3] = {0, 0, 0};
            for (const Light& light : kLights) {
                double d2 = 0;
                for (int k = 0; k < 3; ++k) d2 += (light.position[k] - p[k]) * (light.position[k] - p[k]);
                const double intensity = std::min(0.5 / d2, 3.0);
                for (int k = 0; k < 3; ++k) rgb[k] += light.color[k] * intensity;
            }
            const std::uint8_t* t = at(crosses->environment, cell.column * 256 + s[0],
                                       cell.row * 256 + s[1]);
            for (int k = 0; k < 3; ++k) {
                const double want = std::min(rgb[k], 1.0) * 255.0;
                EXPECT_NEAR(t[2 - k], want, 1.0)
                    << "cell " << cell.column << "," << cell.row << " texel " << s[0] << ","
                    << s[1] << " channel " << k;
            }
            EXPECT_EQ(t[3], 255);
        }
    }
}

TEST_F(EnvironmentMaps, SkyAddsTheChequerToTheClampedLight) {
    int brightened = 0;
    int saturated = 0;
    for (const CellPoint& cell : kCells) {
        for (std::uint32_t y = cell.row * 256; y < cell.row * 256 + 256; ++y) {
            for (std::uint32_t x = cell.column * 256; x < cell.column * 256 + 256; ++x) {
                const std::uint8_t* env = at(crosses->environment, x, y);
                const std::uint8_t* sky = at(crosses->sky, x, y);
                ASSERT_EQ(sky[3], 255);
                const bool odd = (x / 16 + y / 16) % 2 == 1;
                for (int c = 0; c < 3; ++c) {
                    if (!odd) {
                        ASSERT_EQ(sky[c], env[c]) << x << "," << y;
                    } else if (env[c] >= 230) {
                        ASSERT_EQ(sky[c], 255) << x << "," << y;
                        saturated += env[c] == 255;
                    } else {
                        ASSERT_TRUE(sky[c] == 255 || sky[c] - env[c] == 25 || sky[c] - env[c] == 26)
                            << x << "," << y << ": " << int(env[c]) << " -> " << int(sky[c]);
                        ++brightened;
                    }
                }
            }
        }
    }
    EXPECT_GT(brightened, 100000);
    EXPECT_GT(saturated, 100);
    // Cell-local square 0..15 is unchanged, its neighbours along either axis brighter.
    const std::uint8_t* corner = at(crosses->sky, 256 + 5, 256 + 5);
    EXPECT_EQ(corner[0], at(crosses->environment, 256 + 5, 256 + 5)[0]);
    EXPECT_GT(at(crosses->sky, 256 + 20, 256 + 5)[0], at(crosses->environment, 256 + 20, 256 + 5)[0]);
    EXPECT_GT(at(crosses->sky, 256 + 5, 256 + 20)[0], at(crosses->environment, 256 + 5, 256 + 20)[0]);
}

// Each light adds its own glow: in the other order the lights give the same
// bytes, and neither light alone gives them.
TEST_F(EnvironmentMaps, EveryLightAddsInEitherOrder) {
    auto build = [](std::initializer_list<int> order) {
        std::vector<Float3> positions;
        std::vector<Float3> colors;
        for (int l : order) {
            const Light& light = kLights[l];
            appendColor(positions, float(light.position[0]), float(light.position[1]),
                        float(light.position[2]));
            appendColor(colors, float(light.color[0]), float(light.color[1]), float(light.color[2]));
        }
        return environmentCrossBytes(positions, colors);
    };
    const EnvironmentCrosses swapped = build({1, 0});
    EXPECT_TRUE(swapped.environment == crosses->environment);
    EXPECT_TRUE(swapped.sky == crosses->sky);
    for (int alone = 0; alone < 2; ++alone) {
        const EnvironmentCrosses one = build({alone});
        EXPECT_FALSE(one.environment == crosses->environment) << "light " << alone << " alone";
        EXPECT_FALSE(one.sky == crosses->sky) << "light " << alone << " alone";
    }
}

}  // namespace
