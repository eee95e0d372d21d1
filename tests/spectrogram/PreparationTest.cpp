#include "SpectrogramTestSupport.h"

#include "spectral/RecomputeSpectrogram.h"

#include <gtest/gtest.h>

using namespace spectest;

namespace {

// A finished 49 x 512 picture of a one-second tone, as the window holds it before the next run.
SpectrogramState StateWithPicture(JobControl& control) {
    SpectrogramState state;
    const SignalStore store = MakeStore(Tone(48000, 3000, 48000, 8000));
    const SpectrogramResult first = RecomputeSpectrogram(state, store, Settings(1024), control);
    EXPECT_EQ(first.ImageSizeText, " 49x512 - 0.096 Mb bmp");
    return state;
}

std::vector<TColor32> Pixels(const TBitmap32& bitmap) {
    return std::vector<TColor32>(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount());
}

} // namespace

TEST(PrepareSpectrogramBitmap, AcceptedImageSetsSizeTablesCurveAndProgress) {
    SpectrogramState state;
    JobControl control;
    control.SetProgress(77);
    const SignalStore store = MakeStore(Tone(2048, 1000, 48000, 100));
    const SpectrogramPreparation prep =
        PrepareSpectrogramBitmap(state, store, Settings(1024, 1, kWindowHann), control);

    EXPECT_EQ(prep.Hop, 1024);
    EXPECT_EQ(prep.ImageSizeText, " 5x512 - 0.010 Mb bmp");
    EXPECT_FALSE(prep.Workers.empty());
    EXPECT_EQ(state.SpectrogramBitmap.Width(), 5);
    EXPECT_EQ(state.SpectrogramBitmap.Height(), 512);
    for (size_t i = 0; i < state.SpectrogramBitmap.PixelCount(); ++i)
        ASSERT_EQ(state.SpectrogramBitmap.Bits()[i], 0u);
    EXPECT_EQ(state.CurrentFFTSize, 1024);
    ASSERT_EQ(state.WindowTable.size(), 1024u);
    EXPECT_EQ(state.WindowTable[512], 1.0f); // Hann peak
    EXPECT_EQ(state.FadeCurve.size(), 1024u);
    EXPECT_FALSE(control.Stopping());
    EXPECT_EQ(control.Progress.load(), 0);
}

// The stop flag belongs to the job that runs the computation, which clears it before it starts. A
// stop ends the building of the window table early (the run then ends before its first column): the
// image is still prepared.
TEST(PrepareSpectrogramBitmap, StopFlagIsLeftAndCutsTheWindowTableShort) {
    for (const int32_t n : {1024, 65536}) {
        SpectrogramState state;
        JobControl control;
        control.RequestStop();
        const SignalStore store = MakeStore(Tone(4 * n, 1000, 48000, 100));
        const SpectrogramPreparation prep =
            PrepareSpectrogramBitmap(state, store, Settings(n, 1, kWindowHann), control);
        EXPECT_EQ(prep.Hop, n) << n;
        EXPECT_EQ(state.SpectrogramBitmap.Height(), n / 2) << n;
        EXPECT_EQ(state.CurrentFFTSize, n) << n;
        ASSERT_EQ(state.WindowTable.size(), size_t(n)) << n;
        EXPECT_EQ(state.WindowTable[size_t(n) / 2], 0.0f) << n; // the Hann peak, not computed
        EXPECT_TRUE(control.Stopping()) << n;
    }
}

TEST(PrepareSpectrogramBitmap, ShortSignalGivesAShortFadeCurveAndHopFollowsDecimation) {
    SpectrogramState state;
    JobControl control;
    const SignalStore store = MakeStore(std::vector<int16_t>(100, 5));
    const SpectrogramPreparation prep = PrepareSpectrogramBitmap(state, store, Settings(64, 4), control);
    EXPECT_EQ(prep.Hop, 16);
    EXPECT_EQ(state.FadeCurve.size(), 100u);
    EXPECT_EQ(state.CurrentFFTSize, 64);
}

