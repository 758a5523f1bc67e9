// The intro in a browser. The page (index.html) calls in: prepare builds the
// view while the title shows, start runs it from the user's gesture, one
// frame per animation frame, and quit ends it as Escape ends the desktop
// intro. The page may then prepare and start again.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>

#include "music/player.h"
#include "music/output/waveout/web.h"
#include "scene/es2/es2_view.h"
#include "shell/main_loop.h"
#include "shell/web/gui_web.h"

namespace {

constexpr int kRate = 44100;
// A sound output that has not started by then is taken to be silent for good.
constexpr std::uint32_t kSoundStartWaitMs = 3000;

GuiWeb* gui = nullptr;
Es2View* view = nullptr;
Song** songSlot = nullptr;
std::uint32_t start = 0;
std::uint32_t startRequested = 0;
bool waitingForSound = false;
bool running = false;
std::int32_t lastElapsed = 0;
std::uint32_t framesDrawn = 0;
std::int64_t heardAtLastFrame = 0;

void Release() {
    // The view stops the song and closes the output; the context goes with
    // the shell, and every GL object with it.
    delete view;
    view = nullptr;
    songSlot = nullptr;
    delete gui;
    gui = nullptr;
    running = false;
}

EM_BOOL Frame(double, void*) {
    if (!view) return EM_FALSE;
    if (gui->quit) {
        Release();
        EM_ASM({ if (Module['onQuillonEnded']) Module['onQuillonEnded'](); });
        return EM_FALSE;
    }
    WebWaveOutPoll();
    const std::uint32_t now = gui->time();
    if (waitingForSound) {
        // A browser may take a while to open its sound output, and its clock
        // may count a first few milliseconds long before the sound flows. On
        // the desktop the frame clock and the song start together; here the
        // frames follow the heard position until it is well under way, then
        // the clock runs on from there. An output still silent after the wait
        // lets the clock run on its own, but sound that comes later takes the
        // clock back to what it plays.
        const std::int64_t heard = SongHeardFrames();
        if (heard > kRate / 10 || now - startRequested <= kSoundStartWaitMs) {
            start = now - static_cast<std::uint32_t>(heard * 1000 / kRate);
        }
        if (heard > kRate / 10) waitingForSound = false;
    }
    lastElapsed = ElapsedSince(start, now);
    heardAtLastFrame = SongHeardFrames();
    view->draw(lastElapsed);
    gui->present();
    if (++framesDrawn == 1) EM_ASM({ if (Module['onQuillonFirstFrame']) Module['onQuillonFirstFrame'](); });
    return EM_TRUE;
}

}  // namespace

extern "C" {

// Builds the view at the given size in device pixels, its song ready but
// silent. 0 when the browser has no WebGL (the page says so).
EMSCRIPTEN_KEEPALIVE int quillon_prepare(int width, int height) {
    if (view) return 1;
    WebWaveOutDriveByCaller(false);
    gui = new GuiWeb;
    if (!gui->init(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))) {
        std::fprintf(stderr, "quillon: %s\n", gui->initError);
        delete gui;
        gui = nullptr;
        return 0;
    }
    view = new Es2View(gui);
    view->init();
    songSlot = view->songSlot;
    return 1;
}

// From the user's gesture: the sound starts and the frames with it.
EMSCRIPTEN_KEEPALIVE void quillon_start() {
    if (!view || running) return;
    running = true;
    framesDrawn = 0;
    WebWaveOutStart();
    start = gui->time();
    startRequested = start;
    waitingForSound = songSlot && *songSlot;
    emscripten_request_animation_frame_loop(Frame, nullptr);
}

// Escape, or the end of full screen: the intro ends before its next frame.
EMSCRIPTEN_KEEPALIVE void quillon_quit() {
    if (gui) gui->quit = true;
}

EMSCRIPTEN_KEEPALIVE void quillon_resize(int width, int height) {
    if (gui && width > 0 && height > 0) {
        gui->resize(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height));
    }
}

// What is being heard and drawn, for the page and its tests: heard frames,
// order, row, song milliseconds, the last frame's elapsed milliseconds, the
// frames drawn since the start, and the heard frames that frame was drawn with.
EMSCRIPTEN_KEEPALIVE void quillon_status(double* out) {
    Song* song = songSlot ? *songSlot : nullptr;
    const PositionRecord heard = SongGetPosition(song);
    out[0] = song ? static_cast<double>(SongHeardFrames()) : 0.0;
    out[1] = heard.order;
    out[2] = heard.row;
    out[3] = heard.elapsedMs;
    out[4] = lastElapsed;
    out[5] = framesDrawn;
    out[6] = static_cast<double>(heardAtLastFrame);
}

}  // extern "C"

int main() {
    // The page drives everything from here on.
    return 0;
}
