// How many times faster than real time xm2wav renders, and how that compares
// with the other module renderers found on this machine.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/replayer/test_modules.h"
#include "tools/xmwriter/xm_writer.h"

namespace {

constexpr int kRuns = 5;
constexpr int kRate = 44100;

std::string TempDir() {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/";
}

// The directory on PATH holding a program, or an empty string.
std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return "";
    std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string candidate = list.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

long FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? static_cast<long>(in.tellg()) : -1;
}

// Median wall-clock seconds of a command over several runs; negative if it fails.
double MedianSeconds(const std::string& command) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        auto start = std::chrono::steady_clock::now();
        int status = std::system(command.c_str());
        auto stop = std::chrono::steady_clock::now();
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
        times.push_back(std::chrono::duration<double>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Renderer {
    const char* name;
    std::string program;
    // The command rendering a module to a 44100 Hz 16-bit WAV file with
    // linear interpolation.
    std::string (*command)(const std::string& program, const std::string& module,
                           const std::string& wav);
};

std::string OurCommand(const std::string& program, const std::string& module,
                       const std::string& wav) {
    return program + " -q -r 44100 -o " + wav + " " + module;
}

std::string OpenmptCommand(const std::string& program, const std::string& module,
                           const std::string& wav) {
    // It writes MODULE.wav next to the module.
    (void)wav;
    return program + " --quiet --force --render --samplerate 44100 --filter 2 " + module +
           " >/dev/null 2>&1";
}

std::string XmpCommand(const std::string& program, const std::string& module,
                       const std::string& wav) {
    return program + " --quiet --nocmd -f 44100 -i linear -o " + wav + " " + module +
           " >/dev/null 2>&1";
}

void Measure(const char* label, const std::string& module) {
    std::string wav = TempDir() + "bench_xm2wav.wav";
    Renderer ours{"xm2wav", XM2WAV_PATH, OurCommand};
    double ourSeconds = MedianSeconds(ours.command(ours.program, module, wav));
    long bytes = FileSize(wav);
    if (ourSeconds <= 0.0 || bytes <= 44) {
        std::printf("xm2wav %s: render failed\n", label);
        return;
    }
    double audioSeconds = static_cast<double>(bytes - 44) / 4.0 / kRate;
    std::printf("xm2wav %s: median %.1f x real time (%.1f s of music in %.3f s, %d runs)\n", label,
                audioSeconds / ourSeconds, audioSeconds, ourSeconds, kRuns);

    const Renderer others[] = {
        {"openmpt123", FindProgram("openmpt123"), OpenmptCommand},
        {"xmp", FindProgram("xmp"), XmpCommand},
    };
    for (const Renderer& other : others) {
        if (other.program.empty()) {
            std::printf("  %s: not installed, no comparison\n", other.name);
            continue;
        }
        double seconds = MedianSeconds(other.command(other.program, module, wav));
        if (seconds <= 0.0) {
            std::printf("  %s: render failed, no comparison\n", other.name);
            continue;
        }
        std::printf("  %s: %.3f s; xm2wav is %.2f times as fast\n", other.name, seconds,
                    seconds / ourSeconds);
    }
    std::remove(wav.c_str());
}

}  // namespace

int main() {
    std::string intro = INTRO_SONG_XM;
    if (!intro.empty() && FileSize(intro) > 0) Measure("intro song", intro);

    std::string busy = TempDir() + "bench_xm2wav_busy.xm";
    std::vector<std::uint8_t> bytes = xm::Write(replayer_test::BusyModule(32, 40));
    std::ofstream(busy, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    Measure("32 busy channels", busy);
    std::remove(busy.c_str());
    return 0;
}
