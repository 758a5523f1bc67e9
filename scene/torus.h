#pragma once
#include <cstdint>

// Tessellation parameters; BuildTorus fills in the only supported values.
struct TorusMesh {
    std::uint32_t ringStep;  // degrees between rings around the main circle
    std::uint32_t tubeStep;  // degrees between points around the tube
    float majorRadius;
    float minorRadius;
};

struct TorusVertex {
    float position[3];
    float normal[3];
};

// Receives the torus as quad strips, one per band of the tube.
class TorusStripSink {
public:
    virtual void beginStrip() = 0;
    virtual void vertex(float s, float t, const TorusVertex& vertex) = 0;
    virtual void endStrip() = 0;

protected:
    ~TorusStripSink() = default;
};

// Sets the mesh to 24 rings of 36 points (radii 3.0 and 1.5, lying around the
// z axis) and emits 36 strips of 50 vertices, wound counter-clockwise seen
// from outside. The closing ring has s = 1.0 and the closing band t = 1.0.
void TessellateTorus(TorusMesh& mesh, TorusStripSink& sink);

// TessellateTorus as GL immediate-mode quad strips, for a display list the
// caller has opened.
void BuildTorus(TorusMesh& mesh);
