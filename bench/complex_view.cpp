// The complex I/Q picture against the two bands of the same two-channel recording (60 seconds at
// 48000 Hz, bench/BenchRecordings.h): the engine's whole computation, in process, on all cores, in
// alternating rounds, for small and large transforms and column steps. Prints the medians of wall and
// CPU time and their ratios (complex / two bands; the aim is at most 1.1).
//
//   bench_complex_view [rounds]   (default 7)
#include "BenchFigures.h"
#include "BenchRecordings.h"

#include "spectral/RecomputeSpectrogram.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

struct Times {
    std::vector<double> Wall;
    std::vector<double> Cpu;
};

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// One computation of the picture; false when it was refused or stopped.
bool TimeOnce(const SignalStore& store, const SpectrogramSettings& settings, Times& times) {
    SpectrogramState state;
    JobControl control;
    const double cpu = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const SpectrogramResult result = RecomputeSpectrogram(state, store, settings, control);
    times.Wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    times.Cpu.push_back(CpuSeconds() - cpu);
    return !result.Refused && !result.Stopped;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const SignalStore store = bench::MakeRecording(2);
    std::printf("two channels, %d values at %d Hz; %d alternating rounds; load average before: %s\n",
                store.ValueCount, store.SampleRate, rounds, bench::LoadAverage().c_str());
    std::printf("%8s %5s | %-21s | %-21s | %s\n", "N", "d", "two bands wall/cpu s", "complex wall/cpu s",
                "ratio wall/cpu");
    struct Job {
        int32_t FFTSize;
        int32_t Decimation;
    };
    for (const Job job : {Job{256, 1}, Job{1024, 1}, Job{1024, 8}, Job{16384, 4}, Job{65536, 8}}) {
        SpectrogramSettings bands{job.FFTSize, job.Decimation, 5, 100};
        SpectrogramSettings complex = bands;
        complex.IQSpectrum = true;
        Times a, b;
        TimeOnce(store, bands, a); // warm-up: tables, plans, pages
        TimeOnce(store, complex, b);
        a = {};
        b = {};
        for (int r = 0; r < rounds; ++r) {
            if (!TimeOnce(store, bands, a) || !TimeOnce(store, complex, b)) {
                std::printf("N %d d %d: refused or stopped\n", job.FFTSize, job.Decimation);
                return 1;
            }
        }
        const double wa = bench::Median(a.Wall), ca = bench::Median(a.Cpu);
        const double wb = bench::Median(b.Wall), cb = bench::Median(b.Cpu);
        std::printf("%8d %5d | %9.3f %9.3f   | %9.3f %9.3f   | %.2f %.2f\n", job.FFTSize, job.Decimation, wa,
                    ca, wb, cb, wb / wa, cb / ca);
    }
    std::printf("load average after: %s\n", bench::LoadAverage().c_str());
    return 0;
}
