// How the mixed-radix FFT splits a length into the radices of its passes.
#pragma once

#include <array>
#include <cstdint>

// The factors of one length, in the order the passes run them (Factor[0] first).
struct FFTFactors {
    static constexpr int kMaxCount = 32; // a 32-bit length has at most 31 prime factors
    int Count = 0;
    std::array<int32_t, kMaxCount> Factor{};
};

// Factors N >= 1: the table radices 10, 8, 5, 4, 3, 2 in that order of preference (a final 2 and an
// earlier 8 become 4 and 4), then trial division for what remains; the list is then reversed, so the
// first factor is the largest prime found by trial division, if any. N = 1 gives the one factor 1.
FFTFactors FactorLength(int32_t N);
