#pragma once
#include <cstdint>

#include "shell/catalogue/mode_catalogue.h"
#include "shell/gui.h"

struct _XDisplay;
struct __GLXcontextRec;

// The Linux shell: a borderless window covering the primary monitor at its
// own size (the window manager is asked for full screen; the mode is never
// switched), a double-buffered GLX context, and a monotonic millisecond clock
// that wraps like a 32-bit tick counter.
class GuiX11 : public Gui {
public:
    GuiX11() = default;
    GuiX11(const GuiX11&) = delete;
    GuiX11& operator=(const GuiX11&) = delete;

    std::uint32_t time() override;
    // Ignores the requested size: the window always covers the monitor.
    bool init(std::uint32_t requestedWidth, std::uint32_t requestedHeight) override;
    void shutdown() override;
    void present() override;

    // The display modes the setup step found on the server.
    ModeCatalogue catalogue;

private:
    // Fixes the display settings; later grows the setup dialog in front of it.
    bool setupStep();
    bool readDisplaySettings();
    bool createWindow();
    bool createContext();
    void hideCursor();
    void handleEvent(const void* event);

    _XDisplay* display = nullptr;
    unsigned long window = 0;
    __GLXcontextRec* context = nullptr;
    void* visual = nullptr;  // XVisualInfo*, freed once the context exists
    unsigned long wmDeleteWindow = 0;
    // The monitor's corner on the X screen.
    int windowX = 0;
    int windowY = 0;
};
