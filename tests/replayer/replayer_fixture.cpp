#include "tests/replayer/replayer_fixture.h"

#include "music/format/song_file.h"
#include "music/mix/mixer.h"
#include "music/output/playback.h"

namespace replayer_test {

xm::Sample ConstantSample(std::int16_t value, std::uint32_t frames, bool looped) {
    xm::Sample sample;
    sample.sixteenBit = true;
    sample.frames.assign(frames, value);
    if (looped) {
        sample.loop = xm::Loop::Forward;
        sample.loopStart = 0;
        sample.loopLength = frames;
    }
    return sample;
}

xm::Module SmallModule(int channels, int rows) {
    xm::Module module;
    module.channels = channels;
    xm::Pattern pattern;
    pattern.rows = rows;
    pattern.cells.resize(static_cast<std::size_t>(rows * channels));
    module.patterns.push_back(pattern);
    module.instruments.push_back(xm::InstrumentOf({ConstantSample(8192)}));
    return module;
}

xm::Cell& CellAt(xm::Module& module, int pattern, int row, int channel) {
    return module.patterns[static_cast<std::size_t>(pattern)].at(row, channel, module.channels);
}

void AddOrders(xm::Module& module, int count, int rows) {
    module.orders.clear();
    module.patterns.clear();
    for (int i = 0; i < count; ++i) {
        xm::Pattern pattern;
        pattern.rows = rows;
        module.patterns.push_back(pattern);
        module.orders.push_back(static_cast<std::uint8_t>(i));
    }
}

LoadedSong::LoadedSong(const xm::Module& module) : bytes_(xm::Write(module)) {
    MemoryFileSetSource(bytes_.data(), static_cast<std::int32_t>(bytes_.size()));
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    song_ = SongLoad("test", nullptr);
    if (song_ == nullptr) return;

    // What playing a song resets, without a device behind it.
    audioOutput.mixingRate = 44100;
    audioOutput.inverseRate = 1.0f / 44100.0f;
    audioOutput.rampFrames = 128;
    audioOutput.inverseRampFrames = 1.0f / 128.0f;
    SongResetPlayState(song_);
}

LoadedSong::~LoadedSong() {
    SongFree(song_);
}

void LoadedSong::Tick() {
    song_->tickHandler(song_);
}

void LoadedSong::Ticks(int count) {
    for (int i = 0; i < count; ++i) Tick();
}

std::vector<float> LoadedSong::Mix(std::int32_t frames) {
    std::vector<float> area(static_cast<std::size_t>(frames) * 2 + 8, 0.0f);
    MixVoices(area.data(), frames);
    area.resize(static_cast<std::size_t>(frames) * 2);
    return area;
}

}  // namespace replayer_test
