#include "tools/capture/capture.h"

#include "scene/scene_view.h"
#include "shell/headless/gui_headless.h"
#include "tools/capture/playhead.h"

bool RunCapture(GuiHeadless& gui, SceneView& view, const CaptureSpan& span, FrameSink& sink,
                CaptureProgress& progress, std::string* error) {
    Playhead playhead(SpanSoundBegin(span), SpanSoundEnd(span));
    const std::int64_t end = span.firstFrame + span.frameCount;
    for (std::int64_t n = 0; n < end; ++n) {
        if (!playhead.advanceTo(FrameSoundPosition(n, span.fps, span.rate), sink)) {
            *error = sink.failure();
            return false;
        }
        view.draw(FrameTimeMs(n, span.fps));
        const bool kept = n >= span.firstFrame;
        if (kept && !sink.frame(gui.readPixels())) {
            *error = sink.failure();
            return false;
        }
        gui.present();
        progress.update(n + 1, !kept);
    }
    if (!playhead.advanceTo(SpanSoundEnd(span), sink)) {
        *error = sink.failure();
        return false;
    }
    progress.finish();
    return sink.finish(error);
}
