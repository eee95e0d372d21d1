// The random-run check of orvane-cli: thousands of runs of `info`, `render` and `edit` over damaged and
// edge-case recordings, with random options and edit chains. Every run must end with exit code 0, 1 or 2
// within its time limits and without a sanitizer report on standard error (in the sanitizer build, which
// `make test-asan` runs 300 by default and `make test-asan RANDOM_RUNS=3000` thousands; other builds run
// a few hundred as a smoke check).
// The runs are fixed by a seed: run i of seed s is the same on every machine. A failure prints the seed,
// the run, the recording's bytes (kept in cli-random-run-failures/ beside the test program) and the
// command line.
// Environment: ORVANE_RANDOM_RUNS (runs in all), ORVANE_RANDOM_SEED, ORVANE_RANDOM_FIRST (first run).
// The runs are split over several tests so that ctest can run them side by side.
#include "ProcessRun.h"
#include "RandomCommandLines.h"
#include "RandomRecordings.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

using namespace wavtest;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t kShards = 4;
constexpr uint64_t kDefaultSeed = 20251208;
constexpr uint64_t kDefaultRuns = 240;
// Generous for a sanitizer build on a loaded machine; the largest renders take a few seconds.
constexpr unsigned kCpuSeconds = 60;
constexpr unsigned kWallSeconds = 180;
constexpr size_t kExamplesPerSignature = 3;
constexpr unsigned kRunsAtOnce = 2;

uint64_t EnvNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

std::string EnvText(const char* name) {
    const char* text = std::getenv(name);
    return text != nullptr ? text : "";
}

// The sanitizers report leaks and stop at the first undefined behaviour; the suppressions of the test
// run (LSAN_OPTIONS) are inherited.
std::vector<std::string> SanitizerEnvironment() {
    return {"ASAN_OPTIONS=" + EnvText("ASAN_OPTIONS") + ":detect_leaks=1",
            "UBSAN_OPTIONS=" + EnvText("UBSAN_OPTIONS") + ":halt_on_error=1:print_stacktrace=1"};
}

std::vector<Bytes> CorpusFiles() {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(fs::path(ORVANE_SOURCE_DIR) / "fuzz" / "corpus"))
        if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end()); // the same order, and so the same runs, on every machine
    std::vector<Bytes> files;
    for (const auto& p : paths) files.push_back(ReadFile(p.string()));
    return files;
}

// A sanitizer's line without what differs from run to run with the same fault: the process id
// (==1234==), addresses, and long numbers such as offsets and sizes. Line numbers stay.
std::string WithoutNumbersOfTheRun(const std::string& line) {
    const auto digitsFrom = [&](size_t i, bool hex) {
        while (i < line.size() && (hex ? std::isxdigit(static_cast<unsigned char>(line[i]))
                                       : std::isdigit(static_cast<unsigned char>(line[i]))))
            ++i;
        return i;
    };
    std::string kept;
    for (size_t i = 0; i < line.size();) {
        if (line.compare(i, 2, "0x") == 0) {
            kept += "0x…";
            i = digitsFrom(i + 2, true);
        } else if (std::isdigit(static_cast<unsigned char>(line[i]))) {
            const size_t next = digitsFrom(i, false);
            kept += next - i >= 5 ? std::string("…") : line.substr(i, next - i);
            i = next;
        } else if (line.compare(i, 2, "==") == 0 && line.compare(digitsFrom(i + 2, false), 2, "==") == 0 &&
                   digitsFrom(i + 2, false) > i + 2) {
            i = digitsFrom(i + 2, false) + 2;
        } else {
            kept += line[i++];
        }
    }
    return kept;
}

// What went wrong in a run, in one line that is the same for every run with the same fault (process
// ids and addresses left out); empty for a run that ended well.
std::string SignatureOf(const ProcessEnd& end) {
    std::istringstream lines(end.Errors);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("runtime error:") == std::string::npos && line.find("Sanitizer") == std::string::npos)
            continue;
        return WithoutNumbersOfTheRun(line);
    }
    if (end.TimedOut) return "timed out";
    if (end.Signal != 0) return "ended by signal " + std::to_string(end.Signal);
    if (end.ExitCode < 0 || end.ExitCode > 2) return "exit code " + std::to_string(end.ExitCode);
    return "";
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Hex(const Bytes& data) {
    std::string text;
    char byte[4];
    for (uint8_t b : data) {
        std::snprintf(byte, sizeof byte, "%02x ", b);
        text += byte;
    }
    return text;
}

struct Failure {
    uint64_t Run;
    std::string Signature;
    std::string Description; // the recording, the command line and the way to repeat the run
};

// Keeps the recording of a failing run beside the test and describes the run.
// Keeps the recording of a failing run beside the test program and describes the run, with a command
// line that works on the kept file.
std::string Describe(uint64_t seed, uint64_t run, const RandomRecording& recording,
                     std::vector<std::string> args, const std::string& input, const std::string& folder) {
    const fs::path program = fs::read_symlink("/proc/self/exe");
    const fs::path keptFolder = program.parent_path() / "cli-random-run-failures";
    const fs::path kept =
        keptFolder / ("seed" + std::to_string(seed) + "-run" + std::to_string(run) + ".wav");
    fs::create_directories(keptFolder);
    std::ofstream(kept, std::ios::binary)
        .write(reinterpret_cast<const char*>(recording.Data.data()), std::streamsize(recording.Data.size()));
    std::ostringstream text;
    text << "run " << run << ": " << recording.Kind << "\n  " << ORVANE_CLI_PATH;
    for (auto& a : args) {
        if (a == input) a = kept.string();
        if (a.starts_with(folder)) a = keptFolder.string() + a.substr(folder.size());
        text << ' ' << clitest::Quote(a);
    }
    text << "\n  " << recording.Data.size() << " bytes";
    if (recording.Data.size() <= 160) text << ": " << Hex(recording.Data);
    text << "\n  repeat: ORVANE_RANDOM_SEED=" << seed << " ORVANE_RANDOM_FIRST=" << run
         << " ORVANE_RANDOM_RUNS=1 " << program.string() << " --gtest_filter='*CliRandomRuns*'";
    return text.str();
}

