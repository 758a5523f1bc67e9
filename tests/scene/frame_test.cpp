#include <gtest/gtest.h>

#include <EGL/egl.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "headless_context.h"
#include "music/output/audio_output.h"
#include "scene/glview.h"
#include "scene/shell_motion.h"
#include "scene/torus.h"
#include "shell/gl_extensions.h"
#include "shell/headless/image_file.h"

namespace {

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 180;
constexpr std::size_t kPixels = std::size_t{kWidth} * kHeight;

struct Frame {
    std::vector<std::uint8_t> rgba;  // top row first
    std::vector<bool> torus;         // a shell wrote depth here
};

class Frames : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ready = OpenHeadless(gui, kWidth, kHeight);
        if (!ready) return;
        view = new GLView(&*gui);
        testing::internal::CaptureStdout();
        view->init();
        initOutput = testing::internal::GetCapturedStdout();
        // Frames here depend on time alone: the song stops and its cues are unplugged.
        if (*view->songSlot != nullptr) {
            SongStop(*view->songSlot);
            *view->songSlot = nullptr;
        }
    }
    static void TearDownTestSuite() {
        // The view is left alive as the program leaves it; only the context goes.
        view = nullptr;
        gui.reset();
    }
    void SetUp() override { ASSERT_TRUE(ready) << (gui && gui->initError ? gui->initError : ""); }

    static Frame Draw(std::int32_t t) {
        view->draw(t);
        Frame frame;
        frame.rgba = ReadRgba(kWidth, kHeight);
        frame.torus = DepthMask();
        return frame;
    }

    // Pixels of the off-screen target with depth written: the sky writes none.
    static std::vector<bool> DepthMask() {
        glExtensions.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, view->renderTarget->framebuffer);
        const std::vector<float> depth = ReadDepth(kWidth, kHeight);
        glExtensions.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        std::vector<bool> mask(kPixels);
        for (std::size_t i = 0; i < kPixels; ++i) mask[i] = depth[i] < 1.0f;
        return mask;
    }

    // The innermost shell alone, drawn without the program in the pose drawShells
    // gives it at time t (no bounce), into the target's depth buffer.
    static std::vector<bool> InnermostShell(float t) {
        glExtensions.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, view->renderTarget->framebuffer);
        glViewport(0, 0, kWidth, kHeight);
        glClear(GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, double(kWidth) / double(kHeight), 0.001, 500.0);
        gluLookAt(0.0, 0.0, 15.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(0.0f, -1.5f + shellRise(t), 0.0f);
        glRotatef(shellSwing(t, 0.0f), 1.0f, 1.0f, 0.0f);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glDisable(GL_ALPHA_TEST);
        glCallList(view->torusList);
        glEnable(GL_ALPHA_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glPopMatrix();
        glExtensions.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        return DepthMask();
    }

    static const std::uint8_t* Pixel(const Frame& f, std::size_t i) { return &f.rgba[i * 4]; }

    static std::optional<GuiHeadless> gui;
    static bool ready;
    static GLView* view;
    static std::string initOutput;
};

std::optional<GuiHeadless> Frames::gui;
bool Frames::ready = false;
GLView* Frames::view = nullptr;
std::string Frames::initOutput;

std::string ReferencePath(const char* name) {
    return std::string(QUILLON_SCENE_REFERENCE_DIR) + "/" + name;
}

// Compares with a stored picture, tolerating the rasteriser's small
// differences; QUILLON_WRITE_REFERENCES=1 stores the picture instead.
void CompareWithReference(const Frame& frame, const char* name) {
    const std::string path = ReferencePath(name);
    if (std::getenv("QUILLON_WRITE_REFERENCES") != nullptr) {
        ASSERT_TRUE(WritePng(path.c_str(), kWidth, kHeight, frame.rgba));
        return;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> reference;
    ASSERT_TRUE(ReadPng(path.c_str(), width, height, reference)) << path;
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    double total = 0;
    std::size_t far = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(int(frame.rgba[i * 4 + c]) - int(reference[i * 4 + c]));
            total += d;
            worst = std::max(worst, d);
        }
        far += worst > 48;
    }
    const double mean = total / (kPixels * 3.0);
    EXPECT_LT(mean, 3.0) << name;
    EXPECT_LT(far, kPixels / 100) << name;
    if (::testing::Test::HasFailure()) {
        const std::string actual = std::string(name) + ".actual.png";
        WritePng(actual.c_str(), kWidth, kHeight, frame.rgba);
        ADD_FAILURE() << "rendered frame written to " << actual;
    }
}

