#pragma once
// Renders a module through the offline wave-out device and the block fill the
// intro plays with, so the frames are those a sound device would have played.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/xm2wav/wav_sink.h"

struct RenderRequest {
    const std::vector<std::uint8_t>* module;
    int rate;
    // Frames to render; below 0 renders one pass through the order list.
    std::int64_t frames;
    bool progress;
};

// Progress lines go to standard error; false with a one-line reason.
bool RenderModule(const RenderRequest& request, WavSink* sink, std::string* error);
