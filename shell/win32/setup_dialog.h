#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "shell/catalogue/mode_catalogue.h"
#include "shell/gui.h"

// Control identifiers of the setup window.
constexpr int ID_CHECK_FULLSCREEN = 101;
constexpr int ID_CHECK_NOSOUND = 102;
constexpr int ID_BUTTON_START = 103;
constexpr int ID_BUTTON_EXIT = 104;
constexpr int ID_SELECTION_RESOLUTIONS = 105;
constexpr int ID_SELECTION_FREQUENCY = 106;
constexpr int ID_SELECTION_MULTIPLY = 107;
constexpr int ID_SELECTION_ASPECT = 108;
constexpr int ID_SELECTION_ANTIALIAS = 109;

// The setup step: creates the hidden setup window, whose creation fills
// catalogue and the window's controls, then fixes the display settings in
// gui from the window's device context (the desktop size and depth, full
// screen, multiply 2). When the window class cannot be registered it shows
// the one message box and leaves gui as it was. The window is never shown
// and lives until the process ends; catalogue must live as long.
void RunSetupStep(Gui& gui, ModeCatalogue& catalogue);

// The settings step on its own, from any device context of the display.
void ReadDisplaySettings(Gui& gui, HDC display);

LRESULT CALLBACK SetupWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
