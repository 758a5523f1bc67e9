// The voice mixer: ramps, loops, the end of a sample, interpolation and the
// conversion to 16-bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "music/format/song_file.h"
#include "music/mix/mixer.h"
#include "music/mix/mixer_kernels.h"
#include "tests/music/music_test_support.h"

using namespace music_test;

namespace {

// A sample with its guard frame and spare frames, as the loader leaves it.
struct TestSample {
    TestSample(std::vector<std::int16_t> frames, std::uint8_t loopType, std::uint32_t loopStart,
               std::uint32_t loopLength)
        : data(std::move(frames)) {
        sample.length = static_cast<std::uint32_t>(data.size());
        data.resize(data.size() + 8, 0);
        sample.data = data.data();
        sample.loopType = loopType;
        sample.loopStart = loopType == LoopNone ? 0 : loopStart;
        sample.loopLength = loopType == LoopNone ? sample.length : loopLength;
        const std::uint32_t end = sample.loopStart + sample.loopLength;
        if (loopType == LoopForward) data[end] = data[sample.loopStart];
        if (loopType == LoopPingPong) data[end] = data[end - 1];
    }
    std::vector<std::int16_t> data;
    Sample sample{};
};

std::vector<std::int16_t> Constant(std::size_t frames, std::int16_t value) {
    return std::vector<std::int16_t>(frames, value);
}

std::vector<std::int16_t> Ramp(std::size_t frames) {
    std::vector<std::int16_t> v(frames);
    for (std::size_t i = 0; i < frames; ++i) v[i] = static_cast<std::int16_t>(i);
    return v;
}

class Mixer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OpenOffline(44100)); }
    void TearDown() override { CloseOutput(); }

    // A voice starting a note as the voice control leaves it: from silence.
    Voice& Start(Sample* sample, std::uint32_t stepInteger, std::uint32_t stepFraction, int left, int right) {
        Voice& v = audioOutput.voices[0];
        v.sample = sample;
        v.position = 0;
        v.positionFraction = 0;
        v.direction = 1;
        v.stepInteger = stepInteger;
        v.stepFraction = stepFraction;
        v.leftGain = left;
        v.rightGain = right;
        v.rampLeft = v.rampRight = 0;
        v.rampFramesLeft = 0;
        return v;
    }
    std::vector<float> Mix(Voice& v, int frames) {
        std::vector<float> out(static_cast<std::size_t>(frames) * 2, 0.0f);
        MixVoice(&v, out.data(), frames);
        return out;
    }
};

TEST_F(Mixer, ANoteFadesInOverTheRampLength) {
    TestSample s(Constant(1000, 10000), LoopForward, 0, 1000);
    Voice& v = Start(&s.sample, 1, 0, 127, 51);
    const std::vector<float> out = Mix(v, 300);
    const float fullLeft = 10000.0f * 127.0f / 255.0f;
    const float stepLeft = fullLeft / 128.0f;
    for (int k = 0; k < 128; ++k) {
        EXPECT_NEAR(out[2 * k], stepLeft * static_cast<float>(k), 0.05f) << k;
        EXPECT_NEAR(out[2 * k + 1], 10000.0f * 51.0f / 255.0f / 128.0f * static_cast<float>(k), 0.05f) << k;
    }
    for (int k = 128; k < 300; ++k) EXPECT_FLOAT_EQ(out[2 * k], fullLeft) << k;
    EXPECT_EQ(v.rampFramesLeft, 0);
    EXPECT_EQ(v.rampLeft, 127 * 256);
    EXPECT_EQ(v.rampRight, 51 * 256);
}

