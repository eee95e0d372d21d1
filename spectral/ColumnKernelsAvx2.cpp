// The AVX2 forms of ColumnKernels.h. They perform the plain forms' roundings, lane by lane: the same
// float products, the same double sums and products, the same rounding to float. A negated product
// -(Q x w) is taken as Q x (-w), which rounding to nearest makes the same number. Only called on
// processors with AVX2.
#include "spectral/ColumnKernels.h"

#include <cstdint>
#include <immintrin.h>

#include "spectral/Avx2TargetBegin.h"

namespace {

#define COLUMN_KERNELS_INLINE inline __attribute__((always_inline))

// Eight values as floats.
COLUMN_KERNELS_INLINE __m256 EightFloats(const int16_t* values) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(values));
    return _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(v));
}

// All ones in the lanes of the elements that take their value (see WindowRealValues).
COLUMN_KERNELS_INLINE __m256 OwnLanes(int ownParity) {
    const int even = ownParity == 1 ? 0 : -1;
    const int odd = ownParity == 0 ? 0 : -1;
    return _mm256_castsi256_ps(_mm256_setr_epi32(even, odd, even, odd, even, odd, even, odd));
}

// The 8x8 transposition of rows r[0..7] (each 8 lanes) into columns, in place.
COLUMN_KERNELS_INLINE void Transpose8(__m256 r[8]) {
    const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]);
    const __m256 t1 = _mm256_unpackhi_ps(r[0], r[1]);
    const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]);
    const __m256 t3 = _mm256_unpackhi_ps(r[2], r[3]);
    const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]);
    const __m256 t5 = _mm256_unpackhi_ps(r[4], r[5]);
    const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]);
    const __m256 t7 = _mm256_unpackhi_ps(r[6], r[7]);
    const __m256 s0 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s1 = _mm256_shuffle_ps(t0, t2, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s2 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s3 = _mm256_shuffle_ps(t1, t3, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s4 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s5 = _mm256_shuffle_ps(t4, t6, _MM_SHUFFLE(3, 2, 3, 2));
    const __m256 s6 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(1, 0, 1, 0));
    const __m256 s7 = _mm256_shuffle_ps(t5, t7, _MM_SHUFFLE(3, 2, 3, 2));
    r[0] = _mm256_permute2f128_ps(s0, s4, 0x20);
    r[1] = _mm256_permute2f128_ps(s1, s5, 0x20);
    r[2] = _mm256_permute2f128_ps(s2, s6, 0x20);
    r[3] = _mm256_permute2f128_ps(s3, s7, 0x20);
    r[4] = _mm256_permute2f128_ps(s0, s4, 0x31);
    r[5] = _mm256_permute2f128_ps(s1, s5, 0x31);
    r[6] = _mm256_permute2f128_ps(s2, s6, 0x31);
    r[7] = _mm256_permute2f128_ps(s3, s7, 0x31);
}

} // namespace

void WindowRealValuesAvx2(const int16_t* samples, const float* window, int64_t count, int ownParity,
                          TComplexSingle* frame) {
    const __m256 own = OwnLanes(ownParity);
    const __m256 zero = _mm256_setzero_ps();
    auto* out = reinterpret_cast<float*>(frame);
    int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 products =
            _mm256_and_ps(_mm256_mul_ps(EightFloats(samples + i), _mm256_loadu_ps(window + i)), own);
        const __m256 low = _mm256_unpacklo_ps(products, zero);  // elements 0, 1 | 4, 5
        const __m256 high = _mm256_unpackhi_ps(products, zero); // elements 2, 3 | 6, 7
        _mm256_storeu_ps(out + 2 * i, _mm256_permute2f128_ps(low, high, 0x20));
        _mm256_storeu_ps(out + 2 * i + 8, _mm256_permute2f128_ps(low, high, 0x31));
    }
    WindowRealValuesPlain(samples + i, window + i, count - i, ownParity, frame + i);
}

// As floats the packed elements are out[i] = samples[i] x window[i] at even i and 0 at odd i: eight
// neighbouring values times their coefficients with the odd lanes cleared are four elements.
void WindowEveryOtherValueAvx2(const int16_t* samples, const float* window, int64_t count,
                               TComplexSingle* packed) {
    const __m256 evenLanes = _mm256_castsi256_ps(_mm256_setr_epi32(-1, 0, -1, 0, -1, 0, -1, 0));
    auto* out = reinterpret_cast<float*>(packed);
    int64_t m = 0;
    // Each step reads eight values and coefficients, the last of them odd and unused: the steps stop
    // while that one is still within the arrays (at most 2 count - 1 values), and the rest go singly.
    for (; m + 4 < count; m += 4) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + 2 * m));
        const __m256 values = _mm256_cvtepi32_ps(_mm256_cvtepi16_epi32(eight));
        const __m256 products = _mm256_mul_ps(values, _mm256_loadu_ps(window + 2 * m));
        _mm256_storeu_ps(out + 2 * m, _mm256_and_ps(products, evenLanes));
    }
    WindowEveryOtherValuePlain(samples + 2 * m, window + 2 * m, count - m, packed + m);
}

