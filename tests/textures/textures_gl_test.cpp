#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "scene/build_textures.h"
#include "scene/glview.h"
#include "shell/gl_headers.h"
#include "shell/headless/gui_headless.h"
#include "textures/base_texture.h"
#include "textures/cube_cross.h"
#include "textures/environment_maps.h"
#include "textures/gl/cube_map.h"
#include "textures/gl/upload_2d.h"
#include "textures/strand_texture.h"

namespace {

class TextureUpload : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gui.emplace(16, 16);
        ready = gui->init(16, 16);
    }
    static void TearDownTestSuite() { gui.reset(); }
    void SetUp() override { ASSERT_TRUE(ready) << (gui->initError ? gui->initError : ""); }

    static std::vector<std::uint8_t> Level(GLenum target, GLint level, GLint size) {
        std::vector<std::uint8_t> bytes(std::size_t(size) * size * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(target, level, GL_BGRA, GL_UNSIGNED_BYTE, bytes.data());
        return bytes;
    }

    static std::optional<GuiHeadless> gui;
    static bool ready;
};

std::optional<GuiHeadless> TextureUpload::gui;
bool TextureUpload::ready = false;

TEST_F(TextureUpload, BuildTexturesUploadsTheGeneratedBytes) {
    GLView view(&*gui);
    buildTextures(view);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // The state it leaves: 2D texturing on, base texture and sky cube map bound.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), view.baseTexture);
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    EXPECT_EQ(GLuint(bound), view.skyCubeMap);

    RandomGenerator generator;
    const std::vector<std::uint8_t> strand = strandTextureBytes(generator);
    const std::vector<std::uint8_t> base = baseTextureBytes(generator);
    glBindTexture(GL_TEXTURE_2D, view.strandTexture);
    EXPECT_TRUE(Level(GL_TEXTURE_2D, 0, 256) == strand);
    // Mipmapped down to 1 x 1, filtered trilinearly, repeating.
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 8, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 1);
    GLint param = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &param);
    EXPECT_EQ(param, GL_LINEAR_MIPMAP_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &param);
    EXPECT_EQ(param, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &param);
    EXPECT_EQ(param, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, view.baseTexture);
    EXPECT_TRUE(Level(GL_TEXTURE_2D, 0, 256) == base);

    // The sky's -Z face holds cell (1, 3) turned by 180 degrees, +X cell (2, 1) as is.
    std::vector<Float3> positions;
    std::vector<Float3> colors;
    appendColor(positions, 0.2f, 1.0f, 0.0f);
    appendColor(colors, 1.0f, 0.3f, 0.01f);
    appendColor(positions, 0.6f, -1.0f, 0.4f);
    appendColor(colors, 0.2f, 0.4f, 0.8f);
    const EnvironmentCrosses crosses = environmentCrossBytes(positions, colors);
    glBindTexture(GL_TEXTURE_CUBE_MAP, view.skyCubeMap);
    const std::vector<std::uint8_t> minusZ = Level(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, 256);
    const std::vector<std::uint8_t> plusX = Level(GL_TEXTURE_CUBE_MAP_POSITIVE_X, 0, 256);
    for (std::uint32_t y = 0; y < 256; y += 5)
        for (std::uint32_t x = 0; x < 256; x += 3) {
            const std::size_t turned = ((3 * 256 + 255 - y) * kCrossWidth + 256 + 255 - x) * 4;
            const std::size_t asIs = ((256 + y) * kCrossWidth + 512 + x) * 4;
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(minusZ[(y * 256 + x) * 4 + c], crosses.sky[turned + c]) << x << "," << y;
                ASSERT_EQ(plusX[(y * 256 + x) * 4 + c], crosses.sky[asIs + c]) << x << "," << y;
            }
        }
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, &param);
    EXPECT_EQ(param, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, &param);
    EXPECT_EQ(param, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, view.envCubeMap);
    EXPECT_TRUE(Level(GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, 0, 256) != minusZ);
}

TEST_F(TextureUpload, CrossOfTheWrongShapeMakesNoCubeMap) {
    std::vector<std::uint8_t> bytes(1024 * 1024 * 4, 7);
    GLint before = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &before);
    EXPECT_EQ(makeCubeMap(bytes.data(), 1024, 1024), 0u);
    EXPECT_EQ(makeCubeMap(bytes.data(), 768, 1024), 0u);
    GLint after = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &after);
    EXPECT_EQ(after, before);

    // A small cross of the right shape works and keeps the face size.
    const std::uint32_t name = makeCubeMap(bytes.data(), 32, 24);
    EXPECT_NE(name, 0u);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