TEST(PrepareSpectrogramBitmap, RefusalKeepsThePreviousImageAndShowsItsSize) {
    JobControl control;
    SpectrogramState state = StateWithPicture(control);
    const std::vector<TColor32> before = Pixels(state.SpectrogramBitmap);
    const TWindowTable windowBefore = state.WindowTable;

    // 60 s of 48000 Hz stereo: only the value count matters for the refusal, no values are read.
    SignalStore big = MakeStore({}, 2);
    big.ValueCount = 5760000;
    control.RequestStop();
    const SpectrogramResult result = RecomputeSpectrogram(state, big, Settings(8388608, 64), control);

    EXPECT_TRUE(result.Ran);
    EXPECT_TRUE(result.Refused);
    EXPECT_EQ(result.ImageSizeText, " ERRR!49x512 - 1744.000 Mb bmp");
    EXPECT_EQ(result.ChannelRateText, "  Channels: 2  SmpleRate: 48000");
    EXPECT_EQ(result.TimeText.front(), ' ');
    EXPECT_EQ(result.TimeText.substr(result.TimeText.size() - 3), " ms");
    EXPECT_EQ(Pixels(state.SpectrogramBitmap), before);
    EXPECT_EQ(state.CurrentFFTSize, 1024);
    EXPECT_EQ(state.WindowTable, windowBefore);
    EXPECT_TRUE(control.Stopping()); // the flag is the job's

    SpectrogramState fresh;
    EXPECT_EQ(RecomputeSpectrogram(fresh, big, Settings(8388608, 64), control).ImageSizeText,
              " ERRR!0x0 - 1744.000 Mb bmp");
    EXPECT_TRUE(fresh.SpectrogramBitmap.Empty());
}

TEST(PrepareSpectrogramBitmap, AllocationFailureIsARefusalThatKeepsEverything) {
    JobControl control;
    SpectrogramState state = StateWithPicture(control);
    const std::vector<TColor32> before = Pixels(state.SpectrogramBitmap);
    const std::vector<float> fadeBefore = state.FadeCurve;

    const SignalStore store = MakeStore(Tone(40000, 500, 48000, 3000));
    SpectrogramRunOptions options;
    // The image (4 x 16384 pixels) fits, the frame buffer of one worker (32768 x 16 bytes) does not.
    options.Threads = 2;
    options.MemoryLimit = 600 * 1024;
    const SpectrogramResult result = RecomputeSpectrogram(state, store, Settings(32768), control, options);

    EXPECT_TRUE(result.Refused);
    EXPECT_EQ(result.ImageSizeText.substr(0, 15), " ERRR!49x512 - ");
    EXPECT_EQ(Pixels(state.SpectrogramBitmap), before);
    EXPECT_EQ(state.CurrentFFTSize, 1024);
    EXPECT_EQ(state.FadeCurve, fadeBefore);

    // The image itself over the limit.
    options.MemoryLimit = 1000;
    EXPECT_TRUE(RecomputeSpectrogram(state, store, Settings(1024), control, options).Refused);
    EXPECT_EQ(Pixels(state.SpectrogramBitmap), before);

    // With room for it the same run succeeds.
    options.MemoryLimit = 64 * 1024 * 1024;
    const SpectrogramResult accepted = RecomputeSpectrogram(state, store, Settings(32768), control, options);
    EXPECT_FALSE(accepted.Refused);
    EXPECT_EQ(state.CurrentFFTSize, 32768);
    EXPECT_EQ(state.SpectrogramBitmap.Height(), 16384);
}

TEST(RecomputeSpectrogram, NothingLoadedChangesNothing) {
    JobControl control;
    SpectrogramState state = StateWithPicture(control);
    SignalStore empty;
    const SpectrogramResult result = RecomputeSpectrogram(state, empty, Settings(64), control);
    EXPECT_FALSE(result.Ran);
    EXPECT_TRUE(result.ImageSizeText.empty());
    EXPECT_TRUE(result.TimeText.empty());
    EXPECT_EQ(state.SpectrogramBitmap.Width(), 49);
    EXPECT_EQ(state.CurrentFFTSize, 1024);
}

