#include "view/LerpRow.h"

#include "view/PixelBlend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

uint32_t Weight(const uint16_t* weights4, int32_t i) {
    return weights4[4 * i];
}

#if defined(__SSE2__)

// a * (256 - w) + b * w, over 256, per 8-bit channel of four pixels; w and iw hold one 16-bit weight
// per channel of the low two pixels (lo) and of the high two pixels (hi).
inline __m128i Lerp4(__m128i a, __m128i b, __m128i wLo, __m128i wHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    const auto half = [&](__m128i x, __m128i y, __m128i w) {
        return _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(x, _mm_sub_epi16(full, w)), _mm_mullo_epi16(y, w)), 8);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), wLo);
    const __m128i hi = half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), wHi);
    return _mm_packus_epi16(lo, hi);
}

inline __m128i Gather4(const TColor32* row, const int32_t* index) {
    return _mm_set_epi32(int(row[index[3]]), int(row[index[2]]), int(row[index[1]]), int(row[index[0]]));
}

inline void Prefetch4(const TColor32* row, const int32_t* index) {
    if (row == nullptr) return;
    for (int k = 0; k < 4; ++k) __builtin_prefetch(row + index[k]);
}

inline __m128i Load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

#endif

} // namespace

void LerpRow(const TColor32* a, const TColor32* b, uint32_t w, TColor32* out, int32_t n) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i wv = _mm_set1_epi16(int16_t(w));
    for (; i + 4 <= n; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Lerp4(Load(a + i), Load(b + i), wv, wv));
#endif
    for (; i < n; ++i) out[i] = LerpColor(a[i], b[i], w);
}

void LerpGatherRow(const TColor32* row, const int32_t* first, const int32_t* second, const uint16_t* weights4,
                   TColor32* out, int32_t n, TColor32 orMask, const TColor32* ahead) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(int(orMask));
    for (; i + 4 <= n; i += 4) {
        Prefetch4(ahead, first + i);
        const __m128i h = Lerp4(Gather4(row, first + i), Gather4(row, second + i), Load(weights4 + 4 * i),
                                Load(weights4 + 4 * i + 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(h, mask));
    }
#endif
    for (; i < n; ++i) out[i] = LerpColor(row[first[i]], row[second[i]], Weight(weights4, i)) | orMask;
}

void LerpGatherRows(const TColor32* a, const TColor32* b, const int32_t* first, const int32_t* second,
                    const uint16_t* weights4, uint32_t wy, TColor32* out, int32_t n, TColor32 orMask,
                    const TColor32* aheadA, const TColor32* aheadB) {
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(int(orMask));
    const __m128i wyv = _mm_set1_epi16(int16_t(wy));
    for (; i + 4 <= n; i += 4) {
        Prefetch4(aheadA, first + i);
        Prefetch4(aheadB, first + i);
        const __m128i wLo = Load(weights4 + 4 * i);
        const __m128i wHi = Load(weights4 + 4 * i + 8);
        const __m128i top = Lerp4(Gather4(a, first + i), Gather4(a, second + i), wLo, wHi);
        const __m128i bottom = Lerp4(Gather4(b, first + i), Gather4(b, second + i), wLo, wHi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(Lerp4(top, bottom, wyv, wyv), mask));
    }
#endif
    for (; i < n; ++i) {
        const uint32_t w = Weight(weights4, i);
        out[i] =
            LerpColor(LerpColor(a[first[i]], a[second[i]], w), LerpColor(b[first[i]], b[second[i]], w), wy) |
            orMask;
    }
}
