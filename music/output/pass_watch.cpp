// Where one pass through the order list ends: the orders entered so far,
// told of every tick at the frame where it begins.
#include "music/output/pass_watch.h"

#include "music/output/audio_output.h"

// Called at the frame where each tick begins, before the tick runs: the row a
// tick 0 is about to enter shows in nextOrder, so the first order entered a
// second time marks the end of one pass.
void WatchPass(const Song* song, std::int64_t frame) {
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
    a.passStarted = false;
    a.passEndFrame = -1;
}

std::int64_t SongPassEndFrame() {
    return audioOutput.passEndFrame;
}
