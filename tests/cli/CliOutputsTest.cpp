// The outputs of render and edit are checked before any work: render never writes over its own input,
// whatever name leads to it, and writes only .bmp and .png names; an output that cannot be written
// fails before the input is even opened; edit may replace its own input.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace clitest;
using namespace wavtest;
namespace fs = std::filesystem;

namespace {

const std::string kDemo = std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav";

// Another name of the input file in.bmp of `dir`, made by the case.
struct OtherName {
    const char* Name;
    std::string (*Make)(const TempDir& dir);
};

void PrintTo(const OtherName& c, std::ostream* out) {
    *out << c.Name;
}

class CliInputAsOutput : public ::testing::TestWithParam<OtherName> {};

} // namespace

TEST_P(CliInputAsOutput, RenderRefusesToOverwriteItsInput) {
    TempDir dir;
    const std::string input = dir.File("in.bmp"); // a recording whose name a picture could have
    fs::copy_file(kDemo, input);
    const std::string output = GetParam().Make(dir);
    const CliRun run = RunCli("render " + Quote(input) + " " + Quote(output), dir.File("err"));
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err, "orvane-cli: " + output + ": is the input file " + input +
                           ": render does not overwrite its recording\n");
    EXPECT_EQ(run.Out, "");
    EXPECT_TRUE(ReadFile(input) == ReadFile(kDemo));
}

INSTANTIATE_TEST_SUITE_P(
    , CliInputAsOutput,
    ::testing::Values(OtherName{"SameName", [](const TempDir& d) { return d.File("in.bmp"); }},
                      OtherName{"PathThroughItsFolder", [](const TempDir& d) { return d.File("./in.bmp"); }},
                      OtherName{"SymbolicLink",
                                [](const TempDir& d) {
                                    fs::create_symlink("in.bmp", d.File("link.png"));
                                    return d.File("link.png");
                                }},
                      OtherName{"HardLink",
                                [](const TempDir& d) {
                                    fs::create_hard_link(d.File("in.bmp"), d.File("hard.PNG"));
                                    return d.File("hard.PNG");
                                }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CliOutputs, RenderWritesOnlyBmpAndPngNames) {
    TempDir dir;
    for (const char* name : {"out.jpg", "out", "out.png.txt", "out.wav", "out.bmpx"}) {
        const CliRun run = RunCli("render " + Quote(kDemo) + " " + Quote(dir.File(name)), dir.File("err"));
        EXPECT_EQ(run.ExitCode, 2) << name;
        EXPECT_EQ(run.Err, "orvane-cli: " + dir.File(name) +
                               ": not a picture name: render writes OUT.bmp or OUT.png\n");
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;
    }
    for (const char* name : {"out.Bmp", "out.PNG"}) {
        const CliRun run = RunCli("render " + Quote(kDemo) + " " + Quote(dir.File(name)), dir.File("err"));
        EXPECT_EQ(run.ExitCode, 0) << name << run.Err;
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
    }
}

// The input is a named pipe that nobody writes: a command that opened it before checking its output would
// wait for ever (and `timeout` would end it with 124). Each output is refused at once instead.
TEST(CliOutputs, AnOutputThatCannotBeWrittenFailsBeforeTheInputIsRead) {
    TempDir dir;
    const std::string pipe = dir.File("pipe.wav");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    fs::create_directory(dir.File("folder.wav"));
    struct Case {
        std::string Args;
        int ExitCode;
        std::string Line;
    };
    const std::string nowhere = dir.File("nowhere/out.png");
    for (const Case& c :
         {Case{"render " + Quote(pipe) + " " + Quote(nowhere) + " --fft 8388608", 1,
               nowhere + ": No such file or directory"},
          Case{"render " + Quote(pipe) + " " + Quote(dir.File("out.jpg")), 2,
               dir.File("out.jpg") + ": not a picture name: render writes OUT.bmp or OUT.png"},
          Case{"edit " + Quote(pipe) + " " + Quote(dir.File("folder.wav")) + " lpf 1000", 1,
               dir.File("folder.wav") + ": Is a directory"},
          Case{"edit " + Quote(pipe) + " " + Quote(dir.File("out.wav")) + " sin x", 2,
               "sin x: 'x' is not a valid floating point value"}}) {
        const CliRun run =
            RunCommand("timeout 120 " + std::string(ORVANE_CLI_PATH) + " " + c.Args, dir.File("err"));
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Args;
        EXPECT_EQ(run.Err, "orvane-cli: " + c.Line + "\n") << c.Args;
    }
}

// Edit in place replaces the recording with the edited one, as an edit to another file writes it.
TEST(CliOutputs, EditMayReplaceItsInput) {
    TempDir dir;
    const std::string input = dir.File("rec.wav");
    fs::copy_file(kDemo, input);
    const CliRun elsewhere =
        RunCli("edit " + Quote(input) + " " + Quote(dir.File("other.wav")) + " amp invert", dir.File("err"));
    ASSERT_EQ(elsewhere.ExitCode, 0) << elsewhere.Err;
    const CliRun inPlace =
        RunCli("edit " + Quote(input) + " " + Quote(input) + " amp invert", dir.File("err"));
    ASSERT_EQ(inPlace.ExitCode, 0) << inPlace.Err;
    EXPECT_TRUE(ReadFile(input) == ReadFile(dir.File("other.wav")));
    EXPECT_FALSE(ReadFile(input) == ReadFile(kDemo));
}
