// xm2wav against the other module renderers found on this machine: the CPU
// time (user + system) each needs for one pass through the same modules, at
// 44100 Hz, 16-bit stereo, with linear interpolation, and how many times as
// fast xm2wav is as the faster of the others. Every renderer writes raw PCM
// to standard output, which goes to /dev/null, so that the file system's
// time is nobody's.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/song_like.h"
#include "tests/support/programs.h"
#include "tools/xmwriter/xm_writer.h"

namespace {

constexpr int kRuns = 7;
constexpr int kRate = 44100;
// About 7 seconds of music per order.
constexpr int kSongOrders = 12;
constexpr int kChannelCounts[] = {8, 16, 32};

struct Run {
    bool ok;
    double cpuSeconds;  // user + system of the renderer alone
    long long bytes;    // of its output, when counted
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; }

// Runs the command without a shell. Its output is counted through a pipe, or
// thrown away into /dev/null when not counted, which costs it nothing.
Run RunOnce(const std::vector<std::string>& command, bool count) {
    int pipeEnds[2] = {-1, -1};
    if (count && pipe(pipeEnds) != 0) return {false, 0.0, 0};
    const pid_t child = fork();
    if (child < 0) return {false, 0.0, 0};
    if (child == 0) {
        const int sink = open("/dev/null", O_WRONLY);
        dup2(count ? pipeEnds[1] : sink, STDOUT_FILENO);
        dup2(sink, STDERR_FILENO);
        if (count) {
            close(pipeEnds[0]);
            close(pipeEnds[1]);
        }
        std::vector<char*> argv;
        for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    long long bytes = 0;
    if (count) {
        close(pipeEnds[1]);
        char buffer[1 << 16];
        ssize_t n;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) bytes += n;
        close(pipeEnds[0]);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {false, 0.0, 0};
    }
    return {true, Seconds(usage.ru_utime) + Seconds(usage.ru_stime), bytes};
}

struct Timing {
    bool ok;
    double cpuSeconds;    // median over the runs
    double audioSeconds;  // of 44100 Hz 16-bit stereo output
};

// One counted run of each command for its output's length, then rounds in
// which each command runs once, so that a change in the machine's load
// falls on all of them alike.
std::vector<Timing> MeasureTogether(const std::vector<std::vector<std::string>>& commands) {
    std::vector<Timing> timings;
    for (const std::vector<std::string>& command : commands) {
        const Run counted = RunOnce(command, true);
        const bool ok = counted.ok && counted.bytes > 0;
        timings.push_back({ok, 0.0, ok ? static_cast<double>(counted.bytes) / 4.0 / kRate : 0.0});
    }
    std::vector<std::vector<double>> times(commands.size());
    for (int run = 0; run < kRuns; ++run) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            if (!timings[i].ok) continue;
            const Run r = RunOnce(commands[i], false);
            if (r.ok) times[i].push_back(r.cpuSeconds);
            else timings[i].ok = false;
        }
    }
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (!timings[i].ok) continue;
        std::sort(times[i].begin(), times[i].end());
        timings[i].cpuSeconds = times[i][times[i].size() / 2];
    }
    return timings;
}

struct Peer {
    const char* name;
    std::string program;
    std::vector<std::string> (*command)(const std::string& program, const std::string& module);
};

std::vector<std::string> XmpCommand(const std::string& program, const std::string& module) {
    return {program, "--quiet", "--nocmd", "--norc", "-f", "44100", "-i", "linear", "-o", "-", module};
}

std::vector<std::string> OpenmptCommand(const std::string& program, const std::string& module) {
    // 16-bit integers without dither; --filter 2 is linear interpolation.
    return {program,  "--quiet",    "--batch", "--stdout", "--no-float", "--dither", "0",
            "--samplerate", "44100", "--filter", "2",        module};
}

// The playback styles xm2wav offers, when its help names them; otherwise the
// one it has.
std::vector<std::string> Styles() {
    const std::string help = TempDir() + "bench_xm2wav_help.txt";
    const std::string command = std::string(XM2WAV_PATH) + " --help > " + help + " 2>&1";
    std::vector<std::string> styles;
    if (std::system(command.c_str()) == 0) {
        std::ifstream in(help);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (text.find("--style") != std::string::npos) styles = {"tracker", "intro"};
    }
    std::remove(help.c_str());
    if (styles.empty()) styles.push_back("");
    return styles;
}

