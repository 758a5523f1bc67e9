// quillon-play as a user runs it: on a pseudo-terminal, playing to the null
// sink of a private sound server whose monitor this test records. The gaps
// are measured in the recording itself, frame by frame: a quiet tone plays on
// the sink throughout, so the monitor's clock runs from the start, and the
// tone and the recorder ask for a slow sink, as desktop clients do, so that a
// stream that goes away and comes back waits behind what the sink has mixed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/xmwriter/xm_writer.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
// Peaks of 10 ms of the monitor: the tone alone stays under the first, the
// test modules' square wave is far above the second.
constexpr int kToneAmplitude = 50;
constexpr int kSilencePeak = 100;
constexpr int kSoundPeak = 1000;
// How late a pause may end, and how long a seek or a skip may be silent.
constexpr double kGapAllowance = 0.3;

// A square wave held for 4 orders of 64 rows: half a minute of sound.
std::vector<std::uint8_t> HeldNoteModule(const std::string& title) {
    xm::Module module;
    module.name = title;
    module.channels = 2;
    module.orders = {0, 0, 0, 0};
    xm::Pattern pattern;
    pattern.at(0, 0, module.channels) = xm::Cell{49, 1, 0, 0, 0};
    module.patterns.push_back(pattern);
    xm::Sample square;
    for (int i = 0; i < 64; ++i) square.frames.push_back(i < 32 ? 100 : -100);
    square.loop = xm::Loop::Forward;
    square.loopLength = 64;
    module.instruments.push_back(xm::InstrumentOf({square}));
    return xm::Write(module);
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The quiet tone on the sink, fed to the server's own player for as long as
// it lives. That player asks for the server's default latency, seconds.
class Tone {
public:
    Tone() {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        const char* args[] = {"pacat", "-d", "ci", "--raw", "--format=s16le", "--rate=44100", "--channels=2", nullptr};
        if (posix_spawnp(&pid_, "pacat", &actions, nullptr, const_cast<char**>(args), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[0]);
        fd_ = fds[1];
        writer_ = std::thread([this] { write(); });
    }
    ~Tone() {
        stop_ = true;
        if (pid_ > 0) kill(pid_, SIGTERM);
        writer_.join();
        close(fd_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }

private:
    void write() {
        std::int16_t samples[kRate / 100 * 2];
        std::int64_t frame = 0;
        while (!stop_) {
            for (std::size_t i = 0; i < std::size(samples); i += 2, ++frame) {
                const double phase = 2.0 * 3.141592653589793 * 440.0 * static_cast<double>(frame) / kRate;
                samples[i] = samples[i + 1] = static_cast<std::int16_t>(kToneAmplitude * std::sin(phase));
            }
            // The server's pace blocks this write.
            if (::write(fd_, samples, sizeof samples) != static_cast<ssize_t>(sizeof samples)) return;
        }
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread writer_;
};

// A silent stretch of the recording, on its own clock.
struct Silence {
    double start;
    double length;
    bool toEnd;  // still silent when the recording stopped
};

// The sink's monitor, 10 ms at a time, each with the moment it arrived. The
// recorder asks for a second of latency: the server then hands over the
// recording a second at a time, so moments are read from the frames counted.
class Monitor {
public:
    explicit Monitor(Clock::time_point start) : start_(start) {
        pipe_ = popen("exec parec -d ci.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=1000", "r");
        if (pipe_) reader_ = std::thread([this] { read(); });
    }
    ~Monitor() {
        stop_ = true;
        if (pipe_) {
            reader_.join();
            pclose(pipe_);
        }
    }
    // Whether the recording has come through for a while: the server's first
    // chunks come late, and would then all seem to arrive at once.
    bool streaming(double seconds) const {
        const Clock::time_point asked = Clock::now();
        while (pipe_ && Since(asked) < seconds) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (chunks_.size() >= 30) return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // The first moment from `from` on with sound on the recording's clock,
    // waiting up to `until` for it to arrive; -1 if none.
    double firstSound(double from, double until) const {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (std::size_t i = 0; i < chunks_.size(); ++i)
                    if (clock(i) >= from && chunks_[i].peak >= kSoundPeak) return clock(i);
            }
            if (Since(start_) > until) return -1.0;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // The loudest chunk recorded up to a moment, once it has arrived.
    int loudestUpTo(double to) const {
        waitFor(to);
        std::lock_guard<std::mutex> lock(mutex_);
        int peak = -1;
        for (std::size_t i = 0; i < chunks_.size() && clock(i) <= to; ++i) peak = std::max(peak, chunks_[i].peak);
        return peak;
    }
    // The silent stretches after the first sound, once the moment has arrived.
    std::vector<Silence> silences(double after) const {
        waitFor(after);
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<Silence> found;
        bool sounded = false;
        for (std::size_t i = 0; i < chunks_.size(); ++i) {
            if (chunks_[i].peak >= kSoundPeak) {
                sounded = true;
                continue;
            }
            if (!sounded) continue;
            if (chunks_[i - 1].peak < kSoundPeak) {
                found.back().length += kChunkSeconds;
            } else {
                found.push_back({clock(i), kChunkSeconds, false});
            }
            found.back().toEnd = i + 1 == chunks_.size();
        }
        return found;
    }

private:
    static constexpr double kChunkSeconds = 0.01;
    struct Chunk {
        double at;
        int peak;
    };

    // Chunk i's moment on the recording's clock: its frames counted from the
    // arrival that was least late. With the locks held.
    double clock(std::size_t i) const { return origin_ + static_cast<double>(i) * kChunkSeconds; }

    void waitFor(double moment) const {
        for (int tries = 0; tries < 500; ++tries) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!chunks_.empty() && clock(chunks_.size() - 1) > moment) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    void read() {
        std::int16_t samples[kRate / 100 * 2];
        while (!stop_ && std::fread(samples, sizeof samples, 1, pipe_) == 1) {
            int peak = 0;
            for (const std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
            std::lock_guard<std::mutex> lock(mutex_);
            const double at = Since(start_);
            chunks_.push_back({at, peak});
            origin_ = std::min(origin_, at - static_cast<double>(chunks_.size()) * kChunkSeconds);
        }
    }

    Clock::time_point start_;
    std::FILE* pipe_ = nullptr;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Chunk> chunks_;
    double origin_ = 1e9;
};

// Everything the player writes to its terminal.
class TerminalOutput {
public:
    explicit TerminalOutput(int master) : master_(master), reader_([this] { read(); }) {}
    ~TerminalOutput() {
        stop_ = true;
        reader_.join();
    }
    std::string text() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return text_;
    }
    bool waitFor(const std::string& wanted, double seconds) const {
        const Clock::time_point start = Clock::now();
        while (Since(start) < seconds) {
            if (text().find(wanted) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

private:
    void read() {
        char buffer[4096];
        while (!stop_) {
            pollfd in{master_, POLLIN, 0};
            if (poll(&in, 1, 20) <= 0) continue;
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got <= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            text_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    int master_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string text_;
    std::thread reader_;
};

bool SameSettings(const termios& a, const termios& b) {
    if (a.c_iflag != b.c_iflag || a.c_oflag != b.c_oflag || a.c_cflag != b.c_cflag || a.c_lflag != b.c_lflag)
        return false;
    for (int i = 0; i < NCCS; ++i)
        if (a.c_cc[i] != b.c_cc[i]) return false;
    return true;
}

void Press(int master, const char* key) {
    ASSERT_EQ(write(master, key, std::char_traits<char>::length(key)),
              static_cast<ssize_t>(std::char_traits<char>::length(key)));
}

}  // namespace

TEST(PlayOnSoundServer, SoundPauseResumeSkipBadFileAndTheTerminalPutBack) {
    const fs::path dir = fs::path(WORK_DIR) / "play_run";
    fs::remove_all(dir);
    fs::create_directories(dir);
    WriteFile(dir / "first.xm", HeldNoteModule("first tune"));
    WriteFile(dir / "second.xm", HeldNoteModule("second tune"));
    const std::string junk = "Extended Module: cut short";
    WriteFile(dir / "broken.xm", std::vector<std::uint8_t>(junk.begin(), junk.end()));
    const fs::path errors = dir / "stderr.txt";

    int master = -1;
    int slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios before{};
    ASSERT_EQ(tcgetattr(slave, &before), 0);

    // A write to a tone player gone already must fail, not end the test.
    signal(SIGPIPE, SIG_IGN);
    Clock::time_point start = Clock::now();
    Tone tone;
    Monitor monitor(start);
    ASSERT_TRUE(monitor.streaming(5.0)) << "parec records nothing";
    const double launched = Since(start);
    ASSERT_LT(monitor.loudestUpTo(launched), kSilencePeak) << "sound before the player started";

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setsid();
        ioctl(slave, TIOCSCTTY, 0);
        dup2(slave, STDIN_FILENO);
        dup2(slave, STDOUT_FILENO);
        const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, STDERR_FILENO);
        close(master);
        execl(PLAY_PATH, PLAY_PATH, (dir / "first.xm").c_str(), (dir / "broken.xm").c_str(),
              (dir / "second.xm").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    TerminalOutput terminal(master);

    const double sound = monitor.firstSound(launched, launched + 3.0);
    ASSERT_GE(sound, 0.0) << "no sound at all";
    // A new stream waits behind what the slow sink has mixed ahead of it, up
    // to the recorder's second: only a start seconds late is a fault.
    EXPECT_LT(sound - launched, 1.5) << "sound after " << sound - launched << " s";
    EXPECT_TRUE(terminal.waitFor("first.xm \"first tune\"", 2.0)) << terminal.text();

    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const double paused = Since(start);
    Press(master, " ");
    EXPECT_TRUE(terminal.waitFor("paused  first.xm", 0.5)) << terminal.text();
    std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(paused + 1.0)));
    const double resumed = Since(start);
    Press(master, " ");

    // Two orders on, each followed on the status line as it is heard (a row
    // lasts 0.12 s), then the next file; all without a gap in the sound.
    for (const char* order : {"order 2/4  pattern 0  row 3 ", "order 3/4  pattern 0  row 3 "}) {
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        Press(master, "\x1b[C");
        EXPECT_TRUE(terminal.waitFor(order, 0.8)) << "status line not at '" << order << "' in time";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    Press(master, "n");
    EXPECT_TRUE(terminal.waitFor("second.xm \"second tune\"", 2.0)) << terminal.text();
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    Press(master, "q");
    const double quit = Since(start);

    // The pause is the longest silence; any other before the player quits is
    // a gap left by a move to another order or to the next file.
    std::vector<Silence> silences = monitor.silences(quit + 0.1);
    std::string heard;
    for (const Silence& silence : silences)
        heard += " " + std::to_string(silence.start - launched) + "+" + std::to_string(silence.length);
    SCOPED_TRACE("silences (start after launch + length, s):" + heard + "; keys after launch: pause " +
                 std::to_string(paused - launched) + ", quit " + std::to_string(quit - launched));
    std::erase_if(silences, [](const Silence& silence) { return silence.toEnd; });
    ASSERT_FALSE(silences.empty()) << "no silence after a pause";
    const auto pause = std::max_element(silences.begin(), silences.end(),
                                        [](const Silence& a, const Silence& b) { return a.length < b.length; });
    EXPECT_NEAR(pause->length, resumed - paused, kGapAllowance)
        << "silent for " << pause->length << " s after a pause of " << resumed - paused << " s";
    for (auto gap = silences.begin(); gap != silences.end(); ++gap) {
        if (gap == pause) continue;
        EXPECT_LE(gap->length, kGapAllowance) << "a gap of " << gap->length << " s";
    }

    int status = -1;
    for (int i = 0; i < 500 && waitpid(child, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!WIFEXITED(status) && !WIFSIGNALED(status)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "the player did not quit on q";
    }
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "a file failed";

    std::ifstream in(errors);
    const std::string stderrText((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(stderrText.find("broken.xm"), std::string::npos) << stderrText;
    EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1) << stderrText;

    termios after{};
    ASSERT_EQ(tcgetattr(slave, &after), 0);
    EXPECT_TRUE(SameSettings(before, after)) << "terminal settings changed";
    close(slave);
    close(master);
}
