#include "tools/xm2wav/render.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tools/xm2wav/progress.h"

namespace {

// Without an end in this much music the song is taken to loop inside one order.
constexpr std::int64_t kLongestPassSeconds = 3600;

constexpr std::int32_t kChunkFrames = 4096;

}  // namespace

bool RenderSong(Song* song, const RenderRequest& request, WavSink* sink, std::string* error) {
    if (!SongPlay(song)) {
        *error = "cannot play on the offline output";
        return false;
    }
    const bool onePass = request.frames < 0;
    const std::int64_t longest = kLongestPassSeconds * request.rate;
    Progress progress(request.progress, onePass ? -1 : request.frames, request.rate, song->songLength);

    std::vector<std::int16_t> chunk(2 * kChunkFrames);
    std::int64_t written = 0;
    bool ok = true;
    for (;;) {
        // The ring is mixed two seconds ahead, so the end of a pass is known
        // long before the output reaches it.
        const std::int64_t passEnd = SongPassEndFrame();
        std::int64_t target = onePass ? (passEnd >= 0 ? passEnd : longest) : request.frames;
        if (onePass) target = std::min(target, longest);
        const std::int64_t wanted = std::min<std::int64_t>(target - written, kChunkFrames);
        if (wanted <= 0) break;
        const std::int32_t got = AudioRender(chunk.data(), static_cast<std::int32_t>(wanted));
        if (!sink->write(chunk.data(), got)) {
            ok = false;
            break;
        }
        written += got;
        progress.update(written, SongGetOrder(song));
    }
    progress.finish();
    if (onePass && SongPassEndFrame() < 0 && ok) {
        std::fprintf(stderr, "xm2wav: the song never came back to where it had played; "
                             "stopped after %lld seconds\n",
                     static_cast<long long>(kLongestPassSeconds));
    }
    SongStop(song);
    if (!ok) *error = "writing the output failed";
    return ok;
}
