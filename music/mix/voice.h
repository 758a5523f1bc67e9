#pragma once
// A mixer voice: one sample played at a step with a left and a right gain,
// ramped from the gains it had. The replayer's voice control sets them; the
// mixer plays them.
#include <cstdint>

#include "music/song.h"

struct Voice {
    std::int32_t index;
    std::int32_t volume;
    std::int32_t panning;
    std::uint32_t startOffset;
    Sample* sample;
    std::int32_t leftGain;
    std::int32_t rightGain;
    std::uint32_t position;
    std::uint32_t positionFraction;
    std::uint32_t stepFraction;
    std::uint32_t stepInteger;
    std::int32_t direction;  // 1 forward, 2 backward
    std::int32_t seenLeftGain;
    std::int32_t seenRightGain;
    // The volume of the gains last seen: a lower one ramps down.
    std::int32_t seenVolume;
    std::int32_t rampLeft;
    std::int32_t rampRight;
    float rampDeltaLeft;
    float rampDeltaRight;
    std::int32_t rampFramesLeft;
    // Steps up to kMaxLeapingStepFrames are played, and one that leaps the
    // whole forward loop ends the voice where one loop length back still
    // leaves it past the loop's end.
    bool leapingSteps;
};

constexpr int kVoiceCount = 256;
// Voices 0..63 are mixed: a channel's two voices are c and c + 32.
constexpr int kMixedVoices = 64;
// The largest stepInteger the mixer plays: a voice advances fewer than 256
// sample frames per output frame. The mixer plays larger steps at this one.
constexpr std::uint32_t kMaxStepFrames = 255;
// The same for a voice of leaping steps.
constexpr std::uint32_t kMaxLeapingStepFrames = 1023;