void WindowComplexValuesAvx2(const int16_t* pairs, const float* window, int64_t count,
                             TComplexSingle* frame) {
    const __m256 negateQ =
        _mm256_castsi256_ps(_mm256_setr_epi32(0, INT32_MIN, 0, INT32_MIN, 0, INT32_MIN, 0, INT32_MIN));
    auto* out = reinterpret_cast<float*>(frame);
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128 w = _mm_loadu_ps(window + i);
        const __m256 twice = _mm256_set_m128(_mm_unpackhi_ps(w, w), _mm_unpacklo_ps(w, w));
        const __m256 coefficients = _mm256_xor_ps(twice, negateQ);
        _mm256_storeu_ps(out + 2 * i, _mm256_mul_ps(EightFloats(pairs + 2 * i), coefficients));
    }
    WindowComplexValuesPlain(pairs + 2 * i, window + i, count - i, frame + i);
}

namespace {

// BinLevels with a gain of 1 (the default), eight bins at a time in single precision. The plain form
// rounds the double sum m = |re| + |im| to a float; one float addition gives the same float. Where the
// double sum is exact (exponents at most 28 apart) both are the float nearest the exact sum. Where it
// is not, the smaller magnitude lies below 2^-28 of the larger one, so the exact sum, and its double,
// lie far closer to the larger value than half a float step: both round to the larger value.
void UnitGainLevelsAvx2(const TComplexSingle* bins, int64_t count, float* levels) {
    const __m256 magnitudeBits = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    const __m256 zero = _mm256_setzero_ps();
    const __m256 floor = _mm256_set1_ps(static_cast<float>(0.001));
    const auto* parts = reinterpret_cast<const float*>(bins);
    int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 low = _mm256_and_ps(_mm256_loadu_ps(parts + 2 * i), magnitudeBits);      // bins 0 .. 3
        const __m256 high = _mm256_and_ps(_mm256_loadu_ps(parts + 2 * i + 8), magnitudeBits); // bins 4 .. 7
        // Sums of bins 0, 1, 4, 5 | 2, 3, 6, 7, put back in order.
        const __m256 sums = _mm256_castpd_ps(
            _mm256_permute4x64_pd(_mm256_castps_pd(_mm256_hadd_ps(low, high)), _MM_SHUFFLE(3, 1, 2, 0)));
        _mm256_storeu_ps(levels + i, _mm256_blendv_ps(sums, floor, _mm256_cmp_ps(sums, zero, _CMP_EQ_OQ)));
    }
    BinLevelsPlain(bins + i, count - i, 1.0, levels + i);
}

} // namespace

void BinLevelsAvx2(const TComplexSingle* bins, int64_t count, double gain, float* levels) {
    if (gain == 1.0) return UnitGainLevelsAvx2(bins, count, levels);
    const __m256 magnitudeBits = _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff));
    const __m256d zero = _mm256_setzero_pd();
    const __m256d floor = _mm256_set1_pd(0.001);
    const __m256d gains = _mm256_set1_pd(gain);
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256 parts =
            _mm256_and_ps(_mm256_loadu_ps(reinterpret_cast<const float*>(bins + i)), magnitudeBits);
        const __m256d low = _mm256_cvtps_pd(_mm256_castps256_ps128(parts));    // re0 im0 re1 im1
        const __m256d high = _mm256_cvtps_pd(_mm256_extractf128_ps(parts, 1)); // re2 im2 re3 im3
        // Sums of bins 0, 2, 1, 3, put back in order.
        const __m256d sums = _mm256_permute4x64_pd(_mm256_hadd_pd(low, high), _MM_SHUFFLE(3, 1, 2, 0));
        const __m256d magnitudes = _mm256_blendv_pd(sums, floor, _mm256_cmp_pd(sums, zero, _CMP_EQ_OQ));
        _mm_storeu_ps(levels + i, _mm256_cvtpd_ps(_mm256_mul_pd(magnitudes, gains)));
    }
    BinLevelsPlain(bins + i, count - i, gain, levels + i);
}

