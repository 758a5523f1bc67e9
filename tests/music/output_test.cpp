// The audio output on the offline device: ring figures, tempo, where ticks
// fall in the blocks, the heard position, stopping and starting again.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "music/format/embedded_song.h"
#include "music/format/song_file.h"
#include "music/output/mixing_thread.h"
#include "music/output/position.h"
#include "music/output/ring.h"
#include "music/output/waveout/offline.h"
#include "music/replay/replayer.h"
#include "tests/music/music_test_support.h"

using namespace music_test;

namespace {

struct TickLog {
    std::vector<std::int32_t> elapsed;
    std::vector<std::uint32_t> voiceFrames;
};
TickLog tickLog;

void LogTick(Song* song) {
    tickLog.elapsed.push_back(song->elapsedMs);
    tickLog.voiceFrames.push_back(audioOutput.voices[0].position);
}

PositionRecord Record(int block) {
    return PositionRecordUnpack(audioOutput.positionRecords[block].load());
}

std::uint32_t BlockBytes(int blocks) {
    return static_cast<std::uint32_t>(blocks * audioOutput.blockFrames * 4);
}

class Output : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenOffline(44100));
        tickLog = TickLog{};
    }
    void TearDown() override { CloseOutput(); }
    StandInSong standIn;
};

TEST(OutputFigures, FollowTheMixingRate) {
    struct Expected {
        std::int32_t rate, block, ring, ramp;
    };
    for (const Expected& e : {Expected{44100, 884, 88400, 128}, Expected{48000, 960, 96000, 139},
                              Expected{22050, 444, 44400, 64}}) {
        ASSERT_TRUE(OpenOffline(e.rate));
        EXPECT_EQ(audioOutput.blockFrames, e.block);
        EXPECT_EQ(audioOutput.ringFrames, e.ring);
        EXPECT_EQ(audioOutput.ringFrames / audioOutput.blockFrames, 100);
        EXPECT_EQ(audioOutput.rampFrames, e.ramp);
        EXPECT_FLOAT_EQ(audioOutput.inverseRampFrames, 1.0f / static_cast<float>(e.ramp));
        EXPECT_EQ(audioOutput.voices[200].index, 200);
        EXPECT_EQ(audioOutput.voices[200].stepInteger, 1u);
        StandInSong s;
        ASSERT_EQ(SongPlay(&s.song), 1);
        EXPECT_EQ(audioOutput.waveHeader.bytes, static_cast<std::uint32_t>(e.ring * 4));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(audioOutput.mixBuffer) % 16, 0u);
        SongStop(&s.song);
        CloseOutput();
    }
    OfflineWaveOutFailOpen(true);
    EXPECT_EQ(AudioOpen(44100), 0);
    OfflineWaveOutFailOpen(false);
}

TEST(OutputFigures, TrackerRampsTakeTheNearestFrameAtEveryRate) {
    // The reference's short ramps at these rates, 16 frames at 44100 Hz.
    struct Expected {
        std::int32_t rate, ramp;
    };
    for (const Expected& e : {Expected{8000, 3}, Expected{32000, 12}, Expected{44100, 16}, Expected{96000, 35}}) {
        ASSERT_TRUE(OpenOffline(e.rate));
        StandInSong s;
        SongSetPlaybackStyle(&s.song, PlaybackStyle::Tracker);
        ASSERT_EQ(SongPlay(&s.song), 1);
        EXPECT_EQ(audioOutput.rampFrames, e.ramp) << e.rate << " Hz";
        SongStop(&s.song);
        CloseOutput();
    }
}

TEST_F(Output, BeatsPerMinuteGiveFramesPerTick) {
    Song& s = standIn.song;
    const std::pair<int, int> cases[] = {{180, 612}, {125, 882}, {32, 3445}, {255, 432}};
    for (auto [bpm, frames] : cases) {
        SongSetBpm(&s, bpm);
        EXPECT_EQ(s.bpm, bpm);
        EXPECT_EQ(s.framesPerTick, frames) << bpm;
    }
    // A module's tempo of 0 or below plays at the format's usual 125.
    for (int bpm : {0, -1, -32768}) {
        SongSetBpm(&s, bpm);
        EXPECT_EQ(s.framesPerTick, 882);
    }
    SongSetBpm(&s, 32767);
    EXPECT_GE(s.framesPerTick, 1);
}

