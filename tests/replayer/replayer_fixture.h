#pragma once
// Loads small modules built with the module writer and steps them tick by tick
// without a sound device.
#include <cstdint>
#include <vector>

#include "music/output/audio_output.h"
#include "music/replay/replayer.h"
#include "music/song.h"
#include "tools/xmwriter/xm_writer.h"

namespace replayer_test {

// A sample of constant value, long enough to outlast every test, forward looped.
xm::Sample ConstantSample(std::int16_t value, std::uint32_t frames = 4096, bool looped = true);
// A module of one pattern with the given channels and rows, one instrument.
xm::Module SmallModule(int channels = 2, int rows = 16);

// The cell of a row and channel in one of the module's patterns.
xm::Cell& CellAt(xm::Module& module, int pattern, int row, int channel);
// Appends empty patterns and names them, in turn, in the order list.
void AddOrders(xm::Module& module, int count, int rows);

class LoadedSong {
public:
    explicit LoadedSong(const xm::Module& module);
    ~LoadedSong();
    LoadedSong(const LoadedSong&) = delete;
    LoadedSong& operator=(const LoadedSong&) = delete;

    Song* song() const { return song_; }
    Channel& channel(int c) const { return audioOutput.channels[c]; }
    Voice& voice(int c) const { return *audioOutput.channels[c].voice; }
    // One tick, as the audio output's block fill would run it.
    void Tick();
    void Ticks(int count);
    // Mixes frames of all voices, as the block fill does between two ticks.
    std::vector<float> Mix(std::int32_t frames);

private:
    std::vector<std::uint8_t> bytes_;
    Song* song_ = nullptr;
};

}  // namespace replayer_test
