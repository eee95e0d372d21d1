// orvane-cli --help, -h and --version: their texts on standard output and exit code 0; the help names
// every command, option and operation.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include "ProgramInfo.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

class CliInformation : public ::testing::TestWithParam<const char*> {
protected:
    wavtest::TempDir dir;
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }
};

const char* const kHelpWords[] = {
    "info",         "render", "edit",       "--fft",      "--image-width",
    "--window",     "--gain", "--channels", "--palette",  "--quiet",
    "--help",       "-h",     "--version",  ".png",       "fade",
    "amp",          "invert", "invert-ch1", "invert-ch2", "iq2real",
    "sin HZ",       "cos HZ", "lpf HZ",     "asr RATE",   "fft-filter HI LO QUALITY",
    "channels 1|2", "130"};

} // namespace

TEST_P(CliInformation, HelpGoesToStandardOutputAndExitsZero) {
    const CliRun run = Run(GetParam());
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out.rfind("orvane-cli ", 0), 0u) << run.Out;
    for (const char* word : kHelpWords) EXPECT_NE(run.Out.find(word), std::string::npos) << word;
}
INSTANTIATE_TEST_SUITE_P(Help, CliInformation, ::testing::Values("--help", "-h"));

TEST(CliVersion, PrintsTheProjectVersion) {
    wavtest::TempDir dir;
    const CliRun run = RunCli("--version", dir.File("stderr.txt"));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, "orvane-cli (Orvane+) " + std::string(kOrvaneVersion) + "\n");
    EXPECT_FALSE(kOrvaneVersion.empty());
}

// The help words are options only on their own: after a command, or with more arguments, they are
// bad usage as before.
TEST(CliVersion, InformationOptionsElsewhereAreBadUsage) {
    wavtest::TempDir dir;
    for (const std::string args : {"--help info", "render --version", "--version --help", "-H", "--helpme"}) {
        const CliRun run = RunCli(args, dir.File("stderr.txt"));
        EXPECT_EQ(run.ExitCode, 2) << args;
        EXPECT_EQ(run.Out, "") << args;
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << args;
    }
}
