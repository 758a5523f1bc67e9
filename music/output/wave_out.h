#pragma once
// The wave-out role: the few device operations the audio output uses. One
// backend is linked per program: WINMM on Windows, ALSA on Linux, offline for
// tests and renderers.
#include <cstdint>

struct WaveOutDevice;  // defined by the backend

// One buffer that the device plays in an endless loop.
struct WaveOutBuffer {
    void* data;
    std::uint32_t bytes;
    bool prepared;
};

// Opens the default device for 16-bit stereo PCM at rate frames per second;
// nullptr when there is none.
WaveOutDevice* WaveOutOpen(std::int32_t rate);
void WaveOutPrepare(WaveOutDevice* device, WaveOutBuffer* buffer);
// Starts playing the buffer from its first byte, looping for ever: at once,
// or after what a streaming device still holds from before (its latency, a
// fifth of a second at most), without a gap.
void WaveOutWriteLooping(WaveOutDevice* device, WaveOutBuffer* buffer);
// Bytes played since the write, as a 32-bit count that wraps.
std::uint32_t WaveOutPositionBytes(WaveOutDevice* device);
void WaveOutUnprepare(WaveOutDevice* device, WaveOutBuffer* buffer);
// Stops playing the buffer and rewinds the position to 0; the next write
// plays, paused before or not. A streaming device plays out what it holds,
// so that a write right after goes on in the same stream.
void WaveOutReset(WaveOutDevice* device);
// Stops the sound at once and keeps the position where it stopped; resuming
// plays the buffer on from there (what the device held included) and the
// position counts on from where it stood.
void WaveOutPause(WaveOutDevice* device);
void WaveOutResume(WaveOutDevice* device);
// Silences the device at once and closes it.
void WaveOutClose(WaveOutDevice* device);
// Gives the calling thread time-critical priority where the platform allows it.
void WaveOutRaiseThreadPriority();
// Whether a mixing thread should poll this device. A device whose position
// only its caller moves (the offline one) is polled by that caller instead.
bool WaveOutWantsMixingThread(WaveOutDevice* device);
