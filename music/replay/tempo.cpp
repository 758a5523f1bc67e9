// The tempo: how many output frames a tick lasts at the song's beats per minute.
#include "music/replay/replayer.h"

namespace {

// The format's usual tempo, used when a module asks for none.
constexpr std::int32_t kFallbackBpm = 125;

}  // namespace

void SongSetBpm(Song* song, std::int32_t bpm) {
    if (!song) return;
    // A tempo of 0 or below, which only a module's header can hold, would
    // give ticks of no or infinite length.
    if (bpm <= 0) bpm = kFallbackBpm;
    song->bpm = bpm;
    const double tickMs = 1000.0 / (2.0 * bpm / 5.0);
    const double frames = tickMs * audioOutput.mixingRate / 1000.0;
    // Every tick lasts at least one frame, so a block fill always moves on.
    song->framesPerTick = frames >= 1.0 ? static_cast<std::int32_t>(frames) : 1;
}
