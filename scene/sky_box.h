#pragma once
#include <cstdint>

// Draws a 200-unit cube around the origin textured with the cube map, each
// corner's position doubling as its direction, without writing depth. The
// caller sets the rotation, the fade colour and turns blending off.
void DrawSkyBox(std::uint32_t cubeMap);