TEST(RefreshFadeCurveAndFFTSize, FollowsTheSettingsUnlessTheImageWouldBeRefused) {
    SpectrogramState state;
    SignalStore store = MakeStore(std::vector<int16_t>(300, 1));
    EXPECT_TRUE(RefreshFadeCurveAndFFTSize(state, store, Settings(256)));
    EXPECT_EQ(state.CurrentFFTSize, 256);
    EXPECT_EQ(state.FadeCurve.size(), 300u);
    EXPECT_TRUE(state.SpectrogramBitmap.Empty());
    EXPECT_TRUE(state.WindowTable.empty());

    store.ValueCount = 5760000; // as far as the size check is concerned
    EXPECT_FALSE(RefreshFadeCurveAndFFTSize(state, store, Settings(8388608, 64)));
    EXPECT_EQ(state.CurrentFFTSize, 256);
}

TEST(SpectrogramWorkerCount, BoundedByThreadsColumnsAndLargeTransformMemory) {
    EXPECT_EQ(SpectrogramWorkerCount(4, 1024, 1000), 4u);
    EXPECT_EQ(SpectrogramWorkerCount(4, 1024, 3), 3u);
    EXPECT_EQ(SpectrogramWorkerCount(1, 1024, 1000), 1u);
    EXPECT_GE(SpectrogramWorkerCount(0, 1024, 1000), 1u);
    // One double-precision array of N values per worker (16 bytes per value): 8388608 values take
    // 128 MiB, so eight fit in 1 GiB; half the size fits sixteen.
    EXPECT_EQ(SpectrogramColumnWorker::BufferBytes(8388608), 8388608u * 16);
    EXPECT_EQ(SpectrogramWorkerCount(16, 8388608, 100), 8u);
    EXPECT_EQ(SpectrogramWorkerCount(64, 4194304, 100), 16u);
    EXPECT_EQ(SpectrogramWorkerCount(2, 8388608, 100), 2u);
    EXPECT_EQ(SpectrogramWorkerCount(16, 8388608, 3), 3u);
    EXPECT_LE(SpectrogramWorkerCount(64, 8388608, 100) * SpectrogramColumnWorker::BufferBytes(8388608),
              kLargeTransformMemoryBudget);
}

// When the frame buffers of all the workers asked for cannot be had, the run takes fewer: those that
// could be had less one, never fewer than one. The picture is that of one worker.
class FewerWorkersTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(FewerWorkersTest, BuffersThatCannotBeHadLeaveFewerWorkersAndTheSamePicture) {
    const unsigned threads = GetParam();
    const SignalStore store = MakeStore(Noise(100000, 4000));
    const SpectrogramSettings settings = Settings(65536, 8);
    JobControl control;
    SpectrogramState reference;
    SpectrogramRunOptions one;
    one.Threads = 1;
    ASSERT_FALSE(RecomputeSpectrogram(reference, store, settings, control, one).Refused);
    const size_t imageBytes = reference.SpectrogramBitmap.PixelCount() * 4;
    const size_t workerBytes = SpectrogramColumnWorker::BufferBytes(65536);

    SpectrogramRunOptions options;
    options.Threads = threads;
    options.MemoryLimit = imageBytes + 2 * workerBytes + workerBytes / 2; // room for two workers
    size_t workers = 0;
    options.Prepared = [&workers](const SpectrogramPreparation& p) { workers = p.Workers.size(); };
    SpectrogramState state;
    const SpectrogramResult result = RecomputeSpectrogram(state, store, settings, control, options);
    EXPECT_FALSE(result.Refused);
    EXPECT_FALSE(result.Stopped);
    EXPECT_EQ(workers, threads <= 2 ? threads : 1u);
    EXPECT_EQ(Pixels(state.SpectrogramBitmap), Pixels(reference.SpectrogramBitmap));

    // Without room for one worker the image is refused.
    options.MemoryLimit = imageBytes + workerBytes - 1;
    EXPECT_TRUE(RecomputeSpectrogram(state, store, settings, control, options).Refused);
}

INSTANTIATE_TEST_SUITE_P(OneToEightThreads, FewerWorkersTest, ::testing::Range(1u, 9u));
