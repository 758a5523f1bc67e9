#pragma once
#include <cstdint>

class Gui;
class GLView;

// Milliseconds since start as the scene gets them: an unsigned 32-bit
// difference, so a wrap of the tick counter does not disturb it.
inline std::int32_t ElapsedSince(std::uint32_t start, std::uint32_t now) {
    return static_cast<std::int32_t>(now - start);
}

// Shows a failure to start where the user sees it: a GUI program's stderr
// reaches nobody.
using StartFailureNotice = void (*)(const char* line);

// The entry point's body after the shell is created: init, build the view,
// run frames until quit, shut down. Returns the process exit status. A
// failure to start is one line on stderr, also handed to `notice` if given.
int RunIntro(Gui& gui, StartFailureNotice notice = nullptr);

// Builds the view (unless quit is already set), takes the start time and
// draws and presents frames until quit; a frame once started is always
// presented. Does not shut the shell down.
void RunView(Gui& gui, GLView& view);
