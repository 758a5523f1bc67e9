// What a program that plays to a listener asks beyond play and stop: the
// heard clock, pausing, moving to another order, the length of a pass, and
// the channels that sound.
#include "music/output/audio_output.h"
#include "music/output/mixing_thread.h"
#include "music/output/pass_watch.h"
#include "music/output/playback.h"
#include "music/output/wave_out.h"
#include "music/replay/replayer.h"

namespace {

// Without an end within this much music the song is taken to loop inside
// one order, as xm2wav takes it.
constexpr std::int64_t kLongestPassSeconds = 3600;

// Runs the song's ticks from where it stands without mixing, telling the pass
// watch of each at the frame where it would begin, until the pass ends, an
// hour has gone by, or (order 0 and above) the next tick enters that order.
void SkipTicks(Song* song, std::int32_t order) {
    AudioOutput& a = audioOutput;
    const std::int64_t longest = kLongestPassSeconds * a.mixingRate;
    ResetPassWatch();
    std::int64_t frame = 0;
    while (frame < longest) {
        WatchPass(song, frame);
        if (a.passEndFrame >= 0) return;
        if (order >= 0 && song->tick == 0 && song->nextOrder == order) return;
        if (song->tickHandler) song->tickHandler(song);
        frame += song->framesPerTick > 0 ? song->framesPerTick : 1;
    }
}

// The heard clock to the device's latest count, which the mixing thread, now
// stopped, may not have polled yet.
std::int64_t HeardUpToDevice() {
    const AudioOutput& a = audioOutput;
    std::uint64_t played = a.playedBytes;
    const std::uint32_t advance = WaveOutPositionBytes(a.device) - a.lastDeviceBytes;
    if (advance < 0x80000000u) played += advance;
    return a.heardBeforeRing + static_cast<std::int64_t>(played / 4);
}

// Drops what the device holds and fills the whole ring from where the song
// stands, as SongPlay does, the heard clock going on from heard.
void RefillRing(std::int64_t heard) {
    AudioOutput& a = audioOutput;
    WaveOutReset(a.device);
    a.heardBeforeRing = heard;
    a.playedBytes = 0;
    a.lastDeviceBytes = 0;
    a.heardIndex = 0;
    a.paused = false;
    PrimeRing();
}

}  // namespace

std::int64_t SongHeardFrames() {
    const AudioOutput& a = audioOutput;
    if (!a.currentSong) return 0;
    return a.heardBeforeRing + static_cast<std::int64_t>(a.playedBytes / 4);
}

void SongPause(bool pause) {
    AudioOutput& a = audioOutput;
    if (!a.currentSong || !a.device || pause == a.paused) return;
    if (pause) WaveOutPause(a.device);
    else WaveOutResume(a.device);
    a.paused = pause;
}

bool SongPaused() {
    return audioOutput.currentSong && audioOutput.paused;
}

int SongPlayFromOrder(Song* song, std::int32_t order) {
    AudioOutput& a = audioOutput;
    if (!song || song != a.currentSong || !a.device || !a.mixBuffer) return 0;
    // A song without orders plays from order 0, as it starts.
    if (order >= SongOrderCount(song)) order = SongOrderCount(song) - 1;
    if (order < 0) order = 0;
    StopMixingThread();
    const std::int64_t heard = HeardUpToDevice();
    SongResetPlayState(song);
    if (order > 0) {
        SkipTicks(song, order);
        const std::int32_t speed = song->speed;
        const std::int32_t bpm = song->bpm;
        const std::int32_t globalVolume = song->globalVolume;
        SongResetPlayState(song);
        song->speed = speed;
        SongSetBpm(song, bpm);
        song->globalVolume = globalVolume;
        song->order = order;
    }
    // The orders before this one count as played, so the pass ends where the
    // song comes back to them, on the heard clock.
    ResetPassWatch();
    for (std::int32_t o = 0; o < order; ++o) a.orderEntered[o] = true;
    a.mixedFrames = heard;
    RefillRing(heard);
    return 1;
}

std::int64_t SongMeasurePass(Song* song, std::int32_t rate) {
    AudioOutput& a = audioOutput;
    if (!song || a.currentSong || rate <= 0) return -1;
    // The tick lengths follow the output's rate.
    const std::int32_t outputRate = a.mixingRate;
    a.mixingRate = rate;
    SongResetPlayState(song);
    SkipTicks(song, -1);
    const std::int64_t end = a.passEndFrame;
    ResetPassWatch();
    a.mixingRate = outputRate;
    SongResetPlayState(song);
    return end;
}
