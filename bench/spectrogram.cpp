// The whole spectrogram of a 60-second, 48000 Hz mono recording: the engine on one thread and on all
// threads, against a plain single-thread FFTW loop doing the same frames (window, complex transform
// with zero imaginary part, |re| + |im|, colour per pixel). Also orvane-cli render of that recording as
// a whole process against sox's spectrogram of a picture of the same size.
// The large transform: what one column costs at N = 32768 and 8388608 on one thread, and the memory of
// the demo recording's picture at N = 8388608 for 1 to 8 workers: peak resident memory of a fresh
// process, and whether it succeeds within a 600 MB address-space limit (ulimit -v 600000).
#include "signal/SignalStore.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"
#include "spectral/LevelToColor.h"
#include "spectral/RecomputeSpectrogram.h"
#include "spectral/SpectrogramImageSize.h"
#include "spectral/WindowTable.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int32_t kRate = 48000;
constexpr int32_t kSeconds = 60;

// Tones, a slow chirp and noise, so that every colour of the ramp is used.
const SignalStore& Recording() {
    static const SignalStore store = [] {
        SignalStore s;
        s.ValueCount = kRate * kSeconds;
        s.Samples.resize(static_cast<size_t>(s.ValueCount));
        uint32_t seed = 1;
        for (int32_t n = 0; n < s.ValueCount; ++n) {
            const double t = static_cast<double>(n) / kRate;
            seed = seed * 1664525u + 1013904223u;
            const double noise = static_cast<double>(seed >> 20) - 2048.0;
            const double value = 6000 * std::sin(2 * std::numbers::pi * 1000 * t) +
                                 4000 * std::sin(2 * std::numbers::pi * (2000 + 150 * t) * t) + noise;
            s.Samples[static_cast<size_t>(n)] = static_cast<int16_t>(std::lround(value));
        }
        s.SampleRate = kRate;
        s.FileName = "bench.wav";
        return s;
    }();
    return store;
}

SpectrogramSettings BenchSettings(int32_t decimation) {
    return SpectrogramSettings{1024, decimation, 5, 100};
}

void EngineSpectrogram(benchmark::State& bench) {
    const SignalStore& store = Recording();
    const SpectrogramSettings settings = BenchSettings(static_cast<int32_t>(bench.range(0)));
    SpectrogramRunOptions options;
    options.Threads = static_cast<unsigned>(bench.range(1));
    SpectrogramState state;
    JobControl control;
    for (auto _ : bench) {
        const SpectrogramResult result = RecomputeSpectrogram(state, store, settings, control, options);
        benchmark::DoNotOptimize(state.SpectrogramBitmap.Bits());
        if (result.Refused || result.Stopped) bench.SkipWithError("not computed");
    }
    bench.counters["columns"] = static_cast<double>(state.SpectrogramBitmap.Width());
}

// The same frames, transformed by FFTW's single-precision complex transform, coloured the same way.
void FftwSpectrogramLoop(benchmark::State& bench) {
    const SignalStore& store = Recording();
    const SpectrogramSettings settings = BenchSettings(static_cast<int32_t>(bench.range(0)));
    const int32_t n = settings.FFTSize;
    const int32_t hop = SpectrogramHop(n, settings.Decimation);
    const SpectrogramImageSize size = ComputeSpectrogramImageSize(store.ValueCount, n, settings.Decimation);
    const auto width = static_cast<int32_t>(size.Width);
    const int32_t height = size.Height;
    TWindowTable window;
    BuildWindowTable(static_cast<uint8_t>(settings.WindowIndex), n, window);
    std::vector<TColor32> image(static_cast<size_t>(width) * static_cast<size_t>(height));
    auto* in = fftwf_alloc_complex(static_cast<size_t>(n));
    auto* out = fftwf_alloc_complex(static_cast<size_t>(n));
    const fftwf_plan plan = fftwf_plan_dft_1d(n, in, out, FFTW_FORWARD, FFTW_MEASURE);
    const double gain = settings.Gain / 100.0;

    for (auto _ : bench) {
        for (int32_t x = 0; x < width; ++x) {
            const int64_t start = int64_t{x} * hop - n;
            for (int32_t i = 0; i < n; ++i) {
                const int64_t p = start + i;
                const float v = p >= 0 && p < store.ValueCount ? store.Samples[static_cast<size_t>(p)] : 0;
                in[i][0] = v * window[static_cast<size_t>(i)];
                in[i][1] = 0;
            }
            fftwf_execute(plan);
            for (int32_t y = 0; y < height; ++y) {
                const int32_t k = height - 1 - y;
                TColor32 colour = (x + y) % 2 == 1 ? 0xFF000080u : 0xFF000000u;
                if (k >= 1) {
                    double m = std::fabs(double{out[k][0]}) + std::fabs(double{out[k][1]});
                    if (m == 0.0) m = 0.001;
                    colour = LevelToColor32(static_cast<float>(m * gain));
                }
                image[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour;
            }
        }
        benchmark::DoNotOptimize(image.data());
    }
    fftwf_destroy_plan(plan);
    fftwf_free(in);
    fftwf_free(out);
}

// The recording as a mono 16-bit WAV file in the temporary folder.
const std::string& RecordingFile() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "orvane-bench-60s.wav").string();
        const SignalStore& store = Recording();
        WavFormatRecord record;
        record.ChannelCount = 1;
        record.SampleRate = kRate;
        record.Data = std::span<const int16_t>(store.Samples.data(), store.Samples.size());
        WriteWavFile(file, record);
        return file;
    }();
    return path;
}

