// orvane-cli render as a whole process against the anchor, spectro (../shared/anchors/spectro.c: FFTW
// in single precision, columns in tiles, the image in huge pages, two threads: `-j 2 -T 16 -P`), on
// the six jobs of docs/performance.md. Recordings of 48000 Hz made as bench/BenchRecordings.h makes
// them: 60 s of one channel at N = 1024 with "X = Y" (spectro's hop N) and "X / 8" (hop N/8), where
// spectro takes FFTW's real-input transform (`-r`), its fastest for a real signal; 60 s of
// I/Q as the complex picture (`--view iq`, hop N/2 complex samples) and as two bands (no exact match:
// against the same complex job); 520 s of I/Q (100 MB) as the complex picture; 520 s of one channel
// (50 MB) at N = 4096.
//
// The two programs run in alternating pairs (the order swaps every pair), both writing a new BMP file
// into /dev/shm (a temporary folder when there is none: a disk's write then weighs in), the file
// removed before every run. Each run's wall time and CPU time (user + system of the process and its
// threads) are taken; the medians and their ratios are printed with the load average before and
// after. Target: both ratios <= 1.0 on every job.
//
// A second figure per job is the price of a durable save, which the anchor does not make: our render
// into a folder of the build tree on disk (median wall of a few runs), and the time of the sync alone
// (a file of the picture's size written there, then fsync timed).
//
//   bench_render_vs_fftw [PAIRS]      (default 11, at least 11 for the figures the targets refer to)
//
// The exit status is 0 unless a program fails: a loaded machine can swing one run's figures.
#include "BenchFigures.h"
#include "BenchRecordings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using bench::LoadAverage;
using bench::Median;

constexpr int kDiskRuns = 3;

struct Timing {
    double WallMs = 0;
    double CpuMs = 0;
};

struct Job {
    std::string Name;
    std::string Wav;
    std::vector<std::string> Ours;   // orvane-cli render options
    std::vector<std::string> Anchor; // spectro options
};

struct Side {
    std::vector<double> Wall;
    std::vector<double> Cpu;
};

double Ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Runs argv with stdout and stderr to /dev/null; false when it fails.
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
    timing.WallMs = MsSince(start);
    timing.CpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> OurCommand(const Job& job, const std::string& out) {
    std::vector<std::string> args = {ORVANE_CLI_PATH, "render", job.Wav, out, "--quiet"};
    args.insert(args.end(), job.Ours.begin(), job.Ours.end());
    return args;
}

std::vector<std::string> AnchorCommand(const Job& job, const std::string& out) {
    std::vector<std::string> args = {ORVANE_SPECTRO_PATH, "-j", "2", "-T", "16", "-P"};
    args.insert(args.end(), job.Anchor.begin(), job.Anchor.end());
    args.insert(args.end(), {job.Wav, out});
    return args;
}

// The alternating pairs of one job; false when a program failed.
bool RacePairs(const Job& job, const fs::path& folder, int pairs, Side& ours, Side& anchor) {
    const std::string ourOut = (folder / "orvane.bmp").string();
    const std::string anchorOut = (folder / "anchor.bmp").string();
    for (int i = 0; i < pairs; ++i) {
        for (int k = 0; k < 2; ++k) {
            const bool ourTurn = (k == 0) == (i % 2 == 0);
            const std::string& out = ourTurn ? ourOut : anchorOut;
            const std::vector<std::string> command = ourTurn ? OurCommand(job, out) : AnchorCommand(job, out);
            fs::remove(out);
            Timing t;
            if (!Run(command, t)) {
                std::fprintf(stderr, "failed: %s on %s\n", command[0].c_str(), job.Wav.c_str());
                return false;
            }
            Side& side = ourTurn ? ours : anchor;
            side.Wall.push_back(t.WallMs);
            side.Cpu.push_back(t.CpuMs);
        }
    }
    fs::remove(anchorOut);
    return true;
}

// Milliseconds of fsync on a file of `bytes` just written (not yet synced) into `folder`; < 0 on failure.
double SyncMs(const fs::path& folder, uintmax_t bytes) {
    const fs::path file = folder / "sync-probe.bin";
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    const std::vector<char> block(std::size_t{1} << 20, 'x');
    bool written = true;
    for (uintmax_t left = bytes; left > 0 && written;) {
        const auto n = static_cast<std::size_t>(std::min<uintmax_t>(left, block.size()));
        written = ::write(fd, block.data(), n) == static_cast<ssize_t>(n);
        left -= n;
    }
    const auto start = std::chrono::steady_clock::now();
    const bool synced = written && ::fsync(fd) == 0;
    const double ms = MsSince(start);
    ::close(fd);
    fs::remove(file);
    return synced ? ms : -1;
}

