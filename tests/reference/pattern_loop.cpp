// Pattern loops (E6x) at their edges: loops in several channels, beside
// breaks, jumps and row delays, and loop rows that lie ahead or past the end.
// A loop that never ends is left to the player's own tests: the intro's
// style would render an hour of it.
#include <cstdint>
#include <utility>
#include <vector>

#include "music/song.h"
#include "tests/reference/behaviours.h"
#include "tests/reference/module_parts.h"

namespace reference {
namespace {

// One channel's loop inside another's, and two loops ending on one row.
xm::Module LoopsInTwoChannels() {
    xm::Module module = NotePerRow(3, 8, 2, {0, 1});
    module.speed = 3;
    Loop(module, 1, 2, 0);
    Loop(module, 6, 2, 1);
    Loop(module, 2, 1, 0);
    Loop(module, 4, 1, 1);
    Loop(module, 1, 2, 0, 1);
    Loop(module, 5, 2, 1, 1);
    Loop(module, 3, 1, 0, 1);
    Loop(module, 5, 1, 2, 1);
    return module;
}

// A break left of a loop's end sends the next pattern to the loop's row; the
// loop, counted, makes the song's return to its start a second round.
xm::Module LoopBesideBreak() {
    xm::Module module = NotePerRow(3, 8, 2, {0, 1});
    Loop(module, 1, 2, 0);
    Loop(module, 4, 2, 1);
    Effect(module, 4, 1, EffectPatternBreak, 0x02);
    return module;
}

// A position jump on a loop's end starts its order from the top, and the
// counted loop makes the song's return a second round.
xm::Module LoopBesideJump() {
    xm::Module module = NotePerRow(3, 8, 2, {0, 1});
    module.speed = 4;
    Effect(module, 4, 1, EffectPositionJump, 0x01);
    Loop(module, 1, 2, 0);
    Loop(module, 4, 2, 1);
    return module;
}

// A loop end before its start: the next time round the pattern the end goes
// forward to the start, whose row the next pattern then begins at.
xm::Module LoopStartAfterEnd() {
    xm::Module module = NotePerRow(2, 8, 1, {0, 0});
    module.speed = 4;
    Loop(module, 5, 1, 0);
    Loop(module, 3, 1, 1);
    return module;
}

// A row delay on a loop's end, with a volume slide running through it; then
// one whose loop starts on the last row, which a pattern before set.
xm::Module LoopWithRowDelay() {
    xm::Module module = NotePerRow(3, 8, 2, {0, 1});
    Loop(module, 1, 1, 0);
    Loop(module, 3, 1, 1);
    Effect(module, 3, 2, EffectExtended, ExtendedRowDelay << 4 | 2);
    Effect(module, 3, 0, EffectVolumeSlide, 0x04);
    Effect(module, 1, 0, EffectSetVolume, 0x40);
    Loop(module, 7, 1, 0);
    Loop(module, 2, 1, 1, 1);
    Effect(module, 2, 2, EffectExtended, ExtendedRowDelay << 4 | 1, 1);
    return module;
}

// A loop back to a row past the pattern's end: the row a longer pattern
// before set, which then carries to the pattern after.
xm::Module LoopRowBeyondPattern() {
    xm::Module module = NotePerRow(2, 12, 3, {0, 1, 2});
    module.speed = 3;
    module.patterns[1].rows = 8;
    module.patterns[1].cells.resize(8 * 2);
    Loop(module, 10, 1, 0);
    Loop(module, 2, 1, 1, 1);
    return module;
}

}  // namespace

std::vector<Behaviour> PatternLoopBehaviours() {
    return {
        {"loops_in_two_channels", LoopsInTwoChannels},
        {"loop_beside_break", LoopBesideBreak},
        {"loop_beside_jump", LoopBesideJump},
        {"loop_start_after_end", LoopStartAfterEnd},
        {"loop_with_row_delay", LoopWithRowDelay},
        {"loop_row_beyond_pattern", LoopRowBeyondPattern},
    };
}

}  // namespace reference
