#pragma once
// Modules shaped like real songs, for timing renderers on what they meet in
// use: drums, bass, leads, arpeggios, pads and strings over 8 to 32 channels,
// many short notes with key-offs and fade-outs, volume and panning envelopes
// with sustain points and loops, volume slides, vibrato, portamento,
// retriggers and delays, 8- and 16-bit samples, one-shot, forward and
// ping-pong loops, the linear frequency table.
#include "tools/xmwriter/xm_writer.h"

namespace bench_songs {

// One pattern per order, each a little different (the seed varies the notes
// and effects): about 7 seconds per order at the tempi used.
xm::Module SongLike(int channels, int orders, unsigned seed);

}  // namespace bench_songs
