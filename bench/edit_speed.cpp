// The long edits on a 100 MB two-channel recording (520 s at 48000 Hz), timed in one run with their
// references, the rounds alternating so that a change in the machine's load falls on all of them:
// - "LPF" and "I/Q2R" against sox running twelve chained biquad low-pass filters over the same file,
//   each as a whole process (orvane-cli edit: read, edit, write; sox: read, filter, write) and as the
//   edit alone in this process;
// - "LPF", "I/Q2R", "Sin", "Cos" against their straightforward versions (tests/support/ReferenceOps.h), the
// same
//   values the edits computed before they were made faster; "FFT_F" alone;
// - how long each edit takes to end once a stop is requested 150 ms into its run, and how long of that
//   the level restore takes, which every stopped edit still runs over the whole store.
// Prints the median of each and the ratios of the medians, and for the whole processes also their CPU
// time (user and system), which a busy machine changes far less than their wall time.
// ORVANE_BENCH_ROUNDS sets the rounds (5). ORVANE_BENCH_BEFORE_CLI may name an orvane-cli built before
// the edits were made faster: its "Sin" and "FFT_F" then run as processes beside today's.
#include "BenchFigures.h"
#include "ops/FFTBandFilter.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/LPFFilter.h"
#include "ops/StoreLevel.h"
#include "ops/Tune.h"
#include "signal/SignalStore.h"
#include "signal/WavWriter.h"
#include "support/ReferenceOps.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace {

using bench::LoadAverage;
using bench::Median;

constexpr int32_t kRate = 48000;
constexpr int32_t kSeconds = 520;
constexpr double kCutoff = 5000; // the LPF field; each section peaks at half of it

// A tone on each channel (the second one a quarter turn later, as an I/Q pair) and noise.
SignalStore Recording() {
    SignalStore s;
    const size_t values = size_t{2} * kRate * kSeconds;
    s.Samples.resize(values);
    std::mt19937 random(1);
    std::uniform_int_distribution<int> noise(-2000, 2000);
    for (size_t k = 0; k < values; ++k) {
        const double phase = 2 * std::numbers::pi * 3000.0 * static_cast<double>(k / 2) / kRate;
        const double tone = k % 2 == 0 ? std::cos(phase) : std::sin(phase);
        s.Samples[k] = static_cast<int16_t>(std::lround(12000 * tone) + noise(random));
    }
    s.ValueCount = static_cast<int32_t>(values);
    s.ChannelCount = 2;
    s.SampleRate = kRate;
    s.FileName = "edit-speed.wav";
    return s;
}

std::string WriteRecording(const SignalStore& store, const std::filesystem::path& folder) {
    const std::string file = (folder / "edit-speed-100MB.wav").string();
    WavFormatRecord record;
    record.ChannelCount = 2;
    record.SampleRate = kRate;
    record.Data = std::span<const int16_t>(store.Samples.data(), store.Samples.size());
    if (WriteWavFile(file, record) != kWavWriteOk) throw std::runtime_error("cannot write " + file);
    return file;
}

// Twelve biquad low-pass filters as TLPF designs its sections: the bilinear transform of
// 1 / (s^2 + s/Q + 1) with Q = 0.8, pre-warped to half the cut-off (sox's "lowpass F 0.8q").
std::string SoxCommand(const std::string& in, const std::string& out) {
    std::string command = "sox -q -V1 " + in + " " + out;
    for (int i = 0; i < 12; ++i)
        command += " lowpass " + std::to_string(static_cast<int>(kCutoff / 2)) + " 0.8q";
    return command + " 2>/dev/null";
}

double Seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU seconds (user and system) of the children this process has waited for so far.
double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timed {
    std::string Name;
    std::function<void()> Run;
};

// An edit on a fresh copy of the store; only the edit is timed.
std::function<void()> EditOnCopy(const SignalStore& original, SignalStore& work,
                                 std::function<void(SignalStore&)> edit, double& seconds) {
    return [&original, &work, edit, &seconds] {
        work = original;
        seconds = Seconds([&] { edit(work); });
    };
}

} // namespace