TEST_F(Mixer, GainChangesRampForTheFullLengthWhateverTheirSize) {
    TestSample s(Constant(1000, 10000), LoopForward, 0, 1000);
    for (int target : {126, 0, 64}) {
        Voice& v = Start(&s.sample, 1, 0, 127, 127);
        v.rampLeft = v.rampRight = 127 * 256;
        v.seenLeftGain = v.seenRightGain = 127;
        v.leftGain = target;
        const std::vector<float> out = Mix(v, 200);
        EXPECT_EQ(v.rampFramesLeft, 0);
        const float from = 10000.0f * 127.0f / 255.0f;
        const float to = 10000.0f * static_cast<float>(target) / 255.0f;
        EXPECT_NEAR(out[2 * 64], from + (to - from) * 0.5f, 0.05f);
        EXPECT_GT(std::fabs(out[2 * 127] - to), 0.0f);
        EXPECT_FLOAT_EQ(out[2 * 128], to) << target;
        EXPECT_FLOAT_EQ(out[2 * 64 + 1], from);  // the right side had nothing to do
    }
    // A target that the whole part of the current gain already equals starts
    // no ramp on that side.
    Voice& v = Start(&s.sample, 1, 0, 100, 100);
    v.rampLeft = v.rampRight = 100 * 256 + 90;
    v.seenLeftGain = v.seenRightGain = 99;
    Mix(v, 10);
    EXPECT_EQ(v.rampFramesLeft, 0);
    EXPECT_EQ(v.rampLeft, 100 * 256 + 90);
}

TEST_F(Mixer, ANewTargetMidRampStartsAFreshRampFromTheGainReached) {
    TestSample s(Constant(1000, 10000), LoopForward, 0, 1000);
    Voice& v = Start(&s.sample, 1, 0, 127, 127);
    Mix(v, 64);
    EXPECT_EQ(v.rampFramesLeft, 64);
    EXPECT_NEAR(v.rampLeft, 127 * 128, 2);
    v.leftGain = 0;
    const std::vector<float> out = Mix(v, 200);
    // The fresh ramp runs from the 63.5 reached, by steps set from its
    // whole part 63, and lands exactly on the target at its end.
    const float unit = 10000.0f / 255.0f;
    EXPECT_NEAR(out[0], 63.5f * unit, 2.0f);
    EXPECT_NEAR(out[2 * 64], (63.5f - 31.5f) * unit, 2.0f);
    EXPECT_GT(out[2 * 127], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * 128], 0.0f);
    // The right side's ramp restarted as well, from where it had got to.
    EXPECT_NEAR(out[2 * 128 + 1], 10000.0f * 127.0f / 255.0f, 0.01f);
    EXPECT_LT(out[1], out[2 * 100 + 1]);
}

TEST_F(Mixer, ASampleWithoutLoopStopsAtItsEnd) {
    // 100 frames at a step of 1.5: the position reaches 100 at output frame 67.
    TestSample s(Constant(100, 1000), LoopNone, 0, 0);
    Voice& v = Start(&s.sample, 1, 0x80000000u, 255, 255);
    v.rampLeft = v.rampRight = 255 * 256;
    v.seenLeftGain = v.seenRightGain = 255;
    std::vector<float> out = Mix(v, 40);
    EXPECT_EQ(v.sample, &s.sample);
    const std::vector<float> rest = Mix(v, 60);
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_FLOAT_EQ(out[2 * 66], 1000.0f);
    EXPECT_FLOAT_EQ(out[2 * 67], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * 99], 0.0f);
    EXPECT_EQ(v.sample, nullptr);
    EXPECT_EQ(v.position, 0u);
    // Idle, it adds nothing.
    EXPECT_FLOAT_EQ(Mix(v, 4)[0], 0.0f);

    // The shared empty sample falls idle at once.
    Voice& e = Start(&emptySample, 1, 0, 127, 127);
    EXPECT_FLOAT_EQ(Mix(e, 8)[0], 0.0f);
    EXPECT_EQ(e.sample, nullptr);
}

