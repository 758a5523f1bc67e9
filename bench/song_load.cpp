// Time of loading the embedded song through the memory file, as the
// intro loads it at start-up. Usage: bench_song_load [RUNS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_runner.h"
#include "music/format/embedded_song.h"
#include "music/player.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Song* song = SongLoadMemory(embeddedSong, embeddedSongSize);
        const auto stop = std::chrono::steady_clock::now();
        if (song == nullptr) {
            std::fprintf(stderr, "bench_song_load: the embedded song does not load\n");
            return 1;
        }
        samples.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        SongFree(song);
    }
    char setting[64];
    std::snprintf(setting, sizeof setting, "embedded song, %d bytes, from memory", static_cast<int>(embeddedSongSize));
    PrintFigure("song load", samples, "ms", setting);
    return 0;
}
