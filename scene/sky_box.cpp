#include "scene/sky_box.h"

#include "shell/gl_headers.h"

namespace {

const float kCorners[8][3] = {
    {-100.0f, -100.0f, -100.0f}, {100.0f, -100.0f, -100.0f}, {100.0f, 100.0f, -100.0f},
    {-100.0f, 100.0f, -100.0f},  {-100.0f, -100.0f, 100.0f}, {100.0f, -100.0f, 100.0f},
    {100.0f, 100.0f, 100.0f},    {-100.0f, 100.0f, 100.0f},
};

// Wound counter-clockwise seen from inside, so culling never hides a face.
const std::int32_t kFaces[6][4] = {
    {0, 1, 2, 3}, {1, 0, 4, 5}, {2, 1, 5, 6}, {3, 2, 6, 7}, {4, 0, 3, 7}, {5, 4, 7, 6},
};

}  // namespace

void DrawSkyBox(std::uint32_t cubeMap) {
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_CUBE_MAP_ARB);
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cubeMap);
    glBegin(GL_QUADS);
    for (const auto& face : kFaces) {
        for (const std::int32_t corner : face) {
            glTexCoord3fv(kCorners[corner]);
            glVertex3fv(kCorners[corner]);
        }
    }
    glEnd();
    glDisable(GL_TEXTURE_CUBE_MAP_ARB);
    glDepthMask(GL_TRUE);
}