TEST_F(Frames, BuildsQuietly) {
    EXPECT_EQ(initOutput.find("error in"), std::string::npos) << initOutput;
    EXPECT_EQ(initOutput.find("unable to find"), std::string::npos) << initOutput;
    EXPECT_NE(view->hairProgram, 0u);
    EXPECT_NE(view->torusList, 0u);
    EXPECT_NE(view->strandTexture, 0u);
    EXPECT_NE(view->baseTexture, 0u);
    EXPECT_NE(view->envCubeMap, 0u);
    EXPECT_NE(view->skyCubeMap, 0u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Frames, AtTheStartTheSkyIsBlackAndTheTorusBelowTheView) {
    const Frame frame = Draw(0);
    int lit = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        const std::uint8_t* p = Pixel(frame, i);
        lit += p[0] > 1 || p[1] > 1 || p[2] > 1;
    }
    EXPECT_EQ(lit, 0);
    int torus = 0;
    for (bool b : frame.torus) torus += b;
    EXPECT_EQ(torus, 0);
}

struct Stats {
    double cx = 0;
    double cy = 0;
    int count = 0;
};

Stats Centroid(const std::vector<bool>& mask) {
    Stats s;
    for (std::size_t i = 0; i < kPixels; ++i)
        if (mask[i]) {
            s.cx += double(i % kWidth);
            s.cy += double(i / kWidth);
            ++s.count;
        }
    if (s.count > 0) {
        s.cx /= s.count;
        s.cy /= s.count;
    }
    return s;
}

// Chessboard distance of every pixel to the nearest pixel of the mask, capped at 99.
std::vector<int> DistanceTo(const std::vector<bool>& mask) {
    std::vector<int> distance(kPixels, 99);
    for (std::size_t i = 0; i < kPixels; ++i)
        if (mask[i]) distance[i] = 0;
    for (int pass = 1; pass < 99; ++pass) {
        bool changed = false;
        std::vector<int> next = distance;
        for (std::size_t y = 0; y < kHeight; ++y)
            for (std::size_t x = 0; x < kWidth; ++x) {
                const std::size_t i = y * kWidth + x;
                if (distance[i] != 99) continue;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const long nx = long(x) + dx;
                        const long ny = long(y) + dy;
                        if (nx < 0 || ny < 0 || nx >= long(kWidth) || ny >= long(kHeight)) continue;
                        if (distance[std::size_t(ny) * kWidth + std::size_t(nx)] == pass - 1) {
                            next[i] = pass;
                            changed = true;
                        }
                    }
            }
        distance.swap(next);
        if (!changed) break;
    }
    return distance;
}