TEST_F(Mixer, PingPongPositionsNeverLeaveTheLoop) {
    TestSample s(Ramp(64), LoopPingPong, 16, 32);
    std::mt19937 random(7);
    for (std::uint32_t fraction : {0xB3333333u, 0x40000000u, 0u}) {
        Voice& v = Start(&s.sample, fraction == 0 ? 3 : 0, fraction, 255, 255);
        v.rampLeft = v.rampRight = 255 * 256;
        v.seenLeftGain = v.seenRightGain = 255;
        int turns = 0;
        int lastDirection = 1;
        for (int chunk = 0; chunk < 400; ++chunk) {
            const std::vector<float> out = Mix(v, 1 + static_cast<int>(random() % 50));
            for (std::size_t k = 0; k < out.size(); k += 2) {
                // Interpolated values of a ramp stay within the frames read.
                EXPECT_GE(out[k], 0.0f);
                EXPECT_LE(out[k], 63.0f);
            }
            ASSERT_EQ(v.sample, &s.sample);
            if (v.position >= 16) {
                EXPECT_LT(v.position, 48u);
            } else {
                EXPECT_EQ(turns, 0);  // before the loop is first reached
            }
            if (v.direction != lastDirection) ++turns;
            lastDirection = v.direction;
        }
        EXPECT_GT(turns, 10);
    }
}

TEST_F(Mixer, PingPongMirrorsAtBothEnds) {
    // Loop 0..8; going backward from 0.5 by 1 crosses the start.
    TestSample s(Ramp(8), LoopPingPong, 0, 8);
    Voice& v = Start(&s.sample, 1, 0, 0, 0);
    v.direction = 2;
    v.positionFraction = 0x80000000u;
    Mix(v, 1);
    // 2 x 0 - (-0.5) - 2^-32
    EXPECT_EQ(v.direction, 1);
    EXPECT_EQ(v.position, 0u);
    EXPECT_EQ(v.positionFraction, 0x7FFFFFFFu);
    // Forward from 7.25 by 1 crosses the end E = 8: 2 x 8 - 8.25 - 2^-32.
    v.position = 7;
    v.positionFraction = 0x40000000u;
    Mix(v, 1);
    EXPECT_EQ(v.direction, 2);
    EXPECT_EQ(v.position, 7u);
    EXPECT_EQ(v.positionFraction, 0xBFFFFFFFu);
    // Backward landing exactly on the loop start stays inside, going on backward.
    v.position = 1;
    v.positionFraction = 0;
    Mix(v, 1);
    EXPECT_EQ(v.direction, 2);
    EXPECT_EQ(v.position, 0u);
}

TEST_F(Mixer, ForwardLoopsKeepTheFraction) {
    TestSample s(Ramp(100), LoopForward, 20, 80);
    const std::uint64_t step = (std::uint64_t{1} << 32) + 0x40000001u;  // 1.25 and a hair
    Voice& v = Start(&s.sample, 1, 0x40000001u, 0, 0);
    std::uint64_t exact = 0;
    for (int frames : {50, 33, 300, 1, 1000}) {
        Mix(v, frames);
        exact += step * static_cast<std::uint64_t>(frames);
        const std::uint64_t end = std::uint64_t{100} << 32;
        const std::uint64_t length = std::uint64_t{80} << 32;
        if (exact >= end) exact = (std::uint64_t{20} << 32) + (exact - (std::uint64_t{20} << 32)) % length;
        EXPECT_EQ(v.position, static_cast<std::uint32_t>(exact >> 32)) << frames;
        EXPECT_EQ(v.positionFraction, static_cast<std::uint32_t>(exact)) << frames;
    }
}

TEST_F(Mixer, PositionsJustShortOfTheBoundaryMoveOn) {
    // 2^-32 before the loop end, closer than the 8.24 step can resolve.
    TestSample s(Ramp(50), LoopForward, 10, 40);
    Voice& v = Start(&s.sample, 0, 0x80000000u, 0, 0);
    v.position = 49;
    v.positionFraction = 0xFFFFFFFFu;
    Mix(v, 1000);
    EXPECT_GE(v.position, 10u);
    EXPECT_LT(v.position, 50u);

    // Steps beyond the mixer's limit are played at the limit.
    Voice& fast = Start(&s.sample, 100000, 0, 127, 127);
    Mix(fast, 500);
    EXPECT_GE(fast.position, 10u);
    EXPECT_LT(fast.position, 50u);
}

