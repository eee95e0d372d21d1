#include "ops/FrequencyShift.h"

#include "ops/NormalizePeak.h"
#include "ops/SampleRounding.h"
#include "signal/NumberText.h"

#include <cmath>
#include <numbers>

namespace {

using Wave = long double (*)(long double);

long double Sine(long double x) {
    return std::sin(x);
}
long double Cosine(long double x) {
    return std::cos(x);
}

void GenerateBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude, Wave wave) {
    double t = oscillator.TimeOffset;
    for (size_t i = 0; i < oscillator.Block.size(); ++i) {
        t = static_cast<double>(i) / rate + oscillator.TimeOffset;
        oscillator.Block[i] =
            static_cast<double>(amplitude * wave(static_cast<long double>(oscillator.Omega) * t));
    }
    oscillator.TimeOffset = t;
}

void Shift(SignalStore& store, double frequency, JobControl& job, bool scaleFirst, Wave wave) {
    if (store.SampleRate < 1) return;
    const int32_t rate = store.SampleRate;
    const int32_t peak = PrepareLevel(store, scaleFirst);
    ShiftOscillator oscillator;
    oscillator.Omega = static_cast<double>(2 * std::numbers::pi_v<long double> * frequency);
    const double amplitude = peak;
    GenerateBlock(oscillator, rate, amplitude, wave);

    int16_t* s = store.Samples.data();
    const int64_t n = static_cast<int64_t>(store.Samples.size());
    size_t j = 0;
    for (int64_t k = 0; k < n; ++k) {
        s[k] = RoundToSample(static_cast<long double>(s[k]) * oscillator.Block[j] / amplitude);
        if (++j == 1024) {
            j = 0;
            GenerateBlock(oscillator, rate, amplitude, wave);
        }
        if (k % 10 == 0) {
            job.SetProgress(PercentDone(k, n - 1));
            if (job.Stopping()) break;
        }
    }
    RestoreLevel(store, peak);
}

} // namespace

void GenerateSinBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude) {
    GenerateBlock(oscillator, rate, amplitude, Sine);
}

void GenerateCosBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude) {
    GenerateBlock(oscillator, rate, amplitude, Cosine);
}

std::optional<double> ShiftFrequencyFromText(const SignalStore& store, std::string_view text) {
    const double f = std::fabs(StrToFloat(text));
    if (store.SampleRate < 1 || f > store.SampleRate) return std::nullopt;
    return f;
}

void SinShift(SignalStore& store, double frequency, JobControl& job) {
    Shift(store, frequency, job, true, Sine);
}

void CosShift(SignalStore& store, double frequency, JobControl& job) {
    Shift(store, frequency, job, false, Cosine);
}
