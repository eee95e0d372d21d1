#include "spectral/FactorLength.h"

#include <algorithm>
#include <cmath>

namespace {

// The radices with butterflies of their own, in the order of preference.
constexpr int32_t kTableRadices[] = {10, 8, 5, 4, 3, 2};

void Append(FFTFactors& factors, int32_t factor) {
    factors.Factor[factors.Count++] = factor;
}

// A final 2 joins an earlier 8: 2 * 8 becomes 4 * 4, so powers of two run on radices 8 and 4 only.
void JoinFinalTwo(FFTFactors& factors) {
    if (factors.Count == 0 || factors.Factor[factors.Count - 1] != 2) return;
    for (int i = factors.Count - 2; i >= 0; --i) {
        if (factors.Factor[i] == 8) {
            factors.Factor[i] = 4;
            factors.Factor[factors.Count - 1] = 4;
            return;
        }
    }
}

// What the table radices leave has no factor 2, 3 or 5; trial division up to its rounded root finds
// every factor but at most one prime above the root.
void TrialDivide(FFTFactors& factors, int32_t rest) {
    const auto limit = static_cast<int32_t>(std::nearbyint(std::sqrt(static_cast<double>(rest))));
    for (int32_t k = 2; k <= limit; ++k) {
        while (rest % k == 0) {
            Append(factors, k);
            rest /= k;
        }
    }
    if (rest > 1) Append(factors, rest);
}

} // namespace

FFTFactors FactorLength(int32_t N) {
    FFTFactors factors;
    if (N < 1) return factors;
    if (N == 1) Append(factors, 1);
    int32_t rest = N;
    for (const int32_t radix : kTableRadices) {
        while (rest > 1 && rest % radix == 0) {
            Append(factors, radix);
            rest /= radix;
        }
    }
    JoinFinalTwo(factors);
    if (rest > 1) TrialDivide(factors, rest);
    std::reverse(factors.Factor.begin(), factors.Factor.begin() + factors.Count);
    return factors;
}
