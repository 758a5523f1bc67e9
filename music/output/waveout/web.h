#pragma once
// What only the Web Audio backend offers.
#include <cstdint>

// A page that renders frames offline (its test hook) moves the play cursor
// itself instead of the audio clock: the next opens make no audio context.
void WebWaveOutDriveByCaller(bool byCaller);
// Moves a caller-driven cursor to `bytes` and refills what it passed, as the
// audio clock's reports do.
void WebWaveOutSetPositionBytes(std::uint32_t bytes);
// Lets the sound be heard, from within the user's gesture: browsers keep an
// audio context silent until one.
void WebWaveOutStart();
// Reads the audio clock and refills what it passed; the shell calls it once
// per frame so that the scene reads the freshest heard position (the clock's
// own reports come every 23 ms or so).
void WebWaveOutPoll();
