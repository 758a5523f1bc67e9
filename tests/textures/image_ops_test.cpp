#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "textures/float_image.h"
#include "textures/random.h"

namespace {

TEST(RandomGenerator, FollowsTheLinearCongruentialSequence) {
    RandomGenerator generator;
    seedRandom(generator, 0);
    // state 2531011 -> 38; the next state is worked out by hand in 64 bits.
    EXPECT_EQ(drawRandom(generator), 38u);
    const std::uint64_t second = (2531011ull * 214013ull + 2531011ull) & 0xFFFFFFFFull;
    EXPECT_EQ(drawRandom(generator), static_cast<std::uint32_t>((second >> 16) & 0x7FFF));

    // Draws stay within 15 bits and reseeding restarts the sequence.
    std::uint32_t largest = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t r = drawRandom(generator);
        if (r > largest) largest = r;
    }
    EXPECT_LE(largest, 32767u);
    EXPECT_GT(largest, 32000u);
    seedRandom(generator, 0);
    EXPECT_EQ(drawRandom(generator), 38u);
}

TEST(ImageStack, AddImageMakesZeroedImagesOfTheStackSize) {
    ImageStack stack = makeImageStack(5, 3);
    FloatImage& image = addImage(stack);
    EXPECT_EQ(image.width, 5u);
    EXPECT_EQ(image.height, 3u);
    for (const auto& plane : image.planes) {
        ASSERT_EQ(plane.size(), 15u);
        for (float v : plane) EXPECT_EQ(v, 0.0f);
    }
    addImage(stack);
    EXPECT_EQ(stack.images.size(), 2u);
}

TEST(ClampAndBgra, ClampsEachPlaneAndWritesBlueGreenRedAlpha) {
    ImageStack stack = makeImageStack(4, 1);
    FloatImage& image = addImage(stack);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Texel 0: in range; 1: above 1 and below 0; 2: NaN kept by the clamp;
    // 3: the rounding points (truncation, not rounding).
    const float red[4] = {0.5f, 7.0f, nan, 0.999f};
    const float green[4] = {1.0f, -3.0f, 0.25f, 0.004f};
    const float blue[4] = {0.0f, 1.5f, -0.0f, 0.0039f};
    const float alpha[4] = {0.2f, -0.5f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        image.planes[kRed][i] = red[i];
        image.planes[kGreen][i] = green[i];
        image.planes[kBlue][i] = blue[i];
        image.planes[kAlpha][i] = alpha[i];
    }
    clampImage(image);
    EXPECT_EQ(image.planes[kRed][1], 1.0f);
    EXPECT_EQ(image.planes[kGreen][1], 0.0f);
    EXPECT_EQ(image.planes[kAlpha][1], 0.0f);
    EXPECT_TRUE(std::isnan(image.planes[kRed][2]));

    const std::vector<std::uint8_t> bytes = toBgra(image);
    ASSERT_EQ(bytes.size(), 16u);
    const std::uint8_t expected[16] = {
        0, 255, 127, 51,   // 0.2 * 255 = 51.000001 truncates to 51
        255, 0, 255, 0,    //
        0, 63, 0, 255,     // NaN gives 0
        0, 1, 254, 255,    // 0.999 -> 254, 0.004 -> 1, 0.0039 -> 0
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
}

TEST(ClampAndBgra, UnclampedValuesKeepTheirLowByte) {
    ImageStack stack = makeImageStack(2, 1);
    FloatImage& image = addImage(stack);
    image.planes[kRed][0] = 2.0f;    // 510 -> 0xFE
    image.planes[kRed][1] = 1e30f;   // beyond any integer: 0
    image.planes[kBlue][0] = -1.0f;  // -255 -> 0x01
    const std::vector<std::uint8_t> bytes = toBgra(image);
    EXPECT_EQ(bytes[2], 0xFE);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[6], 0);
}

}  // namespace