// Our render into the disk folder (median wall of a few runs) and the sync alone (median), for a
// picture of `bytes`.
void PrintDurability(const Job& job, const fs::path& disk, uintmax_t bytes) {
    std::vector<double> walls, syncs;
    const std::string out = (disk / "orvane.bmp").string();
    for (int i = 0; i < kDiskRuns; ++i) {
        fs::remove(out);
        Timing t;
        if (Run(OurCommand(job, out), t)) walls.push_back(t.WallMs);
        if (const double ms = SyncMs(disk, bytes); ms >= 0) syncs.push_back(ms);
    }
    fs::remove(out);
    std::printf("  on disk (%s): render %.1f ms wall, of which the sync of %.1f MB about %.1f ms\n",
                disk.c_str(), Median(walls), static_cast<double>(bytes) / 1e6, Median(syncs));
}

// /dev/shm when it is there and writable, else a temporary folder.
fs::path MemoryFolder() {
    const std::string name = "orvane-render-vs-fftw-" + std::to_string(::getpid());
    std::error_code error;
    if (fs::is_directory("/dev/shm") && fs::create_directories(fs::path("/dev/shm") / name, error))
        return fs::path("/dev/shm") / name;
    std::printf("no /dev/shm: both programs write into %s, where the write weighs in\n",
                fs::temp_directory_path().c_str());
    fs::create_directories(fs::temp_directory_path() / name);
    return fs::temp_directory_path() / name;
}

bool WriteRecordings(const fs::path& folder) {
    return bench::WriteRecording(bench::MakeRecording(1), (folder / "mono60.wav").string()) &&
           bench::WriteRecording(bench::MakeRecording(2), (folder / "iq60.wav").string()) &&
           bench::WriteRecording(bench::MakeRecording(2, 520), (folder / "iq520.wav").string()) &&
           bench::WriteRecording(bench::MakeRecording(1, 520), (folder / "mono520.wav").string());
}

std::vector<Job> Jobs(const fs::path& folder) {
    const std::string mono60 = (folder / "mono60.wav").string();
    const std::string iq60 = (folder / "iq60.wav").string();
    return {
        {"60 s mono, N = 1024, \"X = Y\"", mono60, {}, {"-r", "-n", "1024"}},
        {"60 s mono, N = 1024, \"X / 8\"", mono60, {"--image-width", "8"}, {"-r", "-n", "1024", "-H", "128"}},
        {"60 s I/Q, N = 1024, --view iq", iq60, {"--view", "iq"}, {"-n", "1024", "-H", "512"}},
        {"60 s I/Q, N = 1024, two bands", iq60, {}, {"-n", "1024", "-H", "512"}},
        {"520 s I/Q (100 MB), --view iq",
         (folder / "iq520.wav").string(),
         {"--view", "iq"},
         {"-n", "1024", "-H", "512"}},
        {"520 s mono (50 MB), N = 4096",
         (folder / "mono520.wav").string(),
         {"--fft", "4096"},
         {"-r", "-n", "4096"}}};
}

} // namespace

int main(int argc, char** argv) {
    if (std::string(ORVANE_SPECTRO_PATH).empty()) {
        std::printf(
            "skipped: the anchor spectro was not built (it needs ../shared/anchors/spectro.c, make and "
            "FFTW's headers, Debian libfftw3-dev)\n");
        return 0;
    }
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const fs::path folder = MemoryFolder();
    const fs::path disk = ORVANE_BENCH_DISK_DIR;
    fs::create_directories(disk);
    if (!WriteRecordings(folder)) {
        std::fprintf(stderr, "cannot write the recordings into %s\n", folder.c_str());
        fs::remove_all(folder);
        return 2;
    }
    std::printf("%d alternating pairs per job, both writing into %s; load average before: %s\n", pairs,
                folder.c_str(), LoadAverage().c_str());
    std::printf("%-32s %11s %11s %11s %11s %7s %7s\n", "job (medians)", "ours wall", "ours CPU",
                "spectro wall", "spectro CPU", "wall x", "CPU x");
    bool failed = false;
    bool met = true;
    for (const Job& job : Jobs(folder)) {
        Side ours, anchor;
        if (!RacePairs(job, folder, pairs, ours, anchor)) {
            failed = true;
            break;
        }
        const fs::path ourOut = folder / "orvane.bmp";
        const uintmax_t bytes = fs::file_size(ourOut);
        fs::remove(ourOut);
        const double wallRatio = Median(ours.Wall) / Median(anchor.Wall);
        const double cpuRatio = Median(ours.Cpu) / Median(anchor.Cpu);
        met = met && wallRatio <= 1.0 && cpuRatio <= 1.0;
        std::printf("%-32s %8.1f ms %8.1f ms %8.1f ms %8.1f ms %7.2f %7.2f\n", job.Name.c_str(),
                    Median(ours.Wall), Median(ours.Cpu), Median(anchor.Wall), Median(anchor.Cpu), wallRatio,
                    cpuRatio);
        PrintDurability(job, disk, bytes);
    }
    std::printf("load average after: %s\n", LoadAverage().c_str());
    if (!failed)
        std::printf("targets (wall <= 1.0x, CPU <= 1.0x on every job): %s\n", met ? "met" : "NOT met");
    fs::remove_all(folder);
    return failed ? 1 : 0;
}
