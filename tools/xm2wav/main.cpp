// xm2wav: renders an extended module to a WAV file with the intro's player.
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/xm2wav/options.h"
#include "tools/xm2wav/render.h"
#include "tools/xm2wav/terminal.h"
#include "tools/xm2wav/wav_sink.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "xm2wav: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    RenderOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "xm2wav: %s (try 'xm2wav --help')\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    Song* song = SongLoadFile(options.input.c_str());
    if (!song) return Fail("'" + options.input + "': " + SongLoadError());
    if (*SongLoadWarning()) {
        std::fprintf(stderr, "xm2wav: '%s': warning: %s\n", options.input.c_str(), SongLoadWarning());
    }
    SongSetPlaybackStyle(song, options.introStyle ? PlaybackStyle::Intro : PlaybackStyle::Tracker);
    if (!AudioOpen(options.rate)) return Fail("cannot open the offline output");

    WavSink sink;
    if (!sink.open(options.output, options.rate, &error)) return Fail(error);
    RenderRequest request;
    request.rate = options.rate;
    request.frames = options.seconds < 0.0 ? -1 : std::llround(options.seconds * options.rate);
    request.progress = !options.quiet && IsTerminal(stderr);
    const bool rendered = RenderSong(song, request, &sink, &error);
    SongFree(song);
    AudioClose();
    std::string closeError;
    const bool closed = sink.close(&closeError);
    if (!rendered) {
        if (options.output != "-") std::remove(options.output.c_str());
        return Fail("'" + options.input + "': " + error);
    }
    if (!closed) return Fail(closeError);
    return 0;
}
