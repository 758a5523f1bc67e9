// The song's score as the replayer reads it: the order list, the rows of a
// pattern, the cells of the current row, and what a cell names.
#include "music/replay/replayer.h"

namespace {

const Pattern* PatternAt(const Song* song, std::int32_t order) {
    if (song->patterns == nullptr || order < 0 || order >= 256) return nullptr;
    std::int32_t number = song->orderTable[order];
    if (number >= song->patternSlots) return nullptr;
    return &song->patterns[number];
}

}  // namespace

std::int32_t SongOrderCount(const Song* song) {
    if (song->songLength <= 0) return 0;
    return song->songLength > 256 ? 256 : song->songLength;
}

std::int32_t RestartOrder(const Song* song) {
    if (song->restartPosition < 0 || song->restartPosition >= SongOrderCount(song)) return 0;
    return song->restartPosition;
}

std::int32_t PlayedChannelCount(const Song* song) {
    if (song->channelCount <= 0) return 0;
    return song->channelCount > kChannelCount ? kChannelCount : song->channelCount;
}

std::int32_t PatternRowsAt(const Song* song, std::int32_t order) {
    const Pattern* pattern = PatternAt(song, order);
    if (pattern == nullptr || pattern->rows < 0) return 0;
    return pattern->rows;
}

const PatternCell* CurrentRowCells(const Song* song) {
    const Pattern* pattern = PatternAt(song, song->order);
    if (pattern == nullptr || pattern->cells == nullptr || song->channelCount <= 0) return nullptr;
    // A break may name a row the target pattern does not have: that row plays
    // as an empty one, and the next row step leaves the pattern.
    if (song->row < 0 || song->row >= pattern->rows) return nullptr;
    return pattern->cells + static_cast<std::int64_t>(song->row) * song->channelCount;
}

bool NamesInstrument(const PatternCell* cell) {
    return cell->instrument >= 1 && cell->instrument <= 128;
}

bool HoldsNote(const PatternCell* cell) {
    return cell->note >= 1 && cell->note <= 96;
}

bool ColumnSetsVolume(std::uint8_t volume) {
    return volume >= 0x10 && volume <= 0x50;
}

bool PlaysNote(const Song* song, const PatternCell* cell, const Sample* sample) {
    if (!HoldsNote(cell)) return false;
    if (!song->behaviour.outOfRangeNotesSilent) return true;
    std::int32_t transposed = cell->note + sample->relativeNote - 1;
    return transposed >= 0 && transposed <= kHighestRealNote;
}

bool IsTonePortamento(const Song* song, const PatternCell* cell) {
    if (cell->effect == EffectTonePortamento || cell->effect == EffectTonePortamentoVolumeSlide) return true;
    return song->behaviour.volumeColumnPortamentoGlides && (cell->volume >> 4) == VolumeTonePortamento;
}
