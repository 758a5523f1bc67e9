// The scene's costs on this machine's GL: the time of buildTextures, and frames
// per second of the whole intro frame headless at 1280x720 and 1920x1080
// (render target at half size, as the intro runs), drawing frame times 5 s to
// 15 s of the intro in steps of 250 ms, and the frame time of each drawing
// path (desktop OpenGL and OpenGL ES 2.0) at 1280x720 over the same frames.
// The song is stopped so that only the picture is measured.
// Usage: bench_scene [TEXTURE_RUNS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "bench/bench_runner.h"
#include "music/player.h"
#include "scene/build_textures.h"
#include "scene/es2/es2_view.h"
#include "scene/glview.h"
#include "shell/gl_headers.h"
#include "shell/headless/gui_headless.h"

namespace {

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

bool TimeTextures(int runs) {
    std::optional<GuiHeadless> gui;
    gui.emplace(16, 16);
    if (!gui->init(16, 16)) return false;
    // Never destroyed, as in the intro: the textures stay with the context.
    GLView* view = new GLView(&*gui);
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        glFinish();
        const auto start = std::chrono::steady_clock::now();
        buildTextures(*view);
        glFinish();
        samples.push_back(MsSince(start));
    }
    PrintFigure("buildTextures", samples, "ms", "headless, 4 textures");
    return true;
}

// Draws the 40 frames; their times in milliseconds, or nothing without a context.
std::vector<double> DrawFrames(std::uint32_t width, std::uint32_t height, HeadlessApi api, double* totalMs) {
    std::optional<GuiHeadless> gui;
    gui.emplace(width, height, api);
    if (!gui->init(width, height)) return {};
    SceneView* view = api == HeadlessApi::Es2 ? static_cast<SceneView*>(new Es2View(&*gui)) : new GLView(&*gui);
    view->init();
    if (*view->songSlot != nullptr) {
        SongStop(*view->songSlot);
        *view->songSlot = nullptr;
    }
    view->draw(4900);
    gui->present();

    constexpr int kFrames = 40;
    std::vector<double> frameMs;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) {
        const auto frameStart = std::chrono::steady_clock::now();
        view->draw(5000 + i * 250);
        gui->present();
        frameMs.push_back(MsSince(frameStart));
    }
    *totalMs = MsSince(start);
    return frameMs;
}

bool TimeFrames(std::uint32_t width, std::uint32_t height) {
    double totalMs = 0.0;
    const std::vector<double> frameMs = DrawFrames(width, height, HeadlessApi::DesktopGl, &totalMs);
    if (frameMs.empty()) return false;
    const int kFrames = static_cast<int>(frameMs.size());
    char setting[96];
    std::snprintf(setting, sizeof setting, "headless %ux%u, target %ux%u, t = 5..15 s", width,
                  height, width / 2, height / 2);
    std::vector<double> fps;
    for (double ms : frameMs) fps.push_back(1000.0 / ms);
    PrintFigure("frame rate", fps, "fps", setting);
    std::printf("  overall: %.1f fps over %d frames\n", kFrames * 1000.0 / totalMs, kFrames);
    return true;
}

bool ComparePaths(std::uint32_t width, std::uint32_t height) {
    const struct {
        HeadlessApi api;
        const char* name;
    } paths[] = {{HeadlessApi::DesktopGl, "desktop OpenGL"}, {HeadlessApi::Es2, "OpenGL ES 2.0"}};
    for (const auto& path : paths) {
        double totalMs = 0.0;
        const std::vector<double> frameMs = DrawFrames(width, height, path.api, &totalMs);
        if (frameMs.empty()) return false;
        char setting[96];
        std::snprintf(setting, sizeof setting, "%s path, headless %ux%u, t = 5..15 s", path.name, width, height);
        PrintFigure("frame time", frameMs, "ms", setting);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    if (!TimeTextures(runs) || !TimeFrames(1280, 720) || !TimeFrames(1920, 1080) ||
        !ComparePaths(1280, 720)) {
        std::fprintf(stderr, "bench_scene: no headless GL context\n");
        return 1;
    }
    return 0;
}
