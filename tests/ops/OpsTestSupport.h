// Stores, tones and spectra for the tests of the edits.
#pragma once

#include "signal/SignalStore.h"
#include "spectral/FFTPow2.h"
#include "spectral/FadeCurve.h"
#include "spectrogram/SpectrogramTestSupport.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace opstest {

// A loaded store holding `values`: the same one the spectrogram tests use.
using spectest::MakeStore;

// The Fade edit's curve as the spectrogram preparation leaves it for a store of `values` values.
inline std::vector<float> FadeCurveFor(size_t values) {
    std::vector<float> curve;
    BuildFadeCurve(curve, values);
    return curve;
}

inline std::vector<int16_t> Values(const SignalStore& store) {
    return {store.Samples.begin(), store.Samples.end()};
}

// amplitude * cos(2 pi f k / rate + phase), rounded.
inline std::vector<int16_t> Tone(size_t n, double frequency, double rate, double amplitude,
                                 double phase = 0) {
    std::vector<int16_t> v(n);
    for (size_t k = 0; k < n; ++k)
        v[k] = static_cast<int16_t>(
            std::lround(amplitude * std::cos(2 * std::numbers::pi * frequency * k / rate + phase)));
    return v;
}

inline std::vector<int16_t> Sum(std::vector<int16_t> a, const std::vector<int16_t>& b) {
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<int16_t>(a[i] + b[i]);
    return a;
}

inline std::vector<int16_t> Noise(size_t n, int amplitude, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(-amplitude, amplitude);
    std::vector<int16_t> v(n);
    for (auto& x : v) x = static_cast<int16_t>(value(random));
    return v;
}

// Magnitudes of bins 0 .. N/2 of N values starting at `first`, Hann-windowed, through the project's
// power-of-two FFT (N at most 16384).
inline std::vector<double> Spectrum(const std::vector<int16_t>& values, size_t first, int32_t N) {
    std::vector<TComplexSingle> frame(static_cast<size_t>(N));
    for (int32_t i = 0; i < N; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / N);
        frame[static_cast<size_t>(i)] = {static_cast<float>(values[first + static_cast<size_t>(i)] * w),
                                         0.0f};
    }
    FFTPow2(frame.data(), N, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
    std::vector<double> magnitude(static_cast<size_t>(N / 2 + 1));
    for (size_t k = 0; k < magnitude.size(); ++k) magnitude[k] = std::hypot(frame[k].re, frame[k].im);
    return magnitude;
}

// The largest magnitude within `halfWidth` bins of the frequency.
inline double LevelAt(const std::vector<double>& spectrum, double frequency, double rate, int32_t N,
                      int halfWidth = 3) {
    const long centre = std::lround(frequency * N / rate);
    double level = 0;
    for (long k = centre - halfWidth; k <= centre + halfWidth; ++k)
        if (k >= 0 && k < static_cast<long>(spectrum.size()))
            level = std::max(level, spectrum[static_cast<size_t>(k)]);
    return level;
}

inline double PeakFrequency(const std::vector<double>& spectrum, double rate, int32_t N) {
    size_t best = 1;
    for (size_t k = 1; k < spectrum.size(); ++k)
        if (spectrum[k] > spectrum[best]) best = k;
    return static_cast<double>(best) * rate / N;
}

// I and Q of amplitude * e^(j 2 pi f n / rate), interleaved.
inline std::vector<int16_t> ComplexTone(size_t frames, double frequency, double rate, double amplitude) {
    std::vector<int16_t> v(2 * frames);
    for (size_t n = 0; n < frames; ++n) {
        const double angle = 2 * std::numbers::pi * frequency * static_cast<double>(n) / rate;
        v[2 * n] = static_cast<int16_t>(std::lround(amplitude * std::cos(angle)));
        v[2 * n + 1] = static_cast<int16_t>(std::lround(amplitude * std::sin(angle)));
    }
    return v;
}

// dBFS of the complex spectrum (Hann window) of N frames of a two-channel store from frame `first`, at
// the bin nearest `frequency` (signed Hz, within two bins), against a full-scale complex tone.
inline double ComplexLevelAt(const SignalStore& store, size_t first, double frequency, int32_t N) {
    std::vector<TComplexSingle> frame(static_cast<size_t>(N));
    for (int32_t i = 0; i < N; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / N);
        const size_t at = 2 * (first + static_cast<size_t>(i));
        // The conjugate: the forward transform's kernel is exp(+2 pi i j k / N), so that bin k of
        // I - jQ holds frequency +k.
        frame[static_cast<size_t>(i)] = {static_cast<float>(store.Samples[at] * w),
                                         static_cast<float>(-store.Samples[at + 1] * w)};
    }
    FFTPow2(frame.data(), N, FFTDirection::Forward, FFTScaling::None, FFTOrder::Natural);
    const long bin = ((std::lround(frequency * N / store.SampleRate) % N) + N) % N;
    double peak = 0;
    for (long k = bin - 2; k <= bin + 2; ++k) {
        const TComplexSingle x = frame[static_cast<size_t>((k + N) % N)];
        peak = std::max(peak, std::hypot(double(x.re), double(x.im)));
    }
    return 20 * std::log10(peak / (32767.0 * N / 2));
}

} // namespace opstest