TEST_F(Output, TheFirstBlocksAreMixedInRunsBetweenTicks) {
    standIn.song.tickHandler = LogTick;
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    EXPECT_EQ(standIn.song.framesPerTick, 612);
    // Runs of 612 and 272, then 340 and 544: 13 + 6 ms, then 7 + 12 ms.
    ASSERT_GE(tickLog.elapsed.size(), 3u);
    EXPECT_EQ(tickLog.elapsed[0], 0);
    EXPECT_EQ(tickLog.elapsed[1], 13);
    EXPECT_EQ(tickLog.elapsed[2], 26);
    EXPECT_EQ(Record(0).elapsedMs, 19);
    EXPECT_EQ(Record(1).elapsedMs, 38);
    EXPECT_EQ(audioOutput.heardIndex.load(), 0);
    EXPECT_EQ(audioOutput.fillIndex, 0);
}

TEST_F(Output, TicksStartAtExactFramesInsideABlock) {
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    static std::int16_t ramp[4000];
    static Sample sample{};
    sample.data = ramp;
    sample.length = 3990;
    sample.loopStart = 0;
    sample.loopLength = 3990;
    sample.loopType = LoopNone;
    Voice& v = audioOutput.voices[0];
    v.sample = &sample;
    v.position = 0;
    v.stepInteger = 1;
    v.stepFraction = 0;
    v.direction = 1;
    standIn.song.tickHandler = LogTick;
    standIn.song.tickFramesLeft = 100;
    standIn.song.framesPerTick = 612;
    FillBlock();
    ASSERT_EQ(tickLog.voiceFrames.size(), 2u);
    EXPECT_EQ(tickLog.voiceFrames[0], 100u);
    EXPECT_EQ(tickLog.voiceFrames[1], 712u);
    EXPECT_EQ(v.position, 884u);
    EXPECT_EQ(standIn.song.tickFramesLeft, 612 - 172);
}

TEST_F(Output, HeardBlockFollowsTheDevice) {
    standIn.song.tickHandler = [](Song* song) { song->row += 1; };
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    // Straight after the start the device plays block 0, holding the row
    // reached after mixing it.
    EXPECT_EQ(SongGetRow(&standIn.song), Record(0).row);
    const PositionRecord third = Record(3);
    OfflineWaveOutSetPositionBytes(BlockBytes(3) + 40);
    MixingCatchUp();
    EXPECT_EQ(audioOutput.heardIndex.load(), 3);
    EXPECT_EQ(audioOutput.fillIndex, 3);
    EXPECT_EQ(SongGetRow(&standIn.song), third.row);
    EXPECT_EQ(SongGetTime(&standIn.song), third.elapsedMs);
    EXPECT_GT(Record(2).elapsedMs, Record(99).elapsedMs);  // refilled a ring later
    MixingCatchUp();
    EXPECT_EQ(audioOutput.heardIndex.load(), 3);
    // Round the ring's end.
    OfflineWaveOutSetPositionBytes(BlockBytes(101));
    MixingCatchUp();
    EXPECT_EQ(audioOutput.heardIndex.load(), 1);
    EXPECT_EQ(SongGetOrder(nullptr), 0);
}

TEST_F(Output, PositionRecordsKeepLowBytes) {
    standIn.song.tickHandler = [](Song* song) {
        song->row = 300;
        song->order = 258;
        song->elapsedMs = -5;
    };
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    EXPECT_EQ(SongGetRow(&standIn.song), 44);
    EXPECT_EQ(SongGetOrder(&standIn.song), 2);
    const PositionRecord whole = SongGetPosition(&standIn.song);
    EXPECT_EQ(whole.row, 44);
    EXPECT_EQ(whole.order, 2);
    EXPECT_EQ(PositionRecordUnpack(PositionRecordPack(PositionRecord{255, 1, -1})).elapsedMs, -1);
}

TEST_F(Output, HeardBlockSurvivesTheDeviceCountWrapping) {
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    // Just before the 32-bit byte count wraps: 2^30 frames, less 1000.
    const std::uint64_t before = (std::uint64_t{1} << 32) - 4000;
    audioOutput.playedBytes = before;
    audioOutput.lastDeviceBytes = static_cast<std::uint32_t>(before);
    const auto block = [](std::uint64_t bytes) { return static_cast<int>(bytes / 4 % 88400 / 884); };
    audioOutput.fillIndex = block(before);
    audioOutput.heardIndex = block(before);
    const std::uint64_t after = before + 30000 * 4;
    OfflineWaveOutSetPositionBytes(static_cast<std::uint32_t>(after));
    MixingCatchUp();
    EXPECT_EQ(audioOutput.heardIndex.load(), block(after));
    // The wrapped count alone would name another block.
    EXPECT_NE(block(after), block(static_cast<std::uint32_t>(after)));
}

