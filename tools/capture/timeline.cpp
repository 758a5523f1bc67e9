#include "tools/capture/timeline.h"

#include <cmath>

CaptureSpan SpanOfSeconds(double start, double duration, int fps, int rate) {
    CaptureSpan span{};
    span.firstFrame = std::llround(start * fps);
    span.frameCount = std::llround(duration * fps);
    span.fps = fps;
    span.rate = rate;
    return span;
}

std::int32_t FrameTimeMs(std::int64_t frame, int fps) {
    return static_cast<std::int32_t>(frame * 1000 / fps);
}

std::int64_t FrameSoundPosition(std::int64_t frame, int fps, int rate) {
    return frame * rate / fps;
}

std::int64_t SpanSoundBegin(const CaptureSpan& span) {
    return FrameSoundPosition(span.firstFrame, span.fps, span.rate);
}

std::int64_t SpanSoundEnd(const CaptureSpan& span) {
    return FrameSoundPosition(span.firstFrame + span.frameCount, span.fps, span.rate);
}
