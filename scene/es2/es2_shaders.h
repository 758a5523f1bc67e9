#pragma once
#include <string>

// The ES path's own shader texts: fragment shaders doing what the desktop
// path's fixed-function stages did (texture times colour, times the cube map
// where a second unit is on, the alpha test as a discard below u_AlphaRef),
// and the vertex shaders of the two fixed-function draws (sky, final pass).
extern const std::string kHairFragment;      // colour * 2D unit 0 * cube unit 1
extern const std::string kScrollerFragment;  // colour * 2D unit 0
extern const std::string kSkyVertex;
extern const std::string kSkyFragment;       // u_Color * cube unit 0
extern const std::string kTexturedVertex;
extern const std::string kTexturedFragment;  // 2D unit 0
