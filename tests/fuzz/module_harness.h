#pragma once
// Loads and plays module bytes the way the program does: through the memory
// file, the audio output and the offline device, one block at a time. Shared
// by the fuzzers and by the tests that replay what the fuzzers found.
#include <cstddef>
#include <cstdint>

#include "music/song.h"

// Installs the memory file over the bytes and loads them; none when refused.
// The bytes must outlive the call only (the loader copies what it keeps).
Song* LoadModuleBytes(const std::uint8_t* data, std::size_t size);

struct PlayReport {
    std::int32_t ticks = 0;   // replayer ticks run, the ring's first fill included
    std::int32_t blocks = 0;  // blocks mixed after the first fill
    // The heard block did not move on by exactly one for each block the
    // device played, or the heard time went backwards.
    bool heardPositionWrong = false;
};

// Plays the song from its start at the rate until maxTicks ticks have run or
// maxBlocks blocks have been mixed after the first fill, then stops it. The
// song stays loaded.
PlayReport PlaySong(Song* song, std::int32_t rate, std::int32_t maxTicks, std::int32_t maxBlocks);
