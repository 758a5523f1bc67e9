#include "tests/reference/differential.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/programs.h"

namespace reference {
namespace {

std::uint32_t Little32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The samples of a 16-bit stereo WAV file's data chunk.
bool ReadWav(const std::string& path, std::vector<std::int16_t>* frames) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 12) return false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::uint32_t size = Little32(bytes, at + 4);
        if (bytes[at] == 'f' && bytes[at + 1] == 'm' && bytes[at + 2] == 't' && size >= 16) {
            std::uint32_t channels = bytes[at + 10] | bytes[at + 11] << 8;
            std::uint32_t bits = bytes[at + 22] | bytes[at + 23] << 8;
            if (channels != 2 || bits != 16) return false;
        }
        if (bytes[at] == 'd' && bytes[at + 1] == 'a' && bytes[at + 2] == 't' && bytes[at + 3] == 'a') {
            std::size_t count = std::min<std::size_t>(size, bytes.size() - at - 8) / 2;
            frames->resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                std::size_t b = at + 8 + 2 * i;
                (*frames)[i] = static_cast<std::int16_t>(bytes[b] | bytes[b + 1] << 8);
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

std::string ProgramOf(Renderer renderer) {
    switch (renderer) {
        case Renderer::OursTracker:
        case Renderer::OursIntro:
            return XM2WAV_PATH;
        case Renderer::Openmpt:
            return FindProgram("openmpt123");
        case Renderer::Xmp:
            return FindProgram("xmp");
    }
    return "";
}

// 44100 Hz, linear interpolation, full stereo separation, one pass.
std::string Command(Renderer renderer, const std::string& program, const std::string& module,
                    const std::string& wav) {
    switch (renderer) {
        case Renderer::OursTracker:
            return program + " -q --style tracker -o " + wav + " " + module;
        case Renderer::OursIntro:
            return program + " -q --style intro -o " + wav + " " + module;
        case Renderer::Openmpt:
            // It writes MODULE.wav beside the module.
            return program + " --quiet --force --render --no-float --samplerate 44100 --filter 2 "
                             "--stereo 100 --dither 0 " + module + " >/dev/null 2>&1";
        case Renderer::Xmp:
            return program + " --quiet --nocmd -f 44100 -i linear -P 100 -o " + wav + " " +
                   module + " >/dev/null 2>&1";
    }
    return "";
}

}  // namespace

const char* RendererName(Renderer renderer) {
    switch (renderer) {
        case Renderer::OursTracker: return "xm2wav (tracker style)";
        case Renderer::OursIntro: return "xm2wav (intro style)";
        case Renderer::Openmpt: return "openmpt123";
        case Renderer::Xmp: return "xmp";
    }
    return "";
}

bool Installed(Renderer renderer) {
    return !ProgramOf(renderer).empty();
}

bool Render(Renderer renderer, const xm::Module& module, const std::string& name,
            std::vector<std::int16_t>* frames) {
    std::string program = ProgramOf(renderer);
    if (program.empty()) return false;
    // Renders run side by side under ctest: every file is named after its
    // behaviour, its renderer and this process.
    std::string stem = TempDir() + "reference_" + name + "_" + std::to_string(static_cast<int>(renderer)) +
                       "_" + std::to_string(getpid());
    std::string path = stem + ".xm";
    std::vector<std::uint8_t> bytes = xm::Write(module);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    std::string wav = renderer == Renderer::Openmpt ? path + ".wav" : stem + ".wav";
    int status = std::system(Command(renderer, program, path, wav).c_str());
    bool ok = status == 0 && ReadWav(wav, frames);
    // openmpt123 renders a tenth of a second past the song's end.
    const std::size_t tail = 2 * 4410;
    if (ok && renderer == Renderer::Openmpt && frames->size() > tail) frames->resize(frames->size() - tail);
    std::remove(path.c_str());
    std::remove(wav.c_str());
    return ok;
}

double Level(const std::vector<std::int16_t>& frames) {
    if (frames.empty()) return 0.0;
    double squares = 0.0;
    for (std::int16_t v : frames) squares += static_cast<double>(v) * v;
    return std::sqrt(squares / static_cast<double>(frames.size()));
}

double Correlation(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b,
                   int maxLag) {
    // Both padded with silence to the longer length.
    const std::int64_t n = static_cast<std::int64_t>(std::max(a.size(), b.size()));
    if (n == 0) return 1.0;
    auto moments = [n](const std::vector<std::int16_t>& s, double* mean, double* deviation) {
        double sum = 0.0;
        double squares = 0.0;
        for (std::int16_t v : s) {
            sum += v;
            squares += static_cast<double>(v) * v;
        }
        *mean = sum / static_cast<double>(n);
        *deviation = std::sqrt(std::max(squares / static_cast<double>(n) - *mean * *mean, 0.0));
    };
    double meanA, deviationA, meanB, deviationB;
    moments(a, &meanA, &deviationA);
    moments(b, &meanB, &deviationB);
    if (deviationA == 0.0 || deviationB == 0.0) return deviationA == deviationB ? 1.0 : 0.0;
    const std::int64_t sizeA = static_cast<std::int64_t>(a.size());
    const std::int64_t sizeB = static_cast<std::int64_t>(b.size());
    double best = -1.0;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        // b is read 2 x lag samples (lag frames) ahead of a.
        const std::int64_t shift = std::int64_t{2} * lag;
        const std::int64_t first = std::max<std::int64_t>(0, -shift);
        const std::int64_t last = std::min(sizeA, sizeB - shift);
        double sum = 0.0;
        for (std::int64_t i = first; i < last; ++i) {
            sum += static_cast<double>(a[static_cast<std::size_t>(i)]) * b[static_cast<std::size_t>(i + shift)];
        }
        const double r = (sum / static_cast<double>(n) - meanA * meanB) / (deviationA * deviationB);
        if (r > best) best = r;
    }
    return best;
}

}  // namespace reference
