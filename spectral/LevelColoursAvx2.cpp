// LevelsToColours eight levels at a time: the ramp of each level is the number of ramp boundaries at
// or below it. Its byte is first estimated as (x - start) x (255 / denominator) in float: that is the
// byte before rounding within four float roundings (under 0.0001 below 255), so where it lies farther
// than that from a half it rounds to the byte LevelToColor gives. A vector with a lane nearer a half
// performs LevelToColor's own operations (the numerator as a double difference, the double division
// rounded to a float, times 255 rounded to the nearest integer with ties to even), one lane per level.
// A falling ramp's c - x is taken as (x - c) over a negative denominator: the division is symmetric in
// sign, so the quotient is the same. Only called on processors with AVX2; the exhaustive benchmark
// compares all 2^32 levels with LevelToColor32.
#include "spectral/LevelColours.h"

#include "spectral/LevelToColor.h"

#include <immintrin.h>

#include "spectral/Avx2TargetBegin.h"

namespace {

#define LEVEL_COLOURS_INLINE inline __attribute__((always_inline))

// The seven ramps in the order of LevelToColor (an eighth entry pads the tables): byte =
// round(255 x float((x - Start) / Denominator)) goes to bit Shift, the other channels are Fixed.
// Every Start and Denominator is a float exactly.
struct Ramp {
    float Start;
    float Denominator;
    int Shift;
    TColor32 Fixed;
};

constexpr Ramp kRamps[8] = {
    {0.0f, 10000.0f, 0, Color32(0, 0, 0)},              // blue x / 10000
    {10000.0f, 25000.0f, 8, Color32(0, 0, 255)},        // green (x - 10000) / 25000
    {60000.0f, -50000.0f, 0, Color32(0, 255, 0)},       // blue (60000 - x) / 50000
    {60000.0f, 30000.0f, 16, Color32(0, 255, 0)},       // red (x - 60000) / 30000
    {450000.0f, -360000.0f, 8, Color32(255, 0, 0)},     // green (450000 - x) / 360000
    {450000.0f, 2050000.0f, 0, Color32(255, 0, 0)},     // blue (x - 450000) / 2050000
    {2500000.0f, 2500000.0f, 8, Color32(255, 0, 255)},  // green (x - 2500000) / 2500000
    {2500000.0f, 2500000.0f, 8, Color32(255, 0, 255)}}; // never chosen

// The lower ends of ramps 1 .. 6, and the level from which everything is white.
constexpr float kBoundaries[6] = {10000.0f, 35000.0f, 60000.0f, 90000.0f, 450000.0f, 2500000.0f};
constexpr float kTop = 5000000.0f;

template <class Field> LEVEL_COLOURS_INLINE __m256 FloatField(Field field) {
    float v[8];
    for (int i = 0; i < 8; ++i) v[i] = field(kRamps[i]);
    return _mm256_loadu_ps(v);
}

template <class Field> LEVEL_COLOURS_INLINE __m256i IntegerField(Field field) {
    int v[8];
    for (int i = 0; i < 8; ++i) v[i] = static_cast<int>(field(kRamps[i]));
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(v));
}

// How far from a half an estimated byte must lie to round as the exact one.
constexpr float kNearHalf = 0.4999f;

// The ramp bytes of four clamped levels x with their ramps' starts and denominators, as LevelToColor
// computes them.
LEVEL_COLOURS_INLINE __m128i ExactRampBytes(__m128 x, __m128 start, __m128 denominator) {
    const __m256d numerator = _mm256_sub_pd(_mm256_cvtps_pd(x), _mm256_cvtps_pd(start));
    const __m128 value = _mm256_cvtpd_ps(_mm256_div_pd(numerator, _mm256_cvtps_pd(denominator)));
    return _mm256_cvtpd_epi32(_mm256_mul_pd(_mm256_cvtps_pd(value), _mm256_set1_pd(255.0)));
}

// The ramp bytes of eight clamped levels x with their ramps' starts, denominators and scales
// (255 / denominator, rounded to float).
LEVEL_COLOURS_INLINE __m256i Bytes(__m256 x, __m256 start, __m256 denominator, __m256 scale) {
    const __m256 estimate = _mm256_mul_ps(_mm256_sub_ps(x, start), scale);
    const __m256 nearest = _mm256_round_ps(estimate, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256 distance = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), _mm256_sub_ps(estimate, nearest));
    const __m256 nearHalf = _mm256_cmp_ps(distance, _mm256_set1_ps(kNearHalf), _CMP_GT_OQ);
    if (_mm256_testz_ps(nearHalf, nearHalf)) return _mm256_cvttps_epi32(nearest);
    const __m128i low = ExactRampBytes(_mm256_castps256_ps128(x), _mm256_castps256_ps128(start),
                                       _mm256_castps256_ps128(denominator));
    const __m128i high = ExactRampBytes(_mm256_extractf128_ps(x, 1), _mm256_extractf128_ps(start, 1),
                                        _mm256_extractf128_ps(denominator, 1));
    return _mm256_set_m128i(high, low);
}

