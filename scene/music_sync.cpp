#include "music/player.h"
#include "scene/scene_view.h"
#include "scene/pattern_lookup.h"

namespace {

constexpr std::int32_t kCueChannel = 4;
constexpr std::uint8_t kBounceInstrument = 19;
constexpr std::uint8_t kBassInstrumentLow = 2;
constexpr std::uint8_t kBassInstrumentHigh = 3;
constexpr int kBassNoteOffset = 56;

}  // namespace

void SceneView::syncToMusic() {
    Song* song = songSlot ? *songSlot : nullptr;
    if (!song) return;

    PositionRecord heard;
    if (!TakeNewHeardRow(song, lastRow, heard)) return;

    // Songs with fewer than five channels have no cue channel: FindCell says so.
    const PatternCell* cell = FindCell(*song, heard.order, heard.row, kCueChannel);
    if (!cell) return;

    if (cell->instrument == kBounceInstrument) {
        // 0.0 means no bounce, so a cue heard at time 0 starts none.
        if (bounceStart == 0.0f) bounceStart = frameTime;
    } else if (cell->instrument == kBassInstrumentLow || cell->instrument == kBassInstrumentHigh) {
        pendingBassline = static_cast<float>(static_cast<int>(cell->note) - kBassNoteOffset);
        bassFalling = true;
    }
}
