// How a computation runs: threads, stop, progress.
#include "SpectrogramTestSupport.h"

#include "spectral/RecomputeSpectrogram.h"

#include <gtest/gtest.h>

#include <thread>

using namespace spectest;

namespace {

struct Outcome {
    SpectrogramState State;
    SpectrogramResult Result;
};

Outcome Compute(const SignalStore& store, const SpectrogramSettings& settings, unsigned threads) {
    Outcome run;
    JobControl control;
    SpectrogramRunOptions options;
    options.Threads = threads;
    run.Result = RecomputeSpectrogram(run.State, store, settings, control, options);
    return run;
}

std::vector<TColor32> Pixels(const TBitmap32& bitmap) {
    return std::vector<TColor32>(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount());
}

// Computes with `threads` workers while another thread asks for a stop once progress reaches
// `percent`.
Outcome ComputeStoppedAt(const SignalStore& store, const SpectrogramSettings& settings, unsigned threads,
                         int percent) {
    Outcome run;
    JobControl control;
    SpectrogramRunOptions options;
    options.Threads = threads;
    std::atomic<bool> done{false};
    std::thread stopper([&] {
        while (!done.load() && control.Progress.load() < percent) std::this_thread::yield();
        control.RequestStop();
    });
    run.Result = RecomputeSpectrogram(run.State, store, settings, control, options);
    done = true;
    stopper.join();
    return run;
}

// Values of the stopped runs: enough columns (a tenth of a second or more) that the stopping thread,
// which may have to wait for a core on a busy machine, runs before the last column is done.
constexpr int64_t kStoppedRunValues = 4000000;

enum class ColumnState { Untouched, Complete, Partial };

// Compares column x of a stopped picture with the full one over rows [top, bottom).
ColumnState Classify(const TBitmap32& stopped, const TBitmap32& full, int32_t x, int32_t top,
                     int32_t bottom) {
    int32_t drawn = 0;
    for (int32_t y = top; y < bottom; ++y) {
        const TColor32 pixel = stopped.Pixel(x, y);
        if (pixel == 0) continue;
        EXPECT_EQ(pixel, full.Pixel(x, y)) << "column " << x << " row " << y;
        ++drawn;
    }
    return drawn == 0              ? ColumnState::Untouched
           : drawn == bottom - top ? ColumnState::Complete
                                   : ColumnState::Partial;
}

struct ColumnCounts {
    int Untouched = 0, Complete = 0, Partial = 0;
};

ColumnCounts CountColumns(const TBitmap32& stopped, const TBitmap32& full, int32_t top, int32_t bottom) {
    ColumnCounts counts;
    for (int32_t x = 0; x < stopped.Width(); ++x) {
        switch (Classify(stopped, full, x, top, bottom)) {
        case ColumnState::Untouched:
            ++counts.Untouched;
            break;
        case ColumnState::Complete:
            ++counts.Complete;
            break;
        case ColumnState::Partial:
            ++counts.Partial;
            break;
        }
    }
    return counts;
}

} // namespace

TEST(SpectrogramRun, PictureDoesNotDependOnTheNumberOfThreads) {
    const SignalStore mono = MakeStore(Noise(30000, 8000));
    const SignalStore stereo = MakeStore(Noise(30000, 8000, 99), 2);
    struct Case {
        const SignalStore* store;
        SpectrogramSettings settings;
    };
    for (const Case& c : {Case{&mono, Settings(256, 4, kWindowNuttall, 1000)},
                          Case{&stereo, Settings(512, 2, kWindowBlackman, 500)},
                          Case{&mono, Settings(32768, 4, kWindowHann, 100)},
                          Case{&stereo, Settings(32768, 8, kWindowHamming, 100)}}) {
        const Outcome one = Compute(*c.store, c.settings, 1);
        for (const unsigned threads : {2u, 3u}) {
            const Outcome many = Compute(*c.store, c.settings, threads);
            EXPECT_EQ(Pixels(one.State.SpectrogramBitmap), Pixels(many.State.SpectrogramBitmap))
                << "N " << c.settings.FFTSize << " threads " << threads;
        }
    }
}

