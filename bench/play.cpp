// quillon-play in real time on the null sink of a private sound server: the
// share of one core the player takes while it plays a module of 32 busy
// channels, and how long a key's effect takes to be heard, read from the
// sink's monitor (the first 10 ms recorded with the new sound, or with none).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_runner.h"
#include "music/player.h"
#include "tools/xmwriter/xm_writer.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int32_t kRate = 44100;
constexpr int kChannels = 32;
constexpr int kCpuRounds = 3;
constexpr auto kCpuRound = std::chrono::seconds(4);
constexpr int kKeyPresses = 10;
// The sound server takes a while to settle into its pace after a stream opens.
constexpr auto kSettle = std::chrono::milliseconds(2500);

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A 16-bit saw of 1000 frames, looped whole: a steady tone on any note.
xm::Sample LoopedSaw() {
    xm::Sample saw;
    saw.sixteenBit = true;
    for (int i = 0; i < 1000; ++i) saw.frames.push_back(static_cast<std::int16_t>(i * 60 - 30000));
    saw.loop = xm::Loop::Forward;
    saw.loopLength = 1000;
    return saw;
}

// Every channel holds a looped saw at its own pitch from the first row, over
// two orders of one pattern; volume slides on every row keep the ramps busy.
std::vector<std::uint8_t> BusyModule() {
    xm::Module module;
    module.name = "busy channels";
    module.channels = kChannels;
    module.flags = 1;
    module.orders = {0, 0};
    module.instruments = {xm::InstrumentOf({LoopedSaw()})};
    xm::Pattern pattern;
    pattern.rows = 64;
    for (int c = 0; c < kChannels; ++c) {
        pattern.at(0, c, kChannels) = xm::Cell{static_cast<std::uint8_t>(25 + c), 1, 0x30, 0, 0};
        for (int row = 1; row < 64; ++row) {
            // Down for eight rows, up for eight.
            pattern.at(row, c, kChannels).effect = 0x0A;
            pattern.at(row, c, kChannels).parameter = (row / 8) % 2 ? 0x20 : 0x02;
        }
    }
    module.patterns.push_back(pattern);
    return xm::Write(module);
}

// CPU seconds over wall seconds of a quillon-play child left to play.
double PlayerCpuShare(const std::string& file) {
    const char* args[] = {PLAY_PATH, "-q", "--loop", file.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t child = -1;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&child, PLAY_PATH, &actions, nullptr, const_cast<char**>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1.0;
    std::this_thread::sleep_for(kCpuRound);
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    // A player that quit early (no device) would look cheap.
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 130) return -1.0;
    return 100.0 * cpu / wall;
}

// The sink's monitor, 10 ms at a time: the peak of each with the moment it
// arrived (the recorder asks for 10 ms of latency).
class Monitor {
public:
    Monitor() {
        // Its complaint when the pipe closes under it is no figure.
        pipe_ = popen("exec parec -d ci.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=10 "
                      "2>/dev/null",
                      "r");
        if (pipe_) reader_ = std::thread([this] { read(); });
    }
    ~Monitor() {
        stop_ = true;
        if (pipe_) {
            reader_.join();
            pclose(pipe_);
        }
    }
    // Milliseconds from the key to the first chunk that arrived with (or
    // without) sound, or -1 within 3 s.
    double until(Clock::time_point pressed, bool sound) const {
        std::size_t seen = 0;
        while (Clock::now() - pressed < std::chrono::seconds(3)) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (; seen < chunks_.size(); ++seen) {
                    const Chunk& c = chunks_[seen];
                    if (c.at > pressed && (c.peak >= kSoundPeak) == sound) return Ms(c.at - pressed);
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return -1.0;
    }

private:
    static constexpr int kSoundPeak = 100;
    struct Chunk {
        Clock::time_point at;
        int peak;
    };

    void read() {
        std::int16_t samples[kRate / 100 * 2];
        while (!stop_ && std::fread(samples, sizeof samples, 1, pipe_) == 1) {
            int peak = 0;
            for (const std::int16_t v : samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
            std::lock_guard<std::mutex> lock(mutex_);
            chunks_.push_back({Clock::now(), peak});
        }
    }

    std::FILE* pipe_ = nullptr;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Chunk> chunks_;
};

// Four held saws, then an order of silence: moving to it is heard as the
// sound ending, moving back as the sound starting.
std::vector<std::uint8_t> SoundThenSilenceModule() {
    xm::Module module;
    module.name = "sound, silence";
    module.channels = 4;
    module.orders = {0, 1};
    module.instruments = {xm::InstrumentOf({LoopedSaw()})};
    xm::Pattern sound;
    for (int c = 0; c < module.channels; ++c)
        sound.at(0, c, module.channels) = xm::Cell{static_cast<std::uint8_t>(37 + 4 * c), 1, 0, 0, 0};
    module.patterns = {sound, xm::Pattern{}};
    return xm::Write(module);
}

bool KeyDelays() {
    const std::vector<std::uint8_t> bytes = SoundThenSilenceModule();
    Song* song = SongLoadMemory(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (!song || !AudioOpen(kRate)) {
        std::fprintf(stderr, "bench_play: no sound device\n");
        return false;
    }
    Monitor monitor;
    SongSetPlaybackStyle(song, PlaybackStyle::Tracker);
    SongPlay(song);
    std::this_thread::sleep_for(kSettle);
    std::vector<double> seek, resume, pause;
    for (int i = 0; i < kKeyPresses; ++i) {
        const Clock::time_point pressed = Clock::now();
        const std::int32_t order = (i + 1) % 2;
        SongPlayFromOrder(song, order);
        const double heard = monitor.until(pressed, order == 0);
        if (order == 0) seek.push_back(heard);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    for (int i = 0; i < kKeyPresses; ++i) {
        Clock::time_point pressed = Clock::now();
        SongPause(true);
        pause.push_back(monitor.until(pressed, false));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pressed = Clock::now();
        SongPause(false);
        resume.push_back(monitor.until(pressed, true));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    SongStop(song);
    SongFree(song);
    AudioClose();
    const char* how = "from the key to the first 10 ms of the sink's monitor with the new sound";
    PrintFigure("quillon-play key to the sound of another order", seek, "ms", how);
    PrintFigure("quillon-play key to sound again after a pause", resume, "ms", how);
    PrintFigure("quillon-play key to silence", pause, "ms", "pause: to the first 10 ms of the monitor without sound");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // The figures come from a private sound server, whatever this machine has.
    if (!std::getenv("QUILLON_BENCH_ON_NULL_SINK")) {
        setenv("QUILLON_BENCH_ON_NULL_SINK", "1", 1);
        std::vector<char*> args{const_cast<char*>(NULL_SINK_SCRIPT), argv[0]};
        for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
        args.push_back(nullptr);
        execv(NULL_SINK_SCRIPT, args.data());
        std::perror("bench_play: cannot start the sound server script");
        return 1;
    }
    const std::vector<std::uint8_t> bytes = BusyModule();
    char path[] = "/tmp/bench_play_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return 1;
    close(fd);

    std::vector<double> shares;
    for (int round = 0; round < kCpuRounds; ++round) {
        const double share = PlayerCpuShare(path);
        if (share >= 0.0) shares.push_back(share);
    }
    unlink(path);
    if (shares.empty()) {
        std::fprintf(stderr, "bench_play: quillon-play did not play\n");
        return 1;
    }
    PrintFigure("quillon-play CPU share, 32 busy channels", shares, "% of one core",
                "4 s of real-time play on a null sink, getrusage of the child");
    return KeyDelays() ? 0 : 1;
}
