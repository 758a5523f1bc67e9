// libFuzzer target: arbitrary bytes loaded as a module through the memory file.
#include <cstddef>
#include <cstdint>

#include "music/player.h"
#include "tests/fuzz/module_harness.h"

namespace {

volatile unsigned loadedSum;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Song* song = LoadModuleBytes(data, size);
    if (song) {
        // Walk what the loader built, so that a record pointing outside its
        // allocation shows up here rather than only when it is played.
        unsigned sum = 0;
        for (std::int32_t p = 0; p < song->patternSlots; ++p) {
            const Pattern& pattern = song->patterns[p];
            const std::int64_t cells = std::int64_t{pattern.rows} * song->channelCount;
            for (std::int64_t c = 0; c < cells; ++c) sum += pattern.cells[c].note;
        }
        for (std::int32_t i = 0; i < song->instrumentCount; ++i) {
            for (const Sample* sample : song->instruments[i].samples) {
                if (sample->data) sum += static_cast<unsigned>(sample->data[sample->length + 7]);
                if (sample->data && sample->loopType != LoopNone) {
                    sum += static_cast<unsigned>(sample->data[sample->loopStart + sample->loopLength]);
                }
            }
        }
        loadedSum = sum;
        SongFree(song);
    }
    return 0;
}
