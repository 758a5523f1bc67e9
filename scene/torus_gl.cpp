#include "scene/torus.h"
#include "shell/gl_headers.h"

namespace {

class GlStripSink final : public TorusStripSink {
public:
    void beginStrip() override { glBegin(GL_QUAD_STRIP); }
    void vertex(float s, float t, const TorusVertex& v) override {
        glTexCoord2f(s, t);
        glNormal3fv(v.normal);
        glVertex3fv(v.position);
    }
    void endStrip() override { glEnd(); }
};

}  // namespace

void BuildTorus(TorusMesh& mesh) {
    GlStripSink sink;
    TessellateTorus(mesh, sink);
}
