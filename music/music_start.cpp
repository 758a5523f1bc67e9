// The music start-up: memory file, output, and the embedded song.
#include <cstdio>

#include "music/output/audio_output.h"
#include "music/format/embedded_song.h"
#include "music/format/song_file.h"

void MusicStart(Song** songSlot) {
    if (!songSlot) return;
    *songSlot = nullptr;
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    if (!AudioOpen(44100)) {
        std::printf("Error upon initialization.\n");
        return;
    }
    // The memory file serves the embedded block whatever it is asked to open;
    // the name handed through is only the block's address.
    const char* name = reinterpret_cast<const char*>(embeddedSong);
    *songSlot = SongLoad(name, nullptr);
    if (!*songSlot) {
        AudioClose();
        std::printf("Error loading song\n");
    }
}
