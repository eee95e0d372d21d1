// StrongestInRow eight pixels at a time for the "Spectrum" ramp, whose ranks follow from the colour's
// bytes: each of the ramp's seven stretches holds two channels at 0 or 255 and moves the third, so a
// colour whose fixed pair matches a stretch's has the rank where that stretch begins plus (or, for a
// falling channel, minus) its moving byte. Colours at a stretch's ends match two stretches, which give
// them the same rank; a colour that matches none is not on the ramp (rank 0). Most pixels of a picture
// lie on the first stretch (black to blue, red and green 0, rank = blue), for which eight are ranked by
// one test of the whole vector.
//
// Each rank r is joined with the pixel's place p in a stretch of at most 65536 pixels into the number
// r << 16 | (65535 - p), so that the largest of them is the first of the strongest pixels, found by one
// unsigned maximum per eight pixels. The stretches of a longer span, and the pixels after the last
// whole eight, are compared by rank, the earlier kept on a tie.
#include "view/RowPeak.h"

#include "view/LevelRanking.h"

#include <algorithm>
#include <immintrin.h>

#include "spectral/Avx2TargetBegin.h"

namespace {

constexpr int32_t kStretch = 65536;

#define ROW_PEAK_INLINE inline __attribute__((always_inline))

// `value` where `pair` (a colour's fixed channels) equals `fixed`, else 0.
ROW_PEAK_INLINE __m256i Where(__m256i pair, int fixed, __m256i value) {
    return _mm256_and_si256(_mm256_cmpeq_epi32(pair, _mm256_set1_epi32(fixed)), value);
}
ROW_PEAK_INLINE __m256i Plus(int base, __m256i v) {
    return _mm256_add_epi32(_mm256_set1_epi32(base), v);
}
ROW_PEAK_INLINE __m256i Minus(int base, __m256i v) {
    return _mm256_sub_epi32(_mm256_set1_epi32(base), v);
}

// The ranks of eight colours of the ramp (0 for a colour that is not on it).
ROW_PEAK_INLINE __m256i RampRanks(__m256i colours) {
    const __m256i byte = _mm256_set1_epi32(0xFF);
    const __m256i b = _mm256_and_si256(colours, byte);
    const __m256i g = _mm256_and_si256(_mm256_srli_epi32(colours, 8), byte);
    const __m256i r = _mm256_and_si256(_mm256_srli_epi32(colours, 16), byte);
    const __m256i redGreen = _mm256_and_si256(colours, _mm256_set1_epi32(0xFFFF00));
    const __m256i redBlue = _mm256_and_si256(colours, _mm256_set1_epi32(0xFF00FF));
    const __m256i greenBlue = _mm256_and_si256(colours, _mm256_set1_epi32(0x00FFFF));
    __m256i rank = Where(redGreen, 0x000000, b);                             // black to blue
    rank = _mm256_max_epi32(rank, Where(redBlue, 0x0000FF, Plus(255, g)));   // to cyan
    rank = _mm256_max_epi32(rank, Where(redGreen, 0x00FF00, Minus(765, b))); // to green
    rank = _mm256_max_epi32(rank, Where(greenBlue, 0x00FF00, Plus(765, r))); // to yellow
    rank = _mm256_max_epi32(rank, Where(redBlue, 0xFF0000, Minus(1275, g))); // to red
    rank = _mm256_max_epi32(rank, Where(redGreen, 0xFF0000, Plus(1275, b))); // to magenta
    return _mm256_max_epi32(rank, Where(redBlue, 0xFF00FF, Plus(1530, g)));  // to white
}

// The numbers rank << 16 | place of eight colours; `places` holds 65535 - p for each.
ROW_PEAK_INLINE __m256i RankedPlaces(__m256i colours, __m256i places) {
    // Red and green 0 throughout: every rank is the blue byte, which the shift moves up alone.
    if (_mm256_testz_si256(colours, _mm256_set1_epi32(0xFFFF00)))
        return _mm256_or_si256(_mm256_slli_epi32(colours, 16), places);
    return _mm256_or_si256(_mm256_slli_epi32(RampRanks(colours), 16), places);
}

// The largest of the eight lanes.
ROW_PEAK_INLINE uint32_t LargestLane(__m256i v) {
    __m128i m = _mm_max_epu32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    m = _mm_max_epu32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
    m = _mm_max_epu32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(m));
}

// The strongest of the `count` pixels from row[from], count a multiple of eight up to kStretch.
TRowPeak StrongestInStretch(const TColor32* row, int32_t from, int32_t count) {
    const __m256i step = _mm256_set1_epi32(8);
    __m256i places = _mm256_setr_epi32(0xFFFF, 0xFFFE, 0xFFFD, 0xFFFC, 0xFFFB, 0xFFFA, 0xFFF9, 0xFFF8);
    __m256i strongest = _mm256_setzero_si256();
    for (int32_t i = 0; i < count; i += 8) {
        const __m256i colours = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + from + i));
        strongest = _mm256_max_epu32(strongest, RankedPlaces(colours, places));
        places = _mm256_sub_epi32(places, step);
    }
    const uint32_t key = LargestLane(strongest);
    return {static_cast<int32_t>(key >> 16), from + static_cast<int32_t>(0xFFFF - (key & 0xFFFF))};
}

} // namespace

TRowPeak StrongestInRowAvx2(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking) {
    TRowPeak best{-1, from};
    int32_t x = from;
    for (int32_t count; (count = std::min(to - x, kStretch) & ~7) > 0; x += count) {
        const TRowPeak peak = StrongestInStretch(row, x, count);
        if (peak.Rank > best.Rank) best = peak;
    }
    for (; x < to; ++x) {
        const int32_t rank = ranking.Rank(row[x]);
        if (rank > best.Rank) best = {rank, x};
    }
    return best;
}

#include "spectral/Avx2TargetEnd.h"
