#include "textures/gl/cube_map.h"

#include <cstddef>
#include <vector>

#include "shell/gl_headers.h"
#include "textures/cube_cross.h"

std::uint32_t makeCubeMap(const std::uint8_t* cross, std::uint32_t crossHeight,
                          std::uint32_t crossWidth) {
    const std::uint32_t size = crossFaceSize(crossHeight, crossWidth);
    if (size == 0) return 0;

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    std::vector<std::uint8_t> face(static_cast<std::size_t>(size) * size * 4);
    for (int f = 0; f < 6; ++f) {
        copyCrossFace(cross, crossWidth, size, kCrossFaces[f], face.data());
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f), 0, GL_RGBA,
                     static_cast<GLsizei>(size), static_cast<GLsizei>(size), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, face.data());
    }
    return name;
}