TEST_F(Mixer, InterpolatesBetweenNeighbouringFrames) {
    TestSample s({0, 1000, 3000, 3000}, LoopNone, 0, 0);
    Voice& v = Start(&s.sample, 0, 0x80000000u, 255, 255);
    v.rampLeft = v.rampRight = 255 * 256;
    v.seenLeftGain = v.seenRightGain = 255;
    const std::vector<float> out = Mix(v, 3);
    EXPECT_FLOAT_EQ(out[0], 0.0f);
    // Halfway, with the weight a hair below one half.
    EXPECT_NEAR(out[2], 500.0f, 0.1f);
    EXPECT_LT(out[2], 500.0f);
    EXPECT_FLOAT_EQ(out[4], 1000.0f);
}

TEST_F(Mixer, VoicesAreSummed) {
    TestSample s(Constant(1000, 255), LoopForward, 0, 1000);
    for (int i : {0, 1, 63, 64}) {
        Voice& v = audioOutput.voices[i];
        v.sample = &s.sample;
        v.stepInteger = 1;
        v.direction = 1;
        v.leftGain = v.rightGain = v.seenLeftGain = v.seenRightGain = 100;
        v.rampLeft = v.rampRight = 100 * 256;
    }
    std::vector<float> out(8, 0.0f);
    MixVoices(out.data(), 4);
    EXPECT_FLOAT_EQ(out[6], 300.0f);  // voice 64 is never mixed
}

// Many frames in one call take the mixer's several-at-a-time paths, single
// frames its frame-by-frame one, and a silent voice only moves on: all three
// must leave the voice in the same place, and the two audible ones must
// give the same bits.
TEST_F(Mixer, OneCallFrameByFrameAndSilentAgree) {
    std::vector<std::int16_t> noise(300);
    std::mt19937 random(11);
    for (std::int16_t& x : noise) x = static_cast<std::int16_t>(random());
    struct Case {
        std::uint8_t loopType;
        std::uint32_t loopStart, loopLength, position, stepInteger, stepFraction;
        std::int32_t direction;
    };
    const Case cases[] = {
        {LoopForward, 100, 200, 0, 1, 0x3A000001u, 1},  {LoopForward, 290, 10, 295, 3, 0x80000000u, 1},
        {LoopPingPong, 50, 100, 140, 0, 0x9E000000u, 2}, {LoopPingPong, 0, 7, 3, 5, 0x12345678u, 1},
        {LoopPingPong, 200, 100, 60, 2, 0, 1},           {LoopNone, 0, 0, 10, 0, 0x70000000u, 1},
        {LoopForward, 0, 300, 5, 0, 0, 1},
    };
    for (const Case& c : cases) {
        TestSample s(noise, c.loopType, c.loopStart, c.loopLength);
        auto start = [&](int gain) {
            Voice v = Start(&s.sample, c.stepInteger, c.stepFraction, gain, gain / 2);
            v.position = c.position;
            v.direction = c.direction;
            v.rampLeft = gain * 256;
            v.rampRight = gain / 2 * 256;
            return v;
        };
        constexpr int kFrames = 1001;
        Voice whole = start(200);
        Voice single = whole;
        Voice silent = start(0);
        const std::vector<float> together = Mix(whole, kFrames);
        std::vector<float> apart(2 * kFrames, 0.0f);
        for (int k = 0; k < kFrames; ++k) MixVoice(&single, apart.data() + 2 * k, 1);
        Mix(silent, kFrames);
        const std::string name = "loop " + std::to_string(c.loopType) + " from " + std::to_string(c.position);
        EXPECT_EQ(std::memcmp(together.data(), apart.data(), together.size() * sizeof(float)), 0) << name;
        for (const Voice* v : {&single, &silent}) {
            EXPECT_EQ(v->sample, whole.sample) << name;
            EXPECT_EQ(v->position, whole.position) << name;
            EXPECT_EQ(v->positionFraction, whole.positionFraction) << name;
            EXPECT_EQ(v->direction, whole.direction) << name;
        }
    }
}

