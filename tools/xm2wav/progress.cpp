#include "tools/xm2wav/progress.h"

#include <cstdio>

namespace {

constexpr int kBarWidth = 30;

void PrintTime(std::int64_t seconds) {
    std::fprintf(stderr, "%lld:%02lld", static_cast<long long>(seconds / 60),
                 static_cast<long long>(seconds % 60));
}

}  // namespace

Progress::Progress(bool enabled, std::int64_t totalFrames, int rate, int orders)
    : enabled_(enabled), total_(totalFrames), rate_(rate), orders_(orders) {}

void Progress::update(std::int64_t frames, int order) {
    frames_ = frames;
    order_ = order;
    if (!enabled_ || frames < nextDraw_) return;
    nextDraw_ = frames + rate_ / 4;
    draw();
}

void Progress::draw() {
    std::int64_t frames = frames_;
    std::fputc('\r', stderr);
    if (total_ > 0) {
        int filled = static_cast<int>(frames * kBarWidth / total_);
        std::fputc('[', stderr);
        for (int i = 0; i < kBarWidth; ++i) std::fputc(i < filled ? '#' : '.', stderr);
        std::fprintf(stderr, "] %3d%%  ", static_cast<int>(frames * 100 / total_));
        PrintTime(frames / rate_);
        std::fputs(" / ", stderr);
        PrintTime(total_ / rate_);
    } else {
        std::fprintf(stderr, "order %3d/%d  ", order_ + 1, orders_);
        PrintTime(frames / rate_);
    }
    std::fputs("   ", stderr);
    std::fflush(stderr);
}

void Progress::finish() {
    if (!enabled_) return;
    draw();
    std::fputc('\n', stderr);
}
