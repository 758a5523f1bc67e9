#pragma once
#include <cstdint>

#include "shell/catalogue/mode_catalogue.h"
#include "shell/gl_headers.h"
#include "shell/gui.h"

// The Windows shell: a popup window at the desktop size (the display mode is
// never switched), a WGL context on the tabled pixel format, and the tick
// counter as clock.
class GuiWin32 : public Gui {
public:
    GuiWin32() = default;
    GuiWin32(const GuiWin32&) = delete;
    GuiWin32& operator=(const GuiWin32&) = delete;

    std::uint32_t time() override;
    // Ignores the requested size: the setup step decides it.
    bool init(std::uint32_t requestedWidth, std::uint32_t requestedHeight) override;
    void shutdown() override;
    void present() override;

    HWND hwnd = nullptr;
    HGLRC hglrc = nullptr;
    HDC hdc = nullptr;
    // The hidden setup window's display modes: modeTree, modeKeys, frequencyTree.
    ModeCatalogue catalogue;

private:
    // Runs before the window exists; fixes the display settings. The hidden
    // setup window is created here too, ahead of the settings.
    void setupStep();
    bool openGlWindow();
};

// The one shell of the process; the window procedures reach it only through
// this pointer.
extern GuiWin32* theGui;

// Shows a failure to start in a message box titled like the window; the
// entry point hands it to RunIntro.
void ShowStartFailure(const char* line);

// The GL window's procedure: size, Escape and close messages.
LRESULT CALLBACK GlWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
