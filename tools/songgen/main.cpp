// songgen SCORE OUTPUT: synthesizes the instruments, reads the score and
// writes the extended-module file the intro embeds.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/songgen/song_module.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: songgen SCORE OUTPUT.xm\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "songgen: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!songgen::GenerateSong(text.str(), bytes, error)) {
        std::fprintf(stderr, "songgen: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    // Written beside the target and renamed, so a failed run leaves no half file.
    const std::string temporary = std::string(argv[2]) + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "songgen: cannot write %s\n", temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0) {
        std::fprintf(stderr, "songgen: cannot replace %s\n", argv[2]);
        return 1;
    }
    return 0;
}
