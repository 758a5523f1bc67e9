// Writes a short module that stands in for the intro's song: 8 channels,
// speed 4 at 180 beats per minute, a bass line with instrument 2 on channel 4.
//   placeholder_song <output .xm>
#include <cmath>
#include <cstdio>

#include "tools/xmwriter/xm_writer.h"

namespace {

xm::Sample Wave(int frames, int shape) {
    xm::Sample s;
    for (int i = 0; i < frames; ++i) {
        const double phase = static_cast<double>(i) / frames;
        double v = 0.0;
        if (shape == 0) v = phase < 0.5 ? 0.6 : -0.6;
        if (shape == 1) v = 1.6 * phase - 0.8;
        if (shape == 2) v = std::sin(phase * 6.283185307179586) * 0.8;
        s.frames.push_back(static_cast<std::int16_t>(v * 127.0));
    }
    s.loop = xm::Loop::Forward;
    s.loopStart = 0;
    s.loopLength = static_cast<std::uint32_t>(frames);
    return s;
}

xm::Sample Noise(int frames) {
    xm::Sample s;
    std::uint32_t seed = 12345;
    for (int i = 0; i < frames; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double decay = 1.0 - static_cast<double>(i) / frames;
        s.frames.push_back(static_cast<std::int16_t>((static_cast<int>((seed >> 16) & 0xFF) - 128) * decay));
    }
    return s;
}

xm::Instrument Instrument(const char* name, xm::Sample sample, std::int8_t relativeNote) {
    xm::Instrument ins;
    ins.name = name;
    sample.relativeNote = relativeNote;
    ins.samples.push_back(sample);
    ins.volumeEnvelope.points = {{0, 64}, {8, 40}, {40, 0}};
    ins.volumeEnvelope.type = 1;
    ins.fadeout = 512;
    return ins;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.xm>\n", argv[0]);
        return 2;
    }
    xm::Module m;
    m.name = "placeholder";
    m.channels = 8;
    m.speed = 4;
    m.bpm = 180;
    m.orders = {0, 1, 0, 2};
    m.instruments.push_back(Instrument("lead", Wave(64, 0), 12));
    m.instruments.push_back(Instrument("bass", Wave(64, 1), 0));
    m.instruments.push_back(Instrument("pad", Wave(64, 2), 12));
    m.instruments.push_back(Instrument("hat", Noise(2000), 24));

    const int bass[3][4] = {{37, 37, 44, 42}, {34, 34, 41, 39}, {39, 39, 46, 44}};
    const int chord[3][3] = {{49, 53, 56}, {46, 49, 53}, {51, 54, 58}};
    for (int p = 0; p < 3; ++p) {
        xm::Pattern pattern;
        pattern.rows = 64;
        for (int row = 0; row < 64; ++row) {
            if (row % 4 == 0) pattern.at(row, 4, 8) = xm::Cell{static_cast<std::uint8_t>(bass[p][row / 16]), 2};
            if (row % 4 == 2) pattern.at(row, 5, 8) = xm::Cell{static_cast<std::uint8_t>(bass[p][row / 16] + 12), 2};
            if (row % 2 == 1) pattern.at(row, 6, 8) = xm::Cell{60, 4, 0x20};
            if (row % 16 == 0) {
                for (int c = 0; c < 3; ++c) {
                    pattern.at(row, c, 8) = xm::Cell{static_cast<std::uint8_t>(chord[p][c]), 3, 0x28};
                }
            }
            if (row % 8 == 4) {
                const int step = (row / 8) % 3;
                pattern.at(row, 3, 8) = xm::Cell{static_cast<std::uint8_t>(chord[p][step] + 12), 1, 0x30};
            }
        }
        m.patterns.push_back(pattern);
    }

    const std::vector<std::uint8_t> bytes = xm::Write(m);
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::fprintf(stderr, "placeholder_song: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "placeholder_song: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
