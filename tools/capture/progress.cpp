#include "tools/capture/progress.h"

#include <cstdio>

namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

}  // namespace

CaptureProgress::CaptureProgress(bool enabled, std::int64_t totalFrames)
    : enabled_(enabled), total_(totalFrames > 0 ? totalFrames : 1),
      start_(std::chrono::steady_clock::now()), nextDraw_(start_) {}

void CaptureProgress::update(std::int64_t framesDone, bool skipped) {
    done_ = framesDone;
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextDraw_) return;
    nextDraw_ = now + kRedrawEvery;
    draw(skipped);
}

void CaptureProgress::draw(bool skipped) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double fps = seconds > 0.0 ? static_cast<double>(done_) / seconds : 0.0;
    const int filled = static_cast<int>(done_ * kBarWidth / total_);
    std::fputc('\r', stderr);
    std::fputc('[', stderr);
    for (int i = 0; i < kBarWidth; ++i) std::fputc(i < filled ? '#' : '.', stderr);
    std::fprintf(stderr, "] %lld/%lld frames  %.1f fps  ", static_cast<long long>(done_),
                 static_cast<long long>(total_), fps);
    if (fps > 0.0) {
        const auto left = static_cast<long long>(static_cast<double>(total_ - done_) / fps + 0.5);
        std::fprintf(stderr, "%lld:%02lld left", left / 60, left % 60);
    } else {
        std::fputs("--:-- left", stderr);
    }
    std::fputs(skipped ? "  (before the start)  " : "                     ", stderr);
    std::fflush(stderr);
}

void CaptureProgress::finish() {
    if (!enabled_) return;
    draw(false);
    std::fputc('\n', stderr);
}
