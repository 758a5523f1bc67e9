#pragma once
#include <cstdint>

#include "shell/catalogue/mode_catalogue.h"

struct _XDisplay;

// The pixel size a server depth is stored in: depth 24 lives in 32-bit pixels.
std::int32_t X11BitsPerPixel(int depth);

// Refresh rate of a mode line in whole hertz, rounded; 0 for a line without
// timings (virtual servers report none).
std::int32_t X11ModeRate(unsigned long dotClock, unsigned hTotal, unsigned vTotal, unsigned long modeFlags);

// The setup step's catalogue on X: the current mode of the screen first, then
// every mode of its primary output (or of the first output when none is
// primary), all at the server's depth. Without XRandR only the current mode
// is filed.
void BuildX11ModeCatalogue(_XDisplay* display, ModeCatalogue& catalogue);
