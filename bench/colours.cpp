// Window tables, the colour ramp, palettes and the raster surface at the sizes the spectrogram meets.
#include "spectral/LevelColours.h"
#include "spectral/LevelToColor.h"
#include "spectral/Palettes.h"
#include "spectral/WindowTable.h"
#include "view/TBitmap32.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The largest table: N = 8388608, about 25 million cosines for Nuttall.
void BM_BuildWindowTable(benchmark::State& state) {
    const auto index = static_cast<uint8_t>(state.range(0));
    const auto n = static_cast<int32_t>(state.range(1));
    TWindowTable table;
    for (auto _ : state) {
        BuildWindowTable(index, n, table);
        benchmark::DoNotOptimize(table.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_BuildWindowTable)
    ->Args({kWindowNuttall, 1 << 23})
    ->Args({kWindowBlackman, 1 << 23})
    ->Args({kWindowHann, 1 << 23})
    ->Args({kWindowNuttall, 1024})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// `count` levels spread over every ramp.
std::vector<float> SpreadLevels(int count) {
    std::vector<float> levels(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        levels[static_cast<size_t>(i)] = static_cast<float>((i * 2654435761u) % 6000000u) - 100.0f;
    return levels;
}

// One LevelToColor per pixel, levels spread over every ramp.
void BM_LevelToColor(benchmark::State& state) {
    constexpr int kCount = 1 << 20;
    const std::vector<float> levels = SpreadLevels(kCount);
    std::vector<TColor32> out(kCount);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) out[i] = LevelToColor32(levels[i]);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_LevelToColor);

// The same levels through LevelsToColours, as the spectrogram colours a column.
void BM_LevelsToColours(benchmark::State& state) {
    constexpr int kCount = 1 << 20;
    const std::vector<float> levels = SpreadLevels(kCount);
    std::vector<TColor32> out(kCount);
    for (auto _ : state) {
        LevelsToColours(levels.data(), out.data(), kCount);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_LevelsToColours);

// Writing every pixel of a 4096 × 4096 picture through the clipped raw access, column by column
// as the spectrogram does.
void BM_ClippedPixelWrites(benchmark::State& state) {
    TBitmap32 picture;
    picture.SetSize(4096, 4096);
    for (auto _ : state) {
        const TPixelAccess raw = picture.WritablePixels();
        for (int x = 0; x < raw.Width; ++x)
            for (int y = 0; y < raw.Height; ++y) raw.SetPixelClipped(x, y, static_cast<TColor32>(x + y));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 4096 * 4096);
}
BENCHMARK(BM_ClippedPixelWrites)->Unit(benchmark::kMillisecond);

TBitmap32 RampPicture(int w, int h) {
    TBitmap32 picture;
    picture.SetSize(w, h);
    const TPixelAccess raw = picture.WritablePixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) raw.Row(y)[x] = LevelToColor32(static_cast<float>(x * 977 + y * 131));
    return picture;
}

// Assigning a 256 MiB picture to the view: shares the pixels instead of copying them.
void BM_AssignLargePicture(benchmark::State& state) {
    const TBitmap32 picture = RampPicture(8192, 8192);
    TBitmap32 view;
    for (auto _ : state) {
        view.Assign(picture);
        benchmark::DoNotOptimize(view.Bits());
    }
}
BENCHMARK(BM_AssignLargePicture)->Unit(benchmark::kMicrosecond);

// A palette over a 4096 × 4096 picture (64 MiB).
void BM_ApplyPalette(benchmark::State& state) {
    const TBitmap32 picture = RampPicture(4096, 4096);
    TBitmap32 view;
    view.Assign(picture);
    for (auto _ : state) {
        ApplyPalette(picture, PaletteItem::Rainbow, view);
        benchmark::DoNotOptimize(view.Bits());
    }
    state.SetItemsProcessed(state.iterations() * 4096 * 4096);
}
BENCHMARK(BM_ApplyPalette)->Unit(benchmark::kMillisecond);

// Saving a 4096 × 4096 picture (64 MiB) as BMP, including the flush to disk.
void BM_SaveBmp(benchmark::State& state) {
    const TBitmap32 picture = RampPicture(4096, 4096);
    const std::string file =
        (std::filesystem::temp_directory_path() / ("orvane_bench_" + std::to_string(::getpid()) + ".bmp"))
            .string();
    for (auto _ : state) picture.SaveToFile(file);
    std::remove(file.c_str());
    state.SetBytesProcessed(state.iterations() * 4096 * 4096 * 4);
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
