// Filling one block of the ring: the replayer's ticks where they begin, the
// mixer between them, the block converted to 16-bit and its song position
// recorded.
#include "music/output/ring.h"

#include <cstring>

#include "music/mix/mixer.h"
#include "music/output/audio_output.h"
#include "music/output/pass_watch.h"
#include "music/output/position.h"
#include "music/replay/replayer.h"

namespace {

bool Sounding(const Voice& voice) {
    return voice.sample != nullptr && (voice.leftGain != 0 || voice.rightGain != 0 || voice.rampFramesLeft > 0);
}

}  // namespace

std::int32_t RingBlockCount() {
    return audioOutput.blockFrames > 0 ? audioOutput.ringFrames / audioOutput.blockFrames : 0;
}

std::uint8_t ChannelsSounding(const Song* song) {
    const AudioOutput& a = audioOutput;
    const std::int32_t channels = PlayedChannelCount(song);
    std::uint8_t count = 0;
    // A channel's fading note plays on the other voice of its pair.
    for (std::int32_t c = 0; c < channels; ++c) {
        if (Sounding(a.voices[c]) || Sounding(a.voices[c + kChannelCount])) ++count;
    }
    return count;
}

void FillBlock() {
    AudioOutput& a = audioOutput;
    Song* song = a.currentSong;
    if (!song || !a.mixBuffer) return;
    const std::int32_t first = a.fillIndex * a.blockFrames;
    float* area = a.mixBuffer + std::size_t{2} * static_cast<std::size_t>(first);
    std::memset(area, 0, std::size_t{2} * sizeof(float) * static_cast<std::size_t>(a.blockFrames));
    std::int32_t left = song->tickFramesLeft;
    std::int32_t done = 0;
    while (done < a.blockFrames) {
        if (left <= 0) {
            WatchPass(song, a.mixedFrames + done);
            if (song->tickHandler) song->tickHandler(song);
            left = song->framesPerTick;
            // However the tick handler set the tempo, the block moves on.
            if (left < 1) left = 1;
        }
        const std::int32_t n = left < a.blockFrames - done ? left : a.blockFrames - done;
        MixVoices(area + std::size_t{2} * static_cast<std::size_t>(done), n);
        done += n;
        song->elapsedMs += static_cast<std::int32_t>(static_cast<float>(n) * a.inverseRate * 1000.0);
        left -= n;
    }
    const PositionRecord record{static_cast<std::uint8_t>(song->order), static_cast<std::uint8_t>(song->row),
                                song->elapsedMs, ChannelsSounding(song)};
    a.positionRecords[a.fillIndex].store(PositionRecordPack(record), std::memory_order_release);
    song->tickFramesLeft = left;
    ConvertBlock(a.outputBuffer + std::size_t{2} * static_cast<std::size_t>(first), area, a.blockFrames);
    a.mixedFrames += a.blockFrames;
    a.fillIndex += 1;
    if (a.fillIndex >= RingBlockCount()) a.fillIndex = 0;
}