// What the runs of one part came to, collected from the threads that start them.
struct Tally {
    std::mutex Lock;
    std::map<int, uint64_t> ExitCodes;
    std::vector<Failure> Failures;
    std::pair<uint64_t, double> Slowest{0, 0.0};
};

// Makes run `run` of `seed` in `dir` (emptied first), starts orvane-cli on it and records how it ended.
void RunOnce(uint64_t seed, uint64_t run, const std::vector<Bytes>& corpus, const TempDir& dir,
             Tally& tally) {
    for (const auto& entry : fs::directory_iterator(dir.Path())) fs::remove_all(entry.path());
    SeededRandom random = SeededRandom::ForRun(seed, run);
    const RandomRecording recording = MakeRandomRecording(random, corpus);
    const std::string input = dir.Write("input.wav", recording.Data);
    const auto args = MakeRandomCommandLine(random, input, recording.Data.size(), dir.Path().string());
    const auto start = std::chrono::steady_clock::now();
    const ProcessEnd ended =
        RunProcess(ORVANE_CLI_PATH, args, SanitizerEnvironment(), kCpuSeconds, kWallSeconds);
    const double seconds = SecondsSince(start);
    const std::string signature = SignatureOf(ended);
    const std::string description =
        signature.empty() ? "" : Describe(seed, run, recording, args, input, dir.Path().string());

    std::lock_guard lock(tally.Lock);
    ++tally.ExitCodes[ended.ExitCode];
    if (seconds > tally.Slowest.second) tally.Slowest = {run, seconds};
    if (!signature.empty()) tally.Failures.push_back({run, signature, description});
}

std::string Report(std::vector<Failure> failures) {
    std::sort(failures.begin(), failures.end(),
              [](const Failure& a, const Failure& b) { return a.Run < b.Run; });
    std::map<std::string, std::vector<const Failure*>> bySignature;
    for (const auto& f : failures) bySignature[f.Signature].push_back(&f);
    std::ostringstream report;
    for (const auto& [signature, group] : bySignature) {
        report << '\n' << group.size() << " run(s): " << signature << "\n  runs:";
        for (const Failure* f : group) report << ' ' << f->Run;
        for (size_t k = 0; k < group.size() && k < kExamplesPerSignature; ++k)
            report << '\n' << group[k]->Description;
    }
    return report.str();
}

class CliRandomRuns : public ::testing::TestWithParam<uint64_t> {};

} // namespace

TEST_P(CliRandomRuns, EveryRunEndsWithExitCode0To2AndNoSanitizerReport) {
    const uint64_t seed = EnvNumber("ORVANE_RANDOM_SEED", kDefaultSeed);
    const uint64_t runs = EnvNumber("ORVANE_RANDOM_RUNS", kDefaultRuns);
    const uint64_t first = EnvNumber("ORVANE_RANDOM_FIRST", 0);
    const uint64_t begin = first + runs * GetParam() / kShards;
    const uint64_t end = first + runs * (GetParam() + 1) / kShards;
    if (begin == end) GTEST_SKIP() << "no run falls to this part";

    const std::vector<Bytes> corpus = CorpusFiles();
    ASSERT_FALSE(corpus.empty()) << "the fuzz seed corpus is missing";
    // Each run spends part of its time waiting (the leak check stops the process's threads), so a second
    // run at the same time keeps the processor busy.
    Tally tally;
    std::atomic<uint64_t> next{begin};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> starters;
    for (unsigned k = 0; k < kRunsAtOnce; ++k)
        starters.emplace_back([&] {
            const TempDir dir;
            for (uint64_t run; (run = next++) < end;) RunOnce(seed, run, corpus, dir, tally);
        });
    for (auto& t : starters) t.join();

    std::ostringstream summary;
    summary << "[random runs] seed " << seed << ", runs " << begin << " to " << end - 1 << ": "
            << SecondsSince(start) << " s (slowest: run " << tally.Slowest.first << ", "
            << tally.Slowest.second << " s); exit 0: " << tally.ExitCodes[0] << ", 1: " << tally.ExitCodes[1]
            << ", 2: " << tally.ExitCodes[2] << "; failed: " << tally.Failures.size() << "\n";
    std::fputs(summary.str().c_str(), stdout);

    EXPECT_TRUE(tally.Failures.empty()) << tally.Failures.size() << " of " << end - begin << " runs of seed "
                                        << seed << " failed:" << Report(tally.Failures);
    // Most runs must get through to the computation, or the check would test little but the usage errors.
    if (end - begin >= 40) {
        EXPECT_GE(tally.ExitCodes[0] * 2, end - begin);
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, CliRandomRuns, ::testing::Range<uint64_t>(0, kShards));
