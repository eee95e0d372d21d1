// Long jobs when memory runs out: a spectrogram whose large-transform work arrays or image cannot be
// allocated is refused with the previous picture kept, and an edit that cannot get its work arrays
// raises std::bad_alloc before it changes a value.
#include "AllocationFailure.h"
#include "ChildProcess.h"

#include "ops/OpsTestSupport.h"
#include "spectrogram/SpectrogramTestSupport.h"

#include "ops/FFTBandFilter.h"
#include "ops/FadeInOut.h"
#include "ops/FrequencyShift.h"
#include "ops/IQToReal.h"
#include "ops/InvertSpectrum.h"
#include "ops/LPFFilter.h"
#include "ops/NormalizePeak.h"
#include "ops/SampleRateAdjust.h"
#include "spectral/RecomputeSpectrogram.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

std::vector<TColor32> Pixels(const TBitmap32& bitmap) {
    return std::vector<TColor32>(bitmap.Bits(), bitmap.Bits() + bitmap.PixelCount());
}

// A finished 49 x 512 picture of a one-second tone, as the window holds it before the next run.
SpectrogramState StateWithPicture(JobControl& control) {
    SpectrogramState state;
    const SignalStore store = spectest::MakeStore(spectest::Tone(48000, 3000, 48000, 8000));
    RecomputeSpectrogram(state, store, spectest::Settings(1024), control);
    return state;
}

} // namespace

TEST(JobAllocationFailure, LargeTransformWorkArraysThatCannotBeHadRefuseTheImage) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "operator new is not replaced in this build";
    JobControl control;
    SpectrogramState state = StateWithPicture(control);
    const std::vector<TColor32> before = Pixels(state.SpectrogramBitmap);
    const TWindowTable windowBefore = state.WindowTable;
    const SignalStore store = spectest::MakeStore(spectest::Tone(200000, 500, 48000, 3000));

    SpectrogramResult result;
    {
        // The double-precision frames of N = 131072 take 2 MiB each; the image itself (calloc) is
        // not an operator new allocation and stays possible.
        FailAllocationsFrom failing(1 << 20);
        result = RecomputeSpectrogram(state, store, spectest::Settings(131072), control);
    }
    EXPECT_TRUE(result.Refused);
    EXPECT_EQ(result.ImageSizeText.substr(0, 15), " ERRR!49x512 - ");
    EXPECT_EQ(Pixels(state.SpectrogramBitmap), before);
    EXPECT_EQ(state.CurrentFFTSize, 1024);
    EXPECT_EQ(state.WindowTable, windowBefore);

    // With memory back the same run succeeds.
    EXPECT_FALSE(RecomputeSpectrogram(state, store, spectest::Settings(131072), control).Refused);
    EXPECT_EQ(state.CurrentFFTSize, 131072);
}

// The image's pixels come from calloc; a real shortage is made with an address-space limit in a child.
TEST(JobAllocationFailure, ImageThatCannotBeHadIsRefusedAndThePictureKept) {
    if (SanitizerBuild()) GTEST_SKIP() << "sanitizer shadow memory makes an address-space limit meaningless";
    JobControl control;
    SpectrogramState state = StateWithPicture(control);
    const std::vector<TColor32> before = Pixels(state.SpectrogramBitmap);
    // 2000000 values at N = 1024 and "Image Width" 64: 125000 x 512 pixels, 244 MiB, more than the
    // free space that the heap and its reserved arenas (64 MiB each) may hold; 1 MiB of headroom.
    const SignalStore store = spectest::MakeStore(spectest::Noise(2000000, 3000));

    const std::string outcome = RunInChild([&] {
        SpectrogramRunOptions oneThread;
        oneThread.Threads = 1;
        if (!LimitAddressSpace(1 << 20)) return std::string("no limit");
        const SpectrogramResult result =
            RecomputeSpectrogram(state, store, spectest::Settings(1024, 64), control, oneThread);
        std::ostringstream out;
        out << result.Refused << " " << result.ImageSizeText.substr(0, 15) << " "
            << (state.SpectrogramBitmap.PixelCount() == before.size() &&
                std::equal(before.begin(), before.end(), state.SpectrogramBitmap.Bits()));
        return out.str();
    });
    EXPECT_EQ(outcome, "1  ERRR!49x512 -  1");
}

namespace {

struct Edit {
    const char* Name;
    std::function<void(SignalStore&, JobControl&)> Run;
};

std::vector<Edit> AllEdits() {
    static const std::vector<float> curve(1024, 0.5f);
    return {
        {"Fade", [](SignalStore& s, JobControl&) { FadeInOut(s, curve); }},
        {"Normalize", [](SignalStore& s, JobControl&) { NormalizePeak(s, 32000); }},
        {"Invert spectrum", [](SignalStore& s, JobControl&) { InvertSpectrum(s, 1024); }},
        {"Invert channel", [](SignalStore& s, JobControl&) { InvertChannel(s, 1); }},
        {"I/Q to real", [](SignalStore& s, JobControl& j) { ConvertIQToReal(s, j); }},
        {"Sin shift", [](SignalStore& s, JobControl& j) { SinShift(s, 1000.0, j); }},
        {"Cos shift", [](SignalStore& s, JobControl& j) { CosShift(s, -1000.0, j); }},
        {"LPF", [](SignalStore& s, JobControl& j) { LPFFilterStore(s, 5000.0, j); }},
        {"FFT filter", [](SignalStore& s, JobControl& j) { FFTBandFilter(s, 10000, 500, 2, j); }},
        {"Sample rate", [](SignalStore& s, JobControl&) { AdjustSampleRate(s, "44100"); }},
    };
}

} // namespace

// Every edit under a shortage of everything from 64 KiB up: it either needs no such allocation and
// gives exactly its normal result, or raises std::bad_alloc with the store untouched.
TEST(JobAllocationFailure, EditsThatCannotGetTheirArraysChangeNothing) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "operator new is not replaced in this build";
    const SignalStore original = opstest::MakeStore(
        opstest::Sum(opstest::Tone(100000, 3000, 48000, 9000), opstest::Noise(100000, 500, 7)), 2, 48000);
    size_t refusedEdits = 0;
    for (const Edit& edit : AllEdits()) {
        SCOPED_TRACE(edit.Name);
        SignalStore expected = original;
        JobControl job;
        edit.Run(expected, job);

        SignalStore store = original;
        bool raised = false;
        {
            FailAllocationsFrom failing(64 * 1024);
            try {
                edit.Run(store, job);
            } catch (const std::bad_alloc&) {
                raised = true;
            }
        }
        const SignalStore& wanted = raised ? original : expected;
        refusedEdits += raised ? 1 : 0;
        EXPECT_EQ(opstest::Values(store), opstest::Values(wanted));
        EXPECT_EQ(store.ValueCount, wanted.ValueCount);
        EXPECT_EQ(store.ChannelCount, wanted.ChannelCount);
        EXPECT_EQ(store.SampleRate, wanted.SampleRate);
        EXPECT_FALSE(job.Stopping());
    }
    EXPECT_GE(refusedEdits, 1u); // the FFT filter's frames are 128 KiB each
}