void RunProcess(benchmark::State& bench, const std::string& command) {
    for (auto _ : bench) {
        if (std::system(command.c_str()) != 0) bench.SkipWithError(("failed: " + command).c_str());
    }
}

void CliRenderProcess(benchmark::State& bench) {
    const std::string out = (std::filesystem::temp_directory_path() / "orvane-bench-60s.bmp").string();
    RunProcess(bench,
               std::string(ORVANE_CLI_PATH) + " render " + RecordingFile() + " " + out + " >/dev/null");
}

// sox's spectrogram of the same recording at the engine's picture size for N = 1024, "X = Y"
// (2815 x 512; sox takes the height as bins + 1).
void SoxSpectrogramProcess(benchmark::State& bench) {
    const std::string out = (std::filesystem::temp_directory_path() / "orvane-bench-60s-sox.png").string();
    RunProcess(bench, "sox " + RecordingFile() + " -n spectrogram -x 2815 -y 513 -o " + out + " 2>/dev/null");
}

const int64_t kAllThreads = std::max(1u, std::thread::hardware_concurrency());

// One thread; the counter gives the time of one column.
void LargeTransformColumns(benchmark::State& bench) {
    const SignalStore& store = Recording();
    const SpectrogramSettings settings{static_cast<int32_t>(bench.range(0)), 1, 5, 100};
    SpectrogramRunOptions options;
    options.Threads = 1;
    SpectrogramState state;
    JobControl control;
    for (auto _ : bench) {
        const SpectrogramResult result = RecomputeSpectrogram(state, store, settings, control, options);
        if (result.Refused || result.Stopped) bench.SkipWithError("not computed");
    }
    const auto columns = static_cast<double>(state.SpectrogramBitmap.Width());
    bench.counters["columns"] = columns;
    bench.counters["per_column"] = benchmark::Counter(columns, benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
}

const char* const kRenderDemoArgument = "--render-demo";
constexpr rlim_t kAddressLimit = 600000 * rlim_t{1024}; // ulimit -v 600000

// The child process of DemoRenderMemory: the demo recording at N = 8388608 with `threads` workers.
// Exit status: the number of workers when the picture was made, 0 when it was refused.
int RenderDemo(unsigned threads) {
    SignalStore store;
    if (!ReadWavFile(store, std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav").StoreReplaced) return 0;
    SpectrogramRunOptions options;
    options.Threads = threads;
    int workers = 0;
    options.Prepared = [&workers](const SpectrogramPreparation& p) {
        workers = static_cast<int>(p.Workers.size());
    };
    SpectrogramState state;
    JobControl control;
    const SpectrogramResult result =
        RecomputeSpectrogram(state, store, SpectrogramSettings{8388608, 1, 5, 100}, control, options);
    return result.Refused || result.Stopped ? 0 : workers;
}

// Runs RenderDemo in a fresh process (this program started again), with the address-space limit when
// `limited`; returns its exit status and its peak resident memory.
std::pair<int, long> RunRenderDemo(unsigned threads, bool limited) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (limited) {
            const rlimit limit{kAddressLimit, kAddressLimit};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        const std::string count = std::to_string(threads);
        ::execl("/proc/self/exe", "bench_spectrogram", kRenderDemoArgument, count.c_str(), nullptr);
        ::_exit(255);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

void DemoRenderMemory(benchmark::State& bench) {
    const auto threads = static_cast<unsigned>(bench.range(0));
    std::pair<int, long> free{}, limited{};
    for (auto _ : bench) {
        free = RunRenderDemo(threads, false);
        limited = RunRenderDemo(threads, true);
    }
    bench.counters["workers"] = free.first;
    bench.counters["peak_rss_MiB"] = static_cast<double>(free.second) / 1024;
    bench.counters["workers_within_600MB"] = limited.first; // 0: refused or failed
}

} // namespace

BENCHMARK(EngineSpectrogram)
    ->ArgNames({"d", "threads"})
    ->Args({1, 1})
    ->Args({1, kAllThreads})
    ->Args({8, 1})
    ->Args({8, kAllThreads})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(FftwSpectrogramLoop)->ArgName("d")->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LargeTransformColumns)
    ->ArgName("N")
    ->Arg(32768)
    ->Arg(8388608)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(DemoRenderMemory)
    ->ArgName("threads")
    ->DenseRange(1, 8)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(CliRenderProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(SoxSpectrogramProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == kRenderDemoArgument)
        return RenderDemo(static_cast<unsigned>(std::stoul(argv[2])));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
