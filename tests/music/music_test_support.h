#pragma once
// Helpers for the music tests: modules from the module writer, loaded through
// the memory file, and an output opened on the offline device.
#include <cstdint>
#include <vector>

#include "music/output/audio_output.h"
#include "music/song.h"
#include "music/format/song_file.h"
#include "tools/xmwriter/xm_writer.h"

namespace music_test {

// Installs the memory file over bytes (which must outlive the load).
void UseMemoryFile(const std::vector<std::uint8_t>& bytes);
// Loads bytes through the memory file; none when the loader refuses them.
Song* Load(const std::vector<std::uint8_t>& bytes);

// A module of one 4-row pattern and no instruments.
xm::Module BareModule(int channels = 4);
xm::Sample Sample8(std::vector<std::int16_t> frames, xm::Loop loop = xm::Loop::None, std::uint32_t loopStart = 0,
                   std::uint32_t loopLength = 0);

// A zero-filled song that the tests drive with their own tick handler.
struct StandInSong {
    StandInSong();
    Song song{};
};

// Opens the offline output at rate with the memory file installed.
bool OpenOffline(std::int32_t rate);
// Stops whatever plays and closes the output.
void CloseOutput();

}  // namespace music_test
