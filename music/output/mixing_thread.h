#pragma once
// The mixing thread's procedure; SongPlay starts it.
int MixingThread();
// Fills the whole ring from where the song stands, hands it to the device
// from its first byte and starts the mixing thread behind it when the device
// wants one; stopping it is SongStop's.
void PrimeRing();
