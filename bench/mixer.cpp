// The mixer's speed as times real time: seconds of 44100 Hz stereo output
// mixed per second of CPU time on one thread, for 8 and for 32 busy voices.
// Every voice interpolates, and every 612-frame tick gives each voice a new
// gain, so that a ramp runs over 128 frames of each tick.
#include <ctime>
#include <vector>

#include "bench/bench_runner.h"
#include "music/audio_output.h"

namespace {

constexpr std::int32_t kRate = 44100;
constexpr std::int32_t kFramesPerTick = 612;
constexpr double kSecondsPerSample = 20.0;

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct LoopedSample {
    LoopedSample() : data(20000 + 8) {
        std::uint32_t seed = 99;
        for (std::size_t i = 0; i < 20000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            data[i] = static_cast<std::int16_t>(static_cast<std::int32_t>(seed >> 16) - 32768);
        }
        sample.data = data.data();
        sample.length = 20000;
        sample.loopStart = 2000;
        sample.loopLength = 18000;
        sample.loopType = LoopForward;
        sample.bits = 16;
        data[20000] = data[2000];
    }
    std::vector<std::int16_t> data;
    Sample sample{};
};

void StartVoices(Sample* sample, int count) {
    for (int i = 0; i < kVoiceCount; ++i) {
        Voice& v = audioOutput.voices[i];
        v = Voice{};
        v.index = i;
        v.stepInteger = 1;
        if (i >= count) continue;
        v.sample = sample;
        v.direction = 1;
        // Steps from about 0.3 to 2.5 frames, none a whole number.
        const std::uint64_t step = (std::uint64_t{3} << 31) / 5 + static_cast<std::uint64_t>(i) * 0x11C71C71u;
        v.stepInteger = static_cast<std::uint32_t>(step >> 32);
        v.stepFraction = static_cast<std::uint32_t>(step);
        v.leftGain = 20 + i;
        v.rightGain = 60 - i;
    }
}

// Mixes seconds of output the way the block fill does: runs between ticks,
// then the conversion of each block.
double MixSeconds(int voices, double seconds) {
    const std::int32_t blockFrames = audioOutput.blockFrames;
    std::vector<float> area(static_cast<std::size_t>(blockFrames) * 2);
    std::vector<std::int16_t> output(area.size());
    const auto blocks = static_cast<std::int64_t>(seconds * kRate / blockFrames);
    std::int32_t tickLeft = 0;
    std::uint32_t tick = 0;
    const double start = ThreadCpuSeconds();
    for (std::int64_t b = 0; b < blocks; ++b) {
        std::fill(area.begin(), area.end(), 0.0f);
        std::int32_t done = 0;
        while (done < blockFrames) {
            if (tickLeft == 0) {
                ++tick;
                for (int i = 0; i < voices; ++i) {
                    Voice& v = audioOutput.voices[i];
                    v.leftGain = static_cast<std::int32_t>((tick * 7 + static_cast<std::uint32_t>(i) * 13) % 128);
                    v.rightGain = 127 - v.leftGain;
                }
                tickLeft = kFramesPerTick;
            }
            const std::int32_t n = tickLeft < blockFrames - done ? tickLeft : blockFrames - done;
            MixVoices(area.data() + std::size_t{2} * static_cast<std::size_t>(done), n);
            done += n;
            tickLeft -= n;
        }
        ConvertBlock(output.data(), area.data(), blockFrames);
    }
    const double cpu = ThreadCpuSeconds() - start;
    return static_cast<double>(blocks) * blockFrames / kRate / cpu;
}

}  // namespace

int main() {
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    if (!AudioOpen(kRate)) return 1;
    LoopedSample looped;
    for (int voices : {8, 32}) {
        std::vector<double> samples;
        for (int round = 0; round < 5; ++round) {
            StartVoices(&looped.sample, voices);
            samples.push_back(MixSeconds(voices, kSecondsPerSample));
        }
        const std::string name = "mixer, " + std::to_string(voices) + " busy voices";
        PrintFigure(name.c_str(), samples, "x real time",
                    "44100 Hz stereo, interpolated, a 128-frame ramp every 612-frame tick, one thread");
    }
    AudioClose();
    return 0;
}
