// quillon-play as a user runs it: on a pseudo-terminal, playing to the null
// sink of a private sound server whose monitor this test records.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
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

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
// Peaks of 10 ms of the monitor: the null sink gives exact zeros when nothing
// plays, the test modules a square wave far above this.
constexpr int kSoundPeak = 1000;
constexpr int kSilencePeak = 16;

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

// The sink's monitor, 10 ms at a time, each with the moment it arrived.
class Monitor {
public:
    explicit Monitor(Clock::time_point start) : start_(start) {
        pipe_ = popen("exec parec -d ci.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=10", "r");
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

    // The first moment from `from` on with sound, waiting up to `until`; -1 if none.
    double firstSound(double from, double until) const {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                for (const Chunk& c : chunks_)
                    if (c.at >= from && c.peak >= kSoundPeak) return c.at;
            }
            if (Since(start_) > until) return -1.0;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // The loudest chunk that arrived between the two moments, once they are past.
    int loudest(double from, double to) const {
        while (Since(start_) < to + 0.05) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::lock_guard<std::mutex> lock(mutex_);
        int peak = -1;
        for (const Chunk& c : chunks_)
            if (c.at >= from && c.at <= to && c.peak > peak) peak = c.peak;
        return peak;
    }

private:
    struct Chunk {
        double at;
        int peak;
    };

    void read() {
        std::int16_t samples[kRate / 100 * 2];
        while (!stop_ && std::fread(samples, sizeof samples, 1, pipe_) == 1) {
            int peak = 0;
            for (const std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
            std::lock_guard<std::mutex> lock(mutex_);
            chunks_.push_back({Since(start_), peak});
        }
    }

    Clock::time_point start_;
    std::FILE* pipe_ = nullptr;
    std::thread reader_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Chunk> chunks_;
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

    Clock::time_point start = Clock::now();
    Monitor monitor(start);
    ASSERT_TRUE(monitor.streaming(5.0)) << "parec records nothing";
    const double launched = Since(start);
    ASSERT_LT(monitor.loudest(0.0, launched), kSilencePeak) << "sound before the player started";

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
    EXPECT_LT(sound - launched, 0.5) << "sound after " << sound - launched << " s";
    EXPECT_TRUE(terminal.waitFor("first.xm \"first tune\"", 2.0)) << terminal.text();

    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    const double paused = Since(start);
    Press(master, " ");
    EXPECT_LT(monitor.loudest(paused + 0.5, paused + 1.0), kSilencePeak) << "still sounding after a pause";
    EXPECT_TRUE(terminal.waitFor("paused  first.xm", 0.5)) << terminal.text();

    const double resumed = Since(start);
    Press(master, " ");
    const double back = monitor.firstSound(resumed, resumed + 2.0);
    ASSERT_GE(back, 0.0) << "no sound after resuming";
    EXPECT_LT(back - resumed, 0.5) << "sound back after " << back - resumed << " s";

    Press(master, "n");
    EXPECT_TRUE(terminal.waitFor("second.xm \"second tune\"", 2.0)) << terminal.text();
    Press(master, "q");

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
