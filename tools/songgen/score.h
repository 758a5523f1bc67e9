#pragma once
// The composition's text form. A score names tracks (one channel's 64 rows,
// written as tracker cells), stacks them into patterns and lists the order:
//
//   speed 4                    # song settings: song, channels, speed, bpm, restart
//   track beat kick            # a track and the instrument its notes use
//     ( C-4 . . . . . . . )x8  # one token per row; ( ... )xN repeats
//   pattern groove
//     0 beat                   # channel, then one or more tracks joined by +
//   order groove groove
//
// A cell token is a note (C-4, C#4, == for key off, . for none) followed by
// optional fields joined with ':': @name (instrument; @- for none), vXX (the
// volume-column byte in hex) and an effect as its letter and two hex digits
// (A0F, 037, R82, ED2). "track echo = lead >6 v18 @soft" is the track lead
// played six rows later, its notes at volume-column byte 0x18 on instrument
// soft (both optional). Lines that start
// with a blank continue the block above; a word that starts with # starts a
// comment; | may separate bars and is ignored.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

namespace songgen {

constexpr int kPatternRows = 64;

struct Score {
    std::string name;
    int channels = 8;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<std::string> patternNames;
    std::vector<xm::Pattern> patterns;
    std::vector<std::uint8_t> orders;
};

// Slot (1..128) of an instrument name, 0 when unknown.
using InstrumentLookup = int (*)(const std::string& name);

// Fills score from text; on failure answers false with a one-line error that
// names the line.
bool ParseScore(const std::string& text, InstrumentLookup lookup, Score& score, std::string& error);

}  // namespace songgen
