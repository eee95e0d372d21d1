#include "spectral/WindowTable.h"

#include "signal/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

// Extended-precision constants (long double is the 80-bit format on x86-64).
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kTwoPi = 2 * kPi;
constexpr long double kFourPi = 4 * kPi;
constexpr long double kSixPi = 6 * kPi;

// t = i/N - 0.5, formed in extended precision and rounded to a double: -0.5 at i = 0, 0 at i = N/2.
double CentredPosition(size_t i, size_t n) {
    return static_cast<double>(static_cast<long double>(i) / static_cast<long double>(n) - 0.5L);
}

// The window formulas, written once for both working precisions: Real = long double is the
// definition; Real = double is the fast first try (see Settle).
template <typename Real> Real Cos(long double constant, double t) {
    return std::cos(static_cast<Real>(constant) * t);
}

template <typename Real> Real Hamming(double t) {
    return std::fabs(Real(0.54L) + Real(0.46L) * Cos<Real>(kTwoPi, t));
}

template <typename Real> Real Hann(double t) {
    return std::fabs(Real(0.5) + Real(0.5) * Cos<Real>(kTwoPi, t));
}

// Blackman is formed from i directly: cos((i*2pi)/N) and cos((i*4pi)/N), products first.
template <typename Real> Real Blackman(size_t i, size_t n) {
    const auto x = static_cast<Real>(i);
    const auto len = static_cast<Real>(n);
    return std::fabs(Real(0.42L) - Real(0.5) * std::cos((x * static_cast<Real>(kTwoPi)) / len) +
                     Real(0.08L) * std::cos((x * static_cast<Real>(kFourPi)) / len));
}

template <typename Real> Real Nuttall(double t) {
    return std::fabs(Real(0.3635819L) + Real(0.4891775L) * Cos<Real>(kTwoPi, t) +
                     Real(0.1365995L) * Cos<Real>(kFourPi, t) + Real(0.0106411L) * Cos<Real>(kSixPi, t));
}

// (0.754 + 0.46 cos) * (0.5 + 0.5 cos): the first factor is the absolute value of twice itself,
// halved; the product takes no absolute value. Its peak is 1.214.
template <typename Real> Real Experimental(double t) {
    const Real c = Cos<Real>(kTwoPi, t);
    const Real first = std::fabs((Real(0.46L) * c + Real(0.754L)) + (Real(0.46L) * c + Real(0.754L))) / 2;
    return first * (Real(0.5) * c + Real(0.5));
}

template <typename Real> Real CosineWindow(uint8_t windowIndex, size_t i, size_t n) {
    switch (windowIndex) {
    case kWindowHamming:
        return Hamming<Real>(CentredPosition(i, n));
    case kWindowHann:
        return Hann<Real>(CentredPosition(i, n));
    case kWindowBlackman:
        return Blackman<Real>(i, n);
    case kWindowNuttall:
        return Nuttall<Real>(CentredPosition(i, n));
    default:
        return Experimental<Real>(CentredPosition(i, n));
    }
}

// The double-precision value differs from the extended one by far less than this (a few units of
// 1e-15 for arguments up to 6pi); the bound leaves a wide margin.
constexpr double kDoubleErrorBound = 1e-12;

// The 32-bit entry of a cosine window. Extended-precision cosines cost about fifteen double ones, so
// the value is first formed in double: when every number within the error bound of it rounds to the
// same float, so does the extended value, and that float is the entry. Otherwise (about one entry
// in 30000, and entries very close to 0) the extended formula decides.
float CosineWindowEntry(uint8_t windowIndex, size_t i, size_t n) {
    const double fast = CosineWindow<double>(windowIndex, i, n);
    const auto low = static_cast<float>(fast - kDoubleErrorBound);
    const auto high = static_cast<float>(fast + kDoubleErrorBound);
    if (low == high) return low;
    return static_cast<float>(CosineWindow<long double>(windowIndex, i, n));
}

float Triangular(double t) {
    return std::fabs(1.0f - 2.0f * std::fabs(t));
}

float WindowValue(uint8_t windowIndex, size_t i, size_t n) {
    if (windowIndex == kWindowNone) return 1.0f;
    if (windowIndex == kWindowTriangular) return Triangular(CentredPosition(i, n));
    return CosineWindowEntry(windowIndex, i, n);
}

// The stop flag is looked at after every piece of this many entries (about a millisecond of work).
constexpr size_t kStopPollEntries = size_t{1} << 14;

void FillRange(uint8_t windowIndex, float* table, size_t begin, size_t end, size_t n,
               const std::atomic<bool>* stop) {
    for (size_t piece = begin; piece < end; piece += kStopPollEntries) {
        if (stop && stop->load(std::memory_order_relaxed)) return;
        const size_t pieceEnd = std::min(end, piece + kStopPollEntries);
        for (size_t i = piece; i < pieceEnd; ++i) table[i] = WindowValue(windowIndex, i, n);
    }
}

// Below this size one thread is quicker than sharing the work.
constexpr size_t kParallelThreshold = size_t{1} << 16;

} // namespace

float WindowEntryExtended(uint8_t windowIndex, int32_t CurrentFFTSize, int32_t i) {
    const auto n = static_cast<size_t>(CurrentFFTSize);
    const auto index = static_cast<size_t>(i);
    if (windowIndex == kWindowNone || windowIndex == kWindowTriangular)
        return WindowValue(windowIndex, index, n);
    return static_cast<float>(CosineWindow<long double>(windowIndex, index, n));
}

bool BuildWindowTable(uint8_t windowIndex, int32_t CurrentFFTSize, TWindowTable& WindowTable,
                      const std::atomic<bool>* stop) {
    const auto n = static_cast<size_t>(std::max(CurrentFFTSize, int32_t{0}));
    WindowTable.resize(n, 0.0f); // kept entries keep their values, new ones are 0.0
    if (windowIndex > kWindowExperimental) return true;

    const size_t chunks =
        n < kParallelThreshold ? 1 : std::clamp<size_t>(WorkerPool::Shared().Threads(), 1, 16);
    const size_t chunk = (n + chunks - 1) / chunks;
    float* table = WindowTable.data();
    WorkerPool::Shared().Share(chunks, [&](size_t c) {
        const size_t begin = c * chunk;
        if (begin < n) FillRange(windowIndex, table, begin, std::min(begin + chunk, n), n, stop);
    });
    return !(stop && stop->load(std::memory_order_relaxed));
}
