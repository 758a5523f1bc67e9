#pragma once
#include <cstdint>

#include "scene/frame_record.h"

class Gui;
struct Scroller;
struct Song;

// The scene's timeline, shared by every drawing path: the music it follows,
// the torus's rise, bounces and bass wave, the scroller's cues. Each frame it
// fills a FrameRecord that the path's render() turns into GL calls.
class SceneView {
public:
    explicit SceneView(Gui* gui);
    virtual ~SceneView();
    SceneView(const SceneView&) = delete;
    SceneView& operator=(const SceneView&) = delete;

    // Builds every GL object and starts the music; needs a current context.
    virtual void init() = 0;
    // One frame at elapsedMs since the start.
    void draw(std::int32_t elapsedMs);
    // Turns the heard row's cell on channel 4 into a bounce or a bass-wave change.
    void syncToMusic();

    Gui* gui;
    Scroller* scroller;
    Song** songSlot;
    float frameTime = 0.0f;
    float previousTime = 0.0f;
    float camera[3] = {0.0f, 0.0f, 15.0f};
    float bounceStart = 0.0f;
    std::int32_t lastRow = -1;
    float bassline = 0.0f;
    float pendingBassline = 0.0f;
    float basslineIntensity = 0.0f;
    bool bassFalling = false;

protected:
    // Advances the timeline to elapsedMs and fills the record.
    void advance(std::int32_t elapsedMs, FrameRecord& record);
    virtual void render(const FrameRecord& record) = 0;
};
