#pragma once
// A one-line progress bar on standard error, redrawn a few times a second of
// music; silent when disabled.
#include <cstdint>

class Progress {
public:
    // total below 0: the length is not known ahead, so the song position is shown.
    Progress(bool enabled, std::int64_t totalFrames, int rate, int orders);
    void update(std::int64_t frames, int order);
    // Draws the final state and ends the line.
    void finish();

private:
    void draw();

    bool enabled_;
    std::int64_t total_;
    int rate_;
    int orders_;
    std::int64_t nextDraw_ = 0;
    std::int64_t frames_ = 0;
    int order_ = 0;
};
