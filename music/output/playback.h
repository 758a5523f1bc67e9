#pragma once
// Starting a song from a known state and priming the ring; SongPlay and
// SongStop themselves are in music/player.h.
#include "music/song.h"

// Puts the song at its start (order 0, row 0, default speed and tempo) with
// silent voices and cleared channels; SongPlay does this before priming the ring.
void SongResetPlayState(Song* song);
// Fills the whole ring from where the song stands, hands it to the device
// from its first byte and starts the mixing thread behind it when the device
// wants one; stopping it is SongStop's.
void PrimeRing();
