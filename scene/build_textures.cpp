#include "scene/build_textures.h"

#include "scene/glview.h"
#include "scene/scene_lights.h"
#include "shell/gl_headers.h"
#include "textures/base_texture.h"
#include "textures/cube_cross.h"
#include "textures/environment_maps.h"
#include "textures/gl/cube_map.h"
#include "textures/gl/upload_2d.h"
#include "textures/strand_texture.h"

void makeStrandTexture(GLView& view, RandomGenerator& generator) {
    const std::vector<std::uint8_t> bytes = strandTextureBytes(generator);
    view.strandTexture = uploadTexture2D(bytes.data(), kNoiseTextureSize, kNoiseTextureSize);
}

void makeBaseTexture(GLView& view, RandomGenerator& generator) {
    const std::vector<std::uint8_t> bytes = baseTextureBytes(generator);
    view.baseTexture = uploadTexture2D(bytes.data(), kNoiseTextureSize, kNoiseTextureSize);
}

void makeEnvironmentMaps(const std::vector<Float3>& positions, GLView& view,
                         const std::vector<Float3>& colors) {
    const EnvironmentCrosses crosses = environmentCrossBytes(positions, colors);
    view.envCubeMap = makeCubeMap(crosses.environment.data(), kCrossHeight, kCrossWidth);
    view.skyCubeMap = makeCubeMap(crosses.sky.data(), kCrossHeight, kCrossWidth);
}

void buildTextures(GLView& view) {
    glEnable(GL_TEXTURE_2D);
    RandomGenerator generator;
    makeStrandTexture(view, generator);
    makeBaseTexture(view, generator);

    const LightList lights = SceneLights();
    makeEnvironmentMaps(lights.positions, view, lights.colors);
}
