// One pass of the embedded song through the block fill the intro plays with:
// the float mix never leaves the 16-bit range, so the conversion clips
// nothing, and the two sides differ.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "music/output/audio_output.h"
#include "music/format/embedded_song.h"
#include "music/output/mixing_thread.h"
#include "music/song.h"
#include "music/format/song_file.h"
#include "music/output/waveout/offline.h"

namespace {

struct MixStats {
    double peak = 0.0;
    std::int64_t clipped = 0;
    std::int64_t frames = 0;
    double sideEnergy = 0.0;  // (L - R)^2
    double midEnergy = 0.0;   // (L + R)^2
};

void Inspect(const float* area, std::int32_t frames, MixStats& stats) {
    for (std::int32_t i = 0; i < frames; ++i) {
        const double l = area[2 * i];
        const double r = area[2 * i + 1];
        for (double v : {l, r}) {
            stats.peak = std::max(stats.peak, std::fabs(v));
            // Rounds to a value outside the 16-bit range: the conversion clips it.
            if (v >= 32767.5 || v < -32768.5) ++stats.clipped;
        }
        stats.sideEnergy += (l - r) * (l - r);
        stats.midEnergy += (l + r) * (l + r);
    }
    stats.frames += frames;
}

TEST(SongRender, FirstPassClipsNothingAndIsStereo) {
    MemoryFileSetSource(embeddedSong, embeddedSongSize);
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    ASSERT_EQ(AudioOpen(44100), 1);
    Song* song = SongLoad("embedded song", nullptr);
    ASSERT_NE(song, nullptr);
    OfflineWaveOutSetPositionBytes(0);
    ASSERT_EQ(SongPlay(song), 1);

    const AudioOutput& a = audioOutput;
    const std::int32_t blocks = a.ringFrames / a.blockFrames;
    MixStats stats;
    // Priming filled the whole ring.
    Inspect(a.mixBuffer, a.ringFrames, stats);
    std::uint32_t deviceBytes = 0;
    std::int32_t lastOrder = 0;
    bool restarted = false;
    double firstPassSeconds = 0.0;
    while (!restarted && stats.frames < 44100LL * 600) {
        deviceBytes += static_cast<std::uint32_t>(a.blockFrames) * 4u;
        OfflineWaveOutSetPositionBytes(deviceBytes);
        MixingCatchUp();
        const std::int32_t filled = (a.fillIndex + blocks - 1) % blocks;
        Inspect(a.mixBuffer + std::size_t{2} * static_cast<std::size_t>(filled * a.blockFrames), a.blockFrames,
                stats);
        if (song->order < lastOrder) {
            restarted = true;
            EXPECT_EQ(song->order, song->restartPosition);
            firstPassSeconds = static_cast<double>(stats.frames) / 44100.0;
        }
        lastOrder = song->order;
    }
    SongStop(song);
    SongFree(song);
    AudioClose();

    ASSERT_TRUE(restarted);
    std::printf("first pass %.1f s, float peak %.0f (%.2f dBFS), side/mid energy %.4f\n", firstPassSeconds,
                stats.peak, 20.0 * std::log10(stats.peak / 32768.0), stats.sideEnergy / stats.midEnergy);
    EXPECT_GE(firstPassSeconds, 90.0);
    EXPECT_EQ(stats.clipped, 0);
    // Headroom for the true peak between the samples.
    EXPECT_LT(stats.peak, 32768.0 * std::pow(10.0, -1.0 / 20.0));
    EXPECT_GT(stats.sideEnergy, 0.001 * stats.midEnergy);
}

}  // namespace
