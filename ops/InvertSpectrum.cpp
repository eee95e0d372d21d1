#include "ops/InvertSpectrum.h"

namespace {

int16_t WithoutMinimum(int16_t value) {
    return value == -32768 ? int16_t{-32767} : value;
}

int16_t Negated(int16_t value) {
    return static_cast<int16_t>(-value);
}

// Visits positions first, first + step, ...: removes -32768, then negates where `negate(i)` holds.
template <class Predicate> void InvertWhere(SampleArray& s, size_t first, size_t step, Predicate negate) {
    for (size_t i = first; i < s.size(); i += step) {
        s[i] = WithoutMinimum(s[i]);
        if (negate(i)) s[i] = Negated(s[i]);
    }
}

bool EvenFrame(size_t i) {
    return (i / 2) % 2 == 0;
}

} // namespace

std::string InvertSpectrumRefusal(const SignalStore& store, int32_t currentFFTSize) {
    if (store.TwoChannels() || static_cast<int64_t>(store.Samples.size()) >= currentFFTSize) return {};
    return "the recording holds " + std::to_string(store.Samples.size()) +
           " values, fewer than the FFT size (" + std::to_string(currentFFTSize) + ")";
}

bool InvertSpectrumOneChannel(SignalStore& store, int32_t currentFFTSize) {
    if (static_cast<int64_t>(store.Samples.size()) < currentFFTSize) return false;
    InvertWhere(store.Samples, 0, 1, [](size_t i) { return i % 2 == 0; });
    return true;
}

void InvertSpectrumTwoChannels(SignalStore& store) {
    InvertWhere(store.Samples, 0, 1, EvenFrame);
}

void InvertChannel(SignalStore& store, int channel) {
    InvertWhere(store.Samples, channel == 0 ? 0 : 1, 2, EvenFrame);
}

void InvertSpectrum(SignalStore& store, int32_t currentFFTSize) {
    if (!store.Loaded()) return;
    if (store.TwoChannels())
        InvertSpectrumTwoChannels(store);
    else
        InvertSpectrumOneChannel(store, currentFFTSize);
}
