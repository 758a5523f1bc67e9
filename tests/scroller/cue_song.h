#pragma once
// Hand-built songs and a hand-set heard position for the music cue tests.
#include <atomic>
#include <cstdint>
#include <vector>

#include "music/output/audio_output.h"
#include "music/song.h"

class CueSong {
public:
    // `patterns` patterns of `rows` rows each, all cells empty; the order
    // table plays them in turn.
    CueSong(int channels, int patterns, int rows = 64);

    PatternCell& cell(int pattern, int row, int channel);
    // Replaces pattern `pattern` by one of `rows` empty rows.
    void resize(int pattern, int rows);

    Song song{};
    Song* slot = &song;

private:
    std::vector<Pattern> patternArray;
    std::vector<std::vector<PatternCell>> cellArrays;
};

// Points the audio output's heard block at one record the test sets.
class HeardPosition {
public:
    HeardPosition();
    ~HeardPosition();
    HeardPosition(const HeardPosition&) = delete;
    HeardPosition& operator=(const HeardPosition&) = delete;

    void set(int order, int row);

private:
    std::atomic<std::uint64_t> record{0};
    std::atomic<std::uint64_t>* savedRecords;
    std::int32_t savedIndex;
};
