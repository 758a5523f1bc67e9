#include "headless_context.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include "shell/gl_headers.h"

bool OpenHeadless(std::optional<GuiHeadless>& gui, std::uint32_t width, std::uint32_t height) {
    gui.emplace(width, height);
    if (!gui->init(width, height)) return false;
    gui->multiply = 1;
    gui->noSound = true;
    return true;
}

namespace {

template <typename T>
std::vector<T> FlipRows(const std::vector<T>& bottomUp, std::size_t rowItems, std::uint32_t rows) {
    std::vector<T> topDown(bottomUp.size());
    for (std::uint32_t y = 0; y < rows; ++y)
        std::memcpy(&topDown[y * rowItems], &bottomUp[(rows - 1 - y) * rowItems],
                    rowItems * sizeof(T));
    return topDown;
}

}  // namespace

std::vector<std::uint8_t> ReadRgba(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
    return FlipRows(pixels, std::size_t{width} * 4, height);
}

std::vector<float> ReadDepth(std::uint32_t width, std::uint32_t height) {
    std::vector<float> depth(std::size_t{width} * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                 GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    return FlipRows(depth, width, height);
}

bool ReadPng(const char* path, std::uint32_t& width, std::uint32_t& height,
             std::vector<std::uint8_t>& rgba) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGBA;
    rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return false;
    width = image.width;
    height = image.height;
    return true;
}
