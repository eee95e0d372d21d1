// Reading a 400 MB WAV file into the store, against a plain read() of the same file into memory.
// Both run on a warm page cache, in the same process, so the ratio shows the reader's own overhead.
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kValues = 200000000; // 400 MB of data

const std::string& BenchFile() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "orvane-bench-400mb.wav").string();
        if (!std::filesystem::exists(p) || std::filesystem::file_size(p) != WavFileSize(kValues)) {
            std::vector<int16_t> values(kValues);
            for (int i = 0; i < kValues; ++i) values[i] = static_cast<int16_t>(i * 7919);
            WavFormatRecord record;
            record.ChannelCount = 2;
            record.Data = values;
            WriteWavFile(p, record);
        }
        return p;
    }();
    return path;
}

void BM_PlainRead(benchmark::State& state) {
    const std::string& path = BenchFile();
    const auto size = static_cast<size_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        std::unique_ptr<char[]> buffer(new char[size]); // uninitialised, as a plain read would use
        const int fd = ::open(path.c_str(), O_RDONLY);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::read(fd, buffer.get() + done, size - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.get());
        if (done != size) state.SkipWithError("short read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void BM_ReadWavFile(benchmark::State& state) {
    const std::string& path = BenchFile();
    for (auto _ : state) {
        SignalStore store;
        const WavReadResult r = ReadWavFile(store, path);
        benchmark::DoNotOptimize(store.Samples.data());
        if (store.ValueCount != kValues) state.SkipWithError(r.Status.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * WavFileSize(kValues)));
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ReadWavFile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_MAIN();
