// Web Audio wave-out. The ring stays in the module's memory; the JavaScript
// half (web_audio.js) copies it ahead of the audio clock into an AudioWorklet,
// or into a script processor where there is none, and reports as the position
// what that clock says has been played. There are no threads: each report of
// the clock runs the player's catch-up, so the mixing goes on in a background
// tab, where animation frames stop.
#include "music/output/waveout/web.h"

#include <emscripten/emscripten.h>

#include "music/output/audio_output.h"
#include "music/output/mixing_thread.h"
#include "music/output/wave_out.h"

extern "C" {
// web_audio.js
int quillon_web_audio_open(int rate, int byCaller);
void quillon_web_audio_write(const void* ring, std::uint32_t bytes, int blockFrames);
std::uint32_t quillon_web_audio_position();
void quillon_web_audio_set_position(std::uint32_t bytes);
void quillon_web_audio_reset();
void quillon_web_audio_pause(int pause);
void quillon_web_audio_start();
void quillon_web_audio_poll();
void quillon_web_audio_close();

// Called by web_audio.js after each report of the audio clock, before it
// copies more of the ring.
EMSCRIPTEN_KEEPALIVE void quillon_web_audio_catch_up() {
    MixingCatchUp();
}
}

struct WaveOutDevice {
    std::int32_t rate;
};

namespace {

WaveOutDevice device{0};
bool deviceOpen = false;
bool byCaller = false;

}  // namespace

void WebWaveOutDriveByCaller(bool caller) {
    byCaller = caller;
}

void WebWaveOutSetPositionBytes(std::uint32_t bytes) {
    if (!deviceOpen) return;
    quillon_web_audio_set_position(bytes);
    MixingCatchUp();
}

void WebWaveOutPoll() {
    if (deviceOpen && !byCaller) quillon_web_audio_poll();
}

void WebWaveOutStart() {
    if (deviceOpen) quillon_web_audio_start();
}

WaveOutDevice* WaveOutOpen(std::int32_t rate) {
    if (deviceOpen || !quillon_web_audio_open(rate, byCaller ? 1 : 0)) return nullptr;
    deviceOpen = true;
    device.rate = rate;
    return &device;
}

void WaveOutPrepare(WaveOutDevice*, WaveOutBuffer* buffer) {
    buffer->prepared = true;
}

void WaveOutWriteLooping(WaveOutDevice*, WaveOutBuffer* buffer) {
    quillon_web_audio_write(buffer->data, buffer->bytes, audioOutput.blockFrames);
}

std::uint32_t WaveOutPositionBytes(WaveOutDevice*) {
    return quillon_web_audio_position();
}

void WaveOutUnprepare(WaveOutDevice*, WaveOutBuffer* buffer) {
    buffer->prepared = false;
}

void WaveOutReset(WaveOutDevice*) {
    quillon_web_audio_reset();
}

void WaveOutPause(WaveOutDevice*) {
    quillon_web_audio_pause(1);
}

void WaveOutResume(WaveOutDevice*) {
    quillon_web_audio_pause(0);
}

void WaveOutClose(WaveOutDevice*) {
    if (!deviceOpen) return;
    quillon_web_audio_close();
    deviceOpen = false;
}

void WaveOutRaiseThreadPriority() {}

// The audio clock's reports drive the catch-up; there is no thread to poll.
bool WaveOutWantsMixingThread(WaveOutDevice*) {
    return false;
}
