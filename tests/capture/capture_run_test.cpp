// quillon-capture run as a user runs it, on small pictures and short spans.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/run_command.h"
#include "tools/capture/folder_sink.h"

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

RunResult Capture(const std::string& arguments) {
    return Execute(std::string(CAPTURE_PATH) + " " + arguments);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path FreshDir(const std::string& name) {
    const fs::path dir = fs::path(WORK_DIR) / "capture_runs" / name;
    fs::remove_all(dir);
    fs::create_directories(dir.parent_path());
    return dir;
}

std::vector<fs::path> Frames(const fs::path& dir) {
    std::vector<fs::path> frames;
    for (std::int64_t n = 0; fs::exists(dir / FrameFileName(n)); ++n) frames.push_back(dir / FrameFileName(n));
    return frames;
}

// The sample bytes of a 16-bit stereo WAV file as the tools write it.
std::string WavData(const fs::path& path) {
    const std::string bytes = ReadFile(path);
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(36, 4, "data") != 0) return "";
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(bytes[40 + i]);
    EXPECT_EQ(size, bytes.size() - 44) << "the header's size matches the data";
    return bytes.substr(44);
}

// 64-bit FNV-1a: enough to tell any changed byte from the pinned ones.
std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3u;
    return hash;
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

}  // namespace

TEST(CaptureRun, HelpListsEveryOption) {
    const RunResult run = Capture("--help");
    EXPECT_EQ(run.status, 0);
    for (const char* option : {"--size", "--fps", "--start", "--duration", "-o", ".mp4", "--help"})
        EXPECT_NE(run.output.find(option), std::string::npos) << option;
}

TEST(CaptureRun, BadCommandLinesAndUnwritableOutputsFailWithOneLine) {
    const fs::path blocker = FreshDir("blocker");
    fs::create_directories(blocker);
    std::ofstream(blocker / "file") << "not a folder";
    const std::vector<std::string> failing = {
        "--duration 1",
        "-o " + Quote((blocker / "x").string()) + " --size 12 --duration 1",
        "-o " + Quote((blocker / "x").string()) + " --duration 1 --fps 0",
        "-o " + Quote((blocker / "x").string()) + " --duration 1 --bogus",
        "-o " + Quote((blocker / "x").string()) + " --duration 0.001",
        // A folder whose parent is a file cannot be made.
        "-o " + Quote((blocker / "file" / "frames").string()) + " --size 16x16 --duration 0.1",
        "-o " + Quote((blocker / "file").string()) + " --size 16x16 --duration 0.1",
        "-o " + Quote((blocker / "file" / "intro.mp4").string()) + " --size 16x16 --duration 0.1",
        // A folder that already holds files is refused, not added to.
        "-o " + Quote(blocker.string()) + " --size 16x16 --duration 0.1",
    };
    for (const std::string& arguments : failing) {
        const RunResult run = Capture(arguments);
        EXPECT_EQ(run.status, 1) << arguments << "\n" << run.output;
        EXPECT_EQ(CountLines(run.output), 1) << arguments << "\n" << run.output;
        EXPECT_EQ(run.output.rfind("quillon-capture: ", 0), 0u) << run.output;
    }
    EXPECT_FALSE(fs::exists(blocker / "x")) << "nothing is made for a bad command line";
    EXPECT_EQ(ReadFile(blocker / "file"), "not a folder");
}

