// Writes the fuzzers' starting corpus: the seed modules and the embedded song.
#include <cstdio>
#include <string>

#include "music/format/embedded_song.h"
#include "tests/fuzz/seed_modules.h"

namespace {

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    for (const SeedModule& seed : SeedModules()) {
        if (!WriteFile(dir + "/" + seed.name + ".xm", seed.bytes.data(), seed.bytes.size())) {
            std::fprintf(stderr, "cannot write %s/%s.xm\n", dir.c_str(), seed.name.c_str());
            return 1;
        }
    }
    if (!WriteFile(dir + "/embedded_song.xm", embeddedSong, static_cast<std::size_t>(embeddedSongSize))) {
        std::fprintf(stderr, "cannot write %s/embedded_song.xm\n", dir.c_str());
        return 1;
    }
    return 0;
}
