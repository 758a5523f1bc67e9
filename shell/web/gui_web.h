#pragma once
#include <cstdint>

#include "shell/gui.h"

// The browser's shell: a WebGL 1 context on the page's canvas, the page's
// clock, and a present that is the end of the animation frame.
class GuiWeb final : public Gui {
public:
    GuiWeb() = default;
    ~GuiWeb();
    GuiWeb(const GuiWeb&) = delete;
    GuiWeb& operator=(const GuiWeb&) = delete;

    std::uint32_t time() override;
    // Sizes the canvas to the requested device pixels and makes the context.
    bool init(std::uint32_t requestedWidth, std::uint32_t requestedHeight) override;
    void shutdown() override;
    // The browser shows the frame when the animation-frame callback returns.
    void present() override {}

    // The canvas's new size in device pixels, as a resize of the window.
    void resize(std::uint32_t newWidth, std::uint32_t newHeight);

private:
    std::intptr_t context = 0;
};
