// How soon "Stop Calculate" ends a spectrogram job: RecomputeSpectrogram (the one entry point of the
// window and orvane-cli) runs on its own thread over 60-second 48000 Hz recordings, the stop flag is
// raised a given time after the job started (during the preparation or among the columns), and the
// time from the stop to the job's return is taken. Each job is stopped at several moments, each moment
// several times; the largest and the median latency per job are printed, with the load average.
//
//   bench_render_stop_latency [REPEATS]      (default 5)
//
// Target: every stop ends its job within 100 ms. The verdict is printed; the exit status is 0, since a
// loaded machine can delay one run.
#include "BenchFigures.h"
#include "BenchRecordings.h"

#include "spectral/RecomputeSpectrogram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::LoadAverage;
using bench::Median;

using Clock = std::chrono::steady_clock;

struct Job {
    const char* Name;
    int Channels;
    SpectrogramSettings Settings;
};

// The three jobs of the speed comparison, a short and a long transform with many columns, and the
// largest transform.
const Job kJobs[] = {
    {"mono, N = 1024, \"X = Y\"", 1, {1024, 1, 5, 100}},
    {"mono, N = 1024, \"X / 8\"", 1, {1024, 8, 5, 100}},
    {"two channels, N = 1024, \"X = Y\"", 2, {1024, 1, 5, 100}},
    {"mono, N = 256, \"X / 64\"", 1, {256, 64, 5, 100}},
    {"two channels, N = 65536, \"X / 32\"", 2, {65536, 32, 5, 100}},
    {"mono, N = 1048576, \"X / 8\"", 1, {1048576, 8, 5, 100}},
    {"mono, N = 8388608, \"X = Y\"", 1, {8388608, 1, 5, 100}},
};

// Moments of the stop after the job's start, in milliseconds.
const int kStopAfterMs[] = {0, 3, 15, 40, 90};

struct Sample {
    bool FinishedFirst = false;
    double LatencyMs = 0;
};

Sample StopOnce(const SignalStore& store, const SpectrogramSettings& settings, int afterMs) {
    SpectrogramState state;
    JobControl control;
    Clock::time_point returned;
    const Clock::time_point start = Clock::now();
    std::thread job([&] {
        RecomputeSpectrogram(state, store, settings, control);
        returned = Clock::now();
    });
    std::this_thread::sleep_until(start + std::chrono::milliseconds(afterMs));
    const Clock::time_point stop = Clock::now();
    control.RequestStop();
    job.join();
    Sample s;
    s.FinishedFirst = returned <= stop;
    s.LatencyMs = std::chrono::duration<double, std::milli>(returned - stop).count();
    return s;
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const SignalStore mono = bench::MakeRecording(1);
    const SignalStore stereo = bench::MakeRecording(2);
    std::printf("stops 0 to 90 ms after the start, %d times each; load average before: %s\n", repeats,
                LoadAverage().c_str());
    std::printf("%-36s %8s %10s %10s\n", "job", "stops", "median ms", "max ms");
    double worst = 0;
    for (const Job& job : kJobs) {
        std::vector<double> latencies;
        for (int r = 0; r < repeats; ++r) {
            for (const int after : kStopAfterMs) {
                const Sample s = StopOnce(job.Channels == 2 ? stereo : mono, job.Settings, after);
                if (s.FinishedFirst) continue;
                latencies.push_back(s.LatencyMs);
            }
        }
        std::sort(latencies.begin(), latencies.end());
        const double median = latencies.empty() ? 0 : latencies[latencies.size() / 2];
        const double max = latencies.empty() ? 0 : latencies.back();
        worst = std::max(worst, max);
        std::printf("%-36s %8zu %10.1f %10.1f\n", job.Name, latencies.size(), median, max);
        std::fflush(stdout);
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    std::printf("target (every stop within 100 ms): %s; largest %.1f ms\n", worst <= 100 ? "met" : "NOT met",
                worst);
    return 0;
}
