// The mixer's speed through the player's public interface: a module keeping N
// voices busy is rendered offline, and the figure is seconds of 44100 Hz stereo
// output per second of CPU time. Every voice interpolates a looped sample at
// its own pitch, and a volume slide changes every voice's gain on five ticks
// of each six, so that a ramp starts on most ticks. Then the intro's song:
// the share of one core its mixing takes while it plays.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "bench/bench_runner.h"
#include "music/player.h"
#include "tools/xmwriter/xm_writer.h"

namespace {

constexpr std::int32_t kRate = 44100;
constexpr double kSecondsPerRound = 20.0;
constexpr int kRounds = 5;
constexpr std::int32_t kChunkFrames = 4096;

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// 20000 frames of noise, looped from frame 2000 on.
xm::Sample LoopedNoise() {
    xm::Sample sample;
    sample.sixteenBit = true;
    std::uint32_t seed = 99;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        sample.frames.push_back(static_cast<std::int16_t>(static_cast<std::int32_t>(seed >> 16) - 32768));
    }
    sample.loop = xm::Loop::Forward;
    sample.loopStart = 2000;
    sample.loopLength = 18000;
    return sample;
}

// One note per channel on the first row, from about 0.3 to 2.5 sample frames
// per output frame, then only volume slides, down for twelve rows and up for
// twelve, each channel a row behind the one before.
xm::Module BusyVoices(int voices) {
    xm::Module module;
    module.channels = voices;
    module.flags = 1;
    module.speed = 6;
    module.bpm = 180;  // 612 frames a tick
    module.instruments = {xm::InstrumentOf({LoopedNoise()})};
    module.patterns.resize(2);
    for (int p = 0; p < 2; ++p) {
        xm::Pattern& pattern = module.patterns[static_cast<std::size_t>(p)];
        pattern.rows = 64;
        pattern.cells.resize(static_cast<std::size_t>(64 * voices));
        for (int row = 0; row < 64; ++row) {
            for (int c = 0; c < voices; ++c) {
                xm::Cell& cell = pattern.at(row, c, voices);
                if (p == 0 && row == 0) {
                    cell.note = static_cast<std::uint8_t>(57 + c * 37 / (voices > 1 ? voices - 1 : 1));
                    cell.instrument = 1;
                }
                cell.effect = 0x0A;
                cell.parameter = (row + c) % 24 < 12 ? 0x01 : 0x10;
            }
        }
    }
    module.orders = {0, 1, 1, 1, 1, 1};
    return module;
}

// Renders the frames and returns the CPU seconds it took.
double Render(std::int64_t frames) {
    std::vector<std::int16_t> chunk(static_cast<std::size_t>(kChunkFrames) * 2);
    const double start = ProcessCpuSeconds();
    while (frames > 0) {
        const auto want = static_cast<std::int32_t>(frames < kChunkFrames ? frames : kChunkFrames);
        frames -= AudioRender(chunk.data(), want);
    }
    return ProcessCpuSeconds() - start;
}

bool MixerFigure(int voices) {
    const std::vector<std::uint8_t> bytes = xm::Write(BusyVoices(voices));
    Song* song = SongLoadMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (!song) {
        std::fprintf(stderr, "bench_mixer: the module of %d voices: %s\n", voices, SongLoadError());
        return false;
    }
    if (!AudioOpen(kRate)) {
        std::fprintf(stderr, "bench_mixer: cannot open the offline output\n");
        SongFree(song);
        return false;
    }
    const auto frames = static_cast<std::int64_t>(kSecondsPerRound * kRate);
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round) {
        SongPlay(song);
        samples.push_back(kSecondsPerRound / Render(frames));
        SongStop(song);
    }
    AudioClose();
    SongFree(song);
    const std::string name = "mixer, " + std::to_string(voices) + " busy voices";
    PrintFigure(name.c_str(), samples, "x real time",
                "44100 Hz stereo, interpolated, 128-frame ramps on 5 of 6 612-frame ticks, rendered offline");
    return true;
}

// What the mixing thread spends on the intro: the CPU time to mix the song's
// first pass block by block, as the thread does, over the pass's length.
bool IntroFigure() {
    Song* song = nullptr;
    MusicStart(&song);
    if (!song) return false;
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round) {
        SongPlay(song);
        std::int64_t rendered = 0;
        double cpu = 0.0;
        while (SongPassEndFrame() < 0 || rendered < SongPassEndFrame()) {
            cpu += Render(kChunkFrames);
            rendered += kChunkFrames;
        }
        SongStop(song);
        samples.push_back(100.0 * cpu / (static_cast<double>(rendered) / kRate));
    }
    AudioClose();
    SongFree(song);
    // Finer than PrintFigure shows: the share is a small fraction of a percent.
    std::sort(samples.begin(), samples.end());
    std::printf("mixing thread while the intro plays: median %.3f %% of one core (min %.3f, max %.3f, n=%zu; "
                "CPU time to mix the embedded song's first pass block by block, over its length; 44100 Hz, "
                "the intro's style, the thread's 5 ms polls left out)\n",
                samples[samples.size() / 2], samples.front(), samples.back(), samples.size());
    return true;
}

}  // namespace

int main() {
    if (!MixerFigure(8) || !MixerFigure(32) || !IntroFigure()) return 1;
    return 0;
}
