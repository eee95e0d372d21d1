// The time from "Open" to the finished picture in the real main window, for a recording of 500000000
// bytes (two channels, 16 bits, 48000 Hz) at N = 1024, "X = Y": the file is opened several times in
// one window (each open replaces the store and the picture, as a user's would) and the median, the
// fastest and the slowest are printed with the load average.
//
//   bench_view_open_huge [OPENS] [FILE.wav]      (default 7 opens of a file written for the run)
//
// Targets: median within 1.0 s of wall time and within 1.0 s of CPU time (all threads). The verdicts
// are printed; the exit status is 0 unless an open fails.
#include "BenchFigures.h"
#include "BenchWindow.h"
#include "HugeRecording.h"
#include "WindowBenchFolder.h"

#include <QAction>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using bench::LoadAverage;
using bench::Median;

using Clock = std::chrono::steady_clock;

// CPU time of the process so far (all threads, user and system), in milliseconds.
double CpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

struct OpenTime {
    double WallMs;
    double CpuMs;
};

// Opens the file through the File menu and waits until the window is idle with its new picture.
OpenTime OpenOnce(TMainForm& form) {
    const double cpuBefore = CpuMs();
    const Clock::time_point start = Clock::now();
    form.mnuOpen->trigger();
    while (form.Busy()) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QCoreApplication::processEvents();
    return {std::chrono::duration<double, std::milli>(Clock::now() - start).count(), CpuMs() - cpuBefore};
}

} // namespace

int main(int argc, char** argv) {
    const WindowBenchFolder folder;
    if (!folder.Valid()) return 2;
    const int opens = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::string path = argc > 2 ? std::string(argv[2]) : folder.FilePath("huge.wav").toStdString();
    if (argc <= 2 && !bench::WriteHugeRecording(path)) return 2;

    bench::BenchWindow window(argv, path);
    TMainForm& form = window.Form;
    QCoreApplication::processEvents();

    std::printf("%d opens of %s at N = 1024; load average before: %s\n", opens, path.c_str(),
                LoadAverage().c_str());
    std::vector<double> times;
    std::vector<double> cpu;
    for (int i = 0; i < opens && window.Errors == 0; ++i) {
        const OpenTime t = OpenOnce(form);
        times.push_back(t.WallMs);
        cpu.push_back(t.CpuMs);
        std::printf("open %d: %.0f ms wall, %.0f ms CPU\n", i + 1, t.WallMs, t.CpuMs);
    }
    if (window.Errors != 0 || form.Session().Spectrogram().SpectrogramBitmap.Empty()) {
        std::printf("the recording was not shown\n");
        return 1;
    }
    const double firstWall = times.front();
    const double firstCpu = cpu.front();
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    const double median = times[times.size() / 2];
    const double medianCpu = cpu[cpu.size() / 2];
    std::printf(
        "open to finished picture: median %.0f ms, fastest %.0f ms, slowest %.0f ms (%dx%d picture)\n",
        median, times.front(), times.back(), form.Session().Spectrogram().SpectrogramBitmap.Width(),
        form.Session().Spectrogram().SpectrogramBitmap.Height());
    std::printf("CPU time of an open (all threads): median %.0f ms, least %.0f ms, most %.0f ms\n", medianCpu,
                cpu.front(), cpu.back());
    std::printf("the first open (all its memory fresh from the system): %.0f ms wall, %.0f ms CPU\n",
                firstWall, firstCpu);
    std::printf("load average after: %s\n", LoadAverage().c_str());
    std::printf("target, wall (median <= 1.0 s): %s, %.2fx the target\n", median <= 1000 ? "met" : "NOT met",
                median / 1000);
    std::printf("target, CPU (median <= 1.0 s): %s, %.2fx the target\n",
                medianCpu <= 1000 ? "met" : "NOT met", medianCpu / 1000);
    form.close();
    return 0;
}
