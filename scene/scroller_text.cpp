#include "scene/scroller.h"

// The leading spaces let the text enter from off-screen to the right.
const char ScrollerText[kScrollerTextSize] =
    "                                      "
    "welcome to quillon number 1     "
    "team drisk says hi to all people at lanternday     "
    "long scrollers suck so press ESC now and grab another beer"
    " ";
