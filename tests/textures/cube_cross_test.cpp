#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "textures/cube_cross.h"

namespace {

TEST(CubeCross, FaceSizeOnlyForVerticalCrosses) {
    EXPECT_EQ(crossFaceSize(1024, 768), 256u);
    EXPECT_EQ(crossFaceSize(16, 12), 4u);
    EXPECT_EQ(crossFaceSize(768, 1024), 0u);  // a horizontal cross
    EXPECT_EQ(crossFaceSize(1024, 767), 0u);
    EXPECT_EQ(crossFaceSize(1000, 768), 0u);
    EXPECT_EQ(crossFaceSize(0, 0), 0u);
    EXPECT_EQ(crossFaceSize(3, 2), 0u);
}

// A 12 x 16 cross of 4 x 4 cells whose texels carry their own coordinates.
class CrossFaces : public ::testing::Test {
protected:
    static constexpr std::uint32_t kFace = 4;
    static constexpr std::uint32_t kWidth = 3 * kFace;
    static constexpr std::uint32_t kHeight = 4 * kFace;

    void SetUp() override {
        cross.resize(kWidth * kHeight * 4);
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                std::uint8_t* t = &cross[(y * kWidth + x) * 4];
                t[0] = static_cast<std::uint8_t>(x);
                t[1] = static_cast<std::uint8_t>(y);
                t[2] = 0xAB;
                t[3] = 0xCD;
            }
    }

    std::vector<std::uint8_t> face(int index) const {
        // Guard bytes on both sides catch writes outside the face.
        std::vector<std::uint8_t> buffer(kFace * kFace * 4 + 8, 0xEE);
        copyCrossFace(cross.data(), kWidth, kFace, kCrossFaces[index], buffer.data() + 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(buffer[i], 0xEE);
            EXPECT_EQ(buffer[buffer.size() - 1 - i], 0xEE);
        }
        return std::vector<std::uint8_t>(buffer.begin() + 4, buffer.end() - 4);
    }

    std::vector<std::uint8_t> cross;
};

TEST_F(CrossFaces, FacesComeFromTheirCellsAndMinusZIsTurned) {
    // Cube-map target order +X, -X, +Y, -Y, +Z, -Z and their cells.
    const std::uint32_t cells[6][2] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {1, 3}};
    for (int f = 0; f < 6; ++f) {
        const std::vector<std::uint8_t> bytes = face(f);
        for (std::uint32_t y = 0; y < kFace; ++y)
            for (std::uint32_t x = 0; x < kFace; ++x) {
                const std::uint8_t* t = &bytes[(y * kFace + x) * 4];
                const std::uint32_t sx = f == 5 ? kFace - 1 - x : x;
                const std::uint32_t sy = f == 5 ? kFace - 1 - y : y;
                EXPECT_EQ(t[0], cells[f][0] * kFace + sx) << "face " << f;
                EXPECT_EQ(t[1], cells[f][1] * kFace + sy) << "face " << f;
                EXPECT_EQ(t[2], 0xAB);
                EXPECT_EQ(t[3], 0xCD);
            }
    }
}

}  // namespace