TEST_F(Frames, AfterEightSecondsTheHairyTorusStandsInFrontOfTheSky) {
    Draw(7000);
    const Frame frame = Draw(8000);
    CompareWithReference(frame, "frame_8000.png");

    // The torus stands in the middle of the frame, a little below the centre.
    const Stats torus = Centroid(frame.torus);
    EXPECT_GT(torus.count, int(kPixels / 20));
    EXPECT_LT(torus.count, int(kPixels / 2));
    EXPECT_NEAR(torus.cx, kWidth / 2.0, kWidth * 0.15);
    EXPECT_GT(torus.cy, kHeight * 0.45);
    EXPECT_LT(torus.cy, kHeight * 0.8);

    // Hair reaches beyond the bare torus, as scattered strands, not as a solid rim.
    const std::vector<bool> body = InnermostShell(8000.0f);
    int bodyCount = 0;
    int beyond = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        bodyCount += body[i];
        beyond += frame.torus[i] && !body[i];
    }
    // Coverage in bands around the body: strands thin out with distance.
    int band[4] = {0, 0, 0, 0};
    int bandCovered[4] = {0, 0, 0, 0};
    const std::vector<int> distance = DistanceTo(body);
    for (std::size_t i = 0; i < kPixels; ++i) {
        const int d = distance[i];
        if (d < 1 || d > 12) continue;
        const int b = (d - 1) / 3;
        ++band[b];
        bandCovered[b] += frame.torus[i];
    }
    EXPECT_GT(beyond, bodyCount / 2);
    // Next to the body almost every pixel holds a strand, though not all, as solid
    // outer shells would; farther out about half do.
    const double nearShare = double(bandCovered[0]) / band[0];
    const double farShare = double(bandCovered[3]) / band[3];
    EXPECT_GT(nearShare, 0.85);
    EXPECT_LT(nearShare, 0.99);
    EXPECT_GT(farShare, 0.3);
    EXPECT_LT(farShare, 0.65);

    // Reflections in the solid body show both lights: orange and blue.
    int orange = 0;
    int blue = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        if (!body[i]) continue;
        const std::uint8_t* p = Pixel(frame, i);
        orange += p[0] > p[2] + 25;
        blue += p[2] > p[0] + 25;
    }
    EXPECT_GT(orange, bodyCount / 20);
    EXPECT_GT(blue, bodyCount / 20);

    // The sky's chequer: neighbouring sky pixels step by 0.1 in all channels at once.
    int steps = 0;
    for (std::size_t y = 0; y < kHeight; ++y)
        for (std::size_t x = 0; x + 1 < kWidth; ++x) {
            const std::size_t i = y * kWidth + x;
            if (frame.torus[i] || frame.torus[i + 1]) continue;
            const std::uint8_t* a = Pixel(frame, i);
            const std::uint8_t* b = Pixel(frame, i + 1);
            bool step = true;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(int(a[c]) - int(b[c]));
                step = step && d >= 12 && d <= 30;
            }
            steps += step;
        }
    EXPECT_GT(steps, 100);
}

TEST_F(Frames, TheSkyTurnsWithTime) {
    const Frame before = Draw(8000);
    const Frame after = Draw(8400);
    int sky = 0;
    int changed = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        if (before.torus[i] || after.torus[i]) continue;
        ++sky;
        int worst = 0;
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int(Pixel(before, i)[c]) - int(Pixel(after, i)[c])));
        changed += worst > 10;
    }
    EXPECT_GT(sky, int(kPixels / 3));
    EXPECT_GT(changed, sky / 4);
}

TEST_F(Frames, FadingInAndRising) {
    const Frame frame = Draw(5000);
    CompareWithReference(frame, "frame_5000.png");
    const Stats torus = Centroid(frame.torus);
    EXPECT_GT(torus.count, int(kPixels / 20));
}

TEST_F(Frames, BassIntensityOvershootReachesTheShader) {
    Draw(30000);
    view->basslineIntensity = 0.0f;
    view->bassFalling = false;
    Draw(30300);
    EXPECT_FLOAT_EQ(view->basslineIntensity, 1.2f);
    auto getUniform = reinterpret_cast<PFNGLGETUNIFORMFVARBPROC>(
        eglGetProcAddress("glGetUniformfvARB"));
    ASSERT_NE(getUniform, nullptr);
    float value = 0.0f;
    getUniform(view->hairProgram, view->basslineIntensityLocation, &value);
    EXPECT_FLOAT_EQ(value, 1.2f);
}

TEST_F(Frames, DrawingAFrameAllocatesNothing) {
    // The driver builds its own code for new state combinations (partly in C++)
    // during the first frames; warm it up over the fade-in, the rise and later.
    for (std::int32_t t : {0, 1000, 3000, 6000, 40000}) view->draw(t);
    StartCountingAllocations();
    view->draw(40016);
    view->draw(40033);
    EXPECT_EQ(StopCountingAllocations(), 0);
}

}  // namespace
