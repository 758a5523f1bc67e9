#include "scene/torus.h"

#include <cmath>
#include <vector>


namespace {

constexpr std::uint32_t kRings = 24;
constexpr std::uint32_t kTubePoints = 36;

double toRadians(std::uint32_t degrees) {
    const double pi = 3.1415927f;
    return static_cast<float>(static_cast<double>(degrees) / 360.0 * pi * 2.0);
}

}  // namespace

void TessellateTorus(TorusMesh& mesh, TorusStripSink& sink) {
    mesh.ringStep = 15;
    mesh.tubeStep = 10;
    mesh.majorRadius = 3.0f;
    mesh.minorRadius = 1.5f;
    const float bigR = mesh.majorRadius;
    const float smallR = mesh.minorRadius;

    // Ring-major grid; the s of each ring and the t of each tube point are
    // kept apart so the closing strip can substitute 1.0 for them.
    std::vector<TorusVertex> grid(kRings * kTubePoints);
    float ringS[kRings];
    float pointT[kTubePoints];
    for (std::uint32_t i = 0; i < kRings; ++i) {
        const std::uint32_t u = i * mesh.ringStep;
        const double ur = toRadians(u);
        const float su = static_cast<float>(std::sin(ur));
        const float cu = static_cast<float>(std::cos(ur));
        ringS[i] = static_cast<float>(u) / 360.0f;
        for (std::uint32_t j = 0; j < kTubePoints; ++j) {
            const std::uint32_t v = j * mesh.tubeStep;
            const double vr = toRadians(v);
            const float sv = static_cast<float>(std::sin(vr));
            const float cv = static_cast<float>(std::cos(vr));
            pointT[j] = static_cast<float>(v) / 360.0f;
            const float reach = bigR + smallR * sv;
            TorusVertex& p = grid[i * kTubePoints + j];
            p.position[0] = reach * su;
            p.position[1] = reach * cu;
            p.position[2] = smallR * cv;
            p.normal[0] = sv * su;
            p.normal[1] = sv * cu;
            p.normal[2] = cv;
        }
    }

    for (std::uint32_t k = 1; k <= kTubePoints; ++k) {
        const std::uint32_t b = k < kTubePoints ? k : 0;
        const float tB = k < kTubePoints ? pointT[b] : 1.0f;
        sink.beginStrip();
        for (std::uint32_t l = 0; l <= kRings; ++l) {
            const std::uint32_t ring = l < kRings ? l : 0;
            const float s = l < kRings ? ringS[ring] : 1.0f;
            sink.vertex(s, tB, grid[ring * kTubePoints + b]);
            sink.vertex(s, pointT[k - 1], grid[ring * kTubePoints + k - 1]);
        }
        sink.endStrip();
    }
}
