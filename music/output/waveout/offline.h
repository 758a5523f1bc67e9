#pragma once
// The offline wave-out device: nothing is played; the play position is
// whatever its caller last set. Renderers move it with AudioRender
// (music/player.h); the player's own tests move it here and then call
// MixingCatchUp themselves.
#include <cstdint>

void OfflineWaveOutSetPositionBytes(std::uint32_t bytes);
// By default no mixing thread polls the offline device; a test of the thread
// itself turns one on.
void OfflineWaveOutUseMixingThread(bool use);
// Makes the next opens fail, as when a machine has no sound device.
void OfflineWaveOutFailOpen(bool fail);
// The buffer most recently written, or none.
const std::int16_t* OfflineWaveOutRing();
