#pragma once
#include <cstdint>

#include "scene/es2/matrix4.h"
#include "scene/scene_view.h"

// Vertices and indices in buffer objects, drawn as indexed triangles.
struct EsMesh {
    std::uint32_t vertices = 0;
    std::uint32_t indices = 0;
    std::int32_t indexCount = 0;
    std::int32_t stride = 0;        // bytes per vertex; the position comes first
    std::int32_t normalOffset = -1;  // bytes, or -1 without normals
    std::int32_t texCoordOffset = -1;
};

// One ES program and the locations the scene sets.
struct EsProgram {
    std::uint32_t name = 0;
    std::int32_t modelView = -1;
    std::int32_t projection = -1;
    std::int32_t normalMatrix = -1;
    std::int32_t modelViewProjection = -1;
    std::int32_t color = -1;
    std::int32_t alphaRef = -1;
    std::int32_t camera = -1;
    std::int32_t factor = -1;
    std::int32_t rotation = -1;
    std::int32_t bassline = -1;
    std::int32_t basslineIntensity = -1;
    std::int32_t zoom = -1;
};

// The scene drawn through OpenGL ES 2.0 (and so WebGL 1): the same pictures as
// the desktop path from the same FrameRecord, with buffer objects for its
// display lists, matrices computed on the CPU and fragment shaders for its
// fixed-function stages.
class Es2View final : public SceneView {
public:
    explicit Es2View(Gui* gui);
    ~Es2View() override;

    void init() override;

    std::uint32_t targetWidth = 0;
    std::uint32_t targetHeight = 0;
    std::uint32_t targetTexture = 0;
    std::uint32_t targetDepth = 0;
    std::uint32_t targetFramebuffer = 0;

private:
    void render(const FrameRecord& record) override;
    void createRenderTarget();
    void buildPrograms();
    void buildTextures();
    void buildMeshes();
    void drawSky(const FrameRecord& record, const Matrix4& projection);
    void drawShells(const FrameRecord& record, const Matrix4& projection, const Matrix4& skyRotation);
    void drawScroller(const FrameRecord& record, const Matrix4& projection);
    void drawFinalPass();

    EsProgram hair;
    EsProgram fishEye;
    EsProgram sky;
    EsProgram textured;
    EsMesh torus;
    EsMesh skyBox;
    EsMesh glyphs;
    EsMesh quad;
    std::uint32_t strandTexture = 0;
    std::uint32_t baseTexture = 0;
    std::uint32_t envCubeMap = 0;
    std::uint32_t skyCubeMap = 0;
    std::uint32_t fontTexture = 0;
    // The desktop path's alpha test is state that one draw leaves to the
    // next: the sky of the first frame sees the start-up reference, later
    // ones the scroller's.
    float alphaRef = 0.1f;
};
