// WINMM wave-out: one prepared header covering the whole ring, written once
// with the loop flags so that the device plays it for ever.
#include <windows.h>
#include <mmsystem.h>

#include <new>

#include "music/output/wave_out.h"

struct WaveOutDevice {
    HWAVEOUT handle;
    WAVEHDR header;
};

WaveOutDevice* WaveOutOpen(std::int32_t rate) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = static_cast<DWORD>(rate);
    format.nAvgBytesPerSec = static_cast<DWORD>(rate) * 4;
    format.nBlockAlign = 4;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    HWAVEOUT handle = nullptr;
    if (waveOutOpen(&handle, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return nullptr;
    auto* d = new (std::nothrow) WaveOutDevice{};
    if (!d) {
        waveOutClose(handle);
        return nullptr;
    }
    d->handle = handle;
    return d;
}

void WaveOutPrepare(WaveOutDevice* d, WaveOutBuffer* buffer) {
    // A header the device held on to at the last stop is let go first.
    if (d->header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(d->handle, &d->header, sizeof(WAVEHDR));
    d->header = WAVEHDR{};
    d->header.lpData = static_cast<LPSTR>(buffer->data);
    d->header.dwBufferLength = buffer->bytes;
    d->header.dwBytesRecorded = 0;
    d->header.dwUser = 0;
    d->header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    d->header.dwLoops = 0xFFFFFFFF;
    waveOutPrepareHeader(d->handle, &d->header, sizeof(WAVEHDR));
    buffer->prepared = true;
}

void WaveOutWriteLooping(WaveOutDevice* d, WaveOutBuffer*) {
    waveOutWrite(d->handle, &d->header, sizeof(WAVEHDR));
}

std::uint32_t WaveOutPositionBytes(WaveOutDevice* d) {
    MMTIME time{};
    time.wType = TIME_BYTES;
    waveOutGetPosition(d->handle, &time, sizeof(MMTIME));
    return time.u.cb;
}

void WaveOutUnprepare(WaveOutDevice* d, WaveOutBuffer* buffer) {
    waveOutUnprepareHeader(d->handle, &d->header, sizeof(WAVEHDR));
    buffer->prepared = false;
}

void WaveOutReset(WaveOutDevice* d) {
    waveOutReset(d->handle);
}

// The device pauses at once and resumes where it stopped, with its position.
void WaveOutPause(WaveOutDevice* d) {
    waveOutPause(d->handle);
}

void WaveOutResume(WaveOutDevice* d) {
    waveOutRestart(d->handle);
}

void WaveOutClose(WaveOutDevice* d) {
    if (!d) return;
    if (d->header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(d->handle, &d->header, sizeof(WAVEHDR));
    waveOutClose(d->handle);
    delete d;
}

void WaveOutRaiseThreadPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
}

bool WaveOutWantsMixingThread(WaveOutDevice*) {
    return true;
}
