// Time from process start to the first presented frame, headless at
// 1920x1080: everything the intro builds before its first frame, plus that
// frame. Usage: bench_startup [RUNS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_runner.h"
#include "shell/headless/gui_headless.h"
#include "shell/main_loop.h"

namespace {

class FirstFrameGui : public GuiHeadless {
public:
    FirstFrameGui() : GuiHeadless(1920, 1080) {}
    void present() override {
        GuiHeadless::present();
        ReportEvent();
        quit = true;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
        FirstFrameGui* gui = new FirstFrameGui;
        return RunIntro(*gui);
    }
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const double ms = TimeChildEventMs("/proc/self/exe", {"--child"});
        if (ms < 0) {
            std::fprintf(stderr, "bench_startup: the intro did not present a frame\n");
            return 1;
        }
        samples.push_back(ms);
    }
    PrintFigure("startup to first frame", samples, "ms", "headless 1920x1080");
    return 0;
}
