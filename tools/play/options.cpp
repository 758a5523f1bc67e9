#include "tools/play/options.h"

#include <cstring>

const char* const kPlayUsage =
    "Usage: quillon-play [options] FILE...\n"
    "Plays extended modules on the default sound device, one after the other.\n"
    "\n"
    "  -l, --loop             play each file until skipped (default: one pass\n"
    "                         through the order list, until the song comes back\n"
    "                         to a row it has played, its pattern loops counting\n"
    "                         as then; in the intro's style to an order)\n"
    "  -s, --style STYLE      'tracker' plays as the format's reference tracker\n"
    "                         does (default); 'intro' as the intro plays its song\n"
    "  -q, --quiet            no status line\n"
    "  -h, --help             show this help\n"
    "\n"
    "Keys: space pauses and resumes, left and right move one order back or\n"
    "forward, n and p play the next and previous file, q quits.\n";

namespace {

bool ParseStyle(const char* text, bool* intro) {
    if (std::strcmp(text, "tracker") == 0) *intro = false;
    else if (std::strcmp(text, "intro") == 0) *intro = true;
    else return false;
    return true;
}

}  // namespace

bool ParsePlayOptions(int argc, char** argv, PlayOptions* options, std::string* error) {
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (onlyFiles || argument[0] != '-' || argument[1] == '\0') {
            options->files.emplace_back(argument);
        } else if (std::strcmp(argument, "--") == 0) {
            onlyFiles = true;
        } else if (std::strcmp(argument, "-h") == 0 || std::strcmp(argument, "--help") == 0) {
            options->help = true;
        } else if (std::strcmp(argument, "-q") == 0 || std::strcmp(argument, "--quiet") == 0) {
            options->quiet = true;
        } else if (std::strcmp(argument, "-l") == 0 || std::strcmp(argument, "--loop") == 0) {
            options->loop = true;
        } else if (std::strcmp(argument, "-s") == 0 || std::strcmp(argument, "--style") == 0 ||
                   std::strncmp(argument, "--style=", 8) == 0) {
            const char* value = argument[1] == '-' && argument[7] == '=' ? argument + 8 : nullptr;
            if (!value) {
                if (i + 1 >= argc) {
                    *error = std::string("option ") + argument + " needs a value";
                    return false;
                }
                value = argv[++i];
            }
            if (!ParseStyle(value, &options->introStyle)) {
                *error = std::string("unknown style '") + value + "' (tracker or intro)";
                return false;
            }
        } else {
            *error = std::string("unknown option ") + argument;
            return false;
        }
    }
    if (!options->help && options->files.empty()) {
        *error = "no file to play";
        return false;
    }
    return true;
}
