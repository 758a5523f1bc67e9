#include "scene/pattern_lookup.h"

#include "music/player.h"

namespace {

const Pattern* PatternAt(const Song& song, std::int32_t order) {
    if (order < 0 || order >= static_cast<std::int32_t>(sizeof song.orderTable)) return nullptr;
    std::int32_t number = song.orderTable[order];
    if (!song.patterns || number >= song.patternSlots) return nullptr;
    return &song.patterns[number];
}

}  // namespace

const PatternCell* FindCell(const Song& song, std::int32_t order, std::int32_t row, std::int32_t channel) {
    const Pattern* pattern = PatternAt(song, order);
    if (!pattern || !pattern->cells) return nullptr;
    if (channel < 0 || channel >= song.channelCount) return nullptr;
    if (row < 0 || row >= pattern->rows) return nullptr;
    return &pattern->cells[static_cast<std::int64_t>(row) * song.channelCount + channel];
}

bool TakeNewHeardRow(Song* song, std::int32_t& lastRow, PositionRecord& heard) {
    heard = SongGetPosition(song);
    if (heard.row == lastRow) return false;
    lastRow = heard.row;
    return true;
}
