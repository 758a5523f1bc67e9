#pragma once
#include <cstdint>

struct PatternCell;
struct PositionRecord;
struct Song;

// The cell of channel `channel` in row `row` of the pattern that the order
// table names at position `order`, or nullptr when any of these lies outside
// the order table, the pattern array, the pattern's rows or the song's
// channels. The scene reads the song's cues through this and nothing else.
const PatternCell* FindCell(const Song& song, std::int32_t order, std::int32_t row, std::int32_t channel);

// Reads the heard position into `heard` (order and row of one block, read
// together) and tells whether its row differs from `lastRow`, which then
// takes it: each heard row is looked at once.
bool TakeNewHeardRow(Song* song, std::int32_t& lastRow, PositionRecord& heard);
