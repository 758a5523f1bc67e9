#pragma once
#include <cstdint>

// The platform shell: the quit flag, the display settings that the setup step
// fills and the scene reads, and the four operations the main loop calls.
// One implementation per backend (win32/, x11/, headless/).
class Gui {
public:
    virtual std::uint32_t time() = 0;
    virtual bool init(std::uint32_t requestedWidth, std::uint32_t requestedHeight) = 0;
    virtual void shutdown() = 0;
    virtual void present() = 0;

    bool quit = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::int32_t desktopWidth = 0;
    std::int32_t desktopHeight = 0;
    bool fullscreen = false;
    bool noSound = false;
    std::int32_t aspectX = 16;
    std::int32_t aspectY = 9;
    std::int32_t colorBits = 32;
    std::uint32_t multiply = 1;
    std::int32_t frequency = 0;

    // Set by a failing init() to name the step that failed; shown by the
    // entry point, never by the shell itself.
    const char* initError = nullptr;

protected:
    // Never deleted through a Gui pointer: the entry point owns the concrete shell.
    ~Gui() = default;
};
