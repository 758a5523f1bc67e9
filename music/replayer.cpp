#include "music/song.h"

void ReplayerTick(Song* song) {
    (void)song;
}
