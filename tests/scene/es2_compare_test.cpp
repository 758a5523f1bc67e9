// The OpenGL ES 2.0 drawing path against the desktop one: its matrices
// against the desktop matrix stack, and its pictures against the desktop
// path's, frame by frame through quillon-capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "headless_context.h"
#include "scene/es2/matrix4.h"
#include "shell/gl_headers.h"
#include "tests/support/run_command.h"
#include "tools/capture/folder_sink.h"

namespace {

namespace fs = std::filesystem;

Matrix4 StackTop() {
    Matrix4 top{};
    glGetFloatv(GL_MODELVIEW_MATRIX, top.m);
    return top;
}

// Peak signal to noise of the colour channels in dB; 99 for equal pictures.
double Psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double squares = 0.0;
    std::size_t count = 0;
    for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        for (int c = 0; c < 3; ++c, ++count) squares += std::pow(double(a[i + c]) - double(b[i + c]), 2.0);
    if (count == 0 || a.size() != b.size()) return 0.0;
    return squares == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * double(count) / squares);
}

}  // namespace

// Each operation done on the CPU gives the matrix the desktop stack gives,
// with the scene's own arguments and the late, large angles of a long run.
TEST(Es2Path, MatricesFollowTheDesktopStack) {
    std::optional<GuiHeadless> gui;
    ASSERT_TRUE(OpenHeadless(gui, 8, 8));
    const struct {
        const char* name;
        void (*desktop)();
        Matrix4 (*cpu)(const Matrix4&);
    } steps[] = {
        {"perspective", [] { gluPerspective(45.0, 16.0 / 9.0, 0.001, 500.0); },
         [](const Matrix4& m) { return Perspective(m, 45.0, 16.0 / 9.0, 0.001, 500.0); }},
        {"look-at", [] { gluLookAt(0.0, 0.0, 15.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0); },
         [](const Matrix4& m) {
             const float e[3] = {0.0f, 0.0f, 15.0f}, c[3] = {0.0f, 0.0f, 1.0f}, u[3] = {0.0f, 1.0f, 0.0f};
             return LookAt(m, e, c, u);
         }},
        {"sky rotation late", [] { glRotatef(5400.03f, 0.2f, 0.5f, 0.4f); },
         [](const Matrix4& m) { return Rotate(m, 5400.03f, 0.2f, 0.5f, 0.4f); }},
        {"translation", [] { glTranslatef(0.0f, -1.2f, 0.7f); },
         [](const Matrix4& m) { return Translate(m, 0.0f, -1.2f, 0.7f); }},
        {"swing", [] { glRotatef(-251.5f, 1.0f, 1.0f, 0.0f); },
         [](const Matrix4& m) { return Rotate(m, -251.5f, 1.0f, 1.0f, 0.0f); }},
        {"scale", [] { glScalef(25.0f, 20.0f, 0.0f); }, [](const Matrix4& m) { return Scale(m, 25.0f, 20.0f, 0.0f); }},
    };
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Matrix4 cpu = Identity();
    for (const auto& step : steps) {
        step.desktop();
        cpu = step.cpu(cpu);
        const Matrix4 desktop = StackTop();
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(cpu.m[i], desktop.m[i], 1e-5f * std::max(1.0f, std::fabs(desktop.m[i])))
                << step.name << ", element " << i;
    }
}

// The same moments drawn by both paths at 320x180: the rise, drum bounces,
// the bass wave, the scroller in view and in a burst, and a moment late in the
// song. Every frame must come within 38 dB of the desktop picture.
TEST(Es2Path, FramesMatchTheDesktopPath) {
    const fs::path root = fs::path(WORK_DIR) / "es2_compare";
    fs::remove_all(root);
    fs::create_directories(root);
    const struct {
        const char* name;
        const char* span;
        int frames;
    } spans[] = {
        {"first", "--fps 5 --duration 23", 115},  // frames every 0.2 s from 0 to 22.8 s
        {"late", "--fps 1 --start 120 --duration 1", 1},
    };
    std::vector<double> all;
    for (const auto& span : spans) {
        for (const char* renderer : {"gl", "es2"}) {
            const fs::path dir = root / (std::string(span.name) + "_" + renderer);
            const RunResult run = Execute(std::string(CAPTURE_PATH) + " --renderer " + renderer +
                                          " --size 320x180 " + span.span + " -o '" + dir.string() + "'");
            ASSERT_EQ(run.status, 0) << run.output;
            EXPECT_EQ(run.output, "") << renderer << ": nothing to complain about";
        }
        for (int n = 0; n < span.frames; ++n) {
            std::vector<std::uint8_t> pictures[2];
            const char* renderers[2] = {"gl", "es2"};
            for (int k = 0; k < 2; ++k) {
                std::uint32_t width = 0;
                std::uint32_t height = 0;
                const fs::path file = root / (std::string(span.name) + "_" + renderers[k]) / FrameFileName(n);
                ASSERT_TRUE(ReadPng(file.c_str(), width, height, pictures[k])) << file;
                ASSERT_EQ(width * height, 320u * 180u) << file;
            }
            const double psnr = Psnr(pictures[0], pictures[1]);
            EXPECT_GE(psnr, 38.0) << span.name << " frame " << n;
            all.push_back(psnr);
        }
    }
    std::sort(all.begin(), all.end());
    std::printf("ES path against the desktop path, %zu frames: lowest %.2f dB, median %.2f dB\n", all.size(),
                all.front(), all[all.size() / 2]);
}
