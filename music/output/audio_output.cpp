// The output record, and the settings its channels and voices start from.
#include "music/output/audio_output.h"

AudioOutput audioOutput{};

namespace {

// A length given at 44100 Hz, at the mixing rate: at least one frame.
std::int32_t FramesAtMixingRate(std::int32_t framesAt44100, bool nearest) {
    const std::int64_t scaled = std::int64_t{audioOutput.mixingRate} * framesAt44100 + (nearest ? 22050 : 0);
    const auto frames = static_cast<std::int32_t>(scaled / 44100);
    return frames < 1 ? 1 : frames;
}

}  // namespace

void SetRampLength(std::int32_t framesAt44100, bool nearest) {
    AudioOutput& a = audioOutput;
    a.rampFrames = FramesAtMixingRate(framesAt44100, nearest);
    a.inverseRampFrames = 1.0f / static_cast<float>(a.rampFrames);
    a.rampDownFrames = a.rampFrames;
    a.inverseRampDownFrames = a.inverseRampFrames;
}

void SetRampDownLength(std::int32_t framesAt44100) {
    AudioOutput& a = audioOutput;
    a.rampDownFrames = FramesAtMixingRate(framesAt44100, true);
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
