#pragma once
// The command line of quillon-capture.
#include <cstdint>
#include <string>

struct CaptureOptions {
    std::uint32_t width = 1920;
    std::uint32_t height = 1080;
    int fps = 60;
    double start = 0.0;
    double duration = -1.0;  // required; below 0 until given
    std::string output;
    bool es2 = false;  // draw through the OpenGL ES 2.0 path
    bool help = false;
};

// Fills options from the arguments; false with a one-line reason on a bad
// command line.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error);

// Whether the output is one MP4 file rather than a folder of frames.
bool IsMp4Path(const std::string& path);

extern const char* const kCaptureUsage;
