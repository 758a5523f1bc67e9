#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "textures/base_texture.h"
#include "textures/random.h"
#include "textures/strand_texture.h"

namespace {

constexpr int kSize = 256;

// The generator's sequence written out independently of the code under test.
std::vector<std::uint32_t> referenceDraws(std::size_t count) {
    std::vector<std::uint32_t> draws;
    std::uint64_t state = 0;
    for (std::size_t i = 0; i < count; ++i) {
        state = (state * 214013ull + 2531011ull) % 4294967296ull;
        draws.push_back(static_cast<std::uint32_t>(state >> 16) & 0x7FFF);
    }
    return draws;
}

const std::uint8_t* texel(const std::vector<std::uint8_t>& bytes, int x, int y) {
    return &bytes[(static_cast<std::size_t>(y) * kSize + x) * 4];
}

TEST(StrandTexture, TexelsFollowTheDrawsColumnByColumn) {
    RandomGenerator generator;
    generator.state = 12345;  // the texture seeds it itself
    const std::vector<std::uint8_t> bytes = strandTextureBytes(generator);
    ASSERT_EQ(bytes.size(), std::size_t{kSize} * kSize * 4);
    const std::vector<std::uint32_t> draws = referenceDraws(2 * kSize + 1);

    // The first draw (38) is not above 75: texel (0, 0) is transparent black.
    EXPECT_EQ(draws[0], 38u);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(texel(bytes, 0, 0)[c], 0);
    // x is the outer loop: draw 1 decides (0, 1) and draw 256 decides (1, 0).
    auto opaque = [](std::uint32_t r) { return r % 100 > 75; };
    EXPECT_EQ(texel(bytes, 0, 1)[3] == 255, opaque(draws[1]));
    EXPECT_EQ(texel(bytes, 1, 0)[3] == 255, opaque(draws[kSize]));
    EXPECT_EQ(texel(bytes, 2, 0)[3] == 255, opaque(draws[2 * kSize]));

    // Every texel is either transparent black or opaque white; about 24 % are opaque.
    int opaqueCount = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const bool white = bytes[i] == 255 && bytes[i + 1] == 255 && bytes[i + 2] == 255 &&
                           bytes[i + 3] == 255;
        const bool clear = bytes[i] == 0 && bytes[i + 1] == 0 && bytes[i + 2] == 0 &&
                           bytes[i + 3] == 0;
        ASSERT_TRUE(white || clear) << "texel " << i / 4;
        opaqueCount += white;
    }
    const double share = opaqueCount / double(kSize * kSize);
    EXPECT_GT(share, 0.23);
    EXPECT_LT(share, 0.25);
}

class BaseTexture : public ::testing::Test {
protected:
    void SetUp() override {
        RandomGenerator generator;
        strandTextureBytes(generator);
        bytes = baseTextureBytes(generator);
        // The noise continues the strand texture's 65536 draws, column by column.
        const std::vector<std::uint32_t> draws = referenceDraws(2 * kSize * kSize);
        noise.assign(kSize * kSize, 0);
        for (int x = 0; x < kSize; ++x)
            for (int y = 0; y < kSize; ++y)
                noise[y * kSize + x] = draws[kSize * kSize + x * kSize + y] % 100 > 65;
    }

    // Expected byte: white noise texels in the 7 x 7 box that exist, over 49.
    int expected(int x, int y) const {
        int count = 0;
        for (int by = y - 3; by <= y + 3; ++by)
            for (int bx = x - 3; bx <= x + 3; ++bx)
                if (bx >= 0 && by >= 0 && bx < kSize && by < kSize) count += noise[by * kSize + bx];
        return static_cast<int>(static_cast<double>(static_cast<float>(count) / 49.0f) * 255.0);
    }

    std::vector<std::uint8_t> bytes;
    std::vector<int> noise;
};

TEST_F(BaseTexture, AveragesTheNoiseOverA7x7BoxWithoutWrapping) {
    ASSERT_EQ(bytes.size(), std::size_t{kSize} * kSize * 4);
    const int points[][2] = {{0, 0}, {255, 255}, {0, 255}, {2, 100}, {100, 1}, {3, 3}, {128, 77}};
    for (const auto& p : points) {
        const std::uint8_t* t = texel(bytes, p[0], p[1]);
        const int want = expected(p[0], p[1]);
        EXPECT_EQ(t[0], want) << p[0] << "," << p[1];
        EXPECT_EQ(t[1], want);
        EXPECT_EQ(t[2], want);
        EXPECT_EQ(t[3], 255);
    }
    // Texel (0, 0) sees only the 16 texels of its 4 x 4 corner.
    int corner = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) corner += noise[y * kSize + x];
    EXPECT_EQ(texel(bytes, 0, 0)[0], static_cast<int>(corner / 49.0f * 255.0));
}

TEST_F(BaseTexture, BordersAreDarkerThanTheInterior) {
    auto meanOfRow = [&](int y) {
        double sum = 0;
        for (int x = 3; x < kSize - 3; ++x) sum += texel(bytes, x, y)[0];
        return sum / (kSize - 6);
    };
    double interior = 0;
    for (int y = 3; y < kSize - 3; ++y) interior += meanOfRow(y);
    interior /= kSize - 6;
    // About 34 % white noise over the box: an interior mean near 87.
    EXPECT_NEAR(interior, 0.34 * 255, 6.0);
    // Row 0 sees 4 of 7 rows, row 2 sees 6 of 7.
    EXPECT_NEAR(meanOfRow(0) / interior, 4.0 / 7.0, 0.06);
    EXPECT_NEAR(meanOfRow(2) / interior, 6.0 / 7.0, 0.06);
}

TEST(NoiseTextures, TwoBuildsAreByteIdentical) {
    RandomGenerator first;
    RandomGenerator second;
    second.state = 999;
    EXPECT_EQ(strandTextureBytes(first), strandTextureBytes(second));
    EXPECT_EQ(baseTextureBytes(first), baseTextureBytes(second));
}

}  // namespace
