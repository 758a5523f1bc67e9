#include "tools/capture/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const kCaptureUsage =
    "usage: quillon-capture --duration SECONDS -o PATH [options]\n"
    "Renders the intro offline, picture and sound, exactly as it plays.\n"
    "\n"
    "  -o PATH             a new or empty folder: numbered PNG frames and audio.wav of\n"
    "                      the same span; a file ending in .mp4: H.264 video and AAC\n"
    "                      audio through ffmpeg\n"
    "  --duration SECONDS  length of the capture\n"
    "  --start SECONDS     intro time of the first frame (default 0)\n"
    "  --size WxH          picture size in pixels (default 1920x1080)\n"
    "  --fps N             frames per second (default 60)\n"
    "  --renderer NAME     gl (the intro's own, the default) or es2 (OpenGL ES 2.0)\n"
    "  --help              show this text\n";

namespace {

// Large enough for any screen; the scene renders at half of it.
constexpr unsigned long kMaxSide = 16384;
constexpr int kMaxFps = 1000;
// Keeps frame and sample numbers far from overflowing.
constexpr double kMaxSeconds = 24.0 * 3600.0;

bool ParseSeconds(const char* text, double* seconds) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value)) return false;
    *seconds = value;
    return true;
}

bool ParseSide(const char* begin, const char* end, std::uint32_t* side) {
    if (begin == end) return false;
    unsigned long value = 0;
    for (const char* c = begin; c != end; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + static_cast<unsigned long>(*c - '0');
        if (value > kMaxSide) return false;
    }
    *side = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseSize(const char* text, std::uint32_t* width, std::uint32_t* height) {
    const char* x = std::strchr(text, 'x');
    if (x == nullptr) return false;
    return ParseSide(text, x, width) && ParseSide(x + 1, x + std::strlen(x), height) && *width >= 2 &&
           *height >= 2;
}

}  // namespace

bool IsMp4Path(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".mp4") == 0;
}

bool ParseCaptureOptions(int argc, char** argv, CaptureOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options->help = true;
            return true;
        }
        const bool takesValue =
            arg == "--size" || arg == "--fps" || arg == "--start" || arg == "--duration" || arg == "-o" ||
                                arg == "--renderer";
        if (!takesValue) {
            *error = "unknown option " + arg;
            return false;
        }
        if (i + 1 >= argc) {
            *error = arg + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        if (arg == "--size") {
            if (!ParseSize(value, &options->width, &options->height)) {
                *error = "--size wants WIDTHxHEIGHT, each from 2 to 16384, not " + std::string(value);
                return false;
            }
        } else if (arg == "--fps") {
            char* end = nullptr;
            errno = 0;
            const long fps = std::strtol(value, &end, 10);
            if (end == value || *end != '\0' || errno != 0 || fps < 1 || fps > kMaxFps) {
                *error = "--fps wants a whole number from 1 to 1000, not " + std::string(value);
                return false;
            }
            options->fps = static_cast<int>(fps);
        } else if (arg == "--start") {
            if (!ParseSeconds(value, &options->start) || options->start < 0.0 ||
                options->start > kMaxSeconds) {
                *error = "--start wants seconds from 0 to 86400, not " + std::string(value);
                return false;
            }
        } else if (arg == "--duration") {
            if (!ParseSeconds(value, &options->duration) || options->duration <= 0.0 ||
                options->duration > kMaxSeconds) {
                *error = "--duration wants seconds above 0 and up to 86400, not " + std::string(value);
                return false;
            }
        } else if (arg == "--renderer") {
            const std::string name = value;
            if (name != "gl" && name != "es2") {
                *error = "--renderer wants gl or es2, not " + name;
                return false;
            }
            options->es2 = name == "es2";
        } else {
            if (*value == '\0') {
                *error = "-o needs a path";
                return false;
            }
            options->output = value;
        }
    }
    if (options->duration < 0.0) {
        *error = "--duration is required";
        return false;
    }
    if (options->output.empty()) {
        *error = "-o is required: a folder, or a file ending in .mp4";
        return false;
    }
    return true;
}
