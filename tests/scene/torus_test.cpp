#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene/torus.h"

namespace {

struct Emitted {
    float s;
    float t;
    TorusVertex v;
};

class Recorder final : public TorusStripSink {
public:
    void beginStrip() override {
        EXPECT_FALSE(open);
        open = true;
        strips.emplace_back();
    }
    void vertex(float s, float t, const TorusVertex& v) override {
        ASSERT_TRUE(open);
        strips.back().push_back(Emitted{s, t, v});
    }
    void endStrip() override {
        EXPECT_TRUE(open);
        open = false;
    }

    bool open = false;
    std::vector<std::vector<Emitted>> strips;
};

class Torus : public ::testing::Test {
protected:
    void SetUp() override {
        mesh = TorusMesh{99, 99, 0.0f, 0.0f};
        TessellateTorus(mesh, recorder);
    }
    TorusMesh mesh;
    Recorder recorder;
};

bool samePosition(const TorusVertex& a, const TorusVertex& b) {
    return a.position[0] == b.position[0] && a.position[1] == b.position[1] &&
           a.position[2] == b.position[2];
}

TEST_F(Torus, ThirtySixStripsOfFiftyVertices) {
    EXPECT_EQ(mesh.ringStep, 15u);
    EXPECT_EQ(mesh.tubeStep, 10u);
    EXPECT_EQ(mesh.majorRadius, 3.0f);
    EXPECT_EQ(mesh.minorRadius, 1.5f);
    ASSERT_EQ(recorder.strips.size(), 36u);
    std::size_t total = 0;
    for (const auto& strip : recorder.strips) {
        EXPECT_EQ(strip.size(), 50u);
        total += strip.size();
    }
    EXPECT_EQ(total, 1800u);
    EXPECT_FALSE(recorder.open);
}

TEST_F(Torus, VerticesLieOnTheTubeWithOutwardUnitNormals) {
    for (const auto& strip : recorder.strips) {
        for (const Emitted& e : strip) {
            const float* p = e.v.position;
            const float* n = e.v.normal;
            const double ring = std::hypot(p[0], p[1]);
            const double fromCentre = std::hypot(ring - 3.0, p[2]);
            EXPECT_NEAR(fromCentre, 1.5, 1e-5);
            EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-6);
            // The normal points from the tube's centre line to the vertex.
            const double cx = 3.0 * p[0] / ring;
            const double cy = 3.0 * p[1] / ring;
            EXPECT_NEAR((p[0] - cx) / 1.5, n[0], 1e-5);
            EXPECT_NEAR((p[1] - cy) / 1.5, n[1], 1e-5);
            EXPECT_NEAR(p[2] / 1.5, n[2], 1e-5);
        }
    }
    // Ring 0 starts at +y; tube point 0 sits on top of the tube (+z).
    const TorusVertex& first = recorder.strips[0][1].v;
    EXPECT_NEAR(first.position[0], 0.0, 1e-6);
    EXPECT_NEAR(first.position[1], 3.0, 1e-6);
    EXPECT_NEAR(first.position[2], 1.5, 1e-6);
}

TEST_F(Torus, TextureCoordinatesCloseAtExactlyOne) {
    for (std::size_t k = 0; k < recorder.strips.size(); ++k) {
        const auto& strip = recorder.strips[k];
        for (std::size_t l = 0; l <= 24; ++l) {
            const Emitted& a = strip[2 * l];
            const Emitted& b = strip[2 * l + 1];
            const float s = l == 24 ? 1.0f : static_cast<float>(l * 15) / 360.0f;
            EXPECT_EQ(a.s, s);
            EXPECT_EQ(b.s, s);
            EXPECT_EQ(b.t, static_cast<float>(k * 10) / 360.0f);
            EXPECT_EQ(a.t, k == 35 ? 1.0f : static_cast<float>((k + 1) * 10) / 360.0f);
        }
        // The closing step reuses ring 0's points.
        EXPECT_TRUE(samePosition(strip[48].v, strip[0].v));
        EXPECT_TRUE(samePosition(strip[49].v, strip[1].v));
    }
    // Neighbouring bands share their edge; the last band closes onto the first.
    for (std::size_t k = 0; k < 36; ++k) {
        const auto& band = recorder.strips[k];
        const auto& next = recorder.strips[(k + 1) % 36];
        for (std::size_t l = 0; l <= 24; ++l)
            EXPECT_TRUE(samePosition(band[2 * l].v, next[2 * l + 1].v)) << k << "," << l;
    }
}

TEST_F(Torus, QuadsWindCounterClockwiseSeenFromOutside) {
    int checked = 0;
    for (const auto& strip : recorder.strips) {
        // Quad l is vertices 2l, 2l+1, 2l+3, 2l+2; its first triangle is 2l, 2l+1, 2l+2.
        for (std::size_t l = 0; l < 24; ++l) {
            const float* a = strip[2 * l].v.position;
            const float* b = strip[2 * l + 1].v.position;
            const float* c = strip[2 * l + 2].v.position;
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
            const double face[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                    u[0] * w[1] - u[1] * w[0]};
            const float* n = strip[2 * l].v.normal;
            EXPECT_GT(face[0] * n[0] + face[1] * n[1] + face[2] * n[2], 0.0);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 36 * 24);
}

}  // namespace
