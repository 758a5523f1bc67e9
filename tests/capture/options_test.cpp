#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/capture/options.h"

namespace {

struct Parsed {
    bool ok;
    CaptureOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> args) {
    args.insert(args.begin(), "quillon-capture");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    Parsed parsed{};
    parsed.ok = ParseCaptureOptions(static_cast<int>(argv.size()), argv.data(), &parsed.options, &parsed.error);
    return parsed;
}

}  // namespace

TEST(CaptureOptions, DefaultsAndEveryOptionTakesItsValue) {
    Parsed plain = Parse({"--duration", "2", "-o", "out"});
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(plain.options.width, 1920u);
    EXPECT_EQ(plain.options.height, 1080u);
    EXPECT_EQ(plain.options.fps, 60);
    EXPECT_EQ(plain.options.start, 0.0);
    EXPECT_EQ(plain.options.duration, 2.0);
    EXPECT_EQ(plain.options.output, "out");

    Parsed full = Parse({"-o", "a.mp4", "--size", "640x360", "--fps", "25", "--start", "12.5", "--duration", "0.04"});
    ASSERT_TRUE(full.ok) << full.error;
    EXPECT_EQ(full.options.width, 640u);
    EXPECT_EQ(full.options.height, 360u);
    EXPECT_EQ(full.options.fps, 25);
    EXPECT_EQ(full.options.start, 12.5);
    EXPECT_EQ(full.options.duration, 0.04);
    EXPECT_EQ(full.options.output, "a.mp4");

    Parsed later = Parse({"-o", "one", "-o", "two", "--duration", "1"});
    ASSERT_TRUE(later.ok);
    EXPECT_EQ(later.options.output, "two") << "a repeated option keeps its last value";

    EXPECT_TRUE(Parse({"--help"}).options.help) << "--help needs nothing else";
    Parsed helpFirst = Parse({"--help", "--fps", "bad"});
    EXPECT_TRUE(helpFirst.ok && helpFirst.options.help) << "nothing after --help is judged";
}

TEST(CaptureOptions, BadValuesAreRefusedWithTheOptionNamed) {
    const std::vector<std::vector<std::string>> bad = {
        {"--size", "0x10"},        {"--size", "1x10"},      {"--size", "10x"},
        {"--size", "x10"},         {"--size", "10x10x10"},  {"--size", "16385x100"},
        {"--size", "99999999999999999999x10"}, {"--size", "-5x10"}, {"--size", "640*480"},
        {"--fps", "0"},            {"--fps", "-5"},         {"--fps", "1.5"},
        {"--fps", "abc"},          {"--fps", "1001"},       {"--fps", ""},
        {"--start", "-1"},         {"--start", "nan"},      {"--start", "inf"},
        {"--start", "1e9"},        {"--start", "3s"},       {"--duration", "0"},
        {"--duration", "-2"},      {"--duration", "nan"},   {"--duration", "1e300"},
    };
    for (std::vector<std::string> args : bad) {
        const std::string option = args[0];
        const std::string value = args[1];
        args.insert(args.end(), {"-o", "out"});
        if (option != "--duration") args.insert(args.end(), {"--duration", "1"});
        Parsed parsed = Parse(args);
        EXPECT_FALSE(parsed.ok) << option << " " << value;
        EXPECT_NE(parsed.error.find(option), std::string::npos) << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << "one line: " << parsed.error;
    }
}

TEST(CaptureOptions, MissingPiecesAreRefused) {
    Parsed noDuration = Parse({"-o", "out"});
    EXPECT_FALSE(noDuration.ok);
    EXPECT_NE(noDuration.error.find("--duration"), std::string::npos);

    Parsed noOutput = Parse({"--duration", "1"});
    EXPECT_FALSE(noOutput.ok);
    EXPECT_NE(noOutput.error.find("-o"), std::string::npos);

    Parsed emptyOutput = Parse({"--duration", "1", "-o", ""});
    EXPECT_FALSE(emptyOutput.ok);

    Parsed dangling = Parse({"--duration", "1", "-o"});
    EXPECT_FALSE(dangling.ok);
    EXPECT_NE(dangling.error.find("-o"), std::string::npos);

    Parsed unknown = Parse({"--duration", "1", "-o", "out", "--frames", "3"});
    EXPECT_FALSE(unknown.ok);
    EXPECT_NE(unknown.error.find("--frames"), std::string::npos);

    Parsed stray = Parse({"--duration", "1", "-o", "out", "extra"});
    EXPECT_FALSE(stray.ok);
}

TEST(CaptureOptions, OnlyAPathEndingInMp4IsOneVideoFile) {
    EXPECT_TRUE(IsMp4Path("intro.mp4"));
    EXPECT_TRUE(IsMp4Path("/tmp/x/intro.mp4"));
    EXPECT_FALSE(IsMp4Path(".mp4")) << "a hidden folder, not a named file";
    EXPECT_FALSE(IsMp4Path("intro.mp4/"));
    EXPECT_FALSE(IsMp4Path("intro.MP4.d"));
    EXPECT_FALSE(IsMp4Path("frames"));
}
