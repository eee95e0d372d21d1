// orvane-cli's command line: the option forms users know from sox and ffmpeg give the picture of the
// plain form, "--" lets a word begin with "-", each command has its own --help, and every error is one
// line "orvane-cli: WHAT: REASON" on standard error with its exit code, the usage following only a
// usage error.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace clitest;
using namespace wavtest;

namespace {

const std::string kDemo = std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav";

// Two spellings of the same render options, and whether they give another picture than the defaults.
struct SameOptions {
    const char* Name;
    const char* Plain;
    const char* Other;
};

void PrintTo(const SameOptions& c, std::ostream* out) {
    *out << c.Name;
}

class CliOptionForms : public ::testing::TestWithParam<SameOptions> {
protected:
    TempDir dir;
    CliRun Render(const std::string& out, const std::string& options) {
        return RunCli("render " + Quote(kDemo) + " " + Quote(dir.File(out)) + " " + options, dir.File("err"));
    }
};

} // namespace

TEST_P(CliOptionForms, GiveThePictureOfThePlainForm) {
    const CliRun plain = Render("plain.bmp", GetParam().Plain);
    const CliRun other = Render("other.bmp", GetParam().Other);
    const CliRun defaults = Render("defaults.bmp", "");
    ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
    ASSERT_EQ(other.ExitCode, 0) << other.Err;
    ASSERT_EQ(defaults.ExitCode, 0) << defaults.Err;
    EXPECT_EQ(other.Out, plain.Out);
    const Bytes picture = ReadFile(dir.File("plain.bmp"));
    EXPECT_TRUE(ReadFile(dir.File("other.bmp")) == picture);
    EXPECT_FALSE(ReadFile(dir.File("defaults.bmp")) == picture) << "the option changed nothing";
}

INSTANTIATE_TEST_SUITE_P(
    , CliOptionForms,
    ::testing::Values(SameOptions{"ValueAfterAnEqualsSign", "--fft 256", "--fft=256"},
                      SameOptions{"WindowInAnyCase", "--window Hann", "--window hANN"},
                      SameOptions{"PaletteInAnyCase", "--palette Grayscale", "--palette=GRAYSCALE"},
                      SameOptions{"ViewInAnyCase", "--view iq", "--view IQ"},
                      SameOptions{"WideWidthInAnyCase", "--image-width x4", "--image-width X4"},
                      SameOptions{"TheLastOneCounts", "--gain 8000", "--gain 1 --quiet --gain 8000"}),
    [](const auto& info) { return std::string(info.param.Name); });

// Words that begin with "-": a negative number is a word; anything else is an option unless "--" came
// before it.
TEST(CliWords, DashesEndTheOptions) {
    TempDir dir;
    std::filesystem::copy_file(kDemo, dir.File("-in.wav"));
    const std::string cd = "cd " + Quote(dir.Path().string()) + " && " + ORVANE_CLI_PATH;
    const CliRun asOption = RunCommand(cd + " render -in.wav out.png", dir.File("err"));
    EXPECT_EQ(asOption.ExitCode, 2);
    EXPECT_EQ(asOption.Err.substr(0, asOption.Err.find('\n')), "orvane-cli: -in.wav: unknown option");
    const CliRun asWord = RunCommand(cd + " render --fft 256 -- -in.wav out.png", dir.File("err"));
    EXPECT_EQ(asWord.ExitCode, 0) << asWord.Err;
    EXPECT_TRUE(std::filesystem::exists(dir.File("out.png")));

    const std::string edit = "edit " + Quote(kDemo) + " " + Quote(dir.File("out.wav"));
    const CliRun negative = RunCli(edit + " lpf -5000 fft-filter -6000 -100 2", dir.File("err"));
    EXPECT_EQ(negative.ExitCode, 0) << negative.Err;
    const CliRun noDigit = RunCli(edit + " lpf -.5", dir.File("err"));
    EXPECT_EQ(noDigit.ExitCode, 2);
    EXPECT_EQ(noDigit.Err.substr(0, noDigit.Err.find('\n')),
              "orvane-cli: -.5: unknown option (write a negative number with a digit first, or after --)");
    const CliRun afterDashes = RunCli(edit + " -- lpf -.5", dir.File("err"));
    EXPECT_EQ(afterDashes.ExitCode, 0) << afterDashes.Err;
}

// Each command's --help lists its own options, and only those.
TEST(CliWords, EachCommandHasItsOwnHelp) {
    TempDir dir;
    struct Help {
        const char* Args;
        std::vector<const char*> Has, HasNot;
    };
    for (const Help& help :
         {Help{"render --help",
               {"usage: orvane-cli render", "--fft", "--palette", "--quiet", "--view"},
               {"--json"}},
          Help{"edit -h",
               {"usage: orvane-cli edit", "--fft", "--channels", "lpf HZ", "fft-filter HI LO"},
               {"--palette", "--json"}},
          Help{
              "info --help", {"usage: orvane-cli info", "--json", "--largest-file"}, {"--fft", "--quiet"}}}) {
        const CliRun run = RunCli(help.Args, dir.File("err"));
        EXPECT_EQ(run.ExitCode, 0) << help.Args;
        EXPECT_EQ(run.Err, "") << help.Args;
        for (const char* word : help.Has)
            EXPECT_NE(run.Out.find(word), std::string::npos) << help.Args << word;
        for (const char* word : help.HasNot)
            EXPECT_EQ(run.Out.find(word), std::string::npos) << help.Args << word;
    }
}

