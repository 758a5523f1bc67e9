#include "shell/main_loop.h"

#include <cstdio>

#include "scene/glview.h"
#include "shell/gl_extensions.h"
#include "shell/gui.h"

int RunIntro(Gui& gui) {
    // Running on without a context would only crash later; say what failed.
    if (!gui.init(640, 480)) {
        std::fprintf(stderr, "quillon: could not open an OpenGL window\n");
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
    if (!gui.quit) {
        view->init();
        const std::uint32_t start = gui.time();
        if (!gui.quit) {
            do {
                view->draw(ElapsedSince(start, gui.time()));
                gui.present();
            } while (!gui.quit);
        }
    }
    gui.shutdown();
    return 0;
}
