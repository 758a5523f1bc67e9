#include <gtest/gtest.h>

#include <cstdint>

#include "scene/glview.h"
#include "shell/gl_extensions.h"
#include "shell/gl_headers.h"
#include "shell/headless/gui_headless.h"

namespace {

struct SizeCase {
    std::uint32_t windowWidth, windowHeight, multiply, targetWidth, targetHeight;
};

}  // namespace

// The view renders at 1/multiply of the window (integer division), and the
// GL objects behind the target really have that size.
TEST(RenderTarget, IsTheWindowDividedByMultiply) {
    const SizeCase cases[] = {
        {1920, 1080, 2, 960, 540},
        {1366, 768, 2, 683, 384},
        {800, 600, 16, 50, 37},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.windowWidth << "x" << c.windowHeight << " / "
                                          << c.multiply);
        GuiHeadless gui(c.windowWidth, c.windowHeight);
        ASSERT_TRUE(gui.init(0, 0)) << gui.initError;
        EXPECT_EQ(gui.multiply, 2u);
        gui.multiply = c.multiply;

        GLView view(&gui);
        view.init();
        EXPECT_EQ(view.renderTarget->width, c.targetWidth);
        EXPECT_EQ(view.renderTarget->height, c.targetHeight);

        GLint texWidth = 0, texHeight = 0;
        glBindTexture(GL_TEXTURE_2D, view.renderTarget->colorTexture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
        glBindTexture(GL_TEXTURE_2D, 0);
        EXPECT_EQ(texWidth, static_cast<GLint>(c.targetWidth));
        EXPECT_EQ(texHeight, static_cast<GLint>(c.targetHeight));

        glExtensions.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, view.renderTarget->framebuffer);
        EXPECT_EQ(glExtensions.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT),
                  static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
        glExtensions.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    }
}
