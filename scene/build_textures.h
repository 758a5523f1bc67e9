#pragma once
#include <vector>

#include "textures/lights.h"
#include "textures/random.h"

class GLView;

// Each generator uploads its texture and stores the name in the view. The
// strand texture seeds the generator; the base texture continues its sequence.
void makeStrandTexture(GLView& view, RandomGenerator& generator);
void makeBaseTexture(GLView& view, RandomGenerator& generator);
// Fills envCubeMap and skyCubeMap.
void makeEnvironmentMaps(const std::vector<Float3>& positions, GLView& view,
                         const std::vector<Float3>& colors);

// All four textures in their fixed order. Leaves GL_TEXTURE_2D enabled, the
// base texture bound to it and the sky cube map bound.
void buildTextures(GLView& view);
