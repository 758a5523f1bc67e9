// Where one pass through the order list ends: the orders entered so far,
// or in the tracker's way the rows, told of every tick at the frame where it
// begins.
#include "music/output/pass_watch.h"

#include <cstring>

#include "music/output/audio_output.h"
#include "music/replay/replayer.h"

namespace {

// A hash of every channel's pattern loop count, 0 while none counts.
std::uint64_t LoopCounts(const Song* song) {
    const std::int32_t channels = PlayedChannelCount(song);
    std::uint64_t hash = 14695981039346656037ull;
    bool counting = false;
    for (std::int32_t c = 0; c < channels; ++c) {
        const std::int32_t count = audioOutput.channels[c].loopCount;
        counting = counting || count != 0;
        hash = (hash ^ static_cast<std::uint32_t>(count) ^ static_cast<std::uint64_t>(c) << 40) * 1099511628211ull;
    }
    return counting ? hash : 0;
}

// Whether the row was entered before with these loop counts; it counts as
// entered from now on.
bool EnterRow(std::int32_t order, std::int32_t row, std::uint64_t loops) {
    AudioOutput& a = audioOutput;
    const std::uint32_t position = static_cast<std::uint32_t>(order & 0xFF) << 8 | static_cast<std::uint32_t>(row & 0xFF);
    if (loops == 0) {
        std::uint64_t& word = a.rowEntered[position / 64];
        const std::uint64_t bit = std::uint64_t{1} << (position % 64);
        const bool entered = (word & bit) != 0;
        word |= bit;
        return entered;
    }
    std::uint64_t key = (loops ^ position) * 0x9E3779B97F4A7C15ull;
    if (key == 0) key = 1;
    constexpr std::uint32_t mask = kLoopRowsWatched - 1;
    for (std::uint32_t slot = static_cast<std::uint32_t>(key >> 40) & mask;; slot = (slot + 1) & mask) {
        std::uint64_t& held = a.loopRowEntered[slot];
        if (held == key) return true;
        if (held != 0) continue;
        if (a.loopRowsEntered < kLoopRowsWatched / 4 * 3) {
            held = key;
            ++a.loopRowsEntered;
        }
        return false;
    }
}

// The tracker's end of a pass: the first row entered a second time with the
// loops counting as they did, or an order marked played before the pass began.
void WatchRows(const Song* song, std::int64_t frame) {
    AudioOutput& a = audioOutput;
    if (song->tick != 0 || a.passEndFrame >= 0) return;
    const std::int32_t order = song->nextOrder >= 0 ? song->nextOrder : song->order;
    const std::int32_t row = song->nextRow >= 0 ? song->nextRow : song->row;
    a.passStarted = true;
    if (a.orderEntered[order & 0xFF] || EnterRow(order, row, LoopCounts(song))) a.passEndFrame = frame;
}

}  // namespace

// Called at the frame where each tick begins, before the tick runs: the row a
// tick 0 is about to enter shows in nextOrder, so the first order entered a
// second time marks the end of one pass.
void WatchPass(const Song* song, std::int64_t frame) {
    if (song->behaviour.passEndsOnRevisitedRow) {
        WatchRows(song, frame);
        return;
    }
    AudioOutput& a = audioOutput;
    if (!a.passStarted) {
        a.passStarted = true;
        a.orderEntered[song->order & 0xFF] = true;
        return;
    }
    if (song->tick != 0 || song->nextOrder < 0 || a.passEndFrame >= 0) return;
    const std::int32_t entering = song->nextOrder & 0xFF;
    if (a.orderEntered[entering]) a.passEndFrame = frame;
    a.orderEntered[entering] = true;
}

void ResetPassWatch() {
    AudioOutput& a = audioOutput;
    a.mixedFrames = 0;
    for (bool& entered : a.orderEntered) entered = false;
    std::memset(a.rowEntered, 0, sizeof a.rowEntered);
    std::memset(a.loopRowEntered, 0, sizeof a.loopRowEntered);
    a.loopRowsEntered = 0;
    a.passStarted = false;
    a.passEndFrame = -1;
}

std::int64_t SongPassEndFrame() {
    return audioOutput.passEndFrame;
}
