// The page's test hook: the frame of a given intro time at a given size, drawn
// as quillon-capture draws it. Every frame from 0 at the given rate is drawn,
// each with the play cursor where the sound would be, so the music-driven
// state is what it would be live.
#include <GLES2/gl2.h>
#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

#include "music/output/waveout/web.h"
#include "scene/es2/es2_view.h"
#include "shell/web/gui_web.h"
#include "tools/capture/timeline.h"

namespace {

constexpr int kRate = 44100;
std::vector<std::uint8_t> pixels;
double drawMs = 0.0;

}  // namespace

extern "C" {

// RGBA, top row first, of the frame at `seconds` (rounded to whole frames at
// fps); null when no WebGL. The page must not be running the intro.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* quillon_capture_frame(int width, int height, double seconds, int fps) {
    if (width <= 0 || height <= 0 || fps <= 0) return nullptr;
    WebWaveOutDriveByCaller(true);
    GuiWeb gui;
    if (!gui.init(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))) {
        WebWaveOutDriveByCaller(false);
        return nullptr;
    }
    auto* view = new Es2View(&gui);
    view->init();
    const CaptureSpan span = SpanOfSeconds(seconds, 1.0 / fps, fps, kRate);
    const double began = emscripten_get_now();
    for (std::int64_t n = 0; n <= span.firstFrame; ++n) {
        WebWaveOutSetPositionBytes(static_cast<std::uint32_t>(FrameSoundPosition(n, fps, kRate) * 4));
        view->draw(FrameTimeMs(n, fps));
    }
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    std::vector<std::uint8_t> bottomUp(w * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    drawMs = emscripten_get_now() - began;
    pixels.resize(bottomUp.size());
    for (std::size_t y = 0; y < h; ++y) {
        std::copy_n(bottomUp.data() + (h - 1 - y) * w * 4, w * 4, pixels.data() + y * w * 4);
    }
    delete view;
    gui.shutdown();
    WebWaveOutDriveByCaller(false);
    return pixels.data();
}

// Milliseconds the last capture spent drawing its frames, up to the read of
// the last one (the build of the view not counted).
EMSCRIPTEN_KEEPALIVE double quillon_capture_draw_ms() {
    return drawMs;
}

}  // extern "C"