// The ramped kernel steps the gains of whole groups of frames at once where
// it can; every value it adds, and the gains and position it leaves, must be
// the bits of the plain loop that adds each frame's gain to a running sum:
// from and down to silence, across powers of two, with steps too small to
// move the gain and steps exactly half-way between two floats.
TEST(MixerKernels, RampedGroupsGiveTheRunningSumsBits) {
    std::vector<std::int16_t> data(20000);
    std::mt19937 random(5);
    for (std::int16_t& x : data) x = static_cast<std::int16_t>(random());
    struct Case {
        float gain, step;
        std::int32_t frames;
    };
    std::vector<Case> cases = {
        {0.0f, 127.0f / 255.0f / 128.0f, 128},   {0.498f, -0.498f / 128.0f, 128},
        {0.2f, (0.3f - 0.2f) / 900.0f, 900},      {0.2499f, 0.0001f / 7.0f, 300},
        {0.3f, 1e-10f, 600},                      {0.1f, 0.0f, 77},
        {1e-3f, -1e-3f / 50.0f, 64},
    };
    // Just above 0.25, where the floats are 2^-25 apart: steps of a half and
    // one and a half units, which round to even and so not by the same
    // amount each time, and a step down that lands on 0.25 and then below it.
    const float unit = std::ldexp(1.0f, -25);
    for (float from : {0.25f, 0.25f + unit, 0.375f}) {
        cases.push_back({from, unit * 0.5f, 200});
        cases.push_back({from, unit * 1.5f, 200});
        cases.push_back({from, -unit * 0.5f, 200});
    }
    cases.push_back({0.25f + 16.0f * unit, -1.4f * unit, 40});
    std::uniform_real_distribution<float> gain(0.0f, 0.5f);
    std::uniform_int_distribution<std::int32_t> length(4, 1200);
    for (int i = 0; i < 200; ++i) {
        const std::int32_t frames = length(random);
        const float from = gain(random);
        cases.push_back({from, (gain(random) - from) / static_cast<float>(frames), frames});
    }
    for (const Case& c : cases) {
        const std::uint64_t step = 0x9E3779B9ull + (std::uint64_t{random() % 3} << 32);
        std::vector<float> wide(2 * static_cast<std::size_t>(c.frames), 1.0f);
        std::vector<float> plain = wide;
        std::uint64_t wideAt = 3ull << 32;
        float wideLeft = c.gain;
        float wideRight = c.gain * 0.5f;
        const std::int32_t done = MixRampedWide(data.data(), &wideAt, step, wide.data(), c.frames, &wideLeft,
                                                &wideRight, c.step, c.step * 0.5f);
        ASSERT_LE(done, c.frames);
        std::uint64_t plainAt = 3ull << 32;
        float plainLeft = c.gain;
        float plainRight = c.gain * 0.5f;
        for (std::int32_t k = 0; k < done; ++k) {
            const auto frame = static_cast<std::uint32_t>(plainAt >> 32);
            const float s0 = data[frame];
            const float s1 = data[frame + 1];
            const float w = static_cast<float>(static_cast<std::uint32_t>(plainAt) >> 1) * kInterpolationScale;
            const float v = s0 + (s1 - s0) * w;
            plain[2 * static_cast<std::size_t>(k)] += v * plainLeft;
            plain[2 * static_cast<std::size_t>(k) + 1] += v * plainRight;
            plainLeft += c.step;
            plainRight += c.step * 0.5f;
            plainAt += step;
        }
        const std::string name = std::to_string(c.gain) + " by " + std::to_string(c.step);
        EXPECT_EQ(std::memcmp(wide.data(), plain.data(), wide.size() * sizeof(float)), 0) << name;
        EXPECT_EQ(std::memcmp(&wideLeft, &plainLeft, sizeof(float)), 0) << name;
        EXPECT_EQ(std::memcmp(&wideRight, &plainRight, sizeof(float)), 0) << name;
        EXPECT_EQ(wideAt, plainAt) << name;
    }
}

TEST(ConvertBlock, RoundsHalfToEvenAndClips) {
    const float in[] = {40000.0f, -40000.0f, 32767.4f, -32768.6f, 2.5f, 3.5f, -2.5f, 0.49f, 32767.5f, -1.5f};
    std::int16_t out[10] = {};
    ConvertBlock(out, in, 5);
    const std::int16_t expected[] = {32767, -32768, 32767, -32768, 2, 4, -2, 0, 32767, -2};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

}  // namespace