// Lanes t .. 7 of `first` followed by lanes 0 .. t - 1 of `next` (0 <= t < 8).
COLUMN_KERNELS_INLINE __m256i Shifted(__m256i first, __m256i next, int t) {
    const __m256i from = _mm256_add_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(t));
    const __m256i index = _mm256_and_si256(from, _mm256_set1_epi32(7));
    const __m256i fromNext = _mm256_cmpgt_epi32(from, _mm256_set1_epi32(7));
    return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(first, index),
                              _mm256_permutevar8x32_epi32(next, index), fromNext);
}

// The tile's eight rows are transposed into `rows`; each row then goes out as one whole line streamed
// in two halves, or (the first tile of a run) as its own pixels by masked ordinary stores.
void StoreTileLinesAvx2(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep,
                        TColor32* carry, bool continuing) {
    alignas(32) TColor32 rows[kTileRowBlock * kTileBlockColumns];
    auto* out = reinterpret_cast<float*>(rows);
    for (int64_t half = 0; half < kTileBlockColumns; half += 8) {
        __m256 block[8];
        for (int64_t c = 0; c < 8; ++c)
            block[c] = _mm256_loadu_ps(reinterpret_cast<const float*>(tile + (half + c) * stride));
        Transpose8(block);
        for (int64_t j = 0; j < kTileRowBlock; ++j)
            _mm256_store_ps(out + j * kTileBlockColumns + half, block[j]);
    }
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    for (int64_t j = 0; j < kTileRowBlock; ++j) {
        TColor32* row = image + j * rowStep;
        auto* kept = reinterpret_cast<__m256i*>(carry + j * kTileBlockColumns);
        const auto* own = reinterpret_cast<const __m256i*>(rows + j * kTileBlockColumns);
        const __m256i c0 = _mm256_load_si256(own);
        const __m256i c1 = _mm256_load_si256(own + 1);
        const int o = LineOffset(row);
        if (o == 0) {
            _mm256_stream_si256(reinterpret_cast<__m256i*>(row), c0);
            _mm256_stream_si256(reinterpret_cast<__m256i*>(row + 8), c1);
        } else if (continuing) {
            const __m256i p0 = _mm256_loadu_si256(kept);
            const __m256i p1 = _mm256_loadu_si256(kept + 1);
            // The line is pixels 16 - o .. 31 - o of the previous tile's sixteen and this tile's.
            const int a = static_cast<int>(kTileBlockColumns) - o;
            auto* line = reinterpret_cast<__m256i*>(row - o);
            _mm256_stream_si256(line, a < 8 ? Shifted(p0, p1, a) : Shifted(p1, c0, a - 8));
            _mm256_stream_si256(line + 1, a < 8 ? Shifted(p1, c0, a) : Shifted(c0, c1, a - 8));
        } else {
            const __m256i count = _mm256_set1_epi32(static_cast<int>(kTileBlockColumns) - o);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(row), _mm256_cmpgt_epi32(count, lanes), c0);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(row + 8),
                                   _mm256_cmpgt_epi32(count, _mm256_add_epi32(lanes, _mm256_set1_epi32(8))),
                                   c1);
        }
        _mm256_storeu_si256(kept, c0);
        _mm256_storeu_si256(kept + 1, c1);
    }
}

// The gathers read their values one by one and store them four or eight at a time: the processors'
// gather instructions are several times slower than single loads where microcode guards them against
// leaking data (Intel's mitigation of gather data sampling), and barely faster elsewhere.
void GatherBinsAvx2(const TComplexSingle* values, const uint16_t* order, int64_t count, TComplexSingle* out) {
    const auto* base = reinterpret_cast<const long long*>(values);
    int64_t k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m128i low = _mm_set_epi64x(base[order[k + 1]], base[order[k]]);
        const __m128i high = _mm_set_epi64x(base[order[k + 3]], base[order[k + 2]]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_set_m128i(high, low));
    }
    GatherBinsPlain(values, order + k, count - k, out + k);
}

void GatherLevelsAvx2(const float* values, const uint16_t* order, int64_t count, float* out) {
    int64_t k = 0;
    for (; k + 8 <= count; k += 8) {
        const uint16_t* o = order + k;
        _mm256_storeu_ps(out + k, _mm256_setr_ps(values[o[0]], values[o[1]], values[o[2]], values[o[3]],
                                                 values[o[4]], values[o[5]], values[o[6]], values[o[7]]));
    }
    GatherLevelsPlain(values, order + k, count - k, out + k);
}

#include "spectral/Avx2TargetEnd.h"
