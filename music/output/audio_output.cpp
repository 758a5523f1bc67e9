// The output record, opening and closing the device, and the tempo.
#include "music/output/audio_output.h"

#include "music/format/song_file.h"

#include <cstdlib>

AudioOutput audioOutput{};

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
    SetRampLength(kIntroRampFrames);
    for (int j = 0; j < kVoiceCount; ++j) {
        a.voices[j] = Voice{};
        a.voices[j].index = j;
        a.voices[j].stepInteger = 1;
    }
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

void SetRampLength(std::int32_t framesAt44100) {
    AudioOutput& a = audioOutput;
    a.rampFrames = static_cast<std::int32_t>(std::int64_t{a.mixingRate} * framesAt44100 / 44100);
    if (a.rampFrames < 1) a.rampFrames = 1;
    a.inverseRampFrames = 1.0f / static_cast<float>(a.rampFrames);
}
