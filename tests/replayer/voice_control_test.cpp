// Envelopes, pitch, gains and the hand-over from channels to mixer voices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/replayer/replayer_fixture.h"

namespace replayer_test {
namespace {

double Step(const Voice& voice) {
    return voice.stepInteger + voice.stepFraction / 4294967296.0;
}

TEST(Pitch, PeriodsAndFrequenciesOfBothTables) {
    Song linear{};
    linear.flags = 1;
    Song amiga{};
    EXPECT_EQ(LinearPeriod(48, 0), 4608);
    EXPECT_EQ(LinearPeriod(60, 0), 3840);
    EXPECT_EQ(LinearPeriod(48, -127), 4608 + 63) << "the finetune halves toward zero";
    EXPECT_EQ(PeriodFrequency(&linear, 4608, 0), 8363);
    EXPECT_EQ(PeriodFrequency(&linear, 3840, 0), 16726);
    EXPECT_EQ(PeriodFrequency(&linear, 4608, 768), 16726) << "a positive delta raises";

    EXPECT_EQ(AmigaPeriod(0), 27392);
    EXPECT_EQ(AmigaPeriod(95), 113);
    EXPECT_EQ(NotePeriod(48, 0), 1712);
    EXPECT_EQ(NotePeriod(60, 0), 856);
    // The finetune bends toward the neighbouring semitone (1615 and 1813).
    EXPECT_EQ(NotePeriod(48, 127), 1616);
    EXPECT_EQ(NotePeriod(48, -128), 1813);
    EXPECT_EQ(PeriodFrequency(&amiga, 1712, 0), 8362);
    EXPECT_EQ(PeriodFrequency(&amiga, 856, 0), 16725);
    EXPECT_EQ(PeriodFrequency(&amiga, 856, 856), 8362) << "a positive delta lowers";
}

TEST(Pitch, StepFloorCeilingAndZeroPeriod) {
    xm::Module module = SmallModule(1, 4);
    module.flags = 1;
    CellAt(module, 0, 0, 0) = {49, 1, 0, 0, 0};
    LoadedSong loaded(module);
    loaded.Tick();
    EXPECT_EQ(loaded.voice(0).stepInteger, 0u);
    EXPECT_NEAR(Step(loaded.voice(0)), 8363.0 / 44100.0, 1e-9);

    Channel& channel = loaded.channel(0);
    Sample* sample = loaded.voice(0).sample;
    channel.period = 20000;  // far below 100 Hz
    channel.updateFlags = UpdateFrequency;
    UpdateVoice(&channel, sample, loaded.song());
    EXPECT_NEAR(Step(loaded.voice(0)), 100.0 / 44100.0, 1e-9);

    channel.period = -60000;  // far above anything the mixer can step through
    channel.updateFlags = UpdateFrequency;
    UpdateVoice(&channel, sample, loaded.song());
    EXPECT_LT(loaded.voice(0).stepInteger, 256u);
    EXPECT_GE(loaded.voice(0).stepInteger, 255u);

    Voice before = loaded.voice(0);
    channel.period = 300;
    channel.periodDelta = -300;
    channel.updateFlags = UpdateFrequency;
    UpdateVoice(&channel, sample, loaded.song());
    EXPECT_EQ(loaded.voice(0).stepInteger, before.stepInteger);
    EXPECT_EQ(loaded.voice(0).stepFraction, before.stepFraction);
}

TEST(VoiceControl, GainsFollowVolumeAndPanning) {
    xm::Module module = SmallModule(1, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0, 0, 0};
    CellAt(module, 0, 1, 0) = {0, 0, 0, 8, 0xFF};
    LoadedSong loaded(module);
    loaded.Tick();
    EXPECT_EQ(loaded.voice(0).volume, 127);
    EXPECT_EQ(loaded.voice(0).leftGain, 63);
    EXPECT_EQ(loaded.voice(0).rightGain, 63);
    loaded.Ticks(6);
    EXPECT_EQ(loaded.voice(0).leftGain, 127);
    EXPECT_EQ(loaded.voice(0).rightGain, 0);
}

TEST(VoiceControl, InstrumentWithoutNoteAndNoteWithoutInstrument) {
    xm::Module module = SmallModule(2, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0x20, 0, 0};
    CellAt(module, 0, 1, 0) = {0, 1, 0, 0, 0};
    CellAt(module, 0, 0, 1) = {49, 0, 0, 0, 0};
    LoadedSong loaded(module);
    loaded.Tick();
    EXPECT_EQ(loaded.channel(0).volume, 16);
    EXPECT_NE(loaded.voice(1).sample, nullptr);
    EXPECT_EQ(loaded.voice(1).volume, 0) << "a note before any instrument is silent";
    EXPECT_EQ(loaded.voice(1).leftGain + loaded.voice(1).rightGain, 0);
    loaded.Mix(500);
    loaded.Ticks(5);
    Voice* playing = loaded.channel(0).voice;
    std::uint32_t position = playing->position;
    loaded.Tick();
    EXPECT_EQ(loaded.channel(0).volume, 64);
    EXPECT_EQ(loaded.channel(0).updateFlags & UpdateTrigger, 0);
    EXPECT_EQ(loaded.channel(0).voice, playing);
    EXPECT_EQ(playing->position, position) << "the sample is not restarted";
    EXPECT_EQ(playing->volume, 127);
}

TEST(VoiceControl, KeyOffWithAndWithoutVolumeEnvelope) {
    xm::Module module = SmallModule(2, 4);
    xm::Instrument enveloped = xm::InstrumentOf({ConstantSample(8192)});
    enveloped.volumeEnvelope.points = {{0, 64}, {2, 32}, {4, 0}};
    enveloped.volumeEnvelope.type = 3;
    enveloped.volumeEnvelope.sustain = 1;
    enveloped.fadeout = 2048;
    module.instruments.push_back(enveloped);
    CellAt(module, 0, 0, 0) = {49, 1, 0, 0, 0};
    CellAt(module, 0, 1, 0) = {97, 0, 0, 0, 0};
    CellAt(module, 0, 0, 1) = {49, 2, 0, 0, 0};
    CellAt(module, 0, 1, 1) = {0, 0, 0, 20, 0};
    LoadedSong loaded(module);
    std::vector<int> held;
    for (int tick = 0; tick < 6; ++tick) {
        loaded.Tick();
        held.push_back(loaded.channel(1).envelopeVolume);
    }
    EXPECT_EQ(held, (std::vector<int>{64, 48, 32, 32, 32, 32})) << "held at the sustain point";
    EXPECT_EQ(loaded.voice(0).volume, 127);

    loaded.Tick();
    EXPECT_EQ(loaded.channel(0).envelopeVolume, 0) << "no envelope: cut at once";
    EXPECT_EQ(loaded.voice(0).volume, 0);
    const Channel& released = loaded.channel(1);
    EXPECT_EQ(released.fadeoutVolume, 65536 - 4096);
    EXPECT_EQ(released.envelopeVolume, 32);
    std::vector<int> fading;
    for (int tick = 0; tick < 3; ++tick) {
        loaded.Tick();
        fading.push_back(released.envelopeVolume);
        EXPECT_EQ(released.fadeoutVolume, 65536 - 4096 * (tick + 2));
    }
    EXPECT_EQ(fading, (std::vector<int>{16, 0, 0}));
    EXPECT_EQ(released.volumeEnvelopeDone, 1);
}

// Runs an envelope on its own and collects its output tick by tick.
std::vector<int> RunEnvelope(const EnvelopeShape& shape, int ticks, int releaseAt = -1) {
    Channel channel;
    std::memset(static_cast<void*>(&channel), 0, sizeof(channel));
    std::vector<int> outputs;
    for (int tick = 0; tick < ticks; ++tick) {
        if (tick == releaseAt) channel.keyOff = 1;
        if (channel.volumeEnvelopeDone != 0) {
            outputs.push_back(-1);
            continue;
        }
        StepEnvelope(&channel, shape, VolumeEnvelopeStateOf(&channel), UpdateVolume,
                     EnvelopeRules{false, channel.keyOff != 0, SustainRelease::OnTheNextStep});
        outputs.push_back(channel.envelopeVolume);
    }
    return outputs;
}

TEST(Envelopes, SustainLoopAndLoopEndAtTheLastPoint) {
    EnvelopePoint points[kEnvelopeCapacity] = {{0, 0}, {4, 40}, {8, 20}, {10, 60}};
    EnvelopeShape sustained{points, 3, 3, 1, 0, 0};
    EXPECT_EQ(RunEnvelope(sustained, 12, 7),
              (std::vector<int>{0, 10, 20, 30, 40, 40, 40, 40, 35, 30, 25, 20}));
    EXPECT_EQ(RunEnvelope(sustained, 14, 7)[13], -1) << "done after the last point";

    EnvelopeShape looped{points, 4, 5, 0, 1, 2};
    std::vector<int> loop = RunEnvelope(looped, 16);
    EXPECT_EQ(std::vector<int>(loop.begin(), loop.begin() + 14),
              (std::vector<int>{0, 10, 20, 30, 40, 35, 30, 25, 40, 35, 30, 25, 40, 35}));

    EnvelopeShape toTheEnd{points, 4, 5, 0, 0, 3};
    std::vector<int> whole = RunEnvelope(toTheEnd, 40);
    EXPECT_EQ(whole[10], 0) << "back at the loop start";
    EXPECT_EQ(whole[20], 0);
    EXPECT_EQ(whole[39], whole[19]);

    // Loop points the envelope lacks are ignored rather than followed.
    EnvelopeShape broken{points, 3, 5, 0, 200, 2};
    EXPECT_EQ(RunEnvelope(broken, 10).back(), -1);
}

TEST(VoiceControl, AutoVibratoWaveAndSweep) {
    xm::Module module = SmallModule(1, 4);
    module.flags = 1;
    xm::Instrument& instrument = module.instruments[0];
    instrument.vibratoType = 1;
    instrument.vibratoDepth = 8;
    instrument.vibratoRate = 64;
    CellAt(module, 0, 0, 0) = {49, 1, 0, 0, 0};
    LoadedSong square(module);
    std::vector<int> deltas;
    for (int tick = 0; tick < 5; ++tick) {
        square.Tick();
        deltas.push_back(square.channel(0).periodDelta);
    }
    EXPECT_EQ(deltas, (std::vector<int>{8, 8, -8, -8, 8}));

    instrument.vibratoSweep = 2;
    LoadedSong swept(module);
    deltas.clear();
    for (int tick = 0; tick < 4; ++tick) {
        swept.Tick();
        deltas.push_back(swept.channel(0).periodDelta);
    }
    EXPECT_EQ(deltas, (std::vector<int>{0, 4, -8, -8}));
}

TEST(VoiceControl, SecondNoteMovesToThePairedVoiceWhileTheFirstFadesOut) {
    xm::Module module = SmallModule(2, 4);
    module.instruments.push_back(xm::InstrumentOf({ConstantSample(-8192)}));
    CellAt(module, 0, 0, 1) = {49, 1, 0, 0, 0};
    CellAt(module, 0, 1, 1) = {49, 2, 0, 0, 0};
    CellAt(module, 0, 2, 1) = {49, 1, 0, 0, 0};
    LoadedSong loaded(module);
    loaded.Tick();
    loaded.Mix(200);
    loaded.Ticks(6);
    Voice& first = audioOutput.voices[1];
    Voice& second = audioOutput.voices[33];
    EXPECT_EQ(loaded.channel(1).voice, &second);
    EXPECT_NE(first.sample, nullptr) << "the first note plays on";
    EXPECT_EQ(first.volume + first.leftGain + first.rightGain, 0);
    EXPECT_EQ(second.rampLeft, 0);
    EXPECT_EQ(second.leftGain, 63);

    // Over one ramp the old note fades out as the new one fades in.
    std::vector<float> mixed = loaded.Mix(256);
    const float full = 8192.0f * 63.0f / 255.0f;
    EXPECT_NEAR(mixed[0], full, 1.0f);
    EXPECT_NEAR(mixed[2 * 64], 0.0f, 2.0f);
    EXPECT_NEAR(mixed[2 * 128], -full, 1.0f);
    EXPECT_NEAR(mixed[2 * 255 + 1], -full, 1.0f);

    loaded.Ticks(6);
    EXPECT_EQ(loaded.channel(1).voice, &first) << "the third note goes back to the first voice";
    EXPECT_EQ(second.leftGain, 0);
}

}  // namespace
}  // namespace replayer_test
