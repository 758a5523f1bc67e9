#pragma once
// The end-of-pass watch: ResetPassWatch forgets the orders entered and
// WatchPass is told of every tick before it runs, at its first frame.
#include <cstdint>

#include "music/song.h"

void ResetPassWatch();
void WatchPass(const Song* song, std::int64_t frame);
