#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "scene/glview.h"
#include "shell/gl_extensions.h"
#include "shell/headless/gui_headless.h"
#include "shell/main_loop.h"

namespace {

// A headless shell with a scripted clock: every present() advances it by a
// fixed step, records the frame the view just drew, and asks to quit after a
// given number of frames, as an Escape during that frame would.
class ScriptedGui : public GuiHeadless {
public:
    ScriptedGui(std::uint32_t startClock, std::uint32_t step, int quitAfter)
        : GuiHeadless(32, 32), step(step), quitAfter(quitAfter) {
        setTime(startClock);
    }

    void present() override {
        GuiHeadless::present();
        if (view != nullptr) frameTimes.push_back(view->frameTime);
        setTime(time() + step);
        if (static_cast<int>(presentCount()) >= quitAfter) quit = true;
    }

    GLView* view = nullptr;
    std::vector<float> frameTimes;

private:
    std::uint32_t step;
    int quitAfter;
};

}  // namespace

// The clock wraps from 0xffffff00 to 0x20 between the second and the third
// frame; the elapsed times must go on rising evenly from 0.
TEST(MainLoop, TickCounterWrapDoesNotDisturbElapsedTime) {
    ScriptedGui gui(0xffffff00u, 0x60, 5);
    ASSERT_TRUE(gui.init(0, 0)) << gui.initError;
    GLView view(&gui);
    gui.view = &view;
    RunView(gui, view);
    EXPECT_EQ(gui.frameTimes, (std::vector<float>{0.0f, 96.0f, 192.0f, 288.0f, 384.0f}));
    EXPECT_EQ(view.previousTime, 384.0f);
}

// Quit is tested only after a frame has been presented, and a quit that came
// before the loop skips the build and every frame.
TEST(MainLoop, QuitEndsTheLoopAfterTheFrameInProgress) {
    {
        ScriptedGui gui(1000, 16, 1);
        ASSERT_TRUE(gui.init(0, 0)) << gui.initError;
        GLView view(&gui);
        gui.view = &view;
        RunView(gui, view);
        EXPECT_EQ(gui.presentCount(), 1u);
        EXPECT_EQ(gui.frameTimes.size(), 1u);
    }
    {
        ScriptedGui gui(1000, 16, 1);
        ASSERT_TRUE(gui.init(0, 0)) << gui.initError;
        gui.quit = true;
        GLView view(&gui);
        RunView(gui, view);
        EXPECT_EQ(gui.presentCount(), 0u);
        EXPECT_EQ(view.renderTarget->framebuffer, 0u) << "the view was built after quit";
    }
}

namespace {

// A shell whose init fails, or succeeds with a driver that lacks an entry
// the scene needs.
class FailingGui : public GuiHeadless {
public:
    explicit FailingGui(bool contextFails) : GuiHeadless(16, 16), contextFails(contextFails) {}

    bool init(std::uint32_t w, std::uint32_t h) override {
        if (contextFails) {
            initError = "no pixel format";
            return false;
        }
        const bool ok = GuiHeadless::init(w, h);
        glExtensions.glGenFramebuffersEXT = nullptr;
        return ok;
    }
    void shutdown() override {
        ++shutdowns;
        GuiHeadless::shutdown();
    }

    int shutdowns = 0;

private:
    bool contextFails;
};

// What the entry point's notice was shown, as a message box would show it.
std::string noticeShown;
void RecordNotice(const char* line) { noticeShown += line; }

}  // namespace

// Both failures end the program with one line on stderr naming the cause and
// a nonzero status, without drawing a frame; the entry point's notice gets
// the same line.
TEST(MainLoop, InitFailuresEndTheProgramWithAMessage) {
    {
        FailingGui gui(true);
        testing::internal::CaptureStderr();
        noticeShown.clear();
        EXPECT_EQ(RunIntro(gui, RecordNotice), 1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("no pixel format"), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_EQ(noticeShown + "\n", err);
        EXPECT_EQ(gui.presentCount(), 0u);
    }
    {
        FailingGui gui(false);
        testing::internal::CaptureStderr();
        noticeShown.clear();
        EXPECT_EQ(RunIntro(gui, RecordNotice), 1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("glGenFramebuffersEXT"), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_EQ(noticeShown + "\n", err);
        EXPECT_EQ(gui.presentCount(), 0u);
        EXPECT_EQ(gui.shutdowns, 1);
    }
}