// Prints, for one module: each peer's time, xm2wav's time in each style, and
// xm2wav's speed as a multiple of the faster peer's.
void Compare(const std::string& label, const std::string& module, const std::vector<Peer>& peers,
             const std::vector<std::string>& styles) {
    std::vector<std::vector<std::string>> commands;
    std::vector<std::string> names;
    for (const Peer& peer : peers) {
        if (peer.program.empty()) {
            std::printf("%s %s: not installed, no comparison\n", peer.name, label.c_str());
            continue;
        }
        commands.push_back(peer.command(peer.program, module));
        names.push_back(peer.name);
    }
    const std::size_t peerCount = commands.size();
    for (const std::string& style : styles) {
        std::vector<std::string> command = {XM2WAV_PATH, "-q", "-r", "44100", "-o", "-"};
        if (!style.empty()) {
            command.push_back("--style");
            command.push_back(style);
        }
        command.push_back(module);
        commands.push_back(command);
        names.push_back(style.empty() ? label : label + ", " + style + " style");
    }
    const std::vector<Timing> timings = MeasureTogether(commands);

    double fastest = 0.0;
    std::string fastestName;
    for (std::size_t i = 0; i < peerCount; ++i) {
        const Timing& t = timings[i];
        if (!t.ok) {
            std::printf("%s %s: render failed, no comparison\n", names[i].c_str(), label.c_str());
            continue;
        }
        std::printf("%s %s: %.3f s CPU (%.1f s of music, user + system, median of %d runs)\n", names[i].c_str(),
                    label.c_str(), t.cpuSeconds, t.audioSeconds, kRuns);
        if (fastestName.empty() || t.cpuSeconds < fastest) {
            fastest = t.cpuSeconds;
            fastestName = names[i];
        }
    }
    for (std::size_t i = peerCount; i < commands.size(); ++i) {
        const Timing& t = timings[i];
        const char* ours = names[i].c_str();
        if (!t.ok) {
            std::printf("xm2wav %s: render failed\n", ours);
            continue;
        }
        std::printf("xm2wav %s: %.3f s CPU (%.1f s of music, %.0f x real time, user + system, median of %d runs)\n",
                    ours, t.cpuSeconds, t.audioSeconds, t.audioSeconds / t.cpuSeconds, kRuns);
        if (!fastestName.empty()) {
            std::printf("xm2wav vs faster peer %s: %.2f times as fast (%s takes %.3f s, xm2wav %.3f s)\n", ours,
                        fastest / t.cpuSeconds, fastestName.c_str(), fastest, t.cpuSeconds);
        }
    }
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string SongPath(const std::string& folder, int channels) {
    return folder + "bench_xm2wav_song_" + std::to_string(channels) + "ch.xm";
}

}  // namespace

// With --write FOLDER, only writes the song-shaped modules there (for timing
// or profiling a renderer by hand) and ends.
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write") {
        for (int channels : kChannelCounts) {
            WriteFile(SongPath(std::string(argv[2]) + "/", channels),
                      xm::Write(bench_songs::SongLike(channels, kSongOrders, static_cast<unsigned>(channels))));
        }
        return 0;
    }
    const std::vector<Peer> peers = {
        {"openmpt123", FindProgram("openmpt123"), OpenmptCommand},
        {"xmp", FindProgram("xmp"), XmpCommand},
    };
    const std::vector<std::string> styles = Styles();

    const std::string intro = INTRO_SONG_XM;
    if (!intro.empty() && access(intro.c_str(), R_OK) == 0) Compare("intro song", intro, peers, styles);

    for (int channels : kChannelCounts) {
        const std::string module = SongPath(TempDir(), channels);
        WriteFile(module, xm::Write(bench_songs::SongLike(channels, kSongOrders, static_cast<unsigned>(channels))));
        Compare("song-shaped, " + std::to_string(channels) + " channels", module, peers, styles);
        std::remove(module.c_str());
    }
    return 0;
}
