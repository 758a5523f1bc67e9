#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "shell/headless/gui_headless.h"

// Makes `gui` a current headless GL context of the given size, rendering at
// full size (multiply 1) without sound. False when no context can be made.
bool OpenHeadless(std::optional<GuiHeadless>& gui, std::uint32_t width, std::uint32_t height);

// RGBA bytes of the bound read framebuffer's w x h area, top row first.
std::vector<std::uint8_t> ReadRgba(std::uint32_t width, std::uint32_t height);

// Depth values of the bound read framebuffer, top row first.
std::vector<float> ReadDepth(std::uint32_t width, std::uint32_t height);

// Reads an RGBA PNG (as WritePng writes it); false when it cannot.
bool ReadPng(const char* path, std::uint32_t& width, std::uint32_t& height,
             std::vector<std::uint8_t>& rgba);
