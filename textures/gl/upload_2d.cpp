#include "textures/gl/upload_2d.h"

#include "shell/gl_headers.h"

std::uint32_t uploadTexture2D(const std::uint8_t* bgra, std::uint32_t width, std::uint32_t height) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, static_cast<GLint>(width), static_cast<GLint>(height),
                      GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}
