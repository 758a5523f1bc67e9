#include "tools/capture/playhead.h"

#include <algorithm>

#include "music/player.h"

bool Playhead::advanceTo(std::int64_t position, FrameSink& sink) {
    while (played_ < position) {
        const auto wanted = static_cast<std::int32_t>(std::min<std::int64_t>(position - played_, kChunkFrames));
        // Silence when the song did not start: the device then plays nothing.
        const std::int32_t step = AudioRender(frames_.data(), wanted);
        const std::int64_t from = std::max(played_, keepBegin_);
        const std::int64_t to = std::min(played_ + step, keepEnd_);
        if (from < to && !sink.sound(frames_.data() + 2 * (from - played_), to - from)) return false;
        played_ += step;
    }
    return true;
}
