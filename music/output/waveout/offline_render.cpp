// Offline rendering: the offline device plays what the ring holds, and the
// player refills the blocks behind it as it would behind a sound card.
#include <cstring>

#include "music/output/audio_output.h"
#include "music/output/mixing_thread.h"
#include "music/output/waveout/offline.h"
#include "music/player.h"

std::int32_t AudioRender(std::int16_t* frames, std::int32_t maxFrames) {
    if (maxFrames <= 0) return 0;
    const AudioOutput& a = audioOutput;
    const std::int32_t played =
        a.currentSong ? OfflineWaveOutPlay(frames, maxFrames, a.ringFrames, a.blockFrames) : 0;
    if (played == 0) {
        std::memset(frames, 0, static_cast<std::size_t>(maxFrames) * 4);
        return maxFrames;
    }
    MixingCatchUp();
    return played;
}
