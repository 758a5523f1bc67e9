// Loading a song from bytes in memory or from a file, through the memory file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "music/format/embedded_song.h"
#include "music/format/load_report.h"
#include "music/player.h"
#include "music/format/song_file.h"

namespace {

// The memory file counts in 32 bits; no real module comes near this.
constexpr long kLargestModule = 256L * 1024 * 1024;

bool ReadWholeFile(const char* path, std::vector<std::uint8_t>* bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        SetLoadError(std::string("cannot open it: ") + std::strerror(errno));
        return false;
    }
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes->insert(bytes->end(), chunk, chunk + got);
        if (static_cast<long>(bytes->size()) > kLargestModule) {
            SetLoadError("too large to be a module");
            ok = false;
            break;
        }
        if (got < sizeof chunk) {
            if (std::ferror(file)) {
                SetLoadError(std::string("cannot read it: ") + std::strerror(errno));
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    return ok;
}

}  // namespace

Song* SongLoadMemory(const std::uint8_t* data, std::int32_t size) {
    ClearLoadReport();
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    MemoryFileSetSource(data, size);
    Song* song = SongLoad("module", nullptr);
    // The memory file serves the embedded song unless told otherwise.
    MemoryFileSetSource(embeddedSong, embeddedSongSize);
    if (!song) SetLoadError("not a valid extended module");
    return song;
}

Song* SongLoadFile(const char* path) {
    ClearLoadReport();
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return nullptr;
    return SongLoadMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}
