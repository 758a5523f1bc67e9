// The synthesized instruments: tuning, loops the mixer can play without a
// click, envelopes the loader and replayer accept, and the format's tools the
// song is meant to exercise.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tools/songgen/instruments.h"
#include "tools/songgen/song_module.h"
#include "tools/songgen/synth.h"

namespace {

double Cents(double got, double want) { return 1200.0 * std::log2(got / want); }

// Equal temperament from A-4 (file note 58) at 440 Hz.
double TruePitch(int fileNote) { return 440.0 * std::pow(2.0, (fileNote - 58) / 12.0); }

TEST(Tuning, WaveformPeriodsSoundAtTheWrittenPitch) {
    const struct {
        double period;
        int shift;
        int lowNote;
        int highNote;
    } cases[] = {
        {32.0, 0, 37, 80},     // lead, pluck: C-3..G-6
        {32.0, -12, 37, 80},   // pads, an octave down
        {256.0, -36, 56, 71},  // the bass range
        {150.0, 7, 20, 40},    // an odd period and shift
    };
    for (const auto& c : cases) {
        const synth::Tuning t = synth::TuneForPeriod(c.period, c.shift);
        for (int note = c.lowNote; note <= c.highNote; ++note) {
            const double pitch = synth::PlayedRate(note, t) / c.period;
            // The Amiga periods are whole numbers: a few cents at the top.
            EXPECT_NEAR(Cents(pitch, TruePitch(note + c.shift)), 0.0, 8.0)
                << "period " << c.period << " shift " << c.shift << " note " << note;
        }
    }
}

TEST(Tuning, RecordedRatesPlayAtTheirOwnSpeedOnMiddleC) {
    for (double rate : {8363.0, synth::kRate16k, synth::kRate33k, 22050.0, 44100.0}) {
        const synth::Tuning t = synth::TuneForRate(rate);
        EXPECT_NEAR(Cents(synth::PlayedRate(49, t), rate), 0.0, 5.0) << rate;
    }
    const synth::Tuning exact = synth::TuneForRate(synth::kRate33k);
    EXPECT_EQ(exact.relativeNote, 24);
    EXPECT_EQ(exact.finetune, 0);
}

bool Looped(const xm::Sample& s) { return s.loop != xm::Loop::None && s.loopLength > 0; }

TEST(Instruments, SamplesAndEnvelopesAreWellFormed) {
    const std::vector<xm::Instrument> instruments = songgen::BuildInstruments();
    ASSERT_EQ(instruments.size(), static_cast<std::size_t>(songgen::kInstrumentSlots));
    for (const songgen::Recipe& r : songgen::Recipes()) {
        const xm::Instrument& ins = instruments[static_cast<std::size_t>(r.slot - 1)];
        SCOPED_TRACE(r.name);
        ASSERT_EQ(ins.samples.size(), 1u);
        const xm::Sample& s = ins.samples[0];
        ASSERT_FALSE(s.frames.empty());
        EXPECT_LE(s.volume, 64);
        EXPECT_LE(static_cast<std::size_t>(s.loopStart) + s.loopLength, s.frames.size());
        if (!s.sixteenBit) {
            for (std::int16_t f : s.frames) ASSERT_TRUE(f >= -128 && f <= 127) << f;
        }
        // A forward loop goes on from its last frame to its first: the curve
        // must bend there no more than anywhere inside the loop, or the note
        // clicks once per turn.
        if (s.loop == xm::Loop::Forward && s.loopLength >= 3) {
            const auto frame = [&](std::uint32_t k) { return s.frames[s.loopStart + k % s.loopLength]; };
            const auto bend = [&](std::uint32_t k) { return std::abs(frame(k + 2) - 2 * frame(k + 1) + frame(k)); };
            int largest = 0;
            for (std::uint32_t k = 0; k + 2 < s.loopLength; ++k) largest = std::max(largest, bend(k));
            EXPECT_LE(bend(s.loopLength - 2), largest + 2);
            EXPECT_LE(bend(s.loopLength - 1), largest + 2);
        }
        for (const xm::Envelope* e : {&ins.volumeEnvelope, &ins.panningEnvelope}) {
            if (!(e->type & 1)) continue;
            const std::size_t n = e->points.size();
            ASSERT_GE(n, 2u);
            ASSERT_LE(n, 12u);
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_LE(e->points[i][1], 64);
                if (i > 0) {
                    EXPECT_GT(e->points[i][0], e->points[i - 1][0]);
                }
            }
            if (e->type & 2) {
                EXPECT_LT(e->sustain, n);
            }
            if (e->type & 4) {
                EXPECT_LT(e->loopEnd, n);
                EXPECT_LE(e->loopStart, e->loopEnd);
                // A loop that jumps to a different level clicks at every turn.
                EXPECT_EQ(e->points[e->loopStart][1], e->points[e->loopEnd][1]);
            }
        }
    }
    // The pitched voices hold as long as their notes; the drums run out.
    for (const char* name : {"bass", "heldbass", "padminor", "padmajor", "lead", "echo", "pluck", "riser"}) {
        const xm::Instrument& ins = instruments[static_cast<std::size_t>(songgen::InstrumentSlot(name) - 1)];
        EXPECT_TRUE(Looped(ins.samples[0])) << name;
    }
}

