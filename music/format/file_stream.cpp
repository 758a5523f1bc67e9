#include "music/format/file_stream.h"

#include <cstdlib>

#include "music/song.h"
#include "music/format/song_file.h"

FileStream* FileStreamOpen(const char* name) {
    if (!FileOpsInstalled()) return nullptr;
    void* file = fileOps.open(name);
    if (!file) return nullptr;
    auto* stream = static_cast<FileStream*>(std::calloc(1, sizeof(FileStream)));
    if (!stream) {
        fileOps.close(file);
        return nullptr;
    }
    stream->file = file;
    return stream;
}

void FileStreamClose(FileStream* stream) {
    if (!stream) return;
    // The table may have been cleared while the stream was open.
    if (fileOps.close) fileOps.close(stream->file);
    std::free(stream);
}

std::int32_t FileStreamRead(void* destination, std::int32_t count, FileStream* stream) {
    if (!stream || !fileOps.read || count <= 0) return 0;
    return fileOps.read(destination, count, stream->file);
}

void FileStreamSeek(FileStream* stream, std::int32_t offset, std::uint8_t origin) {
    if (!stream || !fileOps.seek) return;
    fileOps.seek(stream->file, offset, origin);
}

std::int32_t FileStreamTell(FileStream* stream) {
    if (!stream || !fileOps.tell) return 0;
    return fileOps.tell(stream->file);
}