int main() {
    const int rounds =
        std::max(1, std::atoi(std::getenv("ORVANE_BENCH_ROUNDS") ? std::getenv("ORVANE_BENCH_ROUNDS") : "5"));
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const SignalStore original = Recording();
    const std::string in = WriteRecording(original, folder);
    const std::string out = (folder / "edit-speed-out.wav").string();
    const std::string cli = ORVANE_CLI_PATH;
    const bool haveSox = std::system("sox --version >/dev/null 2>&1") == 0;
    std::printf("edit speed: %zu values, 2 channels, %d Hz (%.1f MB), %d rounds, %u cores; load %s\n",
                original.Samples.size(), kRate, 2.0 * original.Samples.size() / 1e6, rounds,
                std::thread::hardware_concurrency(), LoadAverage().c_str());

    SignalStore work;
    std::map<std::string, std::vector<double>> times;
    double seconds = 0;
    reference::StopFrom never(reference::kNever);
    std::map<std::string, std::vector<double>> cpu; // of the whole processes
    std::vector<Timed> runs;
    auto process = [&](const std::string& name, const std::string& command) {
        runs.push_back({name, [&cpu, name, command] {
                            const double before = ChildrenCpuSeconds();
                            if (std::system(command.c_str()) != 0)
                                std::fprintf(stderr, "failed: %s\n", command.c_str());
                            cpu[name].push_back(ChildrenCpuSeconds() - before);
                        }});
    };
    auto cliEdit = [&](const std::string& program, const std::string& edit) {
        return program + " edit " + in + " " + out + " " + edit + " >/dev/null";
    };
    if (haveSox) process("sox 12 x lowpass (process)", SoxCommand(in, out));
    process("LPF (orvane-cli process)", cliEdit(cli, "lpf 5000"));
    process("I/Q2R (orvane-cli process)", cliEdit(cli, "iq2real"));
    const char* before = std::getenv("ORVANE_BENCH_BEFORE_CLI");
    if (before != nullptr) {
        for (const auto& [name, edit] :
             {std::pair{"Sin", "sin 3000"}, std::pair{"FFT_F", "fft-filter 6000 300 1"}}) {
            process(std::string(name) + " (orvane-cli process)", cliEdit(cli, edit));
            process(std::string(name) + " (orvane-cli before, process)", cliEdit(before, edit));
        }
    }
    using Edit = std::function<void(SignalStore&, JobControl&)>;
    const std::vector<std::pair<std::string, Edit>> edits = {
        {"LPF", [](SignalStore& s, JobControl& job) { LPFFilterStore(s, kCutoff, job); }},
        {"LPF reference", [&](SignalStore& s, JobControl&) { reference::LPFFilterStore(s, kCutoff, never); }},
        {"I/Q2R", [](SignalStore& s, JobControl& job) { ConvertIQToReal(s, job); }},
        {"I/Q2R reference", [&](SignalStore& s, JobControl&) { reference::ConvertIQToReal(s, never); }},
        {"Sin", [](SignalStore& s, JobControl& job) { SinShift(s, 3000, job); }},
        {"Sin reference",
         [&](SignalStore& s, JobControl&) { reference::ShiftStore(s, 3000, ShiftWave::Sine, never); }},
        {"Cos", [](SignalStore& s, JobControl& job) { CosShift(s, 3000, job); }},
        {"Cos reference",
         [&](SignalStore& s, JobControl&) { reference::ShiftStore(s, 3000, ShiftWave::Cosine, never); }},
        {"FFT_F", [](SignalStore& s, JobControl& job) { FFTBandFilter(s, 6000, 300, 1, job); }},
        {"Tune", [](SignalStore& s, JobControl& job) { TuneStore(s, -10125.5, job); }},
        {"level restore", [](SignalStore& s, JobControl&) { RestoreLevel(s, 25000); }},
    };
    for (const auto& [name, edit] : edits) {
        runs.push_back({name, EditOnCopy(
                                  original, work,
                                  [edit](SignalStore& s) {
                                      JobControl job;
                                      edit(s, job);
                                  },
                                  seconds)});
    }
    // How long each edit takes to end after "Stop Calculate", asked 150 ms into the run.
    for (const auto& [name, edit] : edits) {
        if (name.find("reference") != std::string::npos || name == "level restore") continue;
        runs.push_back(
            {name + " stop", [&, edit] {
                 work = original;
                 JobControl job;
                 std::chrono::steady_clock::time_point asked;
                 std::jthread worker([&] { edit(work, job); });
                 std::this_thread::sleep_for(std::chrono::milliseconds(150));
                 asked = std::chrono::steady_clock::now();
                 job.RequestStop();
                 worker.join();
                 seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
             }});
    }

    for (int round = 0; round < rounds; ++round) {
        for (const Timed& run : runs) {
            seconds = -1;
            const double whole = Seconds(run.Run);
            times[run.Name].push_back(seconds >= 0 ? seconds : whole);
        }
    }
    std::filesystem::remove(in);
    std::filesystem::remove(out);

    std::printf("%-30s %10s %10s %10s\n", "median of each (s)", "median", "min", "max");
    for (const Timed& run : runs) {
        if (run.Name.ends_with(" stop")) continue;
        const auto& t = times[run.Name];
        std::printf("%-30s %10.3f %10.3f %10.3f", run.Name.c_str(), Median(t),
                    *std::min_element(t.begin(), t.end()), *std::max_element(t.begin(), t.end()));
        if (cpu.count(run.Name) != 0) std::printf("   CPU %.3f", Median(cpu[run.Name]));
        std::printf("\n");
    }
    auto ratio = [&](const std::string& a, const std::string& b) {
        if (times.count(a) == 0 || times.count(b) == 0) return;
        std::printf("%-58s %6.2f", (a + " / " + b).c_str(), Median(times[a]) / Median(times[b]));
        if (cpu.count(a) != 0 && cpu.count(b) != 0)
            std::printf("   CPU %.2f", Median(cpu[a]) / Median(cpu[b]));
        std::printf("\n");
    };
    std::printf(
        "ratios of the medians (targets: LPF <= 0.5 and I/Q2R <= 0.75 of sox; shifts >= 2x faster)\n");
    ratio("LPF (orvane-cli process)", "sox 12 x lowpass (process)");
    ratio("I/Q2R (orvane-cli process)", "sox 12 x lowpass (process)");
    ratio("LPF", "sox 12 x lowpass (process)");
    ratio("I/Q2R", "sox 12 x lowpass (process)");
    ratio("LPF reference", "LPF");
    ratio("I/Q2R reference", "I/Q2R");
    ratio("Sin reference", "Sin");
    ratio("Cos reference", "Cos");
    // Tune's throughput (target: at least 50 M values per second on the two cores).
    if (times.count("Tune") != 0)
        std::printf("%-58s %6.1f M values/s\n", "Tune",
                    original.Samples.size() / Median(times["Tune"]) / 1e6);
    for (const char* name : {"Sin", "FFT_F"})
        ratio(std::string(name) + " (orvane-cli before, process)",
              std::string(name) + " (orvane-cli process)");
    std::printf("the stop: seconds from the request to the end of the edit, the level restore included\n"
                "(target: within 0.1 s; the restore alone: \"level restore\" above)\n");
    for (const auto& [name, edit] : edits)
        if (times.count(name + " stop") != 0)
            std::printf("%-30s %10.3f (max %.3f)\n", (name + " stop").c_str(), Median(times[name + " stop"]),
                        *std::max_element(times[name + " stop"].begin(), times[name + " stop"].end()));
    std::printf("load at the end: %s\n", LoadAverage().c_str());
    return 0;
}
