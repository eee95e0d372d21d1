#include "ops/FrequencyShift.h"

#include "ops/NormalizePeak.h"
#include "ops/SampleRounding.h"
#include "ops/ValueLoopPoll.h"
#include "signal/NumberText.h"

#include <cmath>
#include <numbers>

namespace {

using Wave = double (*)(double);

double Sine(double x) {
    return std::sin(x);
}
double Cosine(double x) {
    return std::cos(x);
}

// wave(omega * t): the phase is formed and reduced to less than one turn in extended precision, so the
// angle keeps its accuracy however long the recording; the function itself then runs in double
// precision on the reduced angle (as accurate as the extended functions, and ten times faster).
long double OscillatorValue(double omega, double t, Wave wave) {
    constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;
    const long double phase = static_cast<long double>(omega) * t;
    const long double turns = static_cast<long double>(static_cast<long long>(phase / kTurn));
    return wave(static_cast<double>(phase - kTurn * turns));
}

// Entry i is taken at t_i = i / rate + TimeOffset, formed in extended precision and kept as a double;
// the offset then becomes the double used for the last entry, which is entry 0 of the next block.
void GenerateBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude, Wave wave) {
    double t = oscillator.TimeOffset;
    for (size_t i = 0; i < oscillator.Block.size(); ++i) {
        t = static_cast<double>(static_cast<long double>(i) / rate + oscillator.TimeOffset);
        oscillator.Block[i] = static_cast<double>(amplitude * OscillatorValue(oscillator.Omega, t, wave));
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
    ValueLoopPoll poll(job, n);
    size_t j = 0;
    for (int64_t k = 0; k < n; ++k) {
        const int16_t value = s[k];
        const double entry = oscillator.Block[j];
        s[k] = RoundToSampleVia(value * entry / amplitude,
                                [&] { return static_cast<long double>(value) * entry / amplitude; });
        if (++j == 1024) {
            j = 0;
            GenerateBlock(oscillator, rate, amplitude, wave);
        }
        if (poll.StopAt(k)) break;
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
