#pragma once
#include <cstdint>
#include <vector>

#include "shell/catalogue/mode_catalogue.h"

struct _XDisplay;

// The pixel size a server depth is stored in: depth 24 lives in 32-bit pixels.
std::int32_t X11BitsPerPixel(int depth);

// Refresh rate of a mode line in whole hertz, rounded; 0 for a line without
// timings (virtual servers report none).
std::int32_t X11ModeRate(unsigned long dotClock, unsigned hTotal, unsigned vTotal, unsigned long modeFlags);

// A monitor's place on the X screen, in pixels.
struct X11Monitor {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool primary = false;
};

// The monitor the intro covers, as a Windows user gets the primary display:
// the primary monitor, else the first, else the whole screen. Monitors
// without an area are passed over.
X11Monitor ChooseX11Monitor(const std::vector<X11Monitor>& monitors, const X11Monitor& screen);

// The same choice among the default screen's active XRandR monitors; a
// server older than XRandR 1.5 has none, so the whole screen is taken. One X
// screen may span several monitors, so its own size is only the last resort.
X11Monitor X11IntroMonitor(_XDisplay* display);

// The setup step's catalogue on X: the current mode of the intro's monitor
// first, then every mode of the primary output (or of the first output when
// none is primary), all at the server's depth. Without XRandR only the
// current mode is filed.
void BuildX11ModeCatalogue(_XDisplay* display, ModeCatalogue& catalogue);
