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
// Plays the written ring on from the device's position into frames (16-bit
// stereo), at most maxFrames and never past the end of the block of
// blockFrames under the cursor, and moves the position past them. 0 while
// paused or before a ring is written.
std::int32_t OfflineWaveOutPlay(std::int16_t* frames, std::int32_t maxFrames, std::int32_t ringFrames,
                                std::int32_t blockFrames);
