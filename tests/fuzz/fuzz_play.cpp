// libFuzzer target: arbitrary bytes loaded as a module and, when the loader
// takes them, played for a few hundred ticks through the offline device.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "music/player.h"
#include "tests/fuzz/module_harness.h"

namespace {

// A low rate keeps each input cheap; the ring still has its 100 blocks.
constexpr std::int32_t kRate = 8000;
constexpr std::int32_t kTicks = 300;
constexpr std::int32_t kBlocks = 1500;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Song* song = LoadModuleBytes(data, size);
    if (!song) return 0;
    // Every other input plays in the tracker's style, which takes other paths.
    if ((size & 1) != 0) SongSetPlaybackStyle(song, PlaybackStyle::Tracker);
    const PlayReport report = PlaySong(song, kRate, kTicks, kBlocks);
    SongFree(song);
    if (report.heardPositionWrong) std::abort();
    return 0;
}
