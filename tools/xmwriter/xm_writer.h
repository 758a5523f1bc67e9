#pragma once
// A small writer for extended-module files. The song generator builds the
// intro's module with it and the tests build their modules with it, so no
// test depends on a binary blob.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace xm {

struct Cell {
    std::uint8_t note = 0;  // 1..96, 97 key off
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t parameter = 0;
};

struct Pattern {
    int rows = 64;
    std::vector<Cell> cells;  // rows x channels, row after row; missing cells are empty
    // When set, these bytes are written as the packed data instead of packing cells.
    bool useRawPacked = false;
    std::vector<std::uint8_t> rawPacked;
    // Header length and packed size written; -1 writes the true values (the
    // header is 9 bytes, 8 in version 0x0102 files).
    int headerLength = -1;
    int declaredPackedSize = -1;

    Cell& at(int row, int channel, int channels);
};

enum class Loop : std::uint8_t { None = 0, Forward = 1, PingPong = 2, Both = 3 };

struct Sample {
    std::string name;
    bool sixteenBit = false;
    std::vector<std::int16_t> frames;  // 8-bit samples keep their values in -128..127
    std::uint32_t loopStart = 0;       // frames
    std::uint32_t loopLength = 0;      // frames
    Loop loop = Loop::None;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;
    // 8-bit data written as 4-bit deltas through a 16-entry table, flagged by
    // 0xAD in the header's reserved byte, as some trackers store it.
    bool packed4Bit = false;
    // A 16-bit sample whose byte length is odd: one extra byte after its frames.
    bool oddByteLength = false;
};

struct Envelope {
    std::vector<std::array<std::uint16_t, 2>> points;  // (tick, value)
    std::uint8_t sustain = 0;
    std::uint8_t loopStart = 0;
    std::uint8_t loopEnd = 0;
    std::uint8_t type = 0;  // bit 0 on, bit 1 sustain, bit 2 loop
    // Point count written to the file; -1 writes points.size().
    int declaredPoints = -1;
};

struct Instrument {
    std::string name;
    std::vector<Sample> samples;
    std::array<std::uint8_t, 96> noteSample{};
    Envelope volumeEnvelope;
    Envelope panningEnvelope;
    std::uint8_t vibratoType = 0;
    std::uint8_t vibratoSweep = 0;
    std::uint8_t vibratoDepth = 0;
    std::uint8_t vibratoRate = 0;
    std::uint16_t fadeout = 0;  // file value (the loader doubles it)
    // Sample count written to the file; -1 writes samples.size().
    int declaredSamples = -1;
};

struct Module {
    std::string name = "test";
    // The header's tracker name: players read it to tell whose file it is.
    std::string tracker = "xmwriter";
    // Before 0x0104 the instruments and their sample headers come before the
    // patterns and all sample data after them; 0x0102 stores rows - 1 in one byte.
    std::uint16_t version = 0x0104;
    int channels = 8;
    std::uint16_t flags = 0;  // bit 0: linear frequency table
    std::uint16_t speed = 6;
    std::uint16_t bpm = 125;
    std::uint16_t restart = 0;
    std::vector<std::uint8_t> orders{0};
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments;
    // Overrides for hostile-file tests; -1 writes the true value.
    int declaredSongLength = -1;
    int declaredPatterns = -1;
    int declaredInstruments = -1;
};

// An instrument of these samples with every note on the first, no envelopes
// and no vibrato: what most test modules need.
Instrument InstrumentOf(std::vector<Sample> samples);

// A pattern's cells packed as the file stores them; none when all are empty.
std::vector<std::uint8_t> PackCells(const Pattern& pattern, int channels);

// The file's bytes, little-endian, with packed patterns and delta-coded samples.
std::vector<std::uint8_t> Write(const Module& module);

}  // namespace xm
