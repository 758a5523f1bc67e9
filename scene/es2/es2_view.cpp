#include "scene/es2/es2_view.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "music/player.h"
#include "scene/es2/es2_program.h"
#include "scene/es2/es2_shaders.h"
#include "scene/es2/es_shader_text.h"
#include "scene/es2/gles2_headers.h"
#include "scene/font_atlas.h"
#include "scene/scene_lights.h"
#include "scene/scroller.h"
#include "scene/shader_sources.h"
#include "scene/torus.h"
#include "shell/gui.h"
#include "textures/cube_cross.h"
#include "textures/environment_maps.h"
#include "textures/strand_texture.h"
#include "textures/base_texture.h"

namespace {

// WebGL 1's DEPTH_STENCIL format and attachment (as in OES_packed_depth_stencil
// and ES 3.0); the ES 2.0 headers have no attachment of that name.
constexpr GLenum kWebGlDepthStencil = 0x84F9;
constexpr GLenum kWebGlDepthStencilAttachment = 0x821A;

const float kSkyCorners[8][3] = {
    {-100.0f, -100.0f, -100.0f}, {100.0f, -100.0f, -100.0f}, {100.0f, 100.0f, -100.0f},
    {-100.0f, 100.0f, -100.0f},  {-100.0f, -100.0f, 100.0f}, {100.0f, -100.0f, 100.0f},
    {100.0f, 100.0f, 100.0f},    {-100.0f, 100.0f, 100.0f},
};
const int kSkyFaces[6][4] = {
    {0, 1, 2, 3}, {1, 0, 4, 5}, {2, 1, 5, 6}, {3, 2, 6, 7}, {4, 0, 3, 7}, {5, 4, 7, 6},
};

// BGRA as the texture generators give it, RGBA as ES takes it.
std::vector<std::uint8_t> SwapRedBlue(const std::uint8_t* bgra, std::size_t texels) {
    std::vector<std::uint8_t> rgba(bgra, bgra + texels * 4);
    for (std::size_t i = 0; i < texels; ++i) std::swap(rgba[i * 4], rgba[i * 4 + 2]);
    return rgba;
}

// A mipmapped texture, trilinear, wrapping: what the desktop path builds with
// GLU. Its sides must be powers of two for WebGL 1.
GLuint Upload2D(const std::vector<std::uint8_t>& bgra, std::uint32_t width, std::uint32_t height) {
    const std::vector<std::uint8_t> rgba = SwapRedBlue(bgra.data(), std::size_t{width} * height);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, rgba.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

GLuint UploadCube(const std::vector<std::uint8_t>& cross) {
    const std::uint32_t size = crossFaceSize(kCrossHeight, kCrossWidth);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_CUBE_MAP, name);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    std::vector<std::uint8_t> face(std::size_t{size} * size * 4);
    for (int f = 0; f < 6; ++f) {
        copyCrossFace(cross.data(), kCrossWidth, size, kCrossFaces[f], face.data());
        const std::vector<std::uint8_t> rgba = SwapRedBlue(face.data(), std::size_t{size} * size);
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + f), 0, GL_RGBA, static_cast<GLsizei>(size),
                     static_cast<GLsizei>(size), 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    }
    return name;
}

EsMesh MakeMesh(const std::vector<float>& vertices, const std::vector<std::uint16_t>& indices, int floatsPerVertex,
                int normalAt, int texCoordAt) {
    EsMesh mesh;
    GLuint buffers[2] = {};
    glGenBuffers(2, buffers);
    mesh.vertices = buffers[0];
    mesh.indices = buffers[1];
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
                 indices.data(), GL_STATIC_DRAW);
    mesh.indexCount = static_cast<std::int32_t>(indices.size());
    mesh.stride = floatsPerVertex * static_cast<int>(sizeof(float));
    mesh.normalOffset = normalAt < 0 ? -1 : normalAt * static_cast<int>(sizeof(float));
    mesh.texCoordOffset = texCoordAt < 0 ? -1 : texCoordAt * static_cast<int>(sizeof(float));
    return mesh;
}

// A quad of a quad strip (v0, v1, v3, v2) as two triangles, split along
// v0-v3 as the software rasteriser splits the desktop path's quads.
void AppendStripQuad(std::vector<std::uint16_t>& indices, std::uint16_t v0) {
    const std::uint16_t quad[6] = {v0, static_cast<std::uint16_t>(v0 + 1), static_cast<std::uint16_t>(v0 + 3),
                                   v0, static_cast<std::uint16_t>(v0 + 3), static_cast<std::uint16_t>(v0 + 2)};
    indices.insert(indices.end(), quad, quad + 6);
}

