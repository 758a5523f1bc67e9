#pragma once
// The ring's blocks and their filling.
#include <cstdint>

#include "music/song.h"

// Blocks in the ring; 0 while no output is open.
std::int32_t RingBlockCount();
// Mixes the block at fillIndex from where the current song stands, records
// its position and moves fillIndex on.
void FillBlock();
// Song channels whose voice, or the voice of its note fading out, is heard.
std::uint8_t ChannelsSounding(const Song* song);