TEST(Instruments, TogetherUseTheFormatsExpressiveTools) {
    bool eight = false, sixteen = false, forward = false, pingPong = false, volumeSustain = false,
         volumeLoop = false, panningLoop = false, fadeout = false, autoVibrato = false, relative = false,
         finetune = false;
    for (const xm::Instrument& ins : songgen::BuildInstruments()) {
        for (const xm::Sample& s : ins.samples) {
            eight |= !s.sixteenBit;
            sixteen |= s.sixteenBit;
            forward |= s.loop == xm::Loop::Forward;
            pingPong |= s.loop == xm::Loop::PingPong;
            relative |= s.relativeNote != 0;
            finetune |= s.finetune != 0;
        }
        volumeSustain |= (ins.volumeEnvelope.type & 3) == 3;
        volumeLoop |= (ins.volumeEnvelope.type & 5) == 5;
        panningLoop |= (ins.panningEnvelope.type & 5) == 5;
        fadeout |= ins.fadeout != 0;
        autoVibrato |= ins.vibratoDepth != 0 && ins.vibratoRate != 0;
    }
    EXPECT_TRUE(eight && sixteen && forward && pingPong);
    EXPECT_TRUE(volumeSustain && volumeLoop && panningLoop && fadeout && autoVibrato);
    EXPECT_TRUE(relative && finetune);
}

TEST(Song, ScorePlaysTheEffectsItIsMeantToExercise) {
    std::ifstream in(SONG_SCORE_PATH);
    ASSERT_TRUE(in) << SONG_SCORE_PATH;
    std::stringstream text;
    text << in.rdbuf();
    xm::Module m;
    std::string error;
    ASSERT_TRUE(songgen::BuildModule(text.str(), m, error)) << error;
    bool effects[36] = {};
    bool arpeggio = false, noteDelay = false, retrigger = false, volumeColumnSlide = false,
         volumeColumnPanning = false;
    for (const xm::Pattern& p : m.patterns) {
        for (const xm::Cell& c : p.cells) {
            if (c.effect < 36) effects[c.effect] = true;
            arpeggio |= c.effect == 0 && c.parameter != 0;
            noteDelay |= c.effect == 14 && c.parameter >> 4 == 13;
            retrigger |= c.effect == 14 && c.parameter >> 4 == 9;
            volumeColumnSlide |= c.volume >= 0x60 && c.volume < 0x80;
            volumeColumnPanning |= c.volume >= 0xC0 && c.volume < 0xD0;
        }
    }
    EXPECT_TRUE(arpeggio && noteDelay && retrigger && volumeColumnSlide && volumeColumnPanning);
    // Portamento both ways, tone portamento, vibrato, volume slides, global volume and its slide,
    // panning slide, multi retrigger.
    for (int effect : {1, 2, 3, 4, 6, 10, 16, 17, 25, 27}) EXPECT_TRUE(effects[effect]) << "effect " << effect;
}

}  // namespace
