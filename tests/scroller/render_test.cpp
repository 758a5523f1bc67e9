#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cue_song.h"
#include "scene/scroller.h"
#include "shell/gl_extensions.h"
#include "shell/headless/gui_headless.h"
#include "shell/headless/image_file.h"

namespace {

constexpr std::uint32_t kWidth = 320;
constexpr std::uint32_t kHeight = 240;
// sin(t / 1000) is about 0 here, so the text is not tilted, and it crosses the
// middle of the picture ("welcome to quillon").
constexpr std::int32_t kLevelTime = 12566;

struct Picture {
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(std::uint32_t x, std::uint32_t y) const { return &rgba[(y * kWidth + x) * 4]; }
    bool lit(std::uint32_t x, std::uint32_t y) const { return at(x, y)[0] > 8; }

    // Rows between the highest and the lowest lit pixel over a band of columns.
    int extent(std::uint32_t fromX, std::uint32_t toX) const {
        int top = -1;
        int bottom = -1;
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = fromX; x < toX; ++x)
                if (lit(x, y)) {
                    if (top < 0) top = static_cast<int>(y);
                    bottom = static_cast<int>(y);
                }
        return top < 0 ? 0 : bottom - top + 1;
    }

    int count(int from, int to) const {
        int n = 0;
        for (std::size_t i = 0; i < rgba.size(); i += 4) n += rgba[i] >= from && rgba[i] <= to;
        return n;
    }

    long sum() const {
        long total = 0;
        for (std::size_t i = 0; i < rgba.size(); i += 4) total += rgba[i];
        return total;
    }
};

class ScrollerRender : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gui.init(0, 0)) << gui.initError;
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glEnable(GL_CULL_FACE);
        scroller.createProgram();
        scroller.createFontTexture();
        scroller.layoutText();
        scroller.list = glGenLists(1);
        glNewList(scroller.list, GL_COMPILE);
        scroller.compileList();
        glEndList();
    }

    // The scene's camera, a black background, then the scroller alone.
    Picture frame(std::int32_t t) {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(kWidth) / kHeight, 0.001, 500.0);
        gluLookAt(0.0, 0.0, 15.0, 0.0, 0.0, 1.0, 0.0, 1.0, 0.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        scroller.draw(t);
        glFinish();
        Picture picture{gui.readPixels()};
        keep(picture, "scroller_" + std::to_string(t) + ".png");
        return picture;
    }

    // QUILLON_TEST_PICTURES=<dir> keeps the frames for a look.
    static void keep(const Picture& picture, const std::string& name) {
        if (const char* dir = std::getenv("QUILLON_TEST_PICTURES"))
            WritePng((std::string(dir) + "/" + name).c_str(), kWidth, kHeight, picture.rgba);
    }

    GuiHeadless gui{kWidth, kHeight};
    Scroller scroller;
};

}  // namespace

TEST_F(ScrollerRender, TextCrossingTheMiddleIsVisiblePaleAndBentTowardsTheViewer) {
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const Picture picture = frame(kLevelTime);

    // White text over black: grey levels, mostly at a fifth of full
    // brightness. Where the bend folds a letter over itself, layers add up.
    int lit = 0;
    int pale = 0;
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const std::uint8_t* p = picture.at(x, y);
            ASSERT_EQ(p[0], p[1]);
            ASSERT_EQ(p[1], p[2]);
            if (!picture.lit(x, y)) continue;
            ++lit;
            pale += p[0] <= 52;
        }
    EXPECT_GT(lit, static_cast<int>(kWidth * kHeight / 50)) << "text visible";
    EXPECT_GT(pale, lit * 9 / 10) << "at most a fifth of full opacity";
    EXPECT_GT(picture.count(50, 52), lit / 2) << "solid strokes at a fifth";

    // The fish-eye pulls the middle of the line towards the camera, so the
    // letters there stand much taller than those near the edges.
    const int middle = picture.extent(kWidth / 2 - 16, kWidth / 2 + 16);
    const int left = picture.extent(0, kWidth / 8);
    const int right = picture.extent(kWidth * 7 / 8, kWidth);
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
    EXPECT_GT(middle, 2 * std::max(left, right)) << "middle " << middle << " rows, edges " << left << ", " << right;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScrollerRender, ACueBurstsTheTextIntoCopiesTowardsTheViewer) {
    const Picture plain = frame(kLevelTime + 449);
    ASSERT_FALSE(scroller.triggered);

    CueSong music(8, 1);
    music.cell(0, 16, 7).instrument = 62;
    HeardPosition heard;
    heard.set(0, 10);
    scroller.songSlot = &music.slot;

    frame(kLevelTime);
    ASSERT_TRUE(scroller.triggered);
    float zooms[kMaxBurstPasses];
    EXPECT_EQ(scroller.burstZooms(zooms), 1) << "one pass at zoom 0 in the trigger frame";
    EXPECT_EQ(zooms[0], 0.0f);

    const Picture burst = frame(kLevelTime + 449);  // the peak: pi / 2 / 0.0035 ms
    EXPECT_TRUE(scroller.triggered);
    EXPECT_NEAR(scroller.burst, 1.0f, 1e-3f);
    EXPECT_EQ(scroller.burstZooms(zooms), 20);
    EXPECT_GT(burst.sum(), plain.sum() * 3 / 2) << "the copies add light";

    // After pi / 0.0035 ms the sine turns negative and the burst ends.
    frame(kLevelTime + 900);
    EXPECT_FALSE(scroller.triggered);
    EXPECT_EQ(scroller.burst, 0.0f);
}
