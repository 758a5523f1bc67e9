#include "shell/main_loop.h"

#include <cstdio>

#include "scene/glview.h"
#include "shell/gl_extensions.h"
#include "shell/gui.h"

int RunIntro(Gui& gui) {
    // Running on without a context would only crash later; say what failed.
    if (!gui.init(640, 480)) {
        std::fprintf(stderr, "quillon: could not open an OpenGL window: %s\n",
                     gui.initError != nullptr ? gui.initError : "unknown failure");
        return 1;
    }
    if (const char* missing = MissingRequiredGlExtension()) {
        std::fprintf(stderr, "quillon: the OpenGL driver lacks %s\n", missing);
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
