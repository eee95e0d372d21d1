// The progress bar of render and edit on a terminal, silence on a pipe and with --quiet, and Ctrl+C,
// SIGTERM or SIGHUP during a long job: the job stops, nothing is written or replaced, and the exit code
// is 128 + the signal's number.
#include "../cli/CliRun.h"
#include "TerminalRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace clitest;
using namespace std::chrono_literals;

namespace {

// Time limits far above what the jobs take on a loaded two-core machine under the sanitizers.
constexpr auto kLimit = 600s;

// A file of `bytes` bytes of noise. Not being a RIFF/WAVE file, it is read as raw 16-bit mono values
// at 8000 Hz, as the window reads any such file.
std::string WriteNoise(const wavtest::TempDir& dir, const std::string& name, size_t bytes) {
    std::vector<uint32_t> words(bytes / 4);
    uint32_t state = 1;
    for (uint32_t& word : words) word = state = state * 1664525u + 1013904223u;
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(words.data()), std::streamsize(words.size() * 4));
    return path;
}

std::vector<std::string> FilesIn(const wavtest::TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool ProgressStarted(const std::string& screen) {
    const std::vector<int> shown = ShownPercentages(screen);
    return std::any_of(shown.begin(), shown.end(), [](int p) { return p > 0; });
}

// A job of a fraction of a second: the low-pass filter over 20 million values.
class CliProgress : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new wavtest::TempDir;
        input_ = new std::string(WriteNoise(*dir_, "noise.raw", 40'000'000));
    }
    static void TearDownTestSuite() {
        delete input_;
        delete dir_;
    }
    std::vector<std::string> LongEdit(const std::string& out) const {
        return {"edit", *input_, out, "lpf", "1000"};
    }
    std::string Out(const std::string& name) const { return dir_->File(name); }

    static wavtest::TempDir* dir_;
    static std::string* input_;
};
wavtest::TempDir* CliProgress::dir_ = nullptr;
std::string* CliProgress::input_ = nullptr;

} // namespace

// The bar is first drawn a fifth of a second into the job: this one, the low-pass filter over 100
// million values, lasts long enough for several drawings.
TEST_F(CliProgress, TerminalShowsARisingBarThatEndsAtOneHundred) {
    const std::string longInput = WriteNoise(*dir_, "long.raw", 200'000'000);
    const TerminalRun run = RunOnTerminal({"edit", longInput, Out("bar.wav"), "lpf", "1000"}, {}, kLimit);
    ASSERT_FALSE(run.TimedOut);
    EXPECT_EQ(run.ExitCode, 0) << run.Screen;
    const std::vector<int> shown = ShownPercentages(run.Screen);
    ASSERT_GE(shown.size(), 2u) << run.Screen;
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << run.Screen;
    EXPECT_EQ(shown.back(), 100);
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](int p) { return p > 0 && p < 100; }))
        << run.Screen;
    EXPECT_EQ(run.Screen.find('\r'), 0u) << "each drawing returns to the start of the line";
    EXPECT_EQ(run.Screen.back(), '\n') << "the finished bar ends its line";
    EXPECT_NE(run.Screen.find("[########################################] 100%"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(Out("bar.wav")));
    std::filesystem::remove(longInput);
    std::filesystem::remove(Out("bar.wav"));
}

TEST_F(CliProgress, QuietShowsNothingOnATerminal) {
    std::vector<std::string> args = LongEdit(Out("quiet.wav"));
    args.insert(args.begin() + 3, "--quiet");
    const TerminalRun run = RunOnTerminal(args, {}, kLimit);
    EXPECT_EQ(run.ExitCode, 0) << run.Screen;
    EXPECT_EQ(run.Screen, "");
}

TEST_F(CliProgress, APipeGetsNoBar) {
    const CliRun run =
        RunCli("edit " + Quote(*input_) + " " + Quote(Out("pipe.wav")) + " lpf 1000", Out("stderr.txt"));
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, "");
}

// A signal once the bar shows progress (Ctrl+C typed, or SIGTERM or SIGHUP sent): the job ends early
// (the bar never reaches 100), no output file is created, an existing one is not replaced, no temporary
// file is left, and the program exits by itself with 128 + the signal's number.
struct InterruptedJob {
    const char* Name;
    std::vector<std::string> (*Args)(const std::string& in, const std::string& out);
    size_t Bytes;          // size of the input
    const char* Extension; // of the output
};

struct StopSignal {
    const char* Name;
    int Number;
};

void PrintTo(const InterruptedJob& job, std::ostream* out) {
    *out << job.Name;
}

void PrintTo(const StopSignal& signal, std::ostream* out) {
    *out << signal.Name;
}

class CliInterrupt : public ::testing::TestWithParam<std::tuple<InterruptedJob, StopSignal>> {
protected:
    wavtest::TempDir dir;
};

TEST_P(CliInterrupt, ASignalStopsTheJobAndWritesNothing) {
    const auto& [job, signal] = GetParam();
    const std::string in = WriteNoise(dir, "in.raw", job.Bytes);
    for (const bool existing : {false, true}) {
        const std::string name = (existing ? "existing" : "new") + std::string(job.Extension);
        const std::string out = dir.File(name);
        if (existing) dir.Write(name, wavtest::Bytes{'k', 'e', 'e', 'p'});
        const TerminalRun run = RunOnTerminal(job.Args(in, out), ProgressStarted, kLimit, signal.Number);
        ASSERT_FALSE(run.TimedOut) << run.Screen;
        ASSERT_TRUE(run.SignalSent) << run.Screen;
        EXPECT_FALSE(run.Killed) << "the program did not handle " << signal.Name;
        EXPECT_EQ(run.ExitCode, 128 + signal.Number) << run.Screen;
        const std::vector<int> shown = ShownPercentages(run.Screen);
        ASSERT_FALSE(shown.empty());
        EXPECT_LT(shown.back(), 100) << "the job ran to its end: " << run.Screen;
        EXPECT_NE(run.Screen.find("orvane-cli: " + out + ": not written: stopped by " + signal.Name + "\r\n"),
                  std::string::npos)
            << run.Screen;
        if (existing)
            EXPECT_EQ(wavtest::ReadFile(out), (wavtest::Bytes{'k', 'e', 'e', 'p'}));
        else
            EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"existing" + std::string(job.Extension), "in.raw"}));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, CliInterrupt,
    ::testing::Combine(
        ::testing::Values(
            // The large transform: 720000 values at N = 8388608, "X / 16": 19 columns of 4194304 rows.
            InterruptedJob{"Render",
                           [](const std::string& in, const std::string& out) {
                               return std::vector<std::string>{"render",        in,  out, "--fft", "8388608",
                                                               "--image-width", "16"};
                           },
                           1'440'000, ".png"},
            // The low-pass filter over 100 million values.
            InterruptedJob{"Edit",
                           [](const std::string& in, const std::string& out) {
                               return std::vector<std::string>{"edit", in, out, "lpf", "1000"};
                           },
                           200'000'000, ".wav"}),
        ::testing::Values(StopSignal{"SIGINT", SIGINT}, StopSignal{"SIGTERM", SIGTERM},
                          StopSignal{"SIGHUP", SIGHUP})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).Name) + "_" + std::get<1>(info.param).Name;
    });