void BindMesh(const EsMesh& mesh) {
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertices);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indices);
    glEnableVertexAttribArray(kPositionAttribute);
    glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, mesh.stride, nullptr);
    const auto at = [](std::int32_t offset) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset)); };
    if (mesh.normalOffset >= 0) {
        glEnableVertexAttribArray(kNormalAttribute);
        glVertexAttribPointer(kNormalAttribute, 3, GL_FLOAT, GL_FALSE, mesh.stride, at(mesh.normalOffset));
    } else {
        glDisableVertexAttribArray(kNormalAttribute);
    }
    if (mesh.texCoordOffset >= 0) {
        glEnableVertexAttribArray(kTexCoordAttribute);
        glVertexAttribPointer(kTexCoordAttribute, 2, GL_FLOAT, GL_FALSE, mesh.stride, at(mesh.texCoordOffset));
    } else {
        glDisableVertexAttribArray(kTexCoordAttribute);
    }
}

void DrawMesh(const EsMesh& mesh) {
    glDrawElements(GL_TRIANGLES, mesh.indexCount, GL_UNSIGNED_SHORT, nullptr);
}

EsProgram Locate(GLuint name) {
    EsProgram p;
    p.name = name;
    if (name == 0) return p;
    p.modelView = glGetUniformLocation(name, "u_ModelViewMatrix");
    p.projection = glGetUniformLocation(name, "u_ProjectionMatrix");
    p.normalMatrix = glGetUniformLocation(name, "u_NormalMatrix");
    p.modelViewProjection = glGetUniformLocation(name, "u_ModelViewProjection");
    p.color = glGetUniformLocation(name, "u_Color");
    p.alphaRef = glGetUniformLocation(name, "u_AlphaRef");
    p.camera = glGetUniformLocation(name, "camera");
    p.factor = glGetUniformLocation(name, "factor");
    p.rotation = glGetUniformLocation(name, "rotation");
    p.bassline = glGetUniformLocation(name, "bassline");
    p.basslineIntensity = glGetUniformLocation(name, "basslineintensity");
    p.zoom = glGetUniformLocation(name, "zoom");
    glUseProgram(name);
    glUniform1i(glGetUniformLocation(name, "u_Unit0"), 0);
    glUniform1i(glGetUniformLocation(name, "u_Unit1"), 1);
    glUseProgram(0);
    return p;
}

class MeshSink final : public TorusStripSink {
public:
    void beginStrip() override { first = static_cast<std::uint16_t>(vertices.size() / 8); }
    void vertex(float s, float t, const TorusVertex& v) override {
        vertices.insert(vertices.end(), v.position, v.position + 3);
        vertices.insert(vertices.end(), v.normal, v.normal + 3);
        vertices.push_back(s);
        vertices.push_back(t);
    }
    void endStrip() override {
        const auto end = static_cast<std::uint16_t>(vertices.size() / 8);
        for (std::uint16_t v = first; v + 3 < end; v = static_cast<std::uint16_t>(v + 2)) AppendStripQuad(indices, v);
    }
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;

private:
    std::uint16_t first = 0;
};

}  // namespace

Es2View::Es2View(Gui* shell) : SceneView(shell) {}

Es2View::~Es2View() = default;

void Es2View::createRenderTarget() {
    glGenTextures(1, &targetTexture);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(targetWidth), static_cast<GLsizei>(targetHeight), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    // The camera's near plane sits at 0.001: 16 bits of depth cannot keep the
    // shells apart, nor the sky box (100 units out) in front of the cleared
    // depth, so 24 bits wherever the driver offers them: OES_depth24 on ES
    // drivers; WebGL 1, which has no such extension, has them in its packed
    // depth-stencil buffer, which an ES driver refuses by name.
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const bool depth24 = extensions != nullptr && std::strstr(extensions, "GL_OES_depth24") != nullptr;
    const auto width = static_cast<GLsizei>(targetWidth);
    const auto height = static_cast<GLsizei>(targetHeight);
    glGenRenderbuffers(1, &targetDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, targetDepth);
    bool packed = false;
    if (depth24) {
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24_OES, width, height);
    } else {
        for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {}
        glRenderbufferStorage(GL_RENDERBUFFER, kWebGlDepthStencil, width, height);
        packed = glGetError() == GL_NO_ERROR;
        if (!packed) glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &targetFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, targetTexture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, packed ? kWebGlDepthStencilAttachment : GL_DEPTH_ATTACHMENT,
                              GL_RENDERBUFFER, targetDepth);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Es2View::buildPrograms() {
    hair = Locate(CreateDerivedEsProgram(hairShellSource.text, hairShellSource.length, kHairFragment, "hair shell"));
    fishEye = Locate(CreateDerivedEsProgram(fishEyeSource.text, fishEyeSource.length, kScrollerFragment, "fish-eye"));
    sky = Locate(CreateEsProgram(kSkyVertex, kSkyFragment, "sky"));
    textured = Locate(CreateEsProgram(kTexturedVertex, kTexturedFragment, "final pass"));
}

