// The capture's play cursor over the offline device with a real module: the
// sound it hands out and the heard position the scene would read.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "music/output/audio_output.h"
#include "music/song.h"
#include "music/format/song_file.h"
#include "tests/replayer/test_modules.h"
#include "tools/capture/playhead.h"

namespace {

class SoundCollector : public FrameSink {
public:
    bool frame(const std::vector<std::uint8_t>&) override { return true; }
    bool sound(const std::int16_t* frames, std::int64_t frameCount) override {
        samples.insert(samples.end(), frames, frames + 2 * frameCount);
        return !failNext;
    }
    bool finish(std::string*) override { return true; }
    std::string failure() const override { return "full"; }

    std::vector<std::int16_t> samples;
    bool failNext = false;
};

class PlayheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = xm::Write(replayer_test::DrumsModule());
        MemoryFileSetSource(module.data(), static_cast<std::int32_t>(module.size()));
        SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
        ASSERT_EQ(AudioOpen(44100), 1);
        song = SongLoad("drums", nullptr);
        ASSERT_NE(song, nullptr);
        ASSERT_EQ(SongPlay(song), 1);
    }
    void TearDown() override {
        if (song != nullptr) {
            SongStop(song);
            SongFree(song);
        }
        AudioClose();
    }
    // Plays from the start to `end` in the given steps, keeping [begin, end).
    std::vector<std::int16_t> Play(std::int64_t begin, std::int64_t end, const std::vector<std::int64_t>& steps) {
        SoundCollector sink;
        Playhead playhead(begin, end);
        std::int64_t at = 0;
        for (std::size_t i = 0; at < end; ++i) {
            at = std::min(end, at + steps[i % steps.size()]);
            EXPECT_TRUE(playhead.advanceTo(at, sink));
            EXPECT_EQ(playhead.position(), at);
        }
        return sink.samples;
    }
    void Restart() {
        TearDown();
        SetUp();
    }

    std::vector<std::uint8_t> module;
    Song* song = nullptr;
};

}  // namespace

TEST_F(PlayheadTest, KeptSoundDoesNotDependOnHowTheCursorMoved) {
    constexpr std::int64_t kBegin = 30011;
    constexpr std::int64_t kEnd = 300000;  // several rings
    const std::vector<std::int16_t> byBlocks = Play(kBegin, kEnd, {884});
    ASSERT_EQ(byBlocks.size(), static_cast<std::size_t>(2 * (kEnd - kBegin)));
    std::int64_t loud = 0;
    for (std::int16_t s : byBlocks) loud += std::abs(s) > 100;
    EXPECT_GT(loud, static_cast<std::int64_t>(byBlocks.size()) / 10) << "the drums are heard";

    // Frame-sized steps, single frames, and jumps of more than a ring.
    const std::vector<std::vector<std::int64_t>> patterns = {
        {735}, {1, 1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 233, 377, 610, 987}, {132300, 17, 90000}};
    for (const auto& steps : patterns) {
        Restart();
        EXPECT_EQ(Play(kBegin, kEnd, steps), byBlocks) << "steps starting " << steps[0];
    }
}

TEST_F(PlayheadTest, HeardPositionIsTheSoundUnderTheCursor) {
    SoundCollector sink;
    Playhead playhead(0, 0);
    for (std::int64_t at : {1000LL, 50000LL, 88399LL, 88400LL, 250000LL, 700001LL}) {
        ASSERT_TRUE(playhead.advanceTo(at, sink));
        // The heard block's record was taken at the end of the block under the
        // cursor; the player's clock drops the fraction of a millisecond of
        // every run between ticks, so it falls a few per cent behind. A ring
        // (two seconds) late or early is far outside either bound.
        const double cursorMs = static_cast<double>(at) * 1000.0 / 44100.0;
        const std::int32_t heardMs = SongGetTime(song);
        EXPECT_GE(heardMs, cursorMs * 0.94 - 1.0) << at;
        EXPECT_LE(heardMs, cursorMs + 21.0) << at;
    }
    EXPECT_TRUE(sink.samples.empty()) << "nothing kept outside the span";
}

TEST_F(PlayheadTest, AFailingSinkStopsTheCursor) {
    SoundCollector sink;
    sink.failNext = true;
    Playhead playhead(0, 100000);
    EXPECT_FALSE(playhead.advanceTo(5000, sink));
    EXPECT_LT(playhead.position(), 5000);
}