TEST(CaptureRun, Mp4WithoutFfmpegSaysWhatIsMissing) {
    const fs::path dir = FreshDir("no_ffmpeg");
    fs::create_directories(dir / "empty_path");
    const RunResult run = Execute("PATH=" + Quote((dir / "empty_path").string()) + " " + CAPTURE_PATH + " -o " +
                            Quote((dir / "intro.mp4").string()) + " --size 16x16 --duration 0.1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_EQ(CountLines(run.output), 1) << run.output;
    EXPECT_NE(run.output.find("ffmpeg"), std::string::npos) << run.output;
}

// Two runs of the same settings give the same bytes, and a capture that
// starts later shows the same frames and sound as the tail of an earlier one:
// the frames before the start are played through, not skipped.
TEST(CaptureRun, SameSettingsSameBytesAndALaterStartMatchesTheTail) {
    const fs::path a = FreshDir("twice_a");
    const fs::path b = FreshDir("twice_b");
    const fs::path longer = FreshDir("longer");
    const std::string settings = " --size 48x32 --fps 8 --start 5.5 --duration 0.75";
    ASSERT_EQ(Capture("-o " + Quote(a.string()) + settings).status, 0);
    ASSERT_EQ(Capture("-o " + Quote(b.string()) + settings).status, 0);
    ASSERT_EQ(Capture("-o " + Quote(longer.string()) + " --size 48x32 --fps 8 --start 5 --duration 1.25").status, 0);

    const std::vector<fs::path> framesA = Frames(a);
    const std::vector<fs::path> framesB = Frames(b);
    const std::vector<fs::path> framesLonger = Frames(longer);
    ASSERT_EQ(framesA.size(), 6u);
    ASSERT_EQ(framesB.size(), 6u);
    ASSERT_EQ(framesLonger.size(), 10u);
    bool moving = false;
    for (std::size_t i = 0; i < framesA.size(); ++i) {
        const std::string picture = ReadFile(framesA[i]);
        EXPECT_EQ(picture, ReadFile(framesB[i])) << framesA[i].filename();
        EXPECT_EQ(picture, ReadFile(framesLonger[i + 4])) << framesA[i].filename();
        moving = moving || (i > 0 && picture != ReadFile(framesA[i - 1]));
    }
    EXPECT_TRUE(moving) << "the frames differ from one another";

    const std::string soundA = WavData(a / "audio.wav");
    ASSERT_FALSE(soundA.empty());
    EXPECT_EQ(soundA, WavData(b / "audio.wav"));
    const std::string soundLonger = WavData(longer / "audio.wav");
    ASSERT_EQ(soundLonger.size(), soundA.size() + 22050 * 4u);
    EXPECT_EQ(soundLonger.substr(22050 * 4), soundA);
}

// The desktop drawing path's pictures and the sound, byte for byte, at moments
// that exercise every part of the scene: the rise, a bounce, the bass wave and
// a burst of the scroller. A change to what this path sends to GL shows here.
// The sums hold for the Mesa llvmpipe of Debian 12.
TEST(CaptureRun, DesktopPathFramesAndSoundArePinned) {
    const fs::path dir = FreshDir("pinned");
    const RunResult run = Capture("-o " + Quote(dir.string()) + " --size 96x54 --fps 5 --duration 22.4");
    ASSERT_EQ(run.status, 0) << run.output;
    const struct {
        std::int64_t frame;
        std::uint64_t sum;
    } pinned[] = {
        {10, 0xfee95836fb901bfau},   // 2.0 s, rising
        {20, 0x4caaffa646d2e188u},   // 4.0 s, bouncing
        {95, 0xee152c61a656306eu},   // 19.0 s, the bass wave
        {111, 0x9b6b2a0528bc7470u},  // 22.2 s, a burst of the scroller
    };
    for (const auto& p : pinned)
        EXPECT_EQ(Fnv1a(ReadFile(dir / FrameFileName(p.frame))), p.sum)
            << FrameFileName(p.frame) << std::hex << " sums to 0x" << Fnv1a(ReadFile(dir / FrameFileName(p.frame)));
    EXPECT_EQ(Fnv1a(ReadFile(dir / "audio.wav")), 0xbb65b241e1f0f522u)
        << std::hex << "audio.wav sums to 0x" << Fnv1a(ReadFile(dir / "audio.wav"));
}

// The WAV of a capture covers exactly the span of its frames, and holds the
// very sound the song renderer makes of that span.
TEST(CaptureRun, SoundSpansTheFramesAndIsTheSongAtThatTime) {
    const fs::path dir = FreshDir("span");
    ASSERT_EQ(Capture("-o " + Quote(dir.string()) + " --size 32x18 --fps 12 --start 2.25 --duration 1.5").status, 0);
    EXPECT_EQ(Frames(dir).size(), 18u);
    const std::string sound = WavData(dir / "audio.wav");
    ASSERT_EQ(sound.size(), 66150u * 4) << "1.5 s of 44100 Hz 16-bit stereo";

    const fs::path reference = dir / "song.wav";
    const RunResult render =
        Execute(std::string(XM2WAV_PATH) + " -q --style intro -d 3.75 -o " + Quote(reference.string()) + " " + SONG_XM_PATH);
    ASSERT_EQ(render.status, 0) << render.output;
    const std::string song = WavData(reference);
    ASSERT_EQ(song.size(), 165375u * 4);
    EXPECT_TRUE(song.compare(99225 * 4, std::string::npos, sound) == 0)
        << "the capture's sound is the song from 2.25 s to 3.75 s";
}

TEST(CaptureRun, Mp4HoldsH264VideoAndAacSoundOfTheSpan) {
    if (std::system("command -v ffprobe >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    const fs::path dir = FreshDir("mp4");
    fs::create_directories(dir);
    fs::create_directories(dir / "tmp");
    const fs::path movie = dir / "intro.mp4";
    // An odd size on purpose: the encoder needs even sides.
    const RunResult run = Execute("TMPDIR=" + Quote((dir / "tmp").string()) + " " + CAPTURE_PATH + " -o " +
                            Quote(movie.string()) + " --size 41x23 --fps 10 --start 1 --duration 1");
    ASSERT_EQ(run.status, 0) << run.output;
    const RunResult probe = Execute("ffprobe -v error -show_entries stream=codec_name,codec_type,nb_frames "
                              "-of default=noprint_wrappers=1 " + Quote(movie.string()));
    ASSERT_EQ(probe.status, 0) << probe.output;
    EXPECT_NE(probe.output.find("codec_name=h264"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("codec_name=aac"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("nb_frames=10\n"), std::string::npos) << probe.output;
    EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "the temporary files are removed";
}
