// orvane-cli render as a whole process against fftw_render (bench/reference/FftwRender.cpp), a plain
// one-thread FFTW program doing the same frames, on three jobs over 60-second 48000 Hz recordings:
// one channel at N = 1024 with "X = Y" and with "X / 8", and two channels at N = 1024 with "X = Y".
// The two programs run in alternating pairs (the order swaps every pair); each run's wall time and
// CPU time (user + system of the process and its threads) are taken, and the medians and their
// ratios are printed with the load average before and after. Both write a new BMP file into the same
// temporary folder; the file is removed before every run.
//
//   bench_render_vs_fftw [PAIRS]      (default 15)
//
// Targets: wall ratio <= 1.0 and CPU ratio <= 1.3 on every job. The verdict is printed; the exit
// status is 0 unless a program fails, since a loaded machine can swing one run's figures.
#include "BenchFigures.h"
#include "BenchRecordings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench::LoadAverage;
using bench::Median;

struct Timing {
    double WallMs = 0;
    double CpuMs = 0;
};

struct Job {
    std::string Name;
    std::string Wav;
    int N;
    int Decimation;
};

double Ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Runs argv with stdout and stderr to /dev/null; nothing when it fails.
bool Run(const std::vector<std::string>& args, Timing& timing) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr)) ::_exit(126);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return false;
    timing.WallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    timing.CpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Side {
    std::vector<double> Wall;
    std::vector<double> Cpu;
};

} // namespace

int main(int argc, char** argv) {
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orvane-render-vs-fftw-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string mono = (folder / "mono60.wav").string();
    const std::string stereo = (folder / "stereo60.wav").string();
    if (!bench::WriteRecording(bench::MakeRecording(1), mono) ||
        !bench::WriteRecording(bench::MakeRecording(2), stereo)) {
        std::fprintf(stderr, "cannot write the recordings into %s\n", folder.c_str());
        return 2;
    }
    const std::vector<Job> jobs = {{"mono, N = 1024, \"X = Y\"", mono, 1024, 1},
                                   {"mono, N = 1024, \"X / 8\"", mono, 1024, 8},
                                   {"two channels, N = 1024, \"X = Y\"", stereo, 1024, 1}};
    const std::string outOrvane = (folder / "orvane.bmp").string();
    const std::string outFftw = (folder / "fftw.bmp").string();

    std::printf("%d alternating pairs per job; load average before: %s\n", pairs, LoadAverage().c_str());
    std::printf("%-34s %12s %12s %12s %12s %8s %8s\n", "job (medians)", "orvane wall", "orvane CPU",
                "fftw wall", "fftw CPU", "wall x", "CPU x");
    bool failed = false;
    bool met = true;
    for (const Job& job : jobs) {
        const std::vector<std::string> orvane = {ORVANE_CLI_PATH, "render",
                                                 job.Wav,         outOrvane,
                                                 "--fft",         std::to_string(job.N),
                                                 "--image-width", std::to_string(job.Decimation)};
        const std::vector<std::string> fftw = {FFTW_RENDER_PATH, job.Wav, outFftw, std::to_string(job.N),
                                               std::to_string(job.Decimation)};
        Side a, b;
        for (int i = 0; i < pairs && !failed; ++i) {
            for (int k = 0; k < 2; ++k) {
                const bool orvaneTurn = (k == 0) == (i % 2 == 0);
                std::filesystem::remove(orvaneTurn ? outOrvane : outFftw);
                Timing t;
                if (!Run(orvaneTurn ? orvane : fftw, t)) {
                    std::fprintf(stderr, "failed: %s\n", (orvaneTurn ? orvane : fftw)[0].c_str());
                    failed = true;
                    break;
                }
                Side& side = orvaneTurn ? a : b;
                side.Wall.push_back(t.WallMs);
                side.Cpu.push_back(t.CpuMs);
            }
        }
        if (failed) break;
        const double wallRatio = Median(a.Wall) / Median(b.Wall);
        const double cpuRatio = Median(a.Cpu) / Median(b.Cpu);
        met = met && wallRatio <= 1.0 && cpuRatio <= 1.3;
        std::printf("%-34s %9.1f ms %9.1f ms %9.1f ms %9.1f ms %8.2f %8.2f\n", job.Name.c_str(),
                    Median(a.Wall), Median(a.Cpu), Median(b.Wall), Median(b.Cpu), wallRatio, cpuRatio);
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    if (!failed)
        std::printf("targets (wall <= 1.0x, CPU <= 1.3x on every job): %s\n", met ? "met" : "NOT met");
    std::filesystem::remove_all(folder);
    return failed ? 1 : 0;
}
