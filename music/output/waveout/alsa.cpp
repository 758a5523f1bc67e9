// ALSA wave-out: a thread of the backend feeds the ring to the default PCM
// device round and round, and the position reported is what the device has
// actually played (frames written less the device's delay).
//
// The stream, once started, is never dropped while a program plays: on a
// sound server a dropped stream is a new client when it comes back, and the
// server may already have mixed a long stretch ahead without it (up to the
// latency its other clients ask for, seconds on a desktop), which the new
// stream then waits behind in silence. So a pause pauses the stream, and a
// new ring goes on in the same stream behind what the device still holds.
#include <alsa/asoundlib.h>
#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <new>
#include <system_error>
#include <thread>

#include "music/output/wave_out.h"
#include "music/output/waveout/alsa.h"

struct WaveOutDevice {
    snd_pcm_t* pcm;
    const std::int16_t* ring;
    std::uint32_t ringFrames;
    std::thread* feeder;
    std::atomic<bool> stop;
    std::atomic<std::uint32_t> positionBytes;
    // The feeder's place in the ring and the frames it has written since the
    // ring was written, less what a pause dropped; the feeder's while it runs.
    std::uint32_t offset;
    std::uint64_t written;
    // Frames the device is let hold: its own latency, which a seek or a new
    // ring waits behind.
    snd_pcm_sframes_t queueFrames;
    bool canPause;
    // Paused in the device (resumed there), or dropped (prepared again).
    bool pausedInDevice;
};

namespace {

// About a fifth of a second queued in the device: short enough that the
// position follows what is heard, long enough to ride out scheduling delays.
constexpr unsigned kDeviceLatencyUs = 200000;

// Device underruns since the program started, for the real-time load test.
std::atomic<std::uint32_t> underruns{0};

// A missing device is reported once by the caller, not line by line here.
void Quiet(const char*, int, const char*, int, const char*, ...) {}

// Frames the device still holds, or -1 when it cannot tell (a stream that
// is just starting): taken as none, the position would run ahead by the whole
// queue and the mixing thread refill blocks not yet heard.
snd_pcm_sframes_t HeldFrames(WaveOutDevice* d) {
    snd_pcm_sframes_t delay = 0;
    if (snd_pcm_delay(d->pcm, &delay) < 0) return -1;
    return delay < 0 ? 0 : delay;
}

// Frames of this ring the device has played: written less what it still
// holds. What it holds of an earlier ring plays first, so the count stays at
// 0 until that is heard.
std::uint64_t PlayedFrames(const WaveOutDevice* d, snd_pcm_sframes_t held) {
    const auto h = static_cast<std::uint64_t>(held);
    return d->written > h ? d->written - h : 0;
}

// The position only moves forward: a server's latency estimate wobbles.
void UpdatePosition(WaveOutDevice* d, snd_pcm_sframes_t held) {
    if (held < 0) return;
    const auto bytes = static_cast<std::uint32_t>(PlayedFrames(d, held) * 4);
    const std::uint32_t last = d->positionBytes.load();
    if (bytes - last < 0x80000000u) d->positionBytes.store(bytes);
}

void Feed(WaveOutDevice* d) {
    WaveOutRaiseThreadPriority();
    std::uint32_t& offset = d->offset;
    while (!d->stop.load()) {
        // Waits in short steps so that a stop is seen within a few ms.
        const int ready = snd_pcm_wait(d->pcm, 10);
        snd_pcm_sframes_t room = ready < 0 ? ready : snd_pcm_avail_update(d->pcm);
        if (room < 0) {
            if (room == -EPIPE) underruns.fetch_add(1);
            // An underrun or suspend: start the stream again and go on.
            if (snd_pcm_recover(d->pcm, static_cast<int>(room), 1) < 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            continue;
        }
        // A server may take more than the buffer it granted, above all when
        // the stream starts; what it holds beyond the latency asked for would
        // delay every key by as much.
        const snd_pcm_sframes_t held = HeldFrames(d);
        UpdatePosition(d, held);
        if (held >= 0 && room > d->queueFrames - held) room = d->queueFrames - held;
        snd_pcm_uframes_t n = d->ringFrames - offset;
        if (n > static_cast<snd_pcm_uframes_t>(room)) n = static_cast<snd_pcm_uframes_t>(room);
        if (n == 0 || room <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const snd_pcm_sframes_t r = snd_pcm_writei(d->pcm, d->ring + std::size_t{2} * offset, n);
        if (r == -EAGAIN) continue;
        if (r < 0) {
            if (r == -EPIPE) underruns.fetch_add(1);
            snd_pcm_recover(d->pcm, static_cast<int>(r), 1);
            continue;
        }
        offset += static_cast<std::uint32_t>(r);
        if (offset >= d->ringFrames) offset = 0;
        d->written += static_cast<std::uint64_t>(r);
    }
}

void StartFeeder(WaveOutDevice* d) {
    d->stop.store(false);
    try {
        d->feeder = new std::thread(Feed, d);
    } catch (const std::exception&) {
        d->feeder = nullptr;
    }
}

void StopFeeder(WaveOutDevice* d) {
    if (!d->feeder) return;
    d->stop.store(true);
    d->feeder->join();
    delete d->feeder;
    d->feeder = nullptr;
}

}  // namespace

WaveOutDevice* WaveOutOpen(std::int32_t rate) {
    snd_lib_error_set_handler(Quiet);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
    snd_pcm_uframes_t bufferFrames = 0;
    snd_pcm_uframes_t period = 0;
    snd_pcm_hw_params_t* params = nullptr;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                           static_cast<unsigned>(rate), 1, kDeviceLatencyUs) < 0 ||
        snd_pcm_get_params(pcm, &bufferFrames, &period) < 0 || period == 0 ||
        snd_pcm_hw_params_malloc(&params) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    const bool canPause = snd_pcm_hw_params_current(pcm, params) == 0 && snd_pcm_hw_params_can_pause(params) == 1;
    snd_pcm_hw_params_free(params);
    const auto queueFrames = static_cast<snd_pcm_sframes_t>(std::int64_t{rate} * kDeviceLatencyUs / 1000000);
    auto* d = new (std::nothrow)
        WaveOutDevice{pcm, nullptr, 0, nullptr, {false}, {0}, 0, 0, queueFrames, canPause, false};
    if (!d) snd_pcm_close(pcm);
    return d;
}

void WaveOutPrepare(WaveOutDevice*, WaveOutBuffer* buffer) {
    buffer->prepared = true;
}

// Goes on in the running (or paused) stream: what the device still holds of
// an earlier ring plays first, for at most its latency, and then this ring
// from its first frame.
void WaveOutWriteLooping(WaveOutDevice* d, WaveOutBuffer* buffer) {
    StopFeeder(d);
    d->ring = static_cast<const std::int16_t*>(buffer->data);
    d->ringFrames = buffer->bytes / 4;
    d->positionBytes.store(0);
    d->offset = 0;
    d->written = 0;
    if (!d->ring || d->ringFrames == 0) return;
    const snd_pcm_state_t state = snd_pcm_state(d->pcm);
    if (state == SND_PCM_STATE_PAUSED) snd_pcm_pause(d->pcm, 0);
    else if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED) snd_pcm_prepare(d->pcm);
    d->pausedInDevice = false;
    StartFeeder(d);
}