TEST(SpectrogramRun, FinishedRunReportsFullProgressAndItsTexts) {
    SignalStore store = MakeStore(Noise(48000, 1000), 2, 44100);
    SpectrogramState state;
    JobControl control;
    const SpectrogramResult result = RecomputeSpectrogram(state, store, Settings(1024), control);
    EXPECT_TRUE(result.Ran);
    EXPECT_FALSE(result.Refused);
    EXPECT_FALSE(result.Stopped);
    EXPECT_EQ(control.Progress.load(), 100);
    EXPECT_EQ(result.ImageSizeText, " 49x512 - 0.096 Mb bmp");
    EXPECT_EQ(result.ChannelRateText, "  Channels: 2  SmpleRate: 44100");
    ASSERT_GE(result.TimeText.size(), 4u);
    EXPECT_EQ(result.TimeText.substr(result.TimeText.size() - 3), " ms");
    EXPECT_NO_THROW((void)std::stoi(result.TimeText.substr(1)));
}

TEST(SpectrogramRun, StopLeavesComputedColumnsAndTheRestAsPrepared) {
    const SignalStore store = MakeStore(Noise(kStoppedRunValues, 5000));
    const SpectrogramSettings settings = Settings(256, 2, kWindowHann, 2000);
    const Outcome full = Compute(store, settings, 1);
    for (const unsigned threads : {1u, 2u}) {
        const Outcome stopped = ComputeStoppedAt(store, settings, threads, 20);
        EXPECT_TRUE(stopped.Result.Stopped);
        const TBitmap32& picture = stopped.State.SpectrogramBitmap;
        ASSERT_EQ(picture.Width(), full.State.SpectrogramBitmap.Width());
        const ColumnCounts counts = CountColumns(picture, full.State.SpectrogramBitmap, 0, picture.Height());
        // Progress, rounded, reads 20 once 19.5 % of the columns are done; a worker's tile may be unfinished.
        EXPECT_GE(counts.Complete, picture.Width() * 195 / 1000 - 16);
        EXPECT_GT(counts.Untouched, 0);
        EXPECT_LE(counts.Partial, static_cast<int>(threads));
        EXPECT_EQ(picture.Pixel(picture.Width() - 1, 0), 0u); // never reached: as freshly sized
    }
}

TEST(SpectrogramRun, StopDuringTheBottomBandKeepsTheTopBandComplete) {
    const SignalStore store = MakeStore(Noise(kStoppedRunValues, 5000, 7), 2);
    const SpectrogramSettings settings = Settings(256, 2, kWindowHann, 2000);
    const Outcome full = Compute(store, settings, 1);
    const Outcome stopped = ComputeStoppedAt(store, settings, 2, 70);
    EXPECT_TRUE(stopped.Result.Stopped);
    const TBitmap32& picture = stopped.State.SpectrogramBitmap;
    const int32_t band = picture.Height() / 2;

    // The top band, rows 0 .. band - 1, is the full run's in every column.
    const ColumnCounts top = CountColumns(picture, full.State.SpectrogramBitmap, 0, band);
    EXPECT_EQ(top.Complete, picture.Width());
    // The bottom band is partly drawn; columns it never reached keep pass 0's extra marker in its
    // first row and zeros below.
    const ColumnCounts bottom =
        CountColumns(picture, full.State.SpectrogramBitmap, band + 1, picture.Height());
    EXPECT_GT(bottom.Complete, 0);
    EXPECT_GT(bottom.Untouched, 0);
    const int32_t last = picture.Width() - 1;
    EXPECT_EQ(picture.Pixel(last, band), (last + band) % 2 == 1 ? 0xFFFFFFFFu : 0xFF000000u);
    EXPECT_EQ(picture.Pixel(last, band + 1), 0u);
}

// A stop requested before the run, or while the image is prepared, is honoured: nothing is drawn.
TEST(SpectrogramRun, StopRequestedBeforeTheRunEndsItBeforeTheFirstColumn) {
    const SignalStore store = MakeStore(Noise(5000, 5000));
    SpectrogramState state;
    JobControl control;
    control.RequestStop();
    const SpectrogramResult result = RecomputeSpectrogram(state, store, Settings(256), control);
    EXPECT_TRUE(result.Stopped);
    EXPECT_TRUE(control.Stopping());
    for (size_t i = 0; i < state.SpectrogramBitmap.PixelCount(); ++i)
        ASSERT_EQ(state.SpectrogramBitmap.Bits()[i], 0u);
}
