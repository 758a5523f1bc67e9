#pragma once
// The command line of quillon-play.
#include <string>
#include <vector>

struct PlayOptions {
    std::vector<std::string> files;
    // Each file plays until skipped instead of for one pass.
    bool loop = false;
    // The intro's playback instead of the format's reference tracker's.
    bool introStyle = false;
    bool quiet = false;
    bool help = false;
};

// Fills options from the arguments; false with a one-line reason on a bad
// command line.
bool ParsePlayOptions(int argc, char** argv, PlayOptions* options, std::string* error);

extern const char* const kPlayUsage;