std::uint32_t WaveOutPositionBytes(WaveOutDevice* d) {
    return d->positionBytes.load();
}

// Like a device that refuses to release a buffer it is still playing, the ring
// keeps looping until the device is reset.
void WaveOutUnprepare(WaveOutDevice* d, WaveOutBuffer* buffer) {
    if (!d->feeder) buffer->prepared = false;
}

// Feeds no more; the stream stays, so that the next write goes on without a
// gap. What the device holds plays out, a fraction of a second at most.
void WaveOutReset(WaveOutDevice* d) {
    StopFeeder(d);
    d->positionBytes.store(0);
    // Nothing to resume until the next write.
    d->ring = nullptr;
}

// Paused in the device where it can pause, keeping what it holds for the
// resume. Otherwise dropped: the frames dropped were never played, so the
// feeder goes back to the first of them.
void WaveOutPause(WaveOutDevice* d) {
    if (!d->feeder) return;
    StopFeeder(d);
    const snd_pcm_sframes_t held = HeldFrames(d);
    UpdatePosition(d, held);
    if (d->canPause && snd_pcm_pause(d->pcm, 1) == 0) {
        d->pausedInDevice = true;
        return;
    }
    const std::uint64_t played = PlayedFrames(d, held < 0 ? 0 : held);
    snd_pcm_drop(d->pcm);
    d->written = played;
    d->offset = static_cast<std::uint32_t>(played % d->ringFrames);
    d->positionBytes.store(static_cast<std::uint32_t>(played * 4));
}

void WaveOutResume(WaveOutDevice* d) {
    if (d->feeder || !d->ring || d->ringFrames == 0) return;
    if (d->pausedInDevice) snd_pcm_pause(d->pcm, 0);
    else snd_pcm_prepare(d->pcm);
    d->pausedInDevice = false;
    StartFeeder(d);
}

void WaveOutClose(WaveOutDevice* d) {
    if (!d) return;
    StopFeeder(d);
    snd_pcm_drop(d->pcm);
    snd_pcm_close(d->pcm);
    delete d;
}

// SCHED_FIFO needs a privilege most users lack; without it the thread simply
// keeps its normal priority.
void WaveOutRaiseThreadPriority() {
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

bool WaveOutWantsMixingThread(WaveOutDevice*) {
    return true;
}

std::uint32_t AlsaWaveOutUnderruns() {
    return underruns.load();
}
