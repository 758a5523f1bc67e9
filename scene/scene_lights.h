#pragma once
#include "textures/lights.h"

// The two point lights the environment and sky maps are lit by.
inline LightList SceneLights() {
    LightList lights;
    appendColor(lights.colors, 1.0f, 0.3f, 0.01f);
    appendColor(lights.positions, 0.2f, 1.0f, 0.0f);
    appendColor(lights.colors, 0.2f, 0.4f, 0.8f);
    appendColor(lights.positions, 0.6f, -1.0f, 0.4f);
    return lights;
}
