#include "shell/main_loop.h"
#include "shell/win32/gui_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Lives to the end of the process, like the view it drives.
    theGui = new GuiWin32;
    return RunIntro(*theGui, ShowStartFailure);
}
