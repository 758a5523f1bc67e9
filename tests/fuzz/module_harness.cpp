#include "tests/fuzz/module_harness.h"

#include <cstdint>

#include "music/output/audio_output.h"
#include "music/format/song_file.h"
#include "music/output/mixing_thread.h"
#include "music/output/waveout/offline.h"
#include "scene/pattern_lookup.h"

namespace {

std::int32_t tickCount = 0;
volatile unsigned cellSum = 0;
SongCallback replayerTick = nullptr;

void CountingTick(Song* song) {
    ++tickCount;
    replayerTick(song);
}

}  // namespace

Song* LoadModuleBytes(const std::uint8_t* data, std::size_t size) {
    if (size > static_cast<std::size_t>(INT32_MAX)) return nullptr;
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    MemoryFileSetSource(data, static_cast<std::int32_t>(size));
    return SongLoad("module", nullptr);
}

PlayReport PlaySong(Song* song, std::int32_t rate, std::int32_t maxTicks, std::int32_t maxBlocks) {
    PlayReport report;
    if (!song) return report;
    if (!audioOutput.device || audioOutput.mixingRate != rate) {
        OfflineWaveOutUseMixingThread(false);
        OfflineWaveOutFailOpen(false);
        if (!AudioOpen(rate)) return report;
    }
    replayerTick = song->tickHandler;
    song->tickHandler = CountingTick;
    tickCount = 0;
    if (!SongPlay(song)) {
        song->tickHandler = replayerTick;
        return report;
    }
    const std::int32_t blockCount = audioOutput.ringFrames / audioOutput.blockFrames;
    const std::uint32_t blockBytes = static_cast<std::uint32_t>(audioOutput.blockFrames) * 4u;
    std::uint32_t position = 0;
    std::int32_t lastTime = SongGetTime(song);
    while (tickCount < maxTicks && report.blocks < maxBlocks) {
        position += blockBytes;
        OfflineWaveOutSetPositionBytes(position);
        MixingCatchUp();
        ++report.blocks;
        // The device has played report.blocks blocks since the start, so the
        // heard block is that many blocks on, round the ring.
        if (audioOutput.heardIndex.load() != report.blocks % blockCount) report.heardPositionWrong = true;
        // The scene reads the heard row's cells through this lookup.
        const PositionRecord heard = SongGetPosition(song);
        for (std::int32_t channel = 0; channel < song->channelCount; ++channel) {
            const PatternCell* cell = FindCell(*song, heard.order, heard.row, channel);
            if (cell) cellSum = cellSum + cell->note + cell->instrument;
        }
        const std::int32_t time = SongGetTime(song);
        if (time < lastTime) report.heardPositionWrong = true;
        lastTime = time;
    }
    report.ticks = tickCount;
    SongStop(song);
    song->tickHandler = replayerTick;
    return report;
}
