#include "music/waveout/offline.h"

#include <atomic>

#include "music/wave_out.h"

struct WaveOutDevice {
    std::int32_t rate;
};

namespace {

WaveOutDevice device{0};
bool open = false;
bool failOpen = false;
bool useThread = false;
std::atomic<std::uint32_t> positionBytes{0};
const std::int16_t* ring = nullptr;

}  // namespace

void OfflineWaveOutSetPositionBytes(std::uint32_t bytes) {
    positionBytes.store(bytes);
}

void OfflineWaveOutUseMixingThread(bool use) {
    useThread = use;
}

void OfflineWaveOutFailOpen(bool fail) {
    failOpen = fail;
}

const std::int16_t* OfflineWaveOutRing() {
    return ring;
}

WaveOutDevice* WaveOutOpen(std::int32_t rate) {
    if (failOpen || open) return nullptr;
    open = true;
    device.rate = rate;
    positionBytes.store(0);
    return &device;
}

void WaveOutPrepare(WaveOutDevice*, WaveOutBuffer* buffer) {
    buffer->prepared = true;
}

void WaveOutWriteLooping(WaveOutDevice*, WaveOutBuffer* buffer) {
    ring = static_cast<const std::int16_t*>(buffer->data);
}

std::uint32_t WaveOutPositionBytes(WaveOutDevice*) {
    return positionBytes.load();
}

void WaveOutUnprepare(WaveOutDevice*, WaveOutBuffer* buffer) {
    buffer->prepared = false;
}

void WaveOutReset(WaveOutDevice*) {
    positionBytes.store(0);
    ring = nullptr;
}

void WaveOutClose(WaveOutDevice*) {
    open = false;
    ring = nullptr;
}

// Offline rendering runs at whatever speed the machine allows.
void WaveOutRaiseThreadPriority() {}

bool WaveOutWantsMixingThread(WaveOutDevice*) {
    return useThread;
}
