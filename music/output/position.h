#pragma once
// A block's position record packed into one 64-bit word, so that the scene
// never sees a half-written record.
#include <cstdint>

#include "music/player.h"

std::uint64_t PositionRecordPack(const PositionRecord& record);
PositionRecord PositionRecordUnpack(std::uint64_t packed);
