// The two FFTs against FFTW: FFTPow2 (single precision, forward with reorder) against FFTW's
// single-precision complex transform planned with FFTW_MEASURE, and MixedRadixFFT (double precision)
// against FFTW's double transform planned with FFTW_ESTIMATE. Every iteration restores the input
// from a source copy before transforming (unscaled repeats would overflow); the Copy benchmarks time
// that restoring alone, so it can be subtracted from both sides. The transform in kernel order (what
// the spectrogram's columns take) and FFTW's are each run 11 times, their runs interleaved in random
// order with all the others, and their medians reported: the target is kernel order within 1.0x of
// FFTW at N = 1024. Both transform arrays start at a cache-line boundary, as FFTW's allocator and the
// spectrogram's column buffers give them. The real band's transforms (a real frame, and one channel of
// two) race FFTW's real-input transform of the same values, 11 interleaved runs each as well.
// The transform of one large spectrogram column three ways: FourierForward from one array into another
// (what a column did while each call planned its length), the column's way through a ready plan (the
// frame written straight into the input order of one array, then the passes), and making a plan.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "spectral/CacheLineVector.h"
#include "spectral/FFTPow2.h"
#include "spectral/FFTPow2OneParity.h"
#include "spectral/FFTPow2RealFrame.h"
#include "spectral/MixedRadixFFT.h"
#include "spectral/MixedRadixPlan.h"

namespace {

template <class Complex> std::vector<Complex> RandomSignal(size_t n) {
    std::mt19937 generator(42);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::vector<Complex> x(n);
    for (auto& value : x)
        value = {static_cast<decltype(value.re)>(uniform(generator)),
                 static_cast<decltype(value.re)>(uniform(generator))};
    return x;
}

void BM_FFTPow2Forward(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    const auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(n));
    CacheLineVector<TComplexSingle> data(source.size()), work(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        FFTPow2(data.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural, work.data());
        benchmark::DoNotOptimize(data.data());
    }
}

// The kernel alone, its result left in kernel order.
void BM_FFTPow2ForwardKernelOrder(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    const auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(n));
    CacheLineVector<TComplexSingle> data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        FFTPow2(data.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Kernel);
        benchmark::DoNotOptimize(data.data());
    }
}

// As the spectrogram calls it: no scratch array given.
void BM_FFTPow2ForwardNoWork(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    const auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(n));
    CacheLineVector<TComplexSingle> data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        FFTPow2(data.data(), n, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_FFTWfMeasure(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(n));
    auto* data = fftwf_alloc_complex(static_cast<size_t>(n));
    fftwf_plan plan = fftwf_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_MEASURE);
    for (auto _ : state) {
        std::memcpy(data, source.data(), source.size() * sizeof(TComplexSingle));
        fftwf_execute(plan);
        benchmark::DoNotOptimize(data);
    }
    fftwf_destroy_plan(plan);
    fftwf_free(data);
}

// A real frame (imaginary parts 0) of N points, as a spectrogram's real band transforms it: the bins
// that mirror others left out.
void BM_FFTPow2RealFrame(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(n));
    for (TComplexSingle& value : source) value.im = 0.0f;
    CacheLineVector<TComplexSingle> data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        FFTPow2RealFrame(data.data(), n);
        benchmark::DoNotOptimize(data.data());
    }
}

// One channel of two in a frame of N points: its N/2 real values alone, as the two-band picture
// transforms them.
void BM_FFTPow2RealOneParity(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(n / 2));
    for (TComplexSingle& value : source) value.im = 0.0f;
    CacheLineVector<TComplexSingle> data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        FFTPow2RealOneParity(data.data(), n, 1);
        benchmark::DoNotOptimize(data.data());
    }
}

// FFTW's transform of M real values (its half spectrum, out of place), planned with FFTW_MEASURE: the
// competitor of the real frame at M = N and of one channel of two at M = N/2.
void BM_FFTWfRealMeasure(benchmark::State& state) {
    const auto m = static_cast<int>(state.range(0));
    const auto values = RandomSignal<TComplexSingle>(static_cast<size_t>(m));
    std::vector<float> source(values.size());
    for (size_t i = 0; i < values.size(); ++i) source[i] = values[i].re;
    float* in = fftwf_alloc_real(static_cast<size_t>(m));
    auto* out = fftwf_alloc_complex(static_cast<size_t>(m / 2 + 1));
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(m, in, out, FFTW_MEASURE);
    for (auto _ : state) {
        std::memcpy(in, source.data(), source.size() * sizeof(float));
        fftwf_execute(plan);
        benchmark::DoNotOptimize(out);
    }
    fftwf_destroy_plan(plan);
    fftwf_free(out);
    fftwf_free(in);
}

