#include "spectral/WindowTable.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <thread>
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

float Triangular(double t) {
    return std::fabs(1.0f - 2.0f * std::fabs(t));
}

float Hamming(double t) {
    return static_cast<float>(std::fabs(0.54L + 0.46L * std::cos(kTwoPi * t)));
}

float Hann(double t) {
    return static_cast<float>(std::fabs(0.5L + 0.5L * std::cos(kTwoPi * t)));
}

// Blackman is formed from i directly: cos((i*2pi)/N) and cos((i*4pi)/N), products first.
float Blackman(size_t i, size_t n) {
    const auto x = static_cast<long double>(i);
    const auto len = static_cast<long double>(n);
    const long double value =
        0.42L - 0.5L * std::cos((x * kTwoPi) / len) + 0.08L * std::cos((x * kFourPi) / len);
    return static_cast<float>(std::fabs(value));
}

float Nuttall(double t) {
    const long double value = 0.3635819L + 0.4891775L * std::cos(kTwoPi * t) +
                              0.1365995L * std::cos(kFourPi * t) + 0.0106411L * std::cos(kSixPi * t);
    return static_cast<float>(std::fabs(value));
}

// (0.754 + 0.46 cos) * (0.5 + 0.5 cos): the first factor is the absolute value of twice itself,
// halved; the product takes no absolute value. Its peak is 1.214.
float Experimental(double t) {
    const long double c = std::cos(kTwoPi * t);
    const long double first = std::fabs((0.46L * c + 0.754L) + (0.46L * c + 0.754L)) / 2;
    return static_cast<float>(first * (0.5L * c + 0.5L));
}

float WindowValue(uint8_t windowIndex, size_t i, size_t n) {
    switch (windowIndex) {
    case kWindowNone:
        return 1.0f;
    case kWindowTriangular:
        return Triangular(CentredPosition(i, n));
    case kWindowHamming:
        return Hamming(CentredPosition(i, n));
    case kWindowHann:
        return Hann(CentredPosition(i, n));
    case kWindowBlackman:
        return Blackman(i, n);
    case kWindowNuttall:
        return Nuttall(CentredPosition(i, n));
    case kWindowExperimental:
        return Experimental(CentredPosition(i, n));
    default:
        return 0.0f; // never reached: unknown indices compute nothing
    }
}

void FillRange(uint8_t windowIndex, float* table, size_t begin, size_t end, size_t n) {
    for (size_t i = begin; i < end; ++i) table[i] = WindowValue(windowIndex, i, n);
}

// Below this size one thread is quicker than starting others.
constexpr size_t kParallelThreshold = size_t{1} << 16;

} // namespace

void BuildWindowTable(uint8_t windowIndex, int32_t CurrentFFTSize, TWindowTable& WindowTable) {
    const auto n = static_cast<size_t>(std::max(CurrentFFTSize, int32_t{0}));
    WindowTable.resize(n); // kept entries keep their values, new ones are 0.0
    if (windowIndex > kWindowExperimental) return;

    const size_t threadCount =
        n < kParallelThreshold
            ? 1
            : std::max<size_t>(1, std::min<size_t>(std::thread::hardware_concurrency(), 16));
    if (threadCount == 1) {
        FillRange(windowIndex, WindowTable.data(), 0, n, n);
        return;
    }
    std::vector<std::jthread> workers;
    const size_t chunk = (n + threadCount - 1) / threadCount;
    for (size_t begin = chunk; begin < n; begin += chunk)
        workers.emplace_back(FillRange, windowIndex, WindowTable.data(), begin, std::min(begin + chunk, n),
                             n);
    FillRange(windowIndex, WindowTable.data(), 0, std::min(chunk, n), n);
}
