// quillon-capture: renders the intro offline, picture and sound, to PNG
// frames and a WAV file or to one MP4 file.
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "scene/es2/es2_view.h"
#include "scene/glview.h"
#include "shell/gl_extensions.h"
#include "shell/headless/gui_headless.h"
#include "tools/capture/capture.h"
#include "tools/capture/folder_sink.h"
#include "tools/capture/mp4_sink.h"
#include "tools/capture/options.h"
#include "tools/xm2wav/terminal.h"

namespace {

constexpr int kRate = 44100;

int Fail(const std::string& reason) {
    std::fprintf(stderr, "quillon-capture: %s\n", reason.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    CaptureOptions options;
    std::string error;
    if (!ParseCaptureOptions(argc, argv, &options, &error)) return Fail(error + " (see --help)");
    if (options.help) {
        std::fputs(kCaptureUsage, stdout);
        return 0;
    }
    const CaptureSpan span = SpanOfSeconds(options.start, options.duration, options.fps, kRate);
    if (span.frameCount < 1) return Fail("--duration is shorter than one frame");

    // A helper that stops reading must not end the process unannounced.
    std::signal(SIGPIPE, SIG_IGN);
    const bool mp4 = IsMp4Path(options.output);
    std::unique_ptr<FrameSink> sink =
        mp4 ? OpenMp4Sink(options.output, options.width, options.height, options.fps, kRate, &error)
            : OpenFolderSink(options.output, options.width, options.height, kRate, &error);
    if (!sink) return Fail(error);

    GuiHeadless gui(options.width, options.height, options.es2 ? HeadlessApi::Es2 : HeadlessApi::DesktopGl);
    if (!gui.init(options.width, options.height)) {
        return Fail(std::string("no headless OpenGL: ") + (gui.initError ? gui.initError : "unknown failure"));
    }
    const char* missing = options.es2 ? nullptr : MissingRequiredGlExtension();
    if (missing != nullptr) {
        return Fail(std::string("the OpenGL driver lacks ") + missing);
    }

    // Like the intro, the view lives until the process ends.
    SceneView* view = options.es2 ? static_cast<SceneView*>(new Es2View(&gui)) : new GLView(&gui);
    view->init();
    CaptureProgress progress(IsTerminal(stderr), span.firstFrame + span.frameCount);
    const bool ok = RunCapture(gui, *view, span, *sink, progress, &error);
    sink.reset();
    if (!ok) {
        if (mp4) std::remove(options.output.c_str());
        return Fail(error);
    }
    gui.shutdown();
    return 0;
}
