#include "tests/music/music_test_support.h"

#include "music/format/song_file.h"
#include "music/output/waveout/offline.h"

namespace music_test {

void UseMemoryFile(const std::vector<std::uint8_t>& bytes) {
    MemoryFileSetSource(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
}

Song* Load(const std::vector<std::uint8_t>& bytes) {
    UseMemoryFile(bytes);
    return SongLoad("module", nullptr);
}

xm::Module BareModule(int channels) {
    xm::Module m;
    m.channels = channels;
    xm::Pattern p;
    p.rows = 4;
    m.patterns.push_back(p);
    return m;
}

xm::Sample Sample8(std::vector<std::int16_t> frames, xm::Loop loop, std::uint32_t loopStart,
                   std::uint32_t loopLength) {
    xm::Sample s;
    s.frames = std::move(frames);
    s.loop = loop;
    s.loopStart = loopStart;
    s.loopLength = loopLength;
    return s;
}

StandInSong::StandInSong() {
    song.channelCount = 1;
    song.songLength = 1;
    song.defaultSpeed = 6;
    song.defaultBpm = 180;
    song.initialGlobalVolume = 64;
}

bool OpenOffline(std::int32_t rate) {
    static const std::vector<std::uint8_t> none;
    OfflineWaveOutFailOpen(false);
    OfflineWaveOutUseMixingThread(false);
    UseMemoryFile(none);
    return AudioOpen(rate) == 1;
}

void CloseOutput() {
    AudioClose();
    OfflineWaveOutUseMixingThread(false);
}

}  // namespace music_test
