#include "scene/scene_view.h"

#include "music/player.h"
#include "scene/scroller.h"

SceneView::SceneView(Gui* shell) : gui(shell), scroller(new Scroller), songSlot(new Song*(nullptr)) {}

SceneView::~SceneView() {
    delete scroller;
    if (songSlot) {
        SongStop(*songSlot);
        SongFree(*songSlot);
        AudioClose();
        delete songSlot;
    }
}

void SceneView::draw(std::int32_t elapsedMs) {
    FrameRecord record;
    advance(elapsedMs, record);
    render(record);
    previousTime = frameTime;
}

// In the order the desktop path has always taken these steps: the music is
// read after the sky, the bass wave steps before the shells, the scroller's
// cue after them.
void SceneView::advance(std::int32_t elapsedMs, FrameRecord& record) {
    frameTime = static_cast<float>(elapsedMs);
    record.skyAngle = static_cast<float>(frameTime * 0.03);
    record.skyBrightness = skyBrightness(elapsedMs, frameTime);

    syncToMusic();
    const float rise = shellRise(frameTime);
    const float bounce = shellBounce(frameTime, bounceStart);
    stepBassline(frameTime - previousTime, basslineIntensity, bassline, pendingBassline, bassFalling);
    record.bassline = bassline;
    record.basslineIntensity = basslineIntensity;
    for (int i = 0; i < kShellCount; ++i) {
        const float factor = shellFactor(i);
        const ShellOffset offset = shellOffset(bounce, factor, rise);
        record.shells[i] = ShellPose{offset.y, offset.z, shellSwing(frameTime, factor), factor};
    }

    record.scroller = scroller->advance(elapsedMs);
}
