#pragma once
// The one line that shows what is being heard.
#include <cstdint>
#include <string>

struct StatusView {
    std::string file;   // as named on the command line
    std::string title;  // the module's, as stored
    bool paused = false;
    int order = 0;
    int orderCount = 0;
    int pattern = 0;
    int row = 0;
    std::int64_t heardFrames = 0;
    std::int64_t passFrames = -1;  // -1: unknown
    int rate = 44100;
    int channels = 0;
    int channelCount = 0;
};

// The line, cut to columns - 1 characters so that it never wraps.
std::string StatusLine(const StatusView& view, int columns);
// "m:ss", or "h:mm:ss" from an hour on.
std::string ClockText(std::int64_t frames, int rate);
