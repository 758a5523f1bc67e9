// The Debian package CPack makes of this build: what it installs and what it
// depends on, as dpkg-deb reads them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "tests/support/run_command.h"

namespace {

namespace fs = std::filesystem;

class DebPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const fs::path out = fs::path(WORK_DIR) / "deb";
        fs::remove_all(out);
        fs::create_directories(out);
        const RunResult pack = Execute("cd '" + out.string() + "' && '" CPACK_PATH "' -G DEB --config '" BUILD_DIR
                                 "/CPackConfig.cmake' -B '" + out.string() + "'");
        packOutput = new std::string(pack.output);
        for (const fs::directory_entry& entry : fs::directory_iterator(out))
            if (entry.path().extension() == ".deb") debPath = new std::string(entry.path().string());
    }
    void SetUp() override { ASSERT_NE(debPath, nullptr) << "cpack made no .deb:\n" << *packOutput; }

    static std::string* debPath;
    static std::string* packOutput;
};

std::string* DebPackage::debPath = nullptr;
std::string* DebPackage::packOutput = nullptr;

}  // namespace

TEST_F(DebPackage, InstallsTheProgramsDesktopEntryAndIcon) {
    const RunResult contents = Execute("dpkg-deb -c '" + *debPath + "'");
    ASSERT_EQ(contents.status, 0) << contents.output;
    for (const char* program : {"quillon", "xm2wav", "quillon-play", "quillon-capture"}) {
        // Executable by everyone, in /usr/bin.
        const std::regex line(std::string("\\n-rwxr-xr-x [^\\n]* \\./usr/bin/") + program + "\\n");
        EXPECT_TRUE(std::regex_search("\n" + contents.output, line)) << program << "\n" << contents.output;
    }
    EXPECT_NE(contents.output.find("./usr/share/applications/quillon.desktop\n"), std::string::npos)
        << contents.output;
    EXPECT_NE(contents.output.find("./usr/share/icons/hicolor/scalable/apps/quillon.svg\n"), std::string::npos)
        << contents.output;
    EXPECT_EQ(contents.output.find("/include/"), std::string::npos) << "no headers or static libraries";
    EXPECT_EQ(contents.output.find(".a\n"), std::string::npos);
    EXPECT_EQ(contents.output.find("test"), std::string::npos) << "no test programs";
}

TEST_F(DebPackage, DependsOnTheLibrariesTheProgramsLink) {
    const RunResult info = Execute("dpkg-deb -I '" + *debPath + "'");
    ASSERT_EQ(info.status, 0) << info.output;
    std::smatch depends;
    ASSERT_TRUE(std::regex_search(info.output, depends, std::regex("\\n Depends: ([^\\n]*)"))) << info.output;
    // Every package named, alternatives included, without its version.
    std::set<std::string> named;
    const std::string list = depends[1].str();
    const std::regex name("(^|[,|])\\s*([a-z0-9][a-z0-9.+-]*)");
    for (std::sregex_iterator it(list.begin(), list.end(), name), end; it != end; ++it) named.insert((*it)[2]);
    // GLX, OpenGL and GLU for the window, ALSA for sound, EGL and PNG for
    // capture, the C and C++ runtimes.
    for (const char* package : {"libglx0", "libopengl0", "libglu1-mesa", "libx11-6", "libxrandr2", "libasound2",
                                "libegl1", "libpng16-16", "libc6", "libstdc++6"}) {
        EXPECT_EQ(named.count(package), 1u) << package << " in " << list;
    }
    for (const std::string& package : named) {
        for (const char* developer : {"-dev", "gtest", "mingw", "wine"})
            EXPECT_EQ(package.find(developer), std::string::npos) << package << " in " << list;
    }
    EXPECT_NE(info.output.find(" Package: quillon\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find(" Architecture: amd64\n"), std::string::npos) << info.output;
}

TEST_F(DebPackage, DesktopEntryStartsTheInstalledIntro) {
    const fs::path unpacked = fs::path(WORK_DIR) / "deb-unpacked";
    fs::remove_all(unpacked);
    const RunResult extract = Execute("dpkg-deb -x '" + *debPath + "' '" + unpacked.string() + "'");
    ASSERT_EQ(extract.status, 0) << extract.output;
    const RunResult entry = Execute("cat '" + (unpacked / "usr/share/applications/quillon.desktop").string() + "'");
    ASSERT_EQ(entry.status, 0);
    EXPECT_NE(entry.output.find("\nExec=quillon\n"), std::string::npos) << entry.output;
    EXPECT_NE(entry.output.find("\nIcon=quillon\n"), std::string::npos) << entry.output;
    EXPECT_NE(entry.output.find("\nType=Application\n"), std::string::npos) << entry.output;
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
        const RunResult valid = Execute("desktop-file-validate '" +
                                  (unpacked / "usr/share/applications/quillon.desktop").string() + "'");
        EXPECT_EQ(valid.status, 0) << valid.output;
    }
    const RunResult help = Execute("'" + (unpacked / "usr/bin/quillon-capture").string() + "' --help");
    EXPECT_EQ(help.status, 0) << "the packaged tool runs: " << help.output;
}
