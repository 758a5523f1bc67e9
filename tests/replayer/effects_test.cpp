// Effect and volume-column commands, checked on the channel tick by tick.
#include <gtest/gtest.h>

#include <vector>

#include "tests/replayer/replayer_fixture.h"

namespace replayer_test {
namespace {

// Runs a number of ticks and records one channel field after each.
template <typename Field>
std::vector<int> Record(LoadedSong& loaded, int ticks, Field field) {
    std::vector<int> values;
    for (int i = 0; i < ticks; ++i) {
        loaded.Tick();
        values.push_back(field(loaded));
    }
    return values;
}

TEST(Effects, VolumeAboveSixtyFourSlidesBackToSixtyFour) {
    xm::Module module = SmallModule(1, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0, 12, 80};
    CellAt(module, 0, 1, 0) = {0, 0, 0, 10, 0x10};
    LoadedSong loaded(module);
    loaded.Tick();
    EXPECT_EQ(loaded.channel(0).volume, 80);
    EXPECT_EQ(loaded.voice(0).volume, 159);
    loaded.Ticks(6);
    EXPECT_EQ(loaded.channel(0).volume, 80) << "the slide acts on later ticks only";
    loaded.Tick();
    EXPECT_EQ(loaded.channel(0).volume, 64);
}

TEST(Effects, NoteCutAndNoteDelay) {
    xm::Module module = SmallModule(2, 4);
    module.flags = 1;
    CellAt(module, 0, 0, 0) = {49, 1, 0, 14, 0xC0};  // cut at tick 0: never
    CellAt(module, 0, 0, 1) = {49, 1, 0, 0, 0};
    CellAt(module, 0, 1, 1) = {61, 1, 0x20, 14, 0xD0};  // delay 0: never plays
    CellAt(module, 0, 2, 1) = {61, 1, 0x20, 14, 0xD2};
    LoadedSong loaded(module);
    auto volume0 = [](LoadedSong& l) { return l.channel(0).volume; };
    EXPECT_EQ(Record(loaded, 6, volume0), std::vector<int>(6, 64));

    auto triggered = [](LoadedSong& l) { return (l.channel(1).updateFlags & UpdateTrigger) != 0; };
    auto period = [](LoadedSong& l) { return l.channel(1).period; };
    LoadedSong delayed(module);
    delayed.Ticks(6);
    for (int tick = 0; tick < 6; ++tick) {
        delayed.Tick();
        EXPECT_FALSE(triggered(delayed)) << tick;
        EXPECT_EQ(period(delayed), 4608) << "the old note plays on";
        EXPECT_EQ(delayed.channel(1).volume, 64);
    }
    std::vector<int> starts;
    for (int tick = 0; tick < 6; ++tick) {
        delayed.Tick();
        if (triggered(delayed)) starts.push_back(tick);
    }
    EXPECT_EQ(starts, std::vector<int>{2});
    EXPECT_EQ(period(delayed), 3840);
    EXPECT_EQ(delayed.channel(1).volume, 16) << "the volume column comes with the delayed note";
}

TEST(Effects, SampleOffsetStartsLaterOrRewindsBeyondTheEnd) {
    xm::Module module = SmallModule(1, 5);
    module.instruments.push_back(xm::InstrumentOf({ConstantSample(100, 1000, false)}));
    CellAt(module, 0, 0, 0) = {49, 1, 0, 0, 0};
    CellAt(module, 0, 1, 0) = {49, 1, 0, 9, 0x08};  // frame 2048 of 4096
    CellAt(module, 0, 2, 0) = {49, 1, 0, 9, 0x10};  // frame 4096: beyond the loop end
    CellAt(module, 0, 3, 0) = {0, 0, 0, 9, 0x08};   // kept for the next note...
    CellAt(module, 0, 4, 0) = {49, 2, 0, 0, 0};     // ...whose sample is shorter
    LoadedSong loaded(module);
    loaded.Tick();
    loaded.Mix(1000);
    loaded.Ticks(6);
    EXPECT_EQ(loaded.channel(0).voice->index, 32);
    EXPECT_EQ(loaded.voice(0).position, 2048u);
    loaded.Mix(1000);
    loaded.Ticks(5);
    Voice* before = loaded.channel(0).voice;
    std::uint32_t played = before->position;
    EXPECT_GT(played, 2048u);
    loaded.Tick();
    EXPECT_EQ(loaded.channel(0).updateFlags & UpdateTrigger, 0);
    EXPECT_NE(loaded.channel(0).updateFlags & UpdateRewind, 0);
    EXPECT_EQ(loaded.channel(0).voice, before) << "no new note, so no voice switch";
    EXPECT_EQ(before->position, 0u);
    loaded.Ticks(12);
    EXPECT_NE(loaded.channel(0).updateFlags & UpdateTrigger, 0);
    EXPECT_EQ(loaded.voice(0).sample->length, 1000u);
    EXPECT_EQ(loaded.voice(0).position, 0u) << "an offset past the new sample's end starts at 0";
}

TEST(Effects, ArpeggioCyclesBaseXY) {
    xm::Module module = SmallModule(1, 4);
    module.flags = 1;
    CellAt(module, 0, 0, 0) = {49, 1, 0, 0, 0x37};
    LoadedSong linear(module);
    auto delta = [](LoadedSong& l) { return l.channel(0).periodDelta; };
    EXPECT_EQ(Record(linear, 6, delta), (std::vector<int>{0, 192, 448, 0, 192, 448}));

    module.flags = 0;
    LoadedSong amiga(module);
    std::vector<int> deltas = Record(amiga, 3, delta);
    EXPECT_EQ(deltas[1], 1439 - 1712);
    EXPECT_EQ(deltas[2], 1142 - 1712);
}

TEST(Effects, TremorSoundsXPlusOneTicksAndRestsYPlusOne) {
    xm::Module module = SmallModule(1, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0x30, 29, 0x21};
    CellAt(module, 0, 1, 0) = {0, 0, 0, 29, 0};
    LoadedSong loaded(module);
    auto sounding = [](LoadedSong& l) {
        return l.channel(0).volume + l.channel(0).volumeDelta > 0 && l.voice(0).volume > 0;
    };
    EXPECT_EQ(Record(loaded, 10, sounding),
              (std::vector<int>{1, 1, 1, 0, 0, 1, 1, 1, 0, 0}));
}

TEST(Effects, VolumeColumnPanningSlidesAreUnboundedButTheVoiceIsClamped) {
    xm::Module module = SmallModule(2, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0xEF, 8, 0xF8};
    CellAt(module, 0, 0, 1) = {49, 1, 0xDF, 8, 0x05};
    LoadedSong loaded(module);
    auto right = [](LoadedSong& l) { return l.channel(0).panning; };
    // The set panning effect runs after the volume column on the first tick.
    EXPECT_EQ(Record(loaded, 3, right), (std::vector<int>{248, 263, 278}));
    EXPECT_EQ(loaded.voice(0).panning, 255);
    EXPECT_EQ(loaded.channel(1).panning, 5 - 30);
    EXPECT_EQ(loaded.voice(1).panning, 0);
}

TEST(Effects, TonePortamentoKeepsNoteInstrumentAndVoice) {
    xm::Module module = SmallModule(1, 4);
    module.flags = 1;
    xm::Instrument quiet = xm::InstrumentOf({ConstantSample(-8192)});
    quiet.samples[0].volume = 32;
    quiet.samples[0].relativeNote = 12;
    module.instruments.push_back(quiet);
    CellAt(module, 0, 0, 0) = {49, 1, 0x24, 0, 0};
    CellAt(module, 0, 1, 0) = {61, 2, 0, 3, 0x10};
    LoadedSong loaded(module);
    loaded.Ticks(6);
    Voice* playing = loaded.channel(0).voice;
    loaded.Tick();
    const Channel& channel = loaded.channel(0);
    EXPECT_EQ(channel.note, 48);
    EXPECT_EQ(channel.instrument, 0);
    EXPECT_EQ(channel.voice, playing);
    EXPECT_EQ(channel.updateFlags & UpdateTrigger, 0);
    EXPECT_EQ(channel.volume, 64) << "the instrument number resets the old sample's volume";
    EXPECT_EQ(channel.portaTarget, 3840) << "the target uses the old sample's transpose";
    auto period = [](LoadedSong& l) { return l.channel(0).period; };
    EXPECT_EQ(Record(loaded, 5, period), (std::vector<int>{4544, 4480, 4416, 4352, 4288}));
}

TEST(Effects, VibratoTremoloAndMultiRetrigger) {
    xm::Module module = SmallModule(3, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0, 4, 0x48};
    CellAt(module, 0, 0, 1) = {49, 1, 0x40, 7, 0x48};
    CellAt(module, 0, 0, 2) = {49, 1, 0x38, 27, 0xA2};
    CellAt(module, 0, 1, 1) = {0, 0, 0, 0, 0};
    LoadedSong loaded(module);
    auto vibrato = [](LoadedSong& l) { return l.channel(0).periodDelta; };
    // Sine positions 0, 0, 4, 8: |sin(pi/8)| * 256 = 97 gives ((97 * 8) >> 7) * 4.
    std::vector<int> deltas = Record(loaded, 4, vibrato);
    EXPECT_EQ(deltas[0], 0);
    EXPECT_EQ(deltas[1], 0);
    EXPECT_EQ(deltas[2], -24);
    EXPECT_EQ(deltas[3], -44);

    LoadedSong tremolo(module);
    auto loudness = [](LoadedSong& l) { return l.channel(1).volume + l.channel(1).volumeDelta; };
    std::vector<int> volumes = Record(tremolo, 6, loudness);
    EXPECT_EQ(volumes[0], 48);
    EXPECT_EQ(volumes[1], 48);
    EXPECT_EQ(volumes[2], 48 + ((97 * 8) >> 6));
    EXPECT_EQ(volumes[3], 64) << "the offset stops at full volume";
    tremolo.Tick();
    EXPECT_EQ(tremolo.channel(1).volume, volumes[5]) << "the last offset stays when tremolo stops";

    LoadedSong retrigger(module);
    std::vector<int> starts;
    std::vector<int> retrigVolumes;
    for (int tick = 0; tick < 6; ++tick) {
        retrigger.Tick();
        if (tick > 0 && (retrigger.channel(2).updateFlags & UpdateTrigger) != 0) {
            starts.push_back(tick);
            retrigVolumes.push_back(retrigger.channel(2).volume);
        }
    }
    EXPECT_EQ(starts, (std::vector<int>{2, 4}));
    EXPECT_EQ(retrigVolumes, (std::vector<int>{42, 44}));
}

TEST(Effects, GlobalVolumeAndItsSlide) {
    xm::Module module = SmallModule(2, 4);
    CellAt(module, 0, 0, 0) = {49, 1, 0, 16, 0x50};
    CellAt(module, 0, 1, 1) = {0, 0, 0, 17, 0x05};
    CellAt(module, 0, 2, 1) = {0, 0, 0, 17, 0};
    CellAt(module, 0, 3, 1) = {0, 0, 0, 17, 0};
    LoadedSong loaded(module);
    loaded.Tick();
    EXPECT_EQ(loaded.song()->globalVolume, 64);
    EXPECT_EQ(loaded.voice(0).volume, 127);
    loaded.Ticks(11);
    EXPECT_EQ(loaded.song()->globalVolume, 64 - 5 * 5);
    loaded.Ticks(6);
    EXPECT_EQ(loaded.song()->globalVolume, 64 - 10 * 5) << "the memory is reused";
    loaded.Ticks(6);
    EXPECT_EQ(loaded.song()->globalVolume, 0);
}

TEST(Effects, EnvelopePositionJumpsIntoTheVolumeEnvelope) {
    xm::Module module = SmallModule(2, 4);
    xm::Envelope& envelope = module.instruments[0].volumeEnvelope;
    envelope.points = {{0, 64}, {10, 0}, {20, 32}};
    envelope.type = 1;
    CellAt(module, 0, 0, 0) = {49, 1, 0, 21, 5};
    CellAt(module, 0, 0, 1) = {49, 1, 0, 21, 25};
    LoadedSong loaded(module);
    loaded.Tick();
    const Channel& middle = loaded.channel(0);
    EXPECT_EQ(middle.envelopeVolume, 32);
    EXPECT_EQ(middle.volumeEnvelopePoint, 1);
    EXPECT_EQ(middle.volumeEnvelopeTick, 5);
    EXPECT_EQ(middle.volumeEnvelopeDone, 0);
    EXPECT_EQ(loaded.channel(1).envelopeVolume, 32);
    EXPECT_EQ(loaded.channel(1).volumeEnvelopeDone, 1);
    loaded.Tick();
    EXPECT_EQ(middle.envelopeVolume, 25) << "the envelope goes on from the new position";
}

}  // namespace
}  // namespace replayer_test
