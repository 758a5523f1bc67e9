#include "tools/xm2wav/render.h"

#include <cstdio>

#include "music/audio_output.h"
#include "music/song.h"
#include "music/waveout/offline.h"
#include "tools/xm2wav/progress.h"

namespace {

// Without an end in this much music the song is taken to loop inside one order.
constexpr std::int64_t kLongestPassSeconds = 3600;

// Where one pass through the order list ends: the first frame of the row that
// enters an order already played.
struct PassEnd {
    bool found;
    std::int64_t frame;
};

// The tick handler sees every tick at the output frame where it begins.
struct PassWatch {
    bool seen[256];
    bool started;
    std::int64_t tickStart;
    PassEnd end;
};

PassWatch watch;

void WatchedTick(Song* song) {
    if (!watch.started) {
        watch.started = true;
        watch.seen[song->order & 0xFF] = true;
    } else if (song->tick == 0 && song->nextOrder >= 0 && !watch.end.found) {
        // A jump, a break or the step past a pattern's last row enters an order.
        std::int32_t entering = song->nextOrder & 0xFF;
        if (watch.seen[entering]) {
            watch.end.found = true;
            watch.end.frame = watch.tickStart;
        }
        watch.seen[entering] = true;
    }
    ReplayerTick(song);
    watch.tickStart += song->framesPerTick;
}

}  // namespace

bool RenderModule(const RenderRequest& request, WavSink* sink, std::string* error) {
    const std::vector<std::uint8_t>& bytes = *request.module;
    MemoryFileSetSource(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    SetFileOps(MemoryFileOpen, MemoryFileClose, MemoryFileRead, MemoryFileSeek, MemoryFileTell);
    if (AudioOpen(request.rate) == 0) {
        *error = "cannot open the offline output";
        return false;
    }
    Song* song = SongLoad("module", nullptr);
    if (song == nullptr) {
        AudioClose();
        *error = "not a valid extended module";
        return false;
    }

    watch = PassWatch{};
    song->tickHandler = WatchedTick;
    OfflineWaveOutSetPositionBytes(0);
    SongPlay(song);

    const std::int32_t blockFrames = audioOutput.blockFrames;
    const std::int32_t blocks = audioOutput.ringFrames / blockFrames;
    const bool onePass = request.frames < 0;
    const std::int64_t longest = kLongestPassSeconds * request.rate;
    Progress progress(request.progress, onePass ? -1 : request.frames, request.rate,
                      song->songLength);

    std::int64_t written = 0;
    std::uint32_t deviceBytes = 0;
    std::int32_t block = 0;
    bool ok = true;
    for (;;) {
        std::int64_t target = onePass ? (watch.end.found ? watch.end.frame : longest) : request.frames;
        if (onePass && target > longest) target = longest;
        std::int64_t count = target - written;
        if (count <= 0) break;
        if (count > blockFrames) count = blockFrames;
        const std::int16_t* frames = audioOutput.outputBuffer + std::int64_t{block} * blockFrames * 2;
        if (!sink->write(frames, count)) {
            ok = false;
            break;
        }
        written += count;
        progress.update(written, SongGetOrder(song));
        // The device has played the block: the catch-up refills it one ring ahead.
        deviceBytes += static_cast<std::uint32_t>(blockFrames) * 4u;
        OfflineWaveOutSetPositionBytes(deviceBytes);
        MixingCatchUp();
        block = block + 1 == blocks ? 0 : block + 1;
    }
    progress.finish();
    if (onePass && !watch.end.found && ok) {
        std::fprintf(stderr, "xm2wav: the song never returned to an order it had played; "
                             "stopped after %lld seconds\n",
                     static_cast<long long>(kLongestPassSeconds));
    }

    SongStop(song);
    SongFree(song);
    AudioClose();
    if (!ok) *error = "writing the output failed";
    return ok;
}
