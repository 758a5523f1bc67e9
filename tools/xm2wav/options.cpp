#include "tools/xm2wav/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const kUsage =
    "Usage: xm2wav [options] FILE\n"
    "Renders an extended module to a 16-bit stereo WAV file.\n"
    "\n"
    "  -o, --output PATH      write to PATH (default: FILE with .wav); '-' writes\n"
    "                         raw 16-bit little-endian stereo PCM to standard output\n"
    "  -d, --duration SECS    render this many seconds (default: one pass through\n"
    "                         the order list, until the song comes back to a row it\n"
    "                         has played, its pattern loops counting as then; in\n"
    "                         the intro's style to an order)\n"
    "  -r, --rate HZ          sample rate, 8000 to 192000 (default: 44100)\n"
    "  -s, --style STYLE      'tracker' plays as the format's reference tracker\n"
    "                         does (default); 'intro' as the intro plays its song\n"
    "  -q, --quiet            no progress bar\n"
    "  -h, --help             show this help\n";

namespace {

constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;
// A RIFF file counts its bytes in 32 bits: a little over six hours at 48 kHz.
constexpr double kLongestSeconds = 6.0 * 3600.0;

bool ParseSeconds(const char* text, double* seconds) {
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(value)) return false;
    if (value <= 0.0 || value > kLongestSeconds) return false;
    *seconds = value;
    return true;
}

bool ParseRate(const char* text, int* rate) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0') return false;
    if (value < kLowestRate || value > kHighestRate) return false;
    *rate = static_cast<int>(value);
    return true;
}

// Matches "-x", "--long" and "--long=value"; the value is taken from the
// argument itself or from the next one.
bool TakesValue(const char* argument, const char* shortName, const char* longName, int argc,
                char** argv, int* index, const char** value, std::string* error) {
    std::size_t longLength = std::strlen(longName);
    if (std::strcmp(argument, shortName) == 0 || std::strcmp(argument, longName) == 0) {
        if (*index + 1 >= argc) {
            *error = std::string("option ") + argument + " needs a value";
            *value = nullptr;
            return true;
        }
        *index += 1;
        *value = argv[*index];
        return true;
    }
    if (std::strncmp(argument, longName, longLength) == 0 && argument[longLength] == '=') {
        *value = argument + longLength + 1;
        return true;
    }
    return false;
}

}  // namespace

std::string DefaultOutputPath(const std::string& input) {
    std::size_t slash = input.find_last_of("/\\");
    std::size_t dot = input.find_last_of('.');
    std::string stem = input;
    if (dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1)) {
        stem = input.substr(0, dot);
    }
    std::string output = stem + ".wav";
    return output == input ? input + ".wav" : output;
}

bool ParseOptions(int argc, char** argv, RenderOptions* options, std::string* error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        const char* value = nullptr;
        if (optionsEnded || argument[0] != '-' || std::strcmp(argument, "-") == 0) {
            if (!options->input.empty()) {
                *error = std::string("more than one input file ('") + argument + "')";
                return false;
            }
            options->input = argument;
        } else if (std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            options->help = true;
        } else if (std::strcmp(argument, "-q") == 0 || std::strcmp(argument, "--quiet") == 0) {
            options->quiet = true;
        } else if (TakesValue(argument, "-o", "--output", argc, argv, &i, &value, error)) {
            if (value == nullptr) return false;
            if (*value == '\0') {
                *error = "the output path is empty";
                return false;
            }
            options->output = value;
        } else if (TakesValue(argument, "-d", "--duration", argc, argv, &i, &value, error)) {
            if (value == nullptr) return false;
            if (!ParseSeconds(value, &options->seconds)) {
                *error = std::string("bad duration '") + value +
                         "' (seconds, above 0 and at most 21600)";
                return false;
            }
        } else if (TakesValue(argument, "-r", "--rate", argc, argv, &i, &value, error)) {
            if (value == nullptr) return false;
            if (!ParseRate(value, &options->rate)) {
                *error = std::string("bad sample rate '") + value + "' (8000 to 192000 Hz)";
                return false;
            }
        } else if (TakesValue(argument, "-s", "--style", argc, argv, &i, &value, error)) {
            if (value == nullptr) return false;
            if (std::strcmp(value, "intro") != 0 && std::strcmp(value, "tracker") != 0) {
                *error = std::string("bad style '") + value + "' (intro or tracker)";
                return false;
            }
            options->introStyle = std::strcmp(value, "intro") == 0;
        } else {
            *error = std::string("unknown option '") + argument + "'";
            return false;
        }
    }
    if (options->help) return true;
    if (options->input.empty()) {
        *error = "no input file";
        return false;
    }
    if (options->output.empty()) options->output = DefaultOutputPath(options->input);
    return true;
}