void Es2View::buildTextures() {
    RandomGenerator generator;
    strandTexture = Upload2D(strandTextureBytes(generator), kNoiseTextureSize, kNoiseTextureSize);
    baseTexture = Upload2D(baseTextureBytes(generator), kNoiseTextureSize, kNoiseTextureSize);
    const LightList lights = SceneLights();
    const EnvironmentCrosses crosses = environmentCrossBytes(lights.positions, lights.colors);
    envCubeMap = UploadCube(crosses.environment);
    skyCubeMap = UploadCube(crosses.sky);
    fontTexture = Upload2D(scroller->fontBgra(), kFontAtlasWidth, kFontAtlasHeight);
}

void Es2View::buildMeshes() {
    TorusMesh shape{};
    MeshSink sink;
    TessellateTorus(shape, sink);
    torus = MakeMesh(sink.vertices, sink.indices, 8, 3, 6);

    std::vector<float> corners;
    std::vector<std::uint16_t> faces;
    for (const auto& face : kSkyFaces) {
        const auto first = static_cast<std::uint16_t>(corners.size() / 3);
        for (const int corner : face) corners.insert(corners.end(), kSkyCorners[corner], kSkyCorners[corner] + 3);
        const std::uint16_t two[6] = {first, static_cast<std::uint16_t>(first + 1), static_cast<std::uint16_t>(first + 2),
                                      first, static_cast<std::uint16_t>(first + 2), static_cast<std::uint16_t>(first + 3)};
        faces.insert(faces.end(), two, two + 6);
    }
    skyBox = MakeMesh(corners, faces, 3, -1, -1);

    std::vector<float> text;
    std::vector<std::uint16_t> strip;
    const std::int32_t count = scroller->glyphCount * 4;
    for (std::int32_t i = 0; i < count; ++i) {
        const GlyphVertex& v = scroller->quads[i];
        const float vertex[5] = {v.x, v.y, v.z, v.s, v.t};
        text.insert(text.end(), vertex, vertex + 5);
    }
    for (std::int32_t v = 0; v + 3 < count; v += 2) AppendStripQuad(strip, static_cast<std::uint16_t>(v));
    glyphs = MakeMesh(text, strip, 5, -1, 3);

    // The final pass's quad, corners in the desktop path's order.
    const std::vector<float> corners4 = {-1.0f, 1.0f, 0.0f, 1.0f, 1.0f,  -1.0f, -1.0f, 0.0f, 1.0f, 0.0f,
                                         1.0f,  -1.0f, 0.0f, 0.0f, 0.0f, 1.0f,  1.0f,  0.0f, 0.0f, 1.0f};
    quad = MakeMesh(corners4, {0, 1, 2, 0, 2, 3}, 5, -1, 3);
}

void Es2View::init() {
    targetWidth = gui->width / gui->multiply;
    targetHeight = gui->height / gui->multiply;
    createRenderTarget();
    buildPrograms();

    glEnable(GL_DEPTH_TEST);
    glClearDepthf(1.0f);
    glDepthFunc(GL_LESS);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    alphaRef = 0.1f;

    scroller->songSlot = songSlot;
    scroller->layoutText();
    buildTextures();
    buildMeshes();

    MusicStart(songSlot);
    SongPlay(*songSlot);
}

void Es2View::render(const FrameRecord& record) {
    glViewport(0, 0, static_cast<GLsizei>(targetWidth), static_cast<GLsizei>(targetHeight));
    glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const Matrix4 skyRotation = Rotate(Identity(), record.skyAngle, 0.2f, 0.5f, 0.4f);
    const float target[3] = {0.0f, 0.0f, 1.0f};
    const float up[3] = {0.0f, 1.0f, 0.0f};
    const Matrix4 projection =
        LookAt(Perspective(Identity(), 45.0, static_cast<double>(gui->width) / static_cast<double>(gui->height), 0.001,
                           500.0),
               camera, target, up);

    glDisable(GL_BLEND);
    drawSky(record, Multiply(projection, skyRotation));
    glEnable(GL_BLEND);
    drawShells(record, projection, skyRotation);
    drawScroller(record, projection);
    drawFinalPass();
}