// The colours of eight levels that all lie in [0, 10000), the first ramp (start 0, bit 0, black
// otherwise: a spectrogram's noise floor); false, with nothing stored, when one of them does not or when
// one byte needs the exact rounding. The same operations as the general path with the first ramp's
// values, so the same bits.
LEVEL_COLOURS_INLINE bool FirstRampColours(__m256 level, __m256 scale, __m256i alpha, TColor32* colours) {
    const __m256i bits = _mm256_castps_si256(level);
    const __m256i firstBoundary = _mm256_castps_si256(_mm256_set1_ps(kBoundaries[0]));
    // Below the boundary as an integer and not negative (NaN and -0 included): lanes with the sign bit set.
    const __m256i inside = _mm256_andnot_si256(bits, _mm256_cmpgt_epi32(firstBoundary, bits));
    if (_mm256_movemask_ps(_mm256_castsi256_ps(inside)) != 0xFF) return false;
    const __m256 estimate = _mm256_mul_ps(level, scale);
    const __m256 nearest = _mm256_round_ps(estimate, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256 distance = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), _mm256_sub_ps(estimate, nearest));
    const __m256 nearHalf = _mm256_cmp_ps(distance, _mm256_set1_ps(kNearHalf), _CMP_GT_OQ);
    if (!_mm256_testz_ps(nearHalf, nearHalf)) return false;
    const __m256i fixed = _mm256_set1_epi32(static_cast<int>(kRamps[0].Fixed));
    const __m256i colour = _mm256_or_si256(fixed, _mm256_cvttps_epi32(nearest));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(colours), _mm256_or_si256(colour, alpha));
    return true;
}

} // namespace

void LevelsToColoursAvx2(const float* levels, TColor32* colours, std::size_t count) {
    const __m256 starts = FloatField([](const Ramp& r) { return r.Start; });
    const __m256 denominators = FloatField([](const Ramp& r) { return r.Denominator; });
    const __m256 scales = FloatField([](const Ramp& r) { return 255.0f / r.Denominator; });
    const __m256i shifts = IntegerField([](const Ramp& r) { return r.Shift; });
    const __m256i fixed = IntegerField([](const Ramp& r) { return r.Fixed; });
    const __m256 top = _mm256_set1_ps(kTop);
    const __m256i alpha = _mm256_set1_epi32(static_cast<int>(kOpaqueBlack));
    const __m256 firstScale = _mm256_set1_ps(255.0f / kRamps[0].Denominator);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 level = _mm256_loadu_ps(levels + i);
        if (FirstRampColours(level, firstScale, alpha, colours + i)) continue;
        // Negative levels and NaN give black; levels above the top count as the top.
        const __m256 shown = _mm256_cmp_ps(level, _mm256_setzero_ps(), _CMP_GE_OQ);
        const __m256 x = _mm256_min_ps(level, top);
        __m256i ramp = _mm256_setzero_si256();
        for (const float boundary : kBoundaries)
            ramp = _mm256_sub_epi32(
                ramp, _mm256_castps_si256(_mm256_cmp_ps(x, _mm256_set1_ps(boundary), _CMP_GE_OQ)));
        const __m256 start = _mm256_permutevar8x32_ps(starts, ramp);
        const __m256 denominator = _mm256_permutevar8x32_ps(denominators, ramp);
        const __m256i bytes = Bytes(x, start, denominator, _mm256_permutevar8x32_ps(scales, ramp));
        const __m256i colour =
            _mm256_or_si256(_mm256_permutevar8x32_epi32(fixed, ramp),
                            _mm256_sllv_epi32(bytes, _mm256_permutevar8x32_epi32(shifts, ramp)));
        const __m256i result = _mm256_or_si256(_mm256_and_si256(colour, _mm256_castps_si256(shown)), alpha);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(colours + i), result);
    }
    for (; i < count; ++i) colours[i] = LevelToColor32(levels[i]);
}

#include "spectral/Avx2TargetEnd.h"
