#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "scene/glview.h"
#include "shell/gl_headers.h"
#include "shell/headless/gui_headless.h"
#include "shell/headless/image_file.h"

namespace {

constexpr std::uint32_t kTargetWidth = 8;
constexpr std::uint32_t kTargetHeight = 6;

// A different colour for every texel, so any flip, mirror, shift or blend of
// neighbours shows up. Row 0 is the bottom row, as GL stores it.
std::uint8_t* Texel(std::vector<std::uint8_t>& image, std::uint32_t x, std::uint32_t y) {
    return &image[(y * kTargetWidth + x) * 4];
}

std::vector<std::uint8_t> Picture() {
    std::vector<std::uint8_t> image(kTargetWidth * kTargetHeight * 4);
    for (std::uint32_t y = 0; y < kTargetHeight; ++y)
        for (std::uint32_t x = 0; x < kTargetWidth; ++x) {
            std::uint8_t* t = Texel(image, x, y);
            t[0] = static_cast<std::uint8_t>(x * 32);
            t[1] = static_cast<std::uint8_t>(y * 40);
            t[2] = static_cast<std::uint8_t>((x + y) % 2 ? 255 : 60);
            t[3] = 255;
        }
    return image;
}

// Runs the final pass for a window of the given size and checks that window
// pixel (x, y), counted from the top, shows the texel the target holds there
// when looked at upright: column x * 8 / width, row from the top y * 6 / height.
void CheckMagnified(std::uint32_t windowWidth, std::uint32_t windowHeight) {
    SCOPED_TRACE(::testing::Message() << windowWidth << "x" << windowHeight);
    GuiHeadless gui(windowWidth, windowHeight);
    ASSERT_TRUE(gui.init(0, 0)) << gui.initError;

    GLView view(&gui);
    view.renderTarget->width = kTargetWidth;
    view.renderTarget->height = kTargetHeight;
    CreateRenderTarget(view.renderTarget);
    std::vector<std::uint8_t> picture = Picture();
    glBindTexture(GL_TEXTURE_2D, view.renderTarget->colorTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kTargetWidth, kTargetHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                    picture.data());
    glBindTexture(GL_TEXTURE_2D, 0);

    // The state a frame leaves at this seam: texturing on, depth test on,
    // alpha test on with the scroller's reference.
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.01f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    view.drawFinalPass();
    gui.present();
    const std::vector<std::uint8_t> window = gui.readPixels();

    int wrong = 0;
    for (std::uint32_t y = 0; y < windowHeight && wrong < 5; ++y)
        for (std::uint32_t x = 0; x < windowWidth && wrong < 5; ++x) {
            const std::uint32_t tx = x * kTargetWidth / windowWidth;
            const std::uint32_t ty = kTargetHeight - 1 - y * kTargetHeight / windowHeight;
            const std::uint8_t* want = Texel(picture, tx, ty);
            const std::uint8_t* got = &window[(std::size_t{y} * windowWidth + x) * 4];
            for (int c = 0; c < 3; ++c)
                if (got[c] != want[c]) {
                    ADD_FAILURE() << "window pixel (" << x << ", " << y << ") channel " << c
                                  << " is " << int(got[c]) << ", texel (" << tx << ", " << ty
                                  << ") has " << int(want[c]);
                    ++wrong;
                    break;
                }
        }
    if (wrong > 0) WritePng("final_pass_failure.png", windowWidth, windowHeight, window);
}

}  // namespace

// The target fills the whole window upright, unmirrored and with hard texel
// edges, also when the window's shape is not the target's.
TEST(FinalPass, MagnifiesTheTargetOverTheWholeWindow) {
    CheckMagnified(64, 48);   // same shape, 8x
    CheckMagnified(96, 24);   // wider than the target
    CheckMagnified(40, 60);   // taller than the target
}