void Es2View::drawSky(const FrameRecord& record, const Matrix4& modelViewProjection) {
    glDepthMask(GL_FALSE);
    glUseProgram(sky.name);
    glUniformMatrix4fv(sky.modelViewProjection, 1, GL_FALSE, modelViewProjection.m);
    const float b = record.skyBrightness;
    glUniform4f(sky.color, b, b, b, 1.0f);
    glUniform1f(sky.alphaRef, alphaRef);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skyCubeMap);
    BindMesh(skyBox);
    DrawMesh(skyBox);
    glDepthMask(GL_TRUE);
}

void Es2View::drawShells(const FrameRecord& record, const Matrix4& projection, const Matrix4& skyRotation) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    alphaRef = 0.1f;
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, envCubeMap);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, baseTexture);

    glUseProgram(hair.name);
    // The desktop path uploads the rotation transposed; ES takes it as is.
    glUniformMatrix4fv(hair.rotation, 1, GL_FALSE, Transpose(skyRotation).m);
    glUniform3fv(hair.camera, 1, camera);
    glUniformMatrix4fv(hair.projection, 1, GL_FALSE, projection.m);
    glUniform1f(hair.alphaRef, alphaRef);
    glUniform1f(hair.basslineIntensity, record.basslineIntensity);
    glUniform1f(hair.bassline, record.bassline);
    BindMesh(torus);
    for (int i = 0; i < kShellCount; ++i) {
        const ShellPose& pose = record.shells[i];
        const Matrix4 modelView = Rotate(Translate(Identity(), 0.0f, pose.y, pose.z), pose.swing, 1.0f, 1.0f, 0.0f);
        float normalMatrix[9];
        UpperLeft3x3(modelView, normalMatrix);
        glUniformMatrix4fv(hair.modelView, 1, GL_FALSE, modelView.m);
        glUniformMatrix3fv(hair.normalMatrix, 1, GL_FALSE, normalMatrix);
        glUniform1f(hair.factor, pose.factor);
        DrawMesh(torus);
        // The two innermost shells are the dense base; strands begin outside them.
        if (i == 1) glBindTexture(GL_TEXTURE_2D, strandTexture);
    }
}

void Es2View::drawScroller(const FrameRecord& record, const Matrix4& projection) {
    const ScrollerPose& pose = record.scroller;
    glUseProgram(fishEye.name);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    alphaRef = 0.01f;
    glDisable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    const Matrix4 modelView =
        Scale(Translate(Rotate(Identity(), pose.angle, 0.0f, 0.0f, 1.0f), pose.x, -1.0f, 9.0f), 25.0f, 20.0f, 0.0f);
    glUniformMatrix4fv(fishEye.modelView, 1, GL_FALSE, modelView.m);
    glUniformMatrix4fv(fishEye.projection, 1, GL_FALSE, projection.m);
    glUniform1f(fishEye.alphaRef, alphaRef);
    BindMesh(glyphs);
    for (int i = 0; i < pose.passes; ++i) {
        glUniform1f(fishEye.zoom, pose.zooms[i]);
        DrawMesh(glyphs);
    }
    glEnable(GL_CULL_FACE);
}

// Magnifies the target onto the window as one quad. The target is sampled
// only at its own size or larger, so it needs no mipmaps (which WebGL 1 would
// refuse for a size that is not a power of two).
void Es2View::drawFinalPass() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, static_cast<GLsizei>(gui->width), static_cast<GLsizei>(gui->height));
    const float eye[3] = {0.0f, 0.0f, -1.0f};
    const float center[3] = {0.0f, 0.0f, 0.0f};
    const float up[3] = {0.0f, 1.0f, 0.0f};
    const Matrix4 modelViewProjection =
        Multiply(Perspective(Identity(), 90.0, 1.0, 1.0, 100.0), LookAt(Identity(), eye, center, up));

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glUseProgram(textured.name);
    glUniformMatrix4fv(textured.modelViewProjection, 1, GL_FALSE, modelViewProjection.m);
    glUniform1f(textured.alphaRef, alphaRef);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, targetTexture);
    BindMesh(quad);
    DrawMesh(quad);
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
}
