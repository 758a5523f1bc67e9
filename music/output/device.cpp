// Opening and closing the output's device.
#include <cstdlib>

#include "music/format/song_file.h"
#include "music/output/audio_output.h"
#include "music/output/wave_out.h"

namespace {

// Rates outside this range give blocks too short to hold a tick's start or
// ramp lengths that overflow.
constexpr std::int32_t kLowestRate = 1000;
constexpr std::int32_t kHighestRate = 1000000;

}  // namespace

int AudioOpen(std::int32_t rate) {
    if (!FileOpsInstalled()) return 0;
    AudioClose();
    if (rate < kLowestRate || rate > kHighestRate) return 0;
    audioOutput.mixingRate = rate;
    audioOutput.device = WaveOutOpen(rate);
    if (!audioOutput.device) return 0;
    AudioOutput& a = audioOutput;
    a.blockFrames = (rate / 50 + 3) & ~3;
    a.ringFrames = a.blockFrames * (a.latencyMs / 20) * 2;
    a.inverseRate = 1.0f / static_cast<float>(rate);
    SetRampLength(kIntroRampFrames, false);
    SilenceVoices();
    return 1;
}

void AudioClose() {
    // The mixing thread polls the device: it must be gone before the device is.
    if (audioOutput.currentSong) SongStop(audioOutput.currentSong);
    if (!audioOutput.device) return;
    WaveOutReset(audioOutput.device);
    WaveOutClose(audioOutput.device);
    audioOutput.device = nullptr;
    // Nothing plays the ring any more, so it can go.
    std::free(audioOutput.outputBuffer);
    audioOutput.outputBuffer = nullptr;
    audioOutput.waveHeader = WaveOutBuffer{};
}