void BM_CopySingle(benchmark::State& state) {
    const auto source = RandomSignal<TComplexSingle>(static_cast<size_t>(state.range(0)));
    std::vector<TComplexSingle> data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_MixedRadixFFT(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    const auto source = RandomSignal<TComplexDouble>(static_cast<size_t>(n));
    TSimComplexArray data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        MixedRadixFFT(n, data, FFTDirection::Forward);
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_FourierForwardOutOfPlace(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    const auto source = RandomSignal<TComplexDouble>(static_cast<size_t>(n));
    TSimComplexArray output(source.size());
    for (auto _ : state) {
        FourierForward(source.data(), output.data(), n);
        benchmark::DoNotOptimize(output.data());
    }
}

// As a spectrogram column runs it: no copy, the permutation reads the frame's values where they are.
void BM_PlannedColumnTransform(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    const auto source = RandomSignal<TComplexDouble>(static_cast<size_t>(n));
    const MixedRadixPlan& plan = MixedRadixPlan::For(n);
    TSimComplexArray data(source.size());
    const auto frame = [&source](int64_t k) { return source[static_cast<size_t>(k)]; };
    for (auto _ : state) {
        plan.Permute(frame, data.data());
        plan.RunPasses(data.data());
        benchmark::DoNotOptimize(data.data());
    }
}

void BM_MakePlan(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        const MixedRadixPlan plan(n);
        benchmark::DoNotOptimize(&plan);
    }
}

void BM_FFTWEstimate(benchmark::State& state) {
    const auto n = static_cast<int>(state.range(0));
    const auto source = RandomSignal<TComplexDouble>(static_cast<size_t>(n));
    auto* data = fftw_alloc_complex(static_cast<size_t>(n));
    fftw_plan plan = fftw_plan_dft_1d(n, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    for (auto _ : state) {
        std::memcpy(data, source.data(), source.size() * sizeof(TComplexDouble));
        fftw_execute(plan);
        benchmark::DoNotOptimize(data);
    }
    fftw_destroy_plan(plan);
    fftw_free(data);
}

void BM_CopyDouble(benchmark::State& state) {
    const auto source = RandomSignal<TComplexDouble>(static_cast<size_t>(state.range(0)));
    TSimComplexArray data(source.size());
    for (auto _ : state) {
        std::copy(source.begin(), source.end(), data.begin());
        benchmark::DoNotOptimize(data.data());
    }
}

} // namespace

BENCHMARK(BM_FFTPow2Forward)->Arg(1024)->Arg(16384);
BENCHMARK(BM_FFTPow2ForwardNoWork)->Arg(1024)->Arg(16384);
BENCHMARK(BM_FFTPow2ForwardKernelOrder)->Arg(1024)->Arg(16384)->Repetitions(11)->ReportAggregatesOnly(true);
BENCHMARK(BM_FFTWfMeasure)->Arg(1024)->Arg(16384)->Repetitions(11)->ReportAggregatesOnly(true);
BENCHMARK(BM_FFTPow2RealFrame)->Arg(1024)->Repetitions(11)->ReportAggregatesOnly(true);
BENCHMARK(BM_FFTPow2RealOneParity)->Arg(1024)->Repetitions(11)->ReportAggregatesOnly(true);
BENCHMARK(BM_FFTWfRealMeasure)->Arg(512)->Arg(1024)->Repetitions(11)->ReportAggregatesOnly(true);
BENCHMARK(BM_CopySingle)->Arg(1024)->Arg(16384);
BENCHMARK(BM_MixedRadixFFT)->Arg(32768)->Arg(1048576)->Arg(8388608)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FourierForwardOutOfPlace)->Arg(32768)->Arg(8388608)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlannedColumnTransform)->Arg(32768)->Arg(8388608)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakePlan)->Arg(32768)->Arg(8388608)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FFTWEstimate)->Arg(32768)->Arg(1048576)->Arg(8388608)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyDouble)->Arg(32768)->Arg(1048576)->Arg(8388608)->Unit(benchmark::kMillisecond);

// BENCHMARK_MAIN with the repetitions interleaved at random unless the command line says otherwise, so
// that a slow spell of the machine falls on both sides of a comparison.
int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    const bool given = std::any_of(args.begin() + 1, args.end(), [](const char* a) {
        return std::strncmp(a, "--benchmark_enable_random_interleaving", 38) == 0;
    });
    if (!given) args.push_back(interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
