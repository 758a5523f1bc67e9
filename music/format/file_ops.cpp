// The program-wide file operations the loader reads through.
#include "music/format/song_file.h"

FileOps fileOps{};

void SetFileOps(FileOpenFn open, FileCloseFn close, FileReadFn read, FileSeekFn seek, FileTellFn tell) {
    // A half-filled table would let the loader call through a null entry.
    if (!open || !close || !read || !seek || !tell) {
        fileOps = FileOps{};
        return;
    }
    fileOps = FileOps{open, close, read, seek, tell};
}

bool FileOpsInstalled() {
    return fileOps.open && fileOps.close && fileOps.read && fileOps.seek && fileOps.tell;
}
