#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "headless_context.h"
#include "scene/build_textures.h"
#include "scene/glview.h"
#include "scene/sky_box.h"
#include "shell/gl_headers.h"
#include "textures/cube_cross.h"
#include "textures/environment_maps.h"

namespace {

constexpr std::uint32_t kSize = 96;

class SkyBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ready = OpenHeadless(gui, kSize, kSize);
        if (!ready) return;
        view = new GLView(&*gui);
        buildTextures(*view);
    }
    static void TearDownTestSuite() {
        view = nullptr;
        gui.reset();
    }
    void SetUp() override { ASSERT_TRUE(ready) << (gui && gui->initError ? gui->initError : ""); }

    // The cube seen from the origin through a 90-degree lens looking along dir,
    // over a magenta ground that must not show anywhere.
    static std::vector<std::uint8_t> Look(std::uint32_t cubeMap, const double dir[3]) {
        glViewport(0, 0, kSize, kSize);
        glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90.0, 1.0, 1.0, 500.0);
        const bool vertical = std::fabs(dir[1]) > 0.9 * std::hypot(dir[0], dir[1], dir[2]);
        gluLookAt(0.0, 0.0, 0.0, dir[0], dir[1], dir[2], vertical ? 1.0 : 0.0,
                  vertical ? 0.0 : 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        DrawSkyBox(cubeMap);
        return ReadRgba(kSize, kSize);
    }

    static std::optional<GuiHeadless> gui;
    static bool ready;
    static GLView* view;
};

std::optional<GuiHeadless> SkyBox::gui;
bool SkyBox::ready = false;
GLView* SkyBox::view = nullptr;

const std::uint8_t* At(const std::vector<std::uint8_t>& picture, std::uint32_t x, std::uint32_t y) {
    return &picture[(y * kSize + x) * 4];
}

TEST_F(SkyBox, LeavesDepthAloneAndRestoresItsState) {
    const double ahead[3] = {0.0, 0.0, -1.0};
    Look(view->skyCubeMap, ahead);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    for (float d : ReadDepth(kSize, kSize)) ASSERT_EQ(d, 1.0f);
}

// Which face and texel GL samples for a direction (its cube-map face selection
// table), and where the cross layout puts that face.
struct CrossTexel {
    std::uint32_t x;
    std::uint32_t y;
    bool nearEdge;
};

CrossTexel ExpectedTexel(const double d[3]) {
    const double ax = std::fabs(d[0]);
    const double ay = std::fabs(d[1]);
    const double az = std::fabs(d[2]);
    double sc, tc, ma;
    int face;
    if (ax >= ay && ax >= az) {
        face = d[0] > 0 ? 0 : 1;
        sc = d[0] > 0 ? -d[2] : d[2];
        tc = -d[1];
        ma = ax;
    } else if (ay >= az) {
        face = d[1] > 0 ? 2 : 3;
        sc = d[0];
        tc = d[1] > 0 ? d[2] : -d[2];
        ma = ay;
    } else {
        face = d[2] > 0 ? 4 : 5;
        sc = d[2] > 0 ? d[0] : -d[0];
        tc = -d[1];
        ma = az;
    }
    const double s = (sc / ma + 1.0) / 2.0 * 256.0;
    const double t = (tc / ma + 1.0) / 2.0 * 256.0;
    std::uint32_t fx = std::min<std::uint32_t>(255, std::uint32_t(std::max(0.0, s)));
    std::uint32_t fy = std::min<std::uint32_t>(255, std::uint32_t(std::max(0.0, t)));
    // +X, -X, +Y, -Y, +Z, -Z come from cells (2,1), (0,1), (1,0), (1,2), (1,1),
    // (1,3); the last one turned by 180 degrees.
    const std::uint32_t cells[6][2] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {1, 3}};
    if (face == 5) {
        fx = 255 - fx;
        fy = 255 - fy;
    }
    const bool nearEdge = s < 3.0 || s > 253.0 || t < 3.0 || t > 253.0;
    return CrossTexel{cells[face][0] * 256 + fx, cells[face][1] * 256 + fy, nearEdge};
}

EnvironmentCrosses StandardCrosses() {
    std::vector<Float3> positions;
    std::vector<Float3> colors;
    appendColor(positions, 0.2f, 1.0f, 0.0f);
    appendColor(colors, 1.0f, 0.3f, 0.01f);
    appendColor(positions, 0.6f, -1.0f, 0.4f);
    appendColor(colors, 0.2f, 0.4f, 0.8f);
    return environmentCrossBytes(positions, colors);
}

// Every pixel of the sky box shows the cross texel GL's cube-map rule selects
// for its direction (up to linear filtering): a face taken from the wrong
// cell, mirrored or not turned shows its chequer and light in the wrong place.
TEST_F(SkyBox, EachDirectionShowsItsCrossTexel) {
    const EnvironmentCrosses crosses = StandardCrosses();
    const std::vector<std::uint8_t>& cross = crosses.sky;
    const double views[][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}, {0, 0, 1},
                               {0, 0, -1}, {1, 1, 1},  {-1, -1, 1}, {1, -1, -1}};
    for (const auto& f0 : views) {
        const std::vector<std::uint8_t> picture = Look(view->skyCubeMap, f0);
        // The camera basis gluLookAt builds: forward f, side s = f x up, up u = s x f.
        const double length = std::hypot(f0[0], f0[1], f0[2]);
        const double f[3] = {f0[0] / length, f0[1] / length, f0[2] / length};
        const bool vertical = std::fabs(f[1]) > 0.9;
        const double up[3] = {vertical ? 1.0 : 0.0, vertical ? 0.0 : 1.0, 0.0};
        double side[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2],
                          f[0] * up[1] - f[1] * up[0]};
        const double sideLength = std::hypot(side[0], side[1], side[2]);
        for (double& c : side) c /= sideLength;
        const double u[3] = {side[1] * f[2] - side[2] * f[1], side[2] * f[0] - side[0] * f[2],
                             side[0] * f[1] - side[1] * f[0]};
        int compared = 0;
        int mismatched = 0;
        for (std::uint32_t py = 0; py < kSize; ++py)
            for (std::uint32_t px = 0; px < kSize; ++px) {
                const double xn = 2.0 * (px + 0.5) / kSize - 1.0;
                const double yn = 1.0 - 2.0 * (py + 0.5) / kSize;
                const double d[3] = {side[0] * xn + u[0] * yn + f[0], side[1] * xn + u[1] * yn + f[1],
                                     side[2] * xn + u[2] * yn + f[2]};
                const CrossTexel texel = ExpectedTexel(d);
                if (texel.nearEdge) continue;
                ++compared;
                const std::uint8_t* p = At(picture, px, py);
                // Linear filtering blends the 2 x 2 texels around the sample.
                bool match = true;
                for (int c = 0; c < 3; ++c) {
                    int low = 255;
                    int high = 0;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int e = cross[((texel.y + dy) * kCrossWidth + texel.x + dx) * 4 + 2 - c];
                            low = std::min(low, e);
                            high = std::max(high, e);
                        }
                    match = match && p[c] >= low - 3 && p[c] <= high + 3;
                }
                mismatched += !match;
            }
        EXPECT_GT(compared, int(kSize * kSize / 2));
        EXPECT_LE(mismatched, compared / 50)
            << "looking along " << f0[0] << "," << f0[1] << "," << f0[2];
    }
}

}  // namespace
