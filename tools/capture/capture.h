#pragma once
// Drives the intro offline: for every frame the offline device's play cursor
// is moved to the frame's time (the mixing catch-up refills the ring behind
// it), the view draws the frame as the main loop would, and kept frames are
// read back and handed to the sink together with the sound they span.
#include <string>

#include "tools/capture/frame_sink.h"
#include "tools/capture/progress.h"
#include "tools/capture/timeline.h"

class SceneView;
class GuiHeadless;

// The view must have been built (GLView::init) just before, which is when
// the intro's clock starts. False with a one-line reason.
bool RunCapture(GuiHeadless& gui, SceneView& view, const CaptureSpan& span, FrameSink& sink,
                CaptureProgress& progress, std::string* error);
