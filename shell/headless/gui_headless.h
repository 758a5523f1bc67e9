#pragma once
#include <cstdint>
#include <vector>

#include "shell/gui.h"

// The kind of GL context a headless shell makes.
enum class HeadlessApi { DesktopGl, Es2 };

// A shell without a window: an EGL pbuffer on Mesa's surfaceless platform with
// a desktop OpenGL compatibility context, or an OpenGL ES 2.0 one. The clock is whatever the caller
// sets, so frames are reproducible. Used by tests, benchmarks and capture.
class GuiHeadless : public Gui {
public:
    GuiHeadless(std::uint32_t pbufferWidth, std::uint32_t pbufferHeight,
                HeadlessApi api = HeadlessApi::DesktopGl);
    ~GuiHeadless();
    GuiHeadless(const GuiHeadless&) = delete;
    GuiHeadless& operator=(const GuiHeadless&) = delete;

    std::uint32_t time() override;
    // Ignores the requested size: the pbuffer size comes from construction.
    bool init(std::uint32_t requestedWidth, std::uint32_t requestedHeight) override;
    void shutdown() override;
    void present() override;

    void setTime(std::uint32_t ms) { now = ms; }
    // Number of present() calls so far.
    std::uint32_t presentCount() const { return presents; }

    // The default framebuffer as RGBA bytes, top row first.
    std::vector<std::uint8_t> readPixels() const;

private:
    std::uint32_t pbufferWidth;
    std::uint32_t pbufferHeight;
    HeadlessApi api;
    std::uint32_t now = 0;
    std::uint32_t presents = 0;
    void* display = nullptr;
    void* surface = nullptr;
    void* context = nullptr;
};
