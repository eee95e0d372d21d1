// The straightforward versions of the edits that run faster in the program: the level steps value by
// value, the low-pass filter and the I/Q conversion one filter call per value, the shifts with their
// oscillator generated block by block. They are what those edits computed before they were made
// faster; the tests and the differential fuzzers require the program's edits to give the same values,
// bit for bit. Nothing in the program calls them.
#pragma once

#include "ops/FrequencyShift.h"
#include "ops/SampleRounding.h"
#include "ops/StorePoll.h"
#include "ops/TLPF.h"
#include "signal/SignalStore.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <vector>

namespace reference {

// A poll that answers "stop" from position `from` on (kNever: never) and counts how often it was asked.
class StopFrom final : public StorePoll {
public:
    explicit StopFrom(int64_t from) : from_(from) {}
    bool StopAt(int64_t k) override {
        ++asked_;
        return k >= from_;
    }
    int64_t Asked() const { return asked_; }

private:
    int64_t from_;
    int64_t asked_ = 0;
};

inline constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

inline int32_t PeakMagnitude(const SampleArray& samples) {
    int32_t peak = 1;
    for (const int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
    return peak;
}

inline void DivideAll(SampleArray& samples, int32_t target) {
    const double divisor =
        static_cast<double>(static_cast<long double>(reference::PeakMagnitude(samples)) / target);
    const long double d = divisor;
    for (int16_t& s : samples) {
        const int16_t value = s;
        s = RoundToSampleVia(value / divisor, [&] { return static_cast<long double>(value) / d; });
    }
}

inline int32_t PrepareLevel(SignalStore& store, bool scaleByNineTenths) {
    int32_t peak = 1;
    for (int16_t& s : store.Samples) {
        peak = std::max(peak, std::abs(static_cast<int32_t>(s)));
        if (!scaleByNineTenths) continue;
        const int16_t value = s;
        s = RoundToSampleVia(value * 0.9, [&] { return static_cast<long double>(value) * 0.9L; });
    }
    if (peak > 32767) {
        reference::DivideAll(store.Samples, 32767);
        peak = 32767;
    }
    return peak;
}

// TLPF::Process as a plain loop over the sections, on the coefficients of the same design.
class Cascade {
public:
    explicit Cascade(const TLPF& design)
        : b0_(design.b0()), a1n_(design.a1n()), a2_(design.a2()), mid_(design.mid()), gain_(design.gain()),
          w1_(design.sections(), 0.0), w2_(design.sections(), 0.0) {}
    double Process(double x) {
        for (size_t i = 0; i < w1_.size(); ++i) {
            const double w = x * b0_ + w1_[i] * a1n_ - w2_[i] * a2_;
            const double y = w1_[i] * mid_ + w + w2_[i];
            x = gain_ * y;
            w2_[i] = w1_[i];
            w1_[i] = w;
        }
        return x;
    }

private:
    double b0_, a1n_, a2_, mid_, gain_;
    std::vector<double> w1_, w2_;
};

// Polls at every 10th value.
inline void LPFFilterStore(SignalStore& store, double fc, StorePoll& poll) {
    if (store.SampleRate < 1) return;
    const int32_t peak = reference::PrepareLevel(store, true);
    // One filter per channel: value k is channel k % channels.
    std::vector<Cascade> filters;
    const int channels = store.TwoChannels() ? 2 : 1;
    for (int c = 0; c < channels; ++c) filters.emplace_back(TLPF(12, fc, store.SampleRate, 0.8, 0.9));
    const auto n = static_cast<int64_t>(store.Samples.size());
    for (int64_t k = 0; k < n; ++k) {
        Cascade& filter = filters[static_cast<size_t>(k % channels)];
        if (fc > 0) store.Samples[static_cast<size_t>(k)] = RoundToSample(filter.Process(store.Samples[k]));
        if (k % 10 == 0 && poll.StopAt(k)) break;
    }
    reference::DivideAll(store.Samples, peak);
}

// Polls after every frame.
inline bool ConvertIQToReal(SignalStore& store, StorePoll& poll) {
    if (store.SampleRate < 1) return false;
    if (store.TwoChannels() && store.SampleRate > std::numeric_limits<int32_t>::max() / 2) return false;
    const int32_t peak = reference::PrepareLevel(store, false);
    const double rate = store.SampleRate;
    Cascade iFilter(TLPF(12, rate / 2, rate, 0.8, 0.9));
    Cascade qFilter(TLPF(12, rate / 2, rate, 0.8, 0.9));
    constexpr std::array<int16_t, 4> sinTab = {0, 1, 0, -1};
    constexpr std::array<int16_t, 4> cosTab = {1, 0, -1, 0};
    auto mixed = [&](double iIn, double qIn, int64_t m) {
        const double a = 2.5 * iFilter.Process(iIn);
        const double b = 2.5 * qFilter.Process(qIn);
        return RoundToSample(a * sinTab[m % 4] - b * cosTab[m % 4]);
    };
    SampleArray& s = store.Samples;
    const int64_t frames = static_cast<int64_t>(s.size()) / 2;
    double prevI = 0;
    double prevQ = 0;
    for (int64_t k = 0; k + 1 < frames; ++k) {
        const auto at = static_cast<size_t>(2 * k);
        const double i = s[at];
        const double q = s[at + 1];
        s[at] = mixed(prevI, prevQ, 2 * k);
        s[at + 1] = mixed((prevI + i) / 2, (prevQ + q) / 2, 2 * k + 1);
        if (poll.StopAt(k)) break;
        prevI = i;
        prevQ = q;
    }
    reference::DivideAll(s, peak);
    if (!s.empty()) s.back() = 0;
    if (store.TwoChannels()) {
        store.ChannelCount = 1;
        store.SampleRate *= 2;
    }
    return true;
}

inline long double OscillatorValue(double omega, double t, double (*wave)(double)) {
    constexpr long double kTurn = 2 * std::numbers::pi_v<long double>;
    const long double phase = static_cast<long double>(omega) * t;
    const long double turns = static_cast<long double>(static_cast<long long>(phase / kTurn));
    return wave(static_cast<double>(phase - kTurn * turns));
}

inline void GenerateBlock(ShiftOscillator& oscillator, int32_t rate, double amplitude,
                          double (*wave)(double)) {
    double t = oscillator.TimeOffset;
    for (size_t i = 0; i < oscillator.Block.size(); ++i) {
        t = static_cast<double>(static_cast<long double>(i) / rate + oscillator.TimeOffset);
        oscillator.Block[i] =
            static_cast<double>(amplitude * reference::OscillatorValue(oscillator.Omega, t, wave));
    }
    oscillator.TimeOffset = t;
}

inline double Sine(double x) {
    return std::sin(x);
}
inline double Cosine(double x) {
    return std::cos(x);
}

// Polls at every 10th value; each frame's values meet the same oscillator entry. (Calls inside this namespace
// name it: the program's functions of the same names are found too, through the store's type.)
inline void ShiftStore(SignalStore& store, double frequency, ShiftWave kind, StorePoll& poll) {
    if (store.SampleRate < 1) return;
    const bool sine = kind == ShiftWave::Sine;
    const auto wave = sine ? reference::Sine : reference::Cosine;
    const int32_t rate = store.SampleRate;
    const int32_t peak = reference::PrepareLevel(store, sine);
    ShiftOscillator oscillator;
    oscillator.Omega = static_cast<double>(2 * std::numbers::pi_v<long double> * frequency);
    const double amplitude = peak;
    reference::GenerateBlock(oscillator, rate, amplitude, wave);
    const auto n = static_cast<int64_t>(store.Samples.size());
    size_t j = 0;
    for (int64_t k = 0; k < n; ++k) {
        int16_t& s = store.Samples[static_cast<size_t>(k)];
        const int16_t value = s;
        const double entry = oscillator.Block[j];
        s = RoundToSampleVia(value * entry / amplitude,
                             [&] { return static_cast<long double>(value) * entry / amplitude; });
        const bool frameEnds = !store.TwoChannels() || k % 2 == 1; // the last value of a frame moves it on
        if (frameEnds && ++j == 1024) {
            j = 0;
            reference::GenerateBlock(oscillator, rate, amplitude, wave);
        }
        if (k % 10 == 0 && poll.StopAt(k)) break;
    }
    reference::DivideAll(store.Samples, peak);
}

} // namespace reference
