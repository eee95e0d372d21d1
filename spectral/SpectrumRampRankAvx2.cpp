// SpectrumRampRanks eight colours at a time: every lane works out the rank of each stretch its channels
// could belong to and keeps the one SpectrumRampRank's order of tests picks (a later blend wins over an
// earlier one), then clears the rank of a colour off the ramp. Only called on processors with AVX2.
#include "spectral/SpectrumRampRank.h"

#include <immintrin.h>

#include "spectral/Avx2TargetBegin.h"

namespace {

#define RAMP_RANK_INLINE inline __attribute__((always_inline))

RAMP_RANK_INLINE __m256i Pick(__m256i kept, __m256i value, __m256i mask) {
    return _mm256_blendv_epi8(kept, value, mask);
}

RAMP_RANK_INLINE __m256i Plus(int base, __m256i v) {
    return _mm256_add_epi32(_mm256_set1_epi32(base), v);
}

RAMP_RANK_INLINE __m256i Minus(int base, __m256i v) {
    return _mm256_sub_epi32(_mm256_set1_epi32(base), v);
}

// SpectrumRampRank of eight colours.
RAMP_RANK_INLINE __m256i Ranks(__m256i colour) {
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i r = _mm256_and_si256(_mm256_srli_epi32(colour, 16), byte);
    const __m256i g = _mm256_and_si256(_mm256_srli_epi32(colour, 8), byte);
    const __m256i b = _mm256_and_si256(colour, byte);
    const __m256i r0 = _mm256_cmpeq_epi32(r, zero), r255 = _mm256_cmpeq_epi32(r, byte);
    const __m256i g0 = _mm256_cmpeq_epi32(g, zero), g255 = _mm256_cmpeq_epi32(g, byte);
    const __m256i b0 = _mm256_cmpeq_epi32(b, zero), b255 = _mm256_cmpeq_epi32(b, byte);
    // Green to yellow: any red; where red is 0 or 255 the stretches below give the same rank or win.
    __m256i rank = Pick(zero, Plus(765, r), _mm256_and_si256(g255, b0));
    rank = Pick(rank, Minus(765, b), _mm256_and_si256(r0, g255));
    rank = Pick(rank, Plus(255, g), _mm256_and_si256(r0, b255));
    rank = Pick(rank, b, _mm256_and_si256(r0, g0));
    rank = Pick(rank, Plus(1530, g), _mm256_and_si256(r255, b255));
    rank = Pick(rank, Plus(1275, b), _mm256_and_si256(r255, g0));
    rank = Pick(rank, Minus(1275, g), _mm256_and_si256(r255, b0));
    // Off the ramp: red neither 0 nor 255 without green 255 and blue 0 is already 0; red 0 or 255
    // with no stretch of its own must not keep the green-to-yellow rank.
    const __m256i onRamp = _mm256_or_si256(
        _mm256_andnot_si256(_mm256_or_si256(r0, r255), _mm256_and_si256(g255, b0)),
        _mm256_or_si256(_mm256_and_si256(r0, _mm256_or_si256(g0, _mm256_or_si256(b255, g255))),
                        _mm256_and_si256(r255, _mm256_or_si256(b0, _mm256_or_si256(g0, b255)))));
    return _mm256_and_si256(rank, onRamp);
}

} // namespace

void SpectrumRampRanksAvx2(const TColor32* colours, int32_t count, int32_t* ranks) {
    int32_t i = 0;
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(ranks + i),
                            Ranks(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + i))));
    for (; i < count; ++i) ranks[i] = SpectrumRampRank(colours[i]);
}

#include "spectral/Avx2TargetEnd.h"
