#pragma once
// Where each captured frame falls in the intro's time and in its sound. A
// frame n of a capture at fps frames per second is drawn at n / fps seconds
// of intro time, counted from the end of the view's build as the main loop
// counts it; frames before the first captured one are drawn but not kept, so
// the scene's music-driven state is what it would be after playing from 0.
#include <cstdint>

struct CaptureSpan {
    std::int64_t firstFrame;  // frames drawn before it are not kept
    std::int64_t frameCount;  // frames kept
    int fps;
    int rate;  // sound frames per second
};

// The span of start and duration in seconds, each rounded to whole frames;
// frameCount is 0 when the duration is shorter than half a frame.
CaptureSpan SpanOfSeconds(double start, double duration, int fps, int rate);

// Milliseconds of intro time at frame n, as GLView::draw receives them.
std::int32_t FrameTimeMs(std::int64_t frame, int fps);
// The sound frame the device is playing when frame n is drawn.
std::int64_t FrameSoundPosition(std::int64_t frame, int fps, int rate);

// The sound that goes with the kept frames: from the first kept frame's
// position up to where the frame after the last one would be drawn.
std::int64_t SpanSoundBegin(const CaptureSpan& span);
std::int64_t SpanSoundEnd(const CaptureSpan& span);
