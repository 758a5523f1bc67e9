#pragma once
// The offline sound device's play cursor, moved by the capture's clock. The
// player refills whatever the cursor has passed, exactly as its mixing thread
// does behind a real device; the sound the cursor passes over inside the kept
// span goes to the sink.
#include <cstdint>
#include <vector>

#include "tools/capture/frame_sink.h"

class Playhead {
public:
    Playhead(std::int64_t keepBegin, std::int64_t keepEnd) : keepBegin_(keepBegin), keepEnd_(keepEnd) {}

    // Plays up to sound frame `position`; false when the sink failed.
    bool advanceTo(std::int64_t position, FrameSink& sink);
    std::int64_t position() const { return played_; }

private:
    static constexpr std::int32_t kChunkFrames = 4096;
    std::int64_t keepBegin_;
    std::int64_t keepEnd_;
    std::int64_t played_ = 0;
    std::vector<std::int16_t> frames_ = std::vector<std::int16_t>(2 * kChunkFrames);
};
