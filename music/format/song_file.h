#pragma once
// How the player reads a module: the file operations the loader goes
// through, the memory file behind them, and the loader itself. Programs load
// with SongLoadMemory or SongLoadFile (music/player.h) instead.
#include <cstdint>

#include "music/player.h"

// File operations the loader reads through; MusicStart installs the memory file.
using FileOpenFn = void* (*)(const char* name);
using FileCloseFn = void (*)(void* file);
using FileReadFn = std::int32_t (*)(void* destination, std::int32_t count, void* file);
using FileSeekFn = void (*)(void* file, std::int32_t offset, std::uint8_t origin);
using FileTellFn = std::int32_t (*)(void* file);

struct FileOps {
    FileOpenFn open;
    FileCloseFn close;
    FileReadFn read;
    FileSeekFn seek;
    FileTellFn tell;
};

extern FileOps fileOps;

void SetFileOps(FileOpenFn open, FileCloseFn close, FileReadFn read, FileSeekFn seek, FileTellFn tell);
bool FileOpsInstalled();

// The embedded module: a memory file over a static block.
struct MemoryFile {
    std::int32_t size;
    std::int32_t position;
    const std::uint8_t* data;
};

// The block MemoryFileOpen serves. Defaults to the embedded song;
// SongLoadMemory and tests point it at other bytes before opening.
void MemoryFileSetSource(const std::uint8_t* data, std::int32_t size);

void* MemoryFileOpen(const char* name);
void MemoryFileClose(void* file);
std::int32_t MemoryFileRead(void* destination, std::int32_t count, void* file);
void MemoryFileSeek(void* file, std::int32_t offset, std::uint8_t origin);
std::int32_t MemoryFileTell(void* file);

Song* SongLoad(const char* name, SampleProvider sampleProvider);
