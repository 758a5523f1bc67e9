#pragma once
#include <cstdint>

class Gui;
struct Scroller;
struct Song;

// The off-screen frame target: the scene renders at 1/multiply of the window.
struct RenderTarget {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t colorTexture;
    std::uint32_t depthBuffer;
    std::uint32_t framebuffer;
};

// The scene: owns every GL object, builds everything once in init() and
// draws one frame per main-loop turn.
class GLView {
public:
    explicit GLView(Gui* gui);
    virtual ~GLView();
    GLView(const GLView&) = delete;
    GLView& operator=(const GLView&) = delete;

    void init();
    void draw(std::int32_t elapsedMs);
    // The end of draw(): shows the render target stretched over the window.
    void drawFinalPass();
    // Turns the heard row's cell on channel 4 into a bounce or a bass-wave change.
    void syncToMusic();

    Gui* gui;
    std::uint32_t hairProgram = 0;
    std::int32_t cameraLocation = -1;
    std::int32_t factorLocation = 0;
    std::int32_t rotationLocation = 0;
    std::int32_t basslineLocation = 0;
    std::int32_t basslineIntensityLocation = 0;
    std::uint32_t strandTexture = 0;
    std::uint32_t baseTexture = 0;
    float skyRotation[16] = {};
    std::uint32_t torusList = 0;
    Scroller* scroller;
    std::uint32_t skyCubeMap = 0;
    std::uint32_t envCubeMap = 0;
    float frameTime = 0.0f;
    float previousTime = 0.0f;
    Song** songSlot;
    float camera[3] = {0.0f, 0.0f, 15.0f};
    float bounceStart = 0.0f;
    std::int32_t lastRow = -1;
    RenderTarget* renderTarget;
    float bassline = 0.0f;
    float pendingBassline = 0.0f;
    float basslineIntensity = 0.0f;
    bool bassFalling = false;

private:
    void setDefaultState();
    void setCamera();
};

// Computes the target size and creates its colour texture, depth buffer and
// framebuffer object.
void CreateRenderTarget(RenderTarget* target);
