// How closely xm2wav's two playback styles follow the format's reference
// player over the generated behaviour modules, with xmp beside them.
// With --intro-checksums: a checksum of each module's intro-style render.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tests/reference/behaviours.h"
#include "tests/reference/differential.h"

using reference::Renderer;

namespace {

constexpr int kMaxLagFrames = 300;

struct Sum {
    double total = 0.0;
    double lowest = 1.0;
    int count = 0;
    void add(double value) {
        total += value;
        if (value < lowest) lowest = value;
        ++count;
    }
};

// One line per behaviour with a checksum of its intro-style render, for
// checking that a change to the tracker style left the intro's playback alone.
int PrintIntroChecksums() {
    for (const reference::Behaviour& behaviour : reference::Behaviours()) {
        std::vector<std::int16_t> frames;
        if (!reference::Render(Renderer::OursIntro, behaviour.build(), behaviour.name, &frames)) {
            std::printf("%s render failed\n", behaviour.name);
            return 1;
        }
        std::uint64_t hash = 14695981039346656037ull;
        for (std::int16_t v : frames) {
            hash = (hash ^ static_cast<std::uint16_t>(v)) * 1099511628211ull;
        }
        std::printf("%s %016llx\n", behaviour.name, static_cast<unsigned long long>(hash));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--intro-checksums") == 0) return PrintIntroChecksums();
    if (!reference::Installed(Renderer::Openmpt)) {
        std::printf("fidelity against openmpt123: not installed, no comparison\n");
        return 0;
    }
    const Renderer compared[] = {Renderer::OursTracker, Renderer::OursIntro, Renderer::Xmp};
    Sum sums[3];
    for (const reference::Behaviour& behaviour : reference::Behaviours()) {
        xm::Module module = behaviour.build();
        std::vector<std::int16_t> theirs;
        if (!reference::Render(Renderer::Openmpt, module, behaviour.name, &theirs)) {
            std::printf("  fidelity of %s: openmpt123 failed\n", behaviour.name);
            continue;
        }
        double values[3] = {-1.0, -1.0, -1.0};
        for (int r = 0; r < 3; ++r) {
            std::vector<std::int16_t> ours;
            if (!reference::Render(compared[r], module, behaviour.name, &ours)) continue;
            values[r] = reference::Correlation(theirs, ours, kMaxLagFrames);
            sums[r].add(values[r]);
        }
        std::printf("  fidelity of %s: tracker style %.4f, intro style %.4f, xmp %.4f\n", behaviour.name,
                    values[0], values[1], values[2]);
    }
    const char* labels[3] = {"tracker style", "intro style", "xmp"};
    for (int r = 0; r < 3; ++r) {
        if (sums[r].count == 0) continue;
        std::printf("fidelity against openmpt123, %s: mean %.4f correlation (%d generated behaviours, lowest %.4f)\n",
                    labels[r], sums[r].total / sums[r].count, sums[r].count, sums[r].lowest);
    }
    return 0;
}
