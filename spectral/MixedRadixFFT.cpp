#include "spectral/MixedRadixFFT.h"

#include <memory>
#include <stdexcept>

#include "spectral/MixedRadixPlan.h"

void FourierForward(const TComplexDouble* input, TComplexDouble* output, int32_t N) {
    if (N <= 0) return;
    MixedRadixPlan::For(N).Forward(input, output);
}

void FourierInverse(const TComplexDouble* input, TComplexDouble* output, int32_t N) {
    if (N <= 0) return;
    const MixedRadixPlan& plan = MixedRadixPlan::For(N);
    auto conjugated = std::make_unique_for_overwrite<TComplexDouble[]>(static_cast<size_t>(N));
    for (int32_t k = 0; k < N; ++k) conjugated[k] = {input[k].re, -input[k].im};
    plan.Forward(conjugated.get(), output);
    const double s = 1.0 / N;
    for (int32_t k = 0; k < N; ++k) output[k] = {s * output[k].re, -s * output[k].im};
}

void MixedRadixFFT(int32_t N, TSimComplexArray& data, FFTDirection direction) {
    if (N <= 0) return;
    if (static_cast<size_t>(N) > data.size()) throw std::out_of_range("FFT length exceeds the array");
    if (direction == FFTDirection::Inverse) {
        FourierInverse(data.data(), data.data(), N);
    } else {
        FourierForward(data.data(), data.data(), N);
    }
}
