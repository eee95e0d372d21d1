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
// The run, with a stop asked for by another thread once progress reaches `percent`. On a busy machine
// that thread may not get a core before the last column is done; the run is then made again, up to
// five times, so that the result is a stopped run whenever the stop can take effect at all.
Outcome ComputeStoppedAt(const SignalStore& store, const SpectrogramSettings& settings, unsigned threads,
                         int percent) {
    Outcome run;
    for (int attempt = 0; attempt < 5 && !run.Result.Stopped; ++attempt) {
        run = Outcome{};
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
    }
    return run;
}

// Values of the stopped runs: enough columns (a tenth of a second or more) that the stopping thread,
// which may have to wait for a core on a busy machine, runs before the last column is done.
constexpr int64_t kStoppedRunValues = 4000000;

// The first column of rows [top, bottom) in which the stopped picture differs from the full one.
int32_t FirstDifferingColumn(const TBitmap32& stopped, const TBitmap32& full, int32_t top, int32_t bottom) {
    for (int32_t x = 0; x < stopped.Width(); ++x)
        for (int32_t y = top; y < bottom; ++y)
            if (stopped.Pixel(x, y) != full.Pixel(x, y)) return x;
    return stopped.Width();
}

// Rows [top, bottom) hold the full picture's columns [0, k) and, right of them, what they held before
// the band was drawn: `before(x, y)`. Returns k.
template <class Before>
int32_t ExpectDrawnPrefix(const TBitmap32& stopped, const TBitmap32& full, int32_t top, int32_t bottom,
                          const Before& before) {
    const int32_t k = FirstDifferingColumn(stopped, full, top, bottom);
    int wrong = 0;
    for (int32_t x = k; x < stopped.Width(); ++x)
        for (int32_t y = top; y < bottom; ++y)
            if (stopped.Pixel(x, y) != before(x, y) && ++wrong <= 3)
                ADD_FAILURE() << "drawn right of the first unfinished column " << k << ": column " << x
                              << " row " << y;
    EXPECT_EQ(wrong, 0) << "pixels drawn right of column " << k;
    return k;
}

