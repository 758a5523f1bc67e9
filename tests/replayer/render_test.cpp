// xm2wav end to end: whole renders against stored checksums, and the command
// line's outputs and failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/replayer/test_modules.h"
#include "tools/xmwriter/xm_writer.h"

namespace replayer_test {
namespace {

// Each test has its own files: ctest runs the tests side by side.
std::string TempPath(const std::string& name) {
    const char* test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return ::testing::TempDir() + "xm2wav_" + test + "_" + name;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint8_t byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
    return hash;
}

std::uint32_t Little32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Runs xm2wav with arguments; standard error goes to a file the caller reads.
int RunXm2wav(const std::string& arguments, const std::string& errorPath) {
    std::string command = std::string(XM2WAV_PATH) + " " + arguments + " 2>" + errorPath;
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct StoredRender {
    const char* name;
    xm::Module (*build)();
    const char* options;
    std::uint32_t frames;
    std::uint64_t checksum;
};

// Any change in what the intro's playback plays shows here; a deliberate one
// updates the checksums with the values the failure prints.
const StoredRender kStored[] = {
    {"chords", ChordsModule, "--style intro", 226656, 0xcb631329b07ad048ull},
    {"drums", DrumsModule, "--style intro", 201222, 0x85e51fa7ae527ea6ull},
    {"lead", LeadModule, "--style intro -d 7.5 -r 48000", 360000, 0x08157dc624e8961aull},
};

TEST(Xm2wav, RendersMatchTheirStoredChecksums) {
    for (const StoredRender& stored : kStored) {
        std::string module = TempPath(std::string(stored.name) + ".xm");
        std::string wav = TempPath(std::string(stored.name) + ".wav");
        WriteFile(module, xm::Write(stored.build()));
        ASSERT_EQ(RunXm2wav(std::string(stored.options) + " -o " + wav + " " + module, TempPath("err")), 0);
        std::vector<std::uint8_t> bytes = ReadFile(wav);
        ASSERT_GT(bytes.size(), 44u);
        std::uint32_t frames = Little32(bytes, 40) / 4;
        EXPECT_EQ(bytes.size(), 44u + frames * 4u) << stored.name;
        if (stored.frames != 0) {
            EXPECT_EQ(frames, stored.frames) << stored.name;
        }
        EXPECT_EQ(Fnv1a(bytes), stored.checksum)
            << stored.name << ": " << frames << " frames, checksum 0x" << std::hex << Fnv1a(bytes);
    }
}

// One pass of a module with 3 orders of 4 rows, 2 ticks a row at 125 BPM
// (882 frames a tick), restarting at order 1.
xm::Module ThreeOrders() {
    xm::Module module;
    module.channels = 1;
    module.speed = 2;
    module.bpm = 125;
    module.restart = 1;
    module.orders = {0, 1, 2};
    for (int p = 0; p < 3; ++p) {
        xm::Pattern pattern;
        pattern.rows = 4;
        pattern.at(0, 0, 1) = {static_cast<std::uint8_t>(40 + p), 1, 0, 0, 0};
        module.patterns.push_back(pattern);
    }
    xm::Sample sample;
    for (int i = 0; i < 64; ++i) sample.frames.push_back(static_cast<std::int16_t>(i < 32 ? 50 : -50));
    sample.loop = xm::Loop::Forward;
    sample.loopLength = 64;
    module.instruments.push_back(xm::InstrumentOf({sample}));
    return module;
}

TEST(Xm2wav, OnePassDurationRateAndRawOutput) {
    std::string module = TempPath("three.xm");
    WriteFile(module, xm::Write(ThreeOrders()));
    std::string err = TempPath("err");

    std::string pass = TempPath("pass.wav");
    ASSERT_EQ(RunXm2wav("-o " + pass + " " + module, err), 0);
    std::vector<std::uint8_t> wav = ReadFile(pass);
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(Little32(wav, 24), 44100u);
    EXPECT_EQ(Little32(wav, 40), 3u * 4 * 2 * 882 * 4) << "three orders, then order 1 again";

    // A jump back to the order being played ends the pass too.
    xm::Module looping = ThreeOrders();
    looping.patterns[1].at(1, 0, 1) = {0, 0, 0, 11, 1};
    WriteFile(module, xm::Write(looping));
    ASSERT_EQ(RunXm2wav("-o " + pass + " " + module, err), 0);
    EXPECT_EQ(Little32(ReadFile(pass), 40), (4u + 2u) * 2 * 882 * 4);

    std::string timed = TempPath("timed.wav");
    ASSERT_EQ(RunXm2wav("--rate=22050 --duration 0.5 -o " + timed + " " + module, err), 0);
    std::vector<std::uint8_t> shorter = ReadFile(timed);
    EXPECT_EQ(Little32(shorter, 24), 22050u);
    EXPECT_EQ(Little32(shorter, 40), 11025u * 4);

    std::string raw = TempPath("raw.pcm");
    ASSERT_EQ(RunXm2wav("-q -d 0.5 -r 22050 -o - " + module + " >" + raw, err), 0);
    std::vector<std::uint8_t> pcm = ReadFile(raw);
    EXPECT_EQ(pcm, std::vector<std::uint8_t>(shorter.begin() + 44, shorter.end()));
    EXPECT_TRUE(ReadFile(err).empty()) << "quiet and not a terminal: nothing on standard error";
}

TEST(Xm2wav, BadInputsFailWithOneLine) {
    std::string err = TempPath("err");
    std::string out = TempPath("never.wav");
    std::remove(out.c_str());
    auto oneLine = [&]() {
        std::vector<std::uint8_t> text = ReadFile(err);
        std::string message(text.begin(), text.end());
        EXPECT_EQ(message.rfind("xm2wav: ", 0), 0u) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
        return message;
    };

    EXPECT_EQ(RunXm2wav("-o " + out + " " + TempPath("missing.xm"), err), 1);
    EXPECT_NE(oneLine().find("cannot open"), std::string::npos);

    EXPECT_EQ(RunXm2wav("-o " + out + " " + ::testing::TempDir(), err), 1);
    oneLine();

    std::string bogus = TempPath("bogus.xm");
    std::vector<std::uint8_t> notModule = xm::Write(ThreeOrders());
    notModule[3] = 'X';
    WriteFile(bogus, notModule);
    EXPECT_EQ(RunXm2wav("-o " + out + " " + bogus, err), 1);
    EXPECT_NE(oneLine().find("not an extended module"), std::string::npos);
    EXPECT_TRUE(ReadFile(out).empty()) << "no output is left behind";

    EXPECT_EQ(RunXm2wav("-r 12 " + bogus, err), 2);
    EXPECT_EQ(RunXm2wav("--style fast " + bogus, err), 2);
    EXPECT_NE(oneLine().find("bad style 'fast'"), std::string::npos);
    EXPECT_EQ(RunXm2wav("--volume 3 " + bogus, err), 2);
    EXPECT_EQ(RunXm2wav("", err), 2);
}

}  // namespace
}  // namespace replayer_test
