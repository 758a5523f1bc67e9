#pragma once
// Renders a song through the player's offline output, so the frames are those
// a sound device would have played.
#include <cstdint>
#include <string>

#include "music/player.h"
#include "tools/xm2wav/wav_sink.h"

struct RenderRequest {
    int rate;
    // Frames to render; below 0 renders one pass through the order list.
    std::int64_t frames;
    bool progress;
};

// Plays the song on the output AudioOpen opened at request.rate. Progress
// lines go to standard error; false with a one-line reason.
bool RenderSong(Song* song, const RenderRequest& request, WavSink* sink, std::string* error);
