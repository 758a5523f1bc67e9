#include "tools/capture/playhead.h"

#include <algorithm>
#include <vector>

#include "music/audio_output.h"
#include "music/waveout/offline.h"

bool Playhead::advanceTo(std::int64_t position, FrameSink& sink) {
    const AudioOutput& a = audioOutput;
    const bool playing = a.outputBuffer != nullptr && a.ringFrames > 0 && a.blockFrames > 0;
    // Without a song the device plays silence.
    static const std::vector<std::int16_t> silence(2 * 1024, 0);
    while (played_ < position) {
        // One block at most per step, so the catch-up never has to skip a
        // whole ring; the ring's contents are read before it refills them.
        std::int64_t step = position - played_;
        std::int64_t ringAt = 0;
        if (playing) {
            ringAt = played_ % a.ringFrames;
            step = std::min<std::int64_t>(step, a.blockFrames - ringAt % a.blockFrames);
        } else {
            step = std::min<std::int64_t>(step, static_cast<std::int64_t>(silence.size() / 2));
        }
        const std::int64_t from = std::max(played_, keepBegin_);
        const std::int64_t to = std::min(played_ + step, keepEnd_);
        if (from < to) {
            const std::int16_t* frames =
                playing ? a.outputBuffer + 2 * (ringAt + (from - played_)) : silence.data();
            if (!sink.sound(frames, to - from)) return false;
        }
        played_ += step;
        if (playing) {
            // A 32-bit byte count that wraps, as a device reports it.
            OfflineWaveOutSetPositionBytes(static_cast<std::uint32_t>(played_ * 4));
            MixingCatchUp();
        }
    }
    return true;
}
