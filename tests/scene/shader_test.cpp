#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "headless_context.h"
#include "scene/shader_program.h"
#include "scene/shader_sources.h"
#include "scene/torus.h"
#include "shell/gl_extensions.h"

namespace {

constexpr std::uint32_t kSize = 128;

class Shaders : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ready = OpenHeadless(gui, kSize, kSize); }
    static void TearDownTestSuite() { gui.reset(); }
    void SetUp() override {
        ASSERT_TRUE(ready) << (gui && gui->initError ? gui->initError : "no context");
        glViewport(0, 0, kSize, kSize);
    }

    static GLint Status(std::uint32_t object, GLenum what) {
        GLint value = -7;
        glExtensions.glGetObjectParameterivARB(object, what, &value);
        return value;
    }

    static std::optional<GuiHeadless> gui;
    static bool ready;
};

std::optional<GuiHeadless> Shaders::gui;
bool Shaders::ready = false;

TEST_F(Shaders, SourcesCompileFromTheirLengthAlone) {
    for (const ShaderSource* source : {&hairShellSource, &fishEyeSource}) {
        // The text followed by bytes that would break it if GL read past the length.
        std::vector<char> text(source->text, source->text + source->length);
        const char junk[] = "}}} not a shader @@@";
        text.insert(text.end(), junk, junk + sizeof junk - 1);
        testing::internal::CaptureStdout();
        const std::uint32_t program = CreateShaderProgram(text.data(), source->length);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_NE(program, 0u);
        EXPECT_EQ(Status(program, GL_OBJECT_LINK_STATUS_ARB), 1);
        EXPECT_EQ(Status(program, GL_OBJECT_ATTACHED_OBJECTS_ARB), 1);
    }
}

