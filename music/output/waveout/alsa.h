#pragma once
// What only the ALSA backend can tell.
#include <cstdint>

// Underruns the device reported since the program started (each one a gap
// in the sound, after which the backend restarts the stream).
std::uint32_t AlsaWaveOutUnderruns();