const auto kZero = [](int32_t, int32_t) { return TColor32{0}; };

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
        for (const unsigned threads : {2u, 3u, 4u}) {
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

// A stop with 1 to 4 workers: in the band being drawn the finished columns are exactly [0, k), and every
// pixel right of them is as it was before the band was drawn.
struct StopCase {
    unsigned Threads;
    int Percent; // progress at which the stop is asked for
};

class StoppedPictureTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(StoppedPictureTest, OneChannelKeepsADrawnBlockFromTheLeft) {
    const StopCase c = GetParam();
    const SignalStore store = MakeStore(Noise(kStoppedRunValues, 5000));
    const SpectrogramSettings settings = Settings(256, 2, kWindowHann, 2000);
    const Outcome full = Compute(store, settings, 1);
    const Outcome stopped = ComputeStoppedAt(store, settings, c.Threads, c.Percent);
    ASSERT_TRUE(stopped.Result.Stopped);
    const TBitmap32& picture = stopped.State.SpectrogramBitmap;
    ASSERT_EQ(picture.Width(), full.State.SpectrogramBitmap.Width());
    // How far the block reaches depends on where each worker was (one held up by the scheduler holds the
    // block back); that it is one block, and that the stop cut it short, does not.
    const int32_t k = ExpectDrawnPrefix(picture, full.State.SpectrogramBitmap, 0, picture.Height(), kZero);
    EXPECT_LT(k, picture.Width());
}

TEST_P(StoppedPictureTest, TheComplexPictureKeepsADrawnBlockFromTheLeftInAllItsRows) {
    const StopCase c = GetParam();
    const SignalStore store = MakeStore(Noise(kStoppedRunValues, 5000, 3), 2);
    SpectrogramSettings settings = Settings(128, 2, kWindowHann, 2000);
    settings.IQSpectrum = true;
    const Outcome full = Compute(store, settings, 1);
    const Outcome stopped = ComputeStoppedAt(store, settings, c.Threads, c.Percent);
    ASSERT_TRUE(stopped.Result.Stopped);
    const TBitmap32& picture = stopped.State.SpectrogramBitmap;
    ASSERT_EQ(picture.Height(), 128);
    const int32_t k = ExpectDrawnPrefix(picture, full.State.SpectrogramBitmap, 0, picture.Height(), kZero);
    EXPECT_LT(k, picture.Width());
}

TEST_P(StoppedPictureTest, TwoChannelsKeepADrawnBlockFromTheLeftInTheBandBeingDrawn) {
    const StopCase c = GetParam();
    const SignalStore store = MakeStore(Noise(kStoppedRunValues, 5000, 7), 2);
    const SpectrogramSettings settings = Settings(256, 2, kWindowHann, 2000);
    const Outcome full = Compute(store, settings, 1);
    // Progress counts the columns of both bands: below 50 % the stop is asked for in the top band, but
    // the workers may finish that band before the stopping thread gets a core. The band being drawn is
    // the first that differs from the whole picture.
    const Outcome stopped = ComputeStoppedAt(store, settings, c.Threads, c.Percent);
    ASSERT_TRUE(stopped.Result.Stopped);
    const TBitmap32& picture = stopped.State.SpectrogramBitmap;
    const TBitmap32& whole = full.State.SpectrogramBitmap;
    const int32_t band = picture.Height() / 2;
    if (FirstDifferingColumn(picture, whole, 0, band) < picture.Width()) {
        // The top band with its extra marker row below it; the bottom band never started.
        const int32_t k = ExpectDrawnPrefix(picture, whole, 0, band, kZero);
        EXPECT_LT(k, picture.Width());
        for (int32_t x = 0; x < picture.Width(); ++x)
            ASSERT_EQ(picture.Pixel(x, band), x < k ? MarkerPixel(kOpaqueWhite, x, band) : 0u) << x;
        for (int32_t y = band + 1; y < picture.Height(); ++y)
            for (int32_t x = 0; x < picture.Width(); ++x) ASSERT_EQ(picture.Pixel(x, y), 0u) << x << "," << y;
        return;
    }
    // The top band is complete; right of the bottom band's drawn block its first row still shows the
    // top band's extra marker row, and zeros below.
    const auto before = [band](int32_t x, int32_t y) {
        return y == band ? MarkerPixel(kOpaqueWhite, x, y) : 0u;
    };
    const int32_t k = ExpectDrawnPrefix(picture, whole, band, picture.Height(), before);
    EXPECT_LT(k, picture.Width());
}

INSTANTIATE_TEST_SUITE_P(OneToFourWorkers, StoppedPictureTest,
                         ::testing::Values(StopCase{1, 20}, StopCase{1, 70}, StopCase{2, 20}, StopCase{2, 70},
                                           StopCase{3, 30}, StopCase{3, 80}, StopCase{4, 20},
                                           StopCase{4, 70}),
                         [](const auto& info) {
                             return std::to_string(info.param.Threads) + "Workers" +
                                    std::to_string(info.param.Percent) + "Percent";
                         });

// A stop asked for before the run, or while the image is prepared (here: from the hook that runs
// between the preparation and the first column), is honoured: the image is prepared and no column is
// drawn. The flag stays set for the job to see.
TEST(SpectrogramRun, StopBeforeTheFirstColumnEndsTheRunWithNoColumnDrawn) {
    const SignalStore mono = MakeStore(Noise(5000, 5000));
    const SignalStore stereo = MakeStore(Noise(5001, 5000), 2);
    for (const SignalStore* store : {&mono, &stereo}) {
        for (const int32_t n : {256, 32768}) {
            for (const bool inTheHook : {false, true}) {
                SpectrogramState state;
                JobControl control;
                SpectrogramRunOptions options;
                options.Threads = 2;
                if (inTheHook) {
                    options.Prepared = [&control](const SpectrogramPreparation&) { control.RequestStop(); };
                } else {
                    control.RequestStop();
                }
                const SpectrogramResult result =
                    RecomputeSpectrogram(state, *store, Settings(n), control, options);
                const std::string where = "N " + std::to_string(n) + (inTheHook ? " in the hook" : " before");
                EXPECT_TRUE(result.Stopped) << where;
                EXPECT_FALSE(result.Refused) << where;
                EXPECT_TRUE(control.Stopping()) << where;
                EXPECT_EQ(control.Progress.load(), 0) << where;
                EXPECT_EQ(state.CurrentFFTSize, n) << where;
                ASSERT_EQ(state.SpectrogramBitmap.Height(), n / 2) << where;
                const std::vector<TColor32> pixels = Pixels(state.SpectrogramBitmap);
                EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0u), static_cast<long>(pixels.size()))
                    << where;
                EXPECT_EQ(result.ChannelRateText.empty(), false) << where;
            }
        }
    }
}

// A run stopped during its preparation may leave the window table unfinished; the next run in the
// same state draws the same picture as a run in a fresh one.
TEST(SpectrogramRun, RunAfterAStoppedOneDrawsTheFullPicture) {
    const SignalStore store = MakeStore(Noise(300000, 5000));
    for (const int32_t n : {1024, 65536}) {
        SpectrogramState state;
        JobControl control;
        control.RequestStop();
        ASSERT_TRUE(RecomputeSpectrogram(state, store, Settings(n), control).Stopped) << n;
        control.ClearStop();
        ASSERT_FALSE(RecomputeSpectrogram(state, store, Settings(n), control).Stopped) << n;
        EXPECT_EQ(Pixels(state.SpectrogramBitmap),
                  Pixels(Compute(store, Settings(n), 2).State.SpectrogramBitmap))
            << n;
    }
}
