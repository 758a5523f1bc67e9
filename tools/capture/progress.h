#pragma once
// A one-line progress bar on standard error: frames done, frames per second
// and the time left. Silent when disabled (standard error is no terminal).
#include <chrono>
#include <cstdint>

class CaptureProgress {
public:
    CaptureProgress(bool enabled, std::int64_t totalFrames);
    // skipped: frames drawn before the first kept one, still part of the work.
    void update(std::int64_t framesDone, bool skipped);
    // Draws the final state and ends the line.
    void finish();

private:
    void draw(bool skipped);

    bool enabled_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point nextDraw_;
};
