#include "cue_song.h"

#include "music/output/position.h"

CueSong::CueSong(int channels, int patterns, int rows) {
    song.channelCount = static_cast<std::int16_t>(channels);
    song.songLength = static_cast<std::int16_t>(patterns);
    song.patternsUsed = patterns;
    song.patternSlots = patterns;
    patternArray.resize(static_cast<std::size_t>(patterns));
    cellArrays.resize(static_cast<std::size_t>(patterns));
    for (int p = 0; p < patterns; ++p) {
        song.orderTable[p] = static_cast<std::uint8_t>(p);
        resize(p, rows);
    }
    song.patterns = patternArray.data();
}

void CueSong::resize(int pattern, int rows) {
    auto& cells = cellArrays[static_cast<std::size_t>(pattern)];
    cells.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(song.channelCount), PatternCell{});
    patternArray[static_cast<std::size_t>(pattern)] = Pattern{rows, cells.data()};
}

PatternCell& CueSong::cell(int pattern, int row, int channel) {
    return cellArrays[static_cast<std::size_t>(pattern)]
                     [static_cast<std::size_t>(row * song.channelCount + channel)];
}

HeardPosition::HeardPosition()
    : savedRecords(audioOutput.positionRecords), savedIndex(audioOutput.heardIndex.load()) {
    audioOutput.positionRecords = &record;
    audioOutput.heardIndex = 0;
}

HeardPosition::~HeardPosition() {
    audioOutput.positionRecords = savedRecords;
    audioOutput.heardIndex = savedIndex;
}

void HeardPosition::set(int order, int row) {
    record.store(PositionRecordPack(
        PositionRecord{static_cast<std::uint8_t>(order), static_cast<std::uint8_t>(row), 0}));
}
