#include "music/output/waveout/offline.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "music/output/wave_out.h"

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
// What the device has played since the ring was written, in full: the
// device's byte count wraps.
std::int64_t renderedFrames = 0;
bool paused = false;

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
    renderedFrames = 0;
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
    paused = false;
    positionBytes.store(0);
    renderedFrames = 0;
    ring = nullptr;
}

// A paused device plays nothing: the position stays.
void WaveOutPause(WaveOutDevice*) {
    paused = true;
}

void WaveOutResume(WaveOutDevice*) {
    paused = false;
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

std::int32_t OfflineWaveOutPlay(std::int16_t* frames, std::int32_t maxFrames, std::int32_t ringFrames,
                                std::int32_t blockFrames) {
    if (maxFrames <= 0 || !open || !ring || paused || ringFrames <= 0 || blockFrames <= 0) return 0;
    // Never past the end of the block under the cursor: the ring is read
    // before the catch-up refills it, and the catch-up never has to skip a
    // whole ring.
    const std::int64_t ringAt = renderedFrames % ringFrames;
    const auto count =
        static_cast<std::int32_t>(std::min<std::int64_t>(maxFrames, blockFrames - ringAt % blockFrames));
    std::memcpy(frames, ring + 2 * ringAt, static_cast<std::size_t>(count) * 4);
    renderedFrames += count;
    positionBytes.store(static_cast<std::uint32_t>(renderedFrames * 4));
    return count;
}
