#pragma once
// The offline wave-out device's play cursor, moved by the capture's clock.
// The mixing catch-up refills whatever the cursor has passed, exactly as the
// mixing thread does behind a real device; the sound the cursor passes over
// inside the kept span goes to the sink.
#include <cstdint>

#include "tools/capture/frame_sink.h"

class Playhead {
public:
    Playhead(std::int64_t keepBegin, std::int64_t keepEnd) : keepBegin_(keepBegin), keepEnd_(keepEnd) {}

    // Plays up to sound frame `position`; false when the sink failed.
    bool advanceTo(std::int64_t position, FrameSink& sink);
    std::int64_t position() const { return played_; }

private:
    std::int64_t keepBegin_;
    std::int64_t keepEnd_;
    std::int64_t played_ = 0;
};