namespace {

// A command line that fails (or says why a step was refused), with {in} the demo recording and {dir}
// the test's folder, and the first line it gives on standard error.
struct ErrorCase {
    const char* Name;
    const char* Args;
    int ExitCode;
    const char* Line;
    bool Usage; // the usage follows the line
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.Name;
}

std::string Filled(std::string text, const std::string& dir) {
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"{in}", kDemo}, {"{dir}", dir}})
        for (size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), value);
    return text;
}

class CliErrors : public ::testing::TestWithParam<ErrorCase> {};

} // namespace

TEST_P(CliErrors, OneLineWithTheExitCode) {
    const ErrorCase& c = GetParam();
    TempDir dir;
    std::filesystem::copy_file(kDemo, dir.File("in.bmp"));
    std::filesystem::create_directory(dir.File("folder.png"));
    const std::string folder = dir.Path().string();
    const CliRun run = RunCli(Filled(c.Args, folder), dir.File("err.txt"));
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Err;
    const size_t end = run.Err.find('\n');
    ASSERT_NE(end, std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.substr(0, end), Filled(c.Line, folder));
    if (c.Usage)
        EXPECT_EQ(run.Err.find("usage:\n", end), end + 1) << run.Err;
    else
        EXPECT_EQ(run.Err.size(), end + 1) << run.Err;
    const bool written =
        std::filesystem::exists(dir.File("out.wav")) || std::filesystem::exists(dir.File("out.bmp"));
    EXPECT_EQ(written, c.ExitCode == 0);
}

INSTANTIATE_TEST_SUITE_P(
    , CliErrors,
    ::testing::Values(
        ErrorCase{"UnknownOption", "render {in} {dir}/out.bmp --bogus 1", 2,
                  "orvane-cli: --bogus: unknown option", true},
        ErrorCase{"ShortOptionIsNoFileName", "render -x {in} {dir}/out.bmp", 2,
                  "orvane-cli: -x: unknown option", true},
        ErrorCase{"UnknownCommand", "convert {in}", 2, "orvane-cli: convert: unknown command", true},
        ErrorCase{"UnknownOperation", "edit {in} {dir}/out.wav amp louder", 2,
                  "orvane-cli: louder: unknown operation", true},
        ErrorCase{"MissingWord", "render {in}", 2, "orvane-cli: render: OUT is missing", true},
        ErrorCase{"MissingNumber", "edit {in} {dir}/out.wav amp lpf", 2, "orvane-cli: lpf: needs 1 number",
                  true},
        ErrorCase{"MissingValue", "render {in} {dir}/out.bmp --fft", 2,
                  "orvane-cli: --fft: the value is missing", true},
        ErrorCase{"WindowOutsideItsList", "render {in} {dir}/out.bmp --window Kaiser", 2,
                  "orvane-cli: --window: 'Kaiser' is not one of None, Triangular, Hamming, Hann, Blackman, "
                  "Nuttall, Experimental",
                  true},
        ErrorCase{"WidthOutsideItsList", "edit {in} {dir}/out.wav --image-width=3", 2,
                  "orvane-cli: --image-width: '3' is not one of 1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, "
                  "2048, 4096, x2, x4, x8, x16, x32",
                  true},
        ErrorCase{"HelpAmongOtherWords", "--help info", 2,
                  "orvane-cli: --help: stands alone, or after a command: orvane-cli COMMAND --help", true},
        ErrorCase{"NumberTheWindowRejects", "edit {in} {dir}/out.wav amp sin 1,5", 2,
                  "orvane-cli: sin 1,5: '1,5' is not a valid floating point value", false},
        ErrorCase{"OutputIsTheInput", "render {dir}/in.bmp {dir}/in.bmp", 2,
                  "orvane-cli: {dir}/in.bmp: is the input file {dir}/in.bmp: render does not overwrite its "
                  "recording",
                  false},
        ErrorCase{"NotAPictureName", "render {in} {dir}/out.jpg", 2,
                  "orvane-cli: {dir}/out.jpg: not a picture name: render writes OUT.bmp or OUT.png", false},
        ErrorCase{"OutputFolderMissing", "edit {in} {dir}/nowhere/out.wav", 1,
                  "orvane-cli: {dir}/nowhere/out.wav: No such file or directory", false},
        ErrorCase{"OutputIsAFolder", "render {in} {dir}/folder.png", 1,
                  "orvane-cli: {dir}/folder.png: Is a directory", false},
        ErrorCase{
            "RefusedStepIsNoError", "edit {in} {dir}/out.wav lpf 999999", 0,
            "orvane-cli: lpf 999999: refused: the cut-off 999999 Hz is above the sample rate minus 1 (47999 "
            "Hz)",
            false}),
    [](const auto& info) { return std::string(info.param.Name); });
