#pragma once
// Where the headers of a module lie, found by walking the file the way the
// loader reads it (pattern headers taken as 9 bytes, sample headers as 40).
#include <cstddef>
#include <cstdint>
#include <vector>

struct ByteRange {
    std::size_t begin;
    std::size_t end;  // one past the last byte
};

// The module header, every pattern header, every instrument header and every
// sample header, in file order, clipped to the file.
std::vector<ByteRange> ModuleHeaderRanges(const std::uint8_t* data, std::size_t size);
