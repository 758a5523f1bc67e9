#include "shell/main_loop.h"

#include <cstdio>

#include "scene/glview.h"
#include "shell/gl_extensions.h"
#include "shell/gui.h"

namespace {

void ReportStartFailure(const char* line, StartFailureNotice notice) {
    std::fprintf(stderr, "%s\n", line);
    if (notice) notice(line);
}

}  // namespace

int RunIntro(Gui& gui, StartFailureNotice notice) {
    // Running on without a context would only crash later; say what failed.
    char line[512];
    if (!gui.init(640, 480)) {
        std::snprintf(line, sizeof line, "quillon: could not open an OpenGL window: %s",
                      gui.initError != nullptr ? gui.initError : "unknown failure");
        ReportStartFailure(line, notice);
        return 1;
    }
    if (const char* missing = MissingRequiredGlExtension()) {
        std::snprintf(line, sizeof line, "quillon: the OpenGL driver lacks %s", missing);
        // Before the shutdown, whose quit message would close a box at once.
        ReportStartFailure(line, notice);
        gui.shutdown();
        return 1;
    }

    // The view is never destroyed: the process ends right after this returns,
    // with the mixing thread still running.
    GLView* view = new GLView(&gui);
    RunView(gui, *view);
    gui.shutdown();
    return 0;
}

void RunView(Gui& gui, GLView& view) {
    if (gui.quit) return;
    view.init();
    // Taken after the build, so the first frame starts near 0 however long it took.
    const std::uint32_t start = gui.time();
    while (!gui.quit) {
        view.draw(ElapsedSince(start, gui.time()));
        gui.present();
    }
}
