// The output record, and the settings its channels and voices start from.
#include "music/output/audio_output.h"

AudioOutput audioOutput{};

void SetRampLength(std::int32_t framesAt44100, bool nearest) {
    AudioOutput& a = audioOutput;
    const std::int64_t scaled = std::int64_t{a.mixingRate} * framesAt44100 + (nearest ? 22050 : 0);
    a.rampFrames = static_cast<std::int32_t>(scaled / 44100);
    if (a.rampFrames < 1) a.rampFrames = 1;
    a.inverseRampFrames = 1.0f / static_cast<float>(a.rampFrames);
    a.rampDownFrames = a.rampFrames;
    a.inverseRampDownFrames = a.inverseRampFrames;
}

void SetRampDownLength(std::int32_t framesAt44100) {
    AudioOutput& a = audioOutput;
    a.rampDownFrames = static_cast<std::int32_t>((std::int64_t{a.mixingRate} * framesAt44100 + 22050) / 44100);
    if (a.rampDownFrames < 1) a.rampDownFrames = 1;
    a.inverseRampDownFrames = 1.0f / static_cast<float>(a.rampDownFrames);
}

void SilenceVoices() {
    audioOutput.heldLeft = 0.0f;
    audioOutput.heldRight = 0.0f;
    for (int j = 0; j < kVoiceCount; ++j) {
        audioOutput.voices[j] = Voice{};
        audioOutput.voices[j].index = j;
        audioOutput.voices[j].stepInteger = 1;
    }
}
