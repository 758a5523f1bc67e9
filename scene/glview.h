#pragma once
#include <cstdint>

#include "scene/scene_view.h"

// The off-screen frame target: the scene renders at 1/multiply of the window.
struct RenderTarget {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t colorTexture;
    std::uint32_t depthBuffer;
    std::uint32_t framebuffer;
};

// The scene on desktop OpenGL 1.x with shader objects: owns every GL object,
// builds everything once in init() and draws one frame per main-loop turn.
class GLView : public SceneView {
public:
    explicit GLView(Gui* gui);
    ~GLView() override;

    void init() override;
    // The end of draw(): shows the render target stretched over the window.
    void drawFinalPass();

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
    std::uint32_t skyCubeMap = 0;
    std::uint32_t envCubeMap = 0;
    RenderTarget* renderTarget;

private:
    void render(const FrameRecord& record) override;
    void setDefaultState();
    void setCamera();
};

// Computes the target size and creates its colour texture, depth buffer and
// framebuffer object.
void CreateRenderTarget(RenderTarget* target);
