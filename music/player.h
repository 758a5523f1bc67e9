#pragma once
// The module player as everything outside music/ sees it: load a song, open
// the sound output, play and stop, ask what is being heard, and render
// offline. The ring, the channels and the voices stay the player's own.
#include <cstdint>

// Song and its score: the scene reads the pattern cells for its cues.
#include "music/song.h"

// Rows of the pattern at an order position, as the replayer plays them; 0
// where the order table names no pattern the song has.
std::int32_t PatternRowsAt(const Song* song, std::int32_t order);

// What was heard at one moment: the order and row of one block, the song
// clock when that block was mixed, and how many song channels sounded then.
struct PositionRecord {
    std::uint8_t order;
    std::uint8_t row;
    std::int32_t elapsedMs;
    std::uint8_t channels = 0;
};

// The intro's start-up: the embedded song through the memory file and the
// output at 44100 Hz. *songSlot stays null when either fails.
void MusicStart(Song** songSlot);

// Loads a module from bytes the caller keeps until the call returns; null when
// the bytes are refused, and SongLoadError then says why in one line.
Song* SongLoadMemory(const std::uint8_t* data, std::int32_t size);
// Loads a module file; null when it cannot be read or is refused. The
// reasons do not name the file: the caller does.
Song* SongLoadFile(const char* path);
// Why the last load was refused, and what the last load had to leave out;
// empty when nothing.
const char* SongLoadError();
const char* SongLoadWarning();
int SongFree(Song* song);

// How a song is played: as the intro plays it (the default for every loaded
// song) or as the format's reference tracker plays it.
enum class PlaybackStyle { Intro, Tracker };
void SongSetPlaybackStyle(Song* song, PlaybackStyle style);

// The output: one per program, opened before a song plays.
int AudioOpen(std::int32_t rate);
void AudioClose();

// Plays from the song's start, filling the whole ring first.
int SongPlay(Song* song);
int SongStop(Song* song);

// The heard block's whole record, read at once: order and row of one block,
// never the order of one and the row of the next. Zeros when given none.
PositionRecord SongGetPosition(Song* song);
std::int32_t SongGetOrder(Song* song);
std::int32_t SongGetRow(Song* song);
std::int32_t SongGetTime(Song* song);

// Where one pass through the order list ends, in output frames from the
// start of play (as SongHeardFrames counts them): the first frame of the row
// that enters an order already played, or in the tracker's style (see
// PlaybackBehaviour::passEndsOnRevisitedRow) a row already played while the
// pattern loops counted as they do now. -1 until the mixing has got that far.
std::int64_t SongPassEndFrame();

// For a program that plays to a listener. Each is called from the thread
// that calls SongPlay.
//
// Frames the device has played since SongPlay, pauses excluded, counted
// from the device's own position: a clock for what is heard. The song clock
// (SongGetTime) drops a fraction of a millisecond at every run and runs slow.
std::int64_t SongHeardFrames();
// Stops the sound at once, dropping what the device holds queued, or plays
// on from where it stopped. Nothing while no song plays.
void SongPause(bool pause);
bool SongPaused();
// Plays the playing song on from the first row of an order (clamped to the
// order list), heard at once: the device's queue is dropped and the ring
// refilled from there. The channels start afresh, as at the song's start,
// with the speed, tempo and global volume the orders before it leave. A
// pause ends. The end of the pass is then where the song comes back to an
// order before this one or already played since. 0 when the song is not the
// one playing.
int SongPlayFromOrder(Song* song, std::int32_t order);
// SongPassEndFrame worked out before playing, without mixing: the frames of
// one pass at rate, or -1 when the song does not come back within an hour. Only while no song plays, as it uses the player's channels; the
// song is left at its start.
std::int64_t SongMeasurePass(Song* song, std::int32_t rate);

// Offline rendering, in programs built with the offline device: copies the
// next frames the device would play (at most maxFrames, 16-bit stereo
// interleaved) and moves the device past them, so the player refills behind
// them as it would behind a sound card. Silence while no song plays. Returns
// the frames copied, which may be fewer than asked (never 0 when asked for some).
std::int32_t AudioRender(std::int16_t* frames, std::int32_t maxFrames);
