#pragma once
#include <cstdint>
#include <vector>

// Writes top-down RGBA bytes as a PNG file, for looking at what a test or a
// capture rendered. Returns false when the file cannot be written.
bool WritePng(const char* path, std::uint32_t width, std::uint32_t height,
              const std::vector<std::uint8_t>& rgba);
