// orvane --help, -h and --version: their texts on standard output and exit 0, before any window or
// display is needed (the display variables are removed for the run).
#include "../cli/CliRun.h"
#include "../signal/WavBytes.h"

#include "ProgramInfo.h"

#include <gtest/gtest.h>

namespace {

#ifdef ORVANE_GUI_PATH
const std::string kWindowProgram = ORVANE_GUI_PATH;
#else
const std::string kWindowProgram; // built without the window
#endif

class WindowInformation : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (kWindowProgram.empty()) GTEST_SKIP() << "built without the window";
    }
    clitest::CliRun Run(const std::string& argument) {
        return clitest::RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                       clitest::Quote(kWindowProgram) + " " + argument,
                                   dir.File("stderr.txt"));
    }
    wavtest::TempDir dir;
};

} // namespace

TEST_P(WindowInformation, HelpNamesTheUsageAndOptions) {
    const clitest::CliRun run = Run(GetParam());
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out.rfind("usage: orvane [FILE]\n", 0), 0u) << run.Out;
    for (const char* word : {"--help", "-h", "--version", "FILE", "PNG"})
        EXPECT_NE(run.Out.find(word), std::string::npos) << word;
}
INSTANTIATE_TEST_SUITE_P(Help, WindowInformation, ::testing::Values("--help", "-h"));

TEST_F(WindowInformation, VersionPrintsTheProjectVersion) {
    const clitest::CliRun run = Run("--version");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "orvane (Orvane+) " + std::string(kOrvaneVersion) + "\n");
    EXPECT_EQ(run.Err, "");
}
