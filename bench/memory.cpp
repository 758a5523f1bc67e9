// Peak memory of the intro: a fresh process runs the intro headless at
// 1920x1080, with its song mixed as a sound device would take it, for three
// seconds of intro time at 60 frames per second; its peak resident set size
// is read when it ends. Usage: bench_memory [RUNS]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_runner.h"
#include "music/player.h"
#include "shell/headless/gui_headless.h"
#include "shell/main_loop.h"

namespace {

constexpr std::uint32_t kFrameMs = 16;
constexpr std::uint32_t kRunMs = 3000;

// Each present moves the clock one frame on and lets the device play it.
class TimedGui : public GuiHeadless {
public:
    TimedGui() : GuiHeadless(1920, 1080) {}
    void present() override {
        GuiHeadless::present();
        ms += kFrameMs;
        setTime(ms);
        const std::int64_t heard = std::int64_t{ms} * 44100 / 1000;
        while (played < heard) played += AudioRender(frames.data(), static_cast<std::int32_t>(std::min<std::int64_t>(heard - played, 4096)));
        if (ms >= kRunMs) quit = true;
    }
    std::uint32_t ms = 0;
    std::int64_t played = 0;
    std::vector<std::int16_t> frames = std::vector<std::int16_t>(2 * 4096);
};

// Peak resident set size of one fresh run, in MiB; negative when it failed.
double PeakOfOneRun() {
    const pid_t child = fork();
    if (child < 0) return -1.0;
    if (child == 0) {
        TimedGui* gui = new TimedGui;
        _exit(RunIntro(*gui));
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 1;
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const double mib = PeakOfOneRun();
        if (mib < 0) {
            std::fprintf(stderr, "bench_memory: the intro did not run\n");
            return 1;
        }
        samples.push_back(mib);
    }
    PrintFigure("intro peak memory", samples, "MiB", "peak resident set, headless 1920x1080, 3 s at 60 fps");
    return 0;
}
