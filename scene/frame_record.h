#pragma once
#include <cstdint>

#include "scene/scroller.h"
#include "scene/shell_motion.h"

// Where one shell sits this frame: its translation and its swing in degrees
// about (1, 1, 0), and its distance outwards.
struct ShellPose {
    float y;
    float z;
    float swing;
    float factor;
};

// Everything a drawing path needs from the shared timeline for one frame:
// the very values the desktop path hands to GL, computed once.
struct FrameRecord {
    float skyAngle;  // degrees about (0.2, 0.5, 0.4)
    float skyBrightness;
    float bassline;
    float basslineIntensity;
    ShellPose shells[kShellCount];
    ScrollerPose scroller;
};