TEST_F(Shaders, BrokenSourceIsReportedAndLeftUnlinked) {
    const char broken[] = "void main() { gl_Position = undeclaredThing; }";
    testing::internal::CaptureStdout();
    const std::uint32_t program =
        CreateShaderProgram(broken, static_cast<std::int32_t>(std::strlen(broken)));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed.rfind("error in vertex shader: ", 0), 0u) << printed;
    EXPECT_EQ(printed.back(), '\n');
    EXPECT_GT(printed.size(), std::strlen("error in vertex shader: \n"));
    EXPECT_NE(program, 0u);
    EXPECT_EQ(Status(program, GL_OBJECT_LINK_STATUS_ARB), 0);
    EXPECT_EQ(Status(program, GL_OBJECT_ATTACHED_OBJECTS_ARB), 0);

    // Its uniforms cannot be looked up: each is reported and comes back as -1.
    testing::internal::CaptureStdout();
    EXPECT_EQ(FindUniform(program, "camera"), -1);
    EXPECT_EQ(FindUniform(program, "factor"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "unable to find camera \nunable to find factor \n");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Shaders, UniformLookupsOfTheTwoPrograms) {
    testing::internal::CaptureStdout();
    const std::uint32_t hair = CreateShaderProgram(hairShellSource.text, hairShellSource.length);
    for (const char* name : {"camera", "factor", "rotation", "bassline", "basslineintensity"})
        EXPECT_GE(FindUniform(hair, name), 0) << name;
    const std::uint32_t fishEye = CreateShaderProgram(fishEyeSource.text, fishEyeSource.length);
    EXPECT_GE(FindUniform(fishEye, "zoom"), 0);
    // Declared but unused: inactive, -1 without a message.
    EXPECT_EQ(FindUniform(fishEye, "fader"), -1);
    EXPECT_EQ(FindUniform(fishEye, "nosuchthing"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// Draws a white torus over black at a fixed pose, or side-on with its axis
// upright, with or without the hair program, and returns the picture.
class HairShell : public Shaders {
protected:
    void SetUp() override {
        Shaders::SetUp();
        if (torusList == 0) {
            torusList = glGenLists(1);
            glNewList(torusList, GL_COMPILE);
            TorusMesh mesh{};
            BuildTorus(mesh);
            glEndList();
            testing::internal::CaptureStdout();
            program = CreateShaderProgram(hairShellSource.text, hairShellSource.length);
            testing::internal::GetCapturedStdout();
        }
    }

    std::vector<std::uint8_t> Draw(bool useProgram, float factor, float bassline,
                                   float intensity, bool sideOn = false) {
        const GlExtensions& ext = glExtensions;
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 0.001, 500.0);
        gluLookAt(0.0, 0.0, 15.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (sideOn) {
            glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
        } else {
            glTranslatef(0.0f, -1.5f, 0.0f);
            glRotatef(-40.0f, 1.0f, 1.0f, 0.0f);
        }
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        if (useProgram) {
            ext.glUseProgramObjectARB(program);
            const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
            const float camera[3] = {0.0f, 0.0f, 15.0f};
            ext.glUniformMatrix4fvARB(FindUniform(program, "rotation"), 1, GL_TRUE, identity);
            ext.glUniform3fvARB(FindUniform(program, "camera"), 1, camera);
            ext.glUniform1fARB(FindUniform(program, "factor"), factor);
            ext.glUniform1fARB(FindUniform(program, "bassline"), bassline);
            ext.glUniform1fARB(FindUniform(program, "basslineintensity"), intensity);
        }
        glCallList(torusList);
        ext.glUseProgramObjectARB(0);
        glLoadIdentity();
        return ReadRgba(kSize, kSize);
    }

    static int Covered(const std::vector<std::uint8_t>& picture) {
        int count = 0;
        for (std::size_t i = 0; i < picture.size(); i += 4) count += picture[i] > 0;
        return count;
    }

    // Top and bottom picture rows (counted from the top) with anything drawn.
    static std::pair<int, int> CoveredRows(const std::vector<std::uint8_t>& picture) {
        int top = int(kSize), bottom = -1;
        for (std::size_t i = 0; i < picture.size(); i += 4) {
            if (picture[i] == 0) continue;
            const int row = int(i / 4 / kSize);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
        return {top, bottom};
    }

    static int Differing(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
        int count = 0;
        for (std::size_t i = 0; i < a.size(); i += 4)
            count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        return count;
    }

    static std::uint32_t torusList;
    static std::uint32_t program;
};

std::uint32_t HairShell::torusList = 0;
std::uint32_t HairShell::program = 0;

TEST_F(HairShell, InnermostShellMatchesTheFixedFunctionPipeline) {
    const std::vector<std::uint8_t> fixed = Draw(false, 0.0f, 0.0f, 0.0f);
    const int covered = Covered(fixed);
    ASSERT_GT(covered, 1500);
    ASSERT_LT(covered, int(kSize * kSize) * 3 / 4);

    const std::vector<std::uint8_t> shaded = Draw(true, 0.0f, 3.0f, 0.0f);
    // Same pixels; the rasteriser may split a handful of edge pixels differently.
    EXPECT_LE(Differing(fixed, shaded), covered / 200) << "covered " << covered;
    // Alpha 1: blended over black the torus stays full white.
    int white = 0;
    for (std::size_t i = 0; i < shaded.size(); i += 4)
        white += shaded[i] == 255 && shaded[i + 1] == 255 && shaded[i + 2] == 255;
    EXPECT_GE(white, Covered(shaded) - covered / 200);
}

TEST_F(HairShell, FactorAndBassWaveMoveTheSurface) {
    const std::vector<std::uint8_t> fixed = Draw(false, 0.0f, 0.0f, 0.0f);
    const int covered = Covered(fixed);
    // No wave without a bassline, however strong the intensity.
    EXPECT_LE(Differing(fixed, Draw(true, 0.0f, 0.0f, 1.0f)), covered / 200);
    // A wave swells and thins the tube.
    EXPECT_GT(Differing(fixed, Draw(true, 0.0f, 3.0f, 1.0f)), covered / 20);

    // An outer shell is pushed out and is translucent: 1 - 0.5 over black.
    const std::vector<std::uint8_t> outer = Draw(true, 0.5f, 0.0f, 0.0f);
    EXPECT_GT(Covered(outer), covered + covered / 20);
    int half = 0;
    for (std::size_t i = 0; i < outer.size(); i += 4) half += outer[i] >= 126 && outer[i] <= 128;
    EXPECT_GE(half, Covered(outer) * 9 / 10);
}

// Seen side-on, an outer shell hangs: the hair on the underside leans down
// and droops by the square of the factor besides, while the top barely moves.
TEST_F(HairShell, OuterShellsDroopDownwards) {
    const auto [plainTop, plainBottom] = CoveredRows(Draw(false, 0.0f, 0.0f, 0.0f, true));
    const auto [top, bottom] = CoveredRows(Draw(true, 0.9f, 0.0f, 0.0f, true));
    ASSERT_LT(plainTop, plainBottom);
    const int drop = bottom - plainBottom;
    const int lift = plainTop - top;
    EXPECT_GT(drop, 15) << "rows " << plainTop << ".." << plainBottom << " became " << top << ".." << bottom;
    EXPECT_LT(lift, drop / 4) << "rows " << plainTop << ".." << plainBottom << " became " << top << ".." << bottom;
}

TEST_F(Shaders, FishEyeAlphaFallsWithZoom) {
    const GlExtensions& ext = glExtensions;
    testing::internal::CaptureStdout();
    const std::uint32_t program = CreateShaderProgram(fishEyeSource.text, fishEyeSource.length);
    const std::int32_t zoom = FindUniform(program, "zoom");
    testing::internal::GetCapturedStdout();

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    auto centreRed = [&](float zoomValue) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ext.glUseProgramObjectARB(program);
        ext.glUniform1fARB(zoom, zoomValue);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);  // the shader replaces it
        glBegin(GL_QUADS);
        glVertex3f(-0.5f, -0.5f, 0.0f);
        glVertex3f(0.5f, -0.5f, 0.0f);
        glVertex3f(0.5f, 0.5f, 0.0f);
        glVertex3f(-0.5f, 0.5f, 0.0f);
        glEnd();
        ext.glUseProgramObjectARB(0);
        const std::vector<std::uint8_t> picture = ReadRgba(kSize, kSize);
        return int(picture[(kSize / 2 * kSize + kSize / 2) * 4]);
    };
    EXPECT_NEAR(centreRed(0.0f), 0.2 * 255, 1.0);
    EXPECT_NEAR(centreRed(1.0f), 0.1 * 255, 1.0);
    EXPECT_EQ(centreRed(2.0f), 0);
}

}  // namespace
