#include "shell/main_loop.h"
#include "shell/x11/gui_x11.h"

int main() {
    // Lives to the end of the process, like the view it drives.
    GuiX11* gui = new GuiX11;
    return RunIntro(*gui);
}
