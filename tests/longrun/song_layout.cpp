#include "tests/longrun/song_layout.h"

namespace {

class Walker {
public:
    Walker(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint32_t u8(std::size_t at) const { return at < size_ ? data_[at] : 0u; }
    std::uint32_t u16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
    std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }

    void add(std::vector<ByteRange>& ranges, std::size_t begin, std::size_t end) const {
        if (begin >= size_) return;
        ranges.push_back({begin, end < size_ ? end : size_});
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace

std::vector<ByteRange> ModuleHeaderRanges(const std::uint8_t* data, std::size_t size) {
    const Walker w(data, size);
    std::vector<ByteRange> ranges;
    std::size_t at = 60 + std::size_t{w.u32(60)};
    w.add(ranges, 0, at);
    const std::uint32_t channels = w.u16(68);
    const std::uint32_t patterns = w.u16(70);
    const std::uint32_t instruments = w.u16(72);
    for (std::uint32_t p = 0; p < patterns && at < size; ++p) {
        w.add(ranges, at, at + 9);
        const std::uint32_t packed = w.u16(at + 7);
        at += 9 + (channels ? packed : 0);
    }
    for (std::uint32_t i = 0; i < instruments && at < size; ++i) {
        const std::size_t start = at;
        const std::size_t headerSize = w.u32(start);
        const std::uint32_t samples = w.u16(start + 27);
        w.add(ranges, start, start + (headerSize > 29 ? headerSize : 29));
        at = start + headerSize;
        if (samples == 0 || samples > 16) continue;
        std::size_t dataBytes = 0;
        for (std::uint32_t s = 0; s < samples; ++s) {
            w.add(ranges, at, at + 40);
            dataBytes += w.u32(at);
            at += 40;
        }
        at += dataBytes;
    }
    return ranges;
}
