// Reading a 400 MB WAV file into the store, against a plain read() of the same file into memory.
// Both run on a warm page cache, in the same process, so the ratio shows the reader's own overhead.
// Also the decoding readers: 100 million values of 8-bit, 24-bit, 32-bit and float samples.
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

constexpr int64_t kDecodedValues = 100000000;

// A stereo file of kDecodedValues samples of `bits` bits (format tag `tag`), written once.
std::string DecodedBenchFile(uint16_t tag, uint16_t bits) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("orvane-bench-" + std::to_string(tag) + "-" + std::to_string(bits) + ".wav"))
                                 .string();
    const int width = bits / 8;
    const uint64_t dataBytes = uint64_t(kDecodedValues) * uint64_t(width);
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) == 44 + dataBytes) return path;
    std::vector<uint8_t> header(44);
    const auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) header[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    std::memcpy(header.data(), "RIFF", 4);
    put(4, uint32_t(36 + dataBytes), 4);
    std::memcpy(header.data() + 8, "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, tag, 2);
    put(22, 2, 2);
    put(24, 48000, 4);
    put(28, uint32_t(48000 * 2 * width), 4);
    put(32, uint32_t(2 * width), 2);
    put(34, bits, 2);
    std::memcpy(header.data() + 36, "data", 4);
    put(40, uint32_t(dataBytes), 4);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), 44);
    std::vector<uint8_t> block(size_t(width) * 1000000);
    uint32_t seed = 1;
    for (int64_t done = 0; done < kDecodedValues; done += 1000000) {
        for (size_t i = 0; i < block.size(); i += size_t(width)) {
            seed = seed * 1664525u + 1013904223u;
            uint32_t sample = seed;
            if (tag == 3) {
                const float x = float(int32_t(seed)) / 2147483648.0f * 1.2f;
                std::memcpy(&sample, &x, 4);
            }
            for (int b = 0; b < width; ++b) block[i + size_t(b)] = uint8_t(sample >> (8 * b));
        }
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size()));
    }
    return path;
}

void BM_ReadDecoded(benchmark::State& state) {
    const auto tag = uint16_t(state.range(0));
    const auto bits = uint16_t(state.range(1));
    const std::string path = DecodedBenchFile(tag, bits);
    for (auto _ : state) {
        SignalStore store;
        const WavReadResult r = ReadWavFile(store, path);
        benchmark::DoNotOptimize(store.Samples.data());
        if (store.ValueCount != kDecodedValues) state.SkipWithError(r.Status.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDecodedValues * (bits / 8));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kDecodedValues);
}

} // namespace

BENCHMARK(BM_ReadDecoded)
    ->ArgNames({"tag", "bits"})
    ->Args({1, 8})
    ->Args({1, 24})
    ->Args({1, 32})
    ->Args({3, 32})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ReadWavFile)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK_MAIN();
