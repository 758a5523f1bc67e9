#pragma once
// The command line of xm2wav.
#include <string>

struct RenderOptions {
    std::string input;
    std::string output;    // "-" for raw PCM on standard output
    double seconds = -1.0;  // below 0: one pass through the order list
    int rate = 44100;
    // The intro's playback instead of the format's reference tracker's.
    bool introStyle = false;
    bool quiet = false;
    bool help = false;
};

// Fills options from the arguments; false with a one-line reason on a bad
// command line.
bool ParseOptions(int argc, char** argv, RenderOptions* options, std::string* error);

// The output a file renders to when none is named: its name with .wav.
std::string DefaultOutputPath(const std::string& input);

extern const char* const kUsage;
