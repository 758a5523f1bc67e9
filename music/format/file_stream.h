#pragma once
// The stream layer between the loader and the installed file operations.
#include <cstdint>

struct FileStream {
    void* file;
};

// None when no table is installed or the file cannot be opened.
FileStream* FileStreamOpen(const char* name);
void FileStreamClose(FileStream* stream);
std::int32_t FileStreamRead(void* destination, std::int32_t count, FileStream* stream);
void FileStreamSeek(FileStream* stream, std::int32_t offset, std::uint8_t origin);
std::int32_t FileStreamTell(FileStream* stream);
