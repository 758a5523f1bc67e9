#include "tools/play/status.h"

#include <cstdio>

namespace {

// The last part of a path, on either platform's separator.
std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A module's name is 20 bytes of whatever the tracker left there: control
// bytes would move the cursor, so only printable ASCII is kept.
std::string Printable(const std::string& text) {
    std::string shown;
    for (const char c : text) shown += (c >= 0x20 && c < 0x7F) ? c : ' ';
    const std::size_t last = shown.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : shown.substr(0, last + 1);
}

}  // namespace

std::string ClockText(std::int64_t frames, int rate) {
    const std::int64_t seconds = rate > 0 && frames > 0 ? frames / rate : 0;
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                      static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text;
}

std::string StatusLine(const StatusView& view, int columns) {
    std::string head = view.paused ? "paused  " : "";
    head += BaseName(view.file);
    const std::string title = Printable(view.title);
    if (!title.empty()) head += " \"" + title + "\"";
    char position[160];
    std::snprintf(position, sizeof position, "  order %d/%d  pattern %d  row %d  %s / %s  channels %d/%d",
                  view.order, view.orderCount, view.pattern, view.row, ClockText(view.heardFrames, view.rate).c_str(),
                  view.passFrames >= 0 ? ClockText(view.passFrames, view.rate).c_str() : "?", view.channels,
                  view.channelCount);
    // A narrow terminal cuts the name before the position.
    const std::string tail = position;
    const std::size_t width = columns > 1 ? static_cast<std::size_t>(columns - 1) : 0;
    if (head.size() + tail.size() > width) head.resize(width > tail.size() ? width - tail.size() : 0);
    std::string line = head + tail;
    if (line.size() > width) line.resize(width);
    return line;
}