TEST_F(Output, StopReleasesOnceAndPlayStartsAgain) {
    standIn.song.tickHandler = [](Song* song) { song->row = 7; };
    EXPECT_EQ(SongStop(nullptr), 0);
    EXPECT_EQ(SongPlay(nullptr), 0);
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    OfflineWaveOutSetPositionBytes(BlockBytes(5));
    MixingCatchUp();
    EXPECT_EQ(SongStop(&standIn.song), 1);
    EXPECT_EQ(SongStop(&standIn.song), 1);
    EXPECT_EQ(audioOutput.positionRecords, nullptr);
    EXPECT_EQ(audioOutput.mixBuffer, nullptr);
    EXPECT_EQ(audioOutput.currentSong, nullptr);
    EXPECT_EQ(SongGetRow(&standIn.song), 0);
    MixingCatchUp();  // nothing playing: nothing to do

    // A second start rewinds the device and the heard block.
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    EXPECT_EQ(audioOutput.heardIndex.load(), 0);
    EXPECT_EQ(SongGetRow(&standIn.song), 7);
    OfflineWaveOutSetPositionBytes(BlockBytes(2));
    MixingCatchUp();
    EXPECT_EQ(audioOutput.heardIndex.load(), 2);
}

TEST_F(Output, TickLengthsOfZeroStillFillTheRing) {
    static int ticks;
    ticks = 0;
    standIn.song.tickHandler = [](Song* song) {
        ++ticks;
        song->framesPerTick = 0;
    };
    standIn.song.defaultBpm = 0;
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    EXPECT_EQ(ticks, 88400);  // one frame per tick
}

TEST_F(Output, TheMixingThreadCatchesUpAndStops) {
    OfflineWaveOutUseMixingThread(true);
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    ASSERT_NE(audioOutput.thread, nullptr);
    OfflineWaveOutSetPositionBytes(BlockBytes(5));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (audioOutput.heardIndex.load() != 5 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(audioOutput.heardIndex.load(), 5);
    // Closing the output while the thread runs stops the thread first.
    AudioClose();
    EXPECT_EQ(audioOutput.thread, nullptr);
    EXPECT_EQ(audioOutput.threadFinished.load(), 1);
    EXPECT_EQ(audioOutput.device, nullptr);
}

// Order and row are set together by the tick handler; a reader on another
// thread must never see the order of one block with the row of another.
TEST_F(Output, HeardPositionIsReadWhole) {
    standIn.song.tickHandler = [](Song* song) {
        song->row = (song->row + 1) & 0xFF;
        song->order = song->row;
    };
    ASSERT_EQ(SongPlay(&standIn.song), 1);
    std::atomic<bool> done{false};
    std::atomic<int> mismatches{0};
    std::thread reader([&] {
        while (!done) {
            const PositionRecord p = SongGetPosition(&standIn.song);
            if (p.order != p.row) ++mismatches;
        }
    });
    std::uint32_t bytes = 0;
    for (int i = 0; i < 400; ++i) {
        bytes += BlockBytes(1) + 1000;
        OfflineWaveOutSetPositionBytes(bytes);
        MixingCatchUp();
    }
    done = true;
    reader.join();
    EXPECT_EQ(mismatches.load(), 0);
}

TEST(MusicStart, ReportsWhatFailsAndRunsSilent) {
    Song* slot = reinterpret_cast<Song*>(1);
    OfflineWaveOutFailOpen(true);
    testing::internal::CaptureStdout();
    MusicStart(&slot);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error upon initialization.\n");
    EXPECT_EQ(slot, nullptr);
    OfflineWaveOutFailOpen(false);

    static const std::uint8_t garbage[400] = {1, 2, 3};
    MemoryFileSetSource(garbage, sizeof garbage);
    testing::internal::CaptureStdout();
    MusicStart(&slot);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error loading song\n");
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(audioOutput.device, nullptr);
}

TEST(MusicStart, LoadsTheEmbeddedSong) {
    OfflineWaveOutFailOpen(false);
    MemoryFileSetSource(embeddedSong, embeddedSongSize);
    Song* slot = nullptr;
    testing::internal::CaptureStdout();
    MusicStart(&slot);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->channelCount, 8);
    EXPECT_EQ(SongPlay(slot), 1);
    SongStop(slot);
    SongFree(slot);
    AudioClose();
}

}  // namespace
