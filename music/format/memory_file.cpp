// A read-only file over a block in memory: the embedded song, or whatever
// block a test or renderer hands to MemoryFileSetSource.
#include <cstdlib>
#include <cstring>

#include "music/format/embedded_song.h"
#include "music/song.h"
#include "music/format/song_file.h"

namespace {

const std::uint8_t* sourceData = embeddedSong;
std::int32_t sourceSize = embeddedSongSize;

// Positions stay within 0..size: a seek before the start lands on the first
// byte rather than letting a later read copy from before the block.
std::int32_t ClampPosition(std::int64_t position, std::int32_t size) {
    if (position < 0) return 0;
    if (position > size) return size;
    return static_cast<std::int32_t>(position);
}

}  // namespace

void MemoryFileSetSource(const std::uint8_t* data, std::int32_t size) {
    sourceData = data;
    sourceSize = data && size > 0 ? size : 0;
}

void* MemoryFileOpen(const char*) {
    auto* file = static_cast<MemoryFile*>(std::calloc(1, sizeof(MemoryFile)));
    if (!file) return nullptr;
    file->size = sourceSize;
    file->position = 0;
    file->data = sourceData;
    return file;
}

void MemoryFileClose(void* file) {
    std::free(file);
}

std::int32_t MemoryFileRead(void* destination, std::int32_t count, void* file) {
    auto* f = static_cast<MemoryFile*>(file);
    if (!f || count <= 0) return 0;
    if (std::int64_t{f->position} + count >= f->size) count = f->size - f->position;
    if (count <= 0) return 0;
    std::memcpy(destination, f->data + f->position, static_cast<std::size_t>(count));
    f->position += count;
    return count;
}

void MemoryFileSeek(void* file, std::int32_t offset, std::uint8_t origin) {
    auto* f = static_cast<MemoryFile*>(file);
    if (!f) return;
    switch (origin) {
        case 0: f->position = ClampPosition(offset, f->size); break;
        case 1: f->position = ClampPosition(std::int64_t{f->position} + offset, f->size); break;
        case 2: f->position = ClampPosition(std::int64_t{f->size} + offset, f->size); break;
        default: break;
    }
}

std::int32_t MemoryFileTell(void* file) {
    auto* f = static_cast<MemoryFile*>(file);
    return f ? f->position : 0;
}
