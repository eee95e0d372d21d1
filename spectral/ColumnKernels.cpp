#include "spectral/ColumnKernels.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void WindowRealValuesPlain(const int16_t* samples, const float* window, int64_t count, int ownParity,
                           TComplexSingle* frame) {
    for (int64_t i = 0; i < count; ++i) {
        const bool own = ownParity < 0 || (i & 1) == ownParity;
        frame[i] = {own ? static_cast<float>(samples[i]) * window[i] : 0.0f, 0.0f};
    }
}

void WindowEveryOtherValuePlain(const int16_t* samples, const float* window, int64_t count,
                                TComplexSingle* packed) {
    for (int64_t m = 0; m < count; ++m)
        packed[m] = {static_cast<float>(samples[2 * m]) * window[2 * m], 0.0f};
}

void WindowComplexValuesPlain(const int16_t* pairs, const float* window, int64_t count,
                              TComplexSingle* frame) {
    for (int64_t i = 0; i < count; ++i)
        frame[i] = {static_cast<float>(pairs[2 * i]) * window[i],
                    -(static_cast<float>(pairs[2 * i + 1]) * window[i])};
}

void BinLevelsPlain(const TComplexSingle* bins, int64_t count, double gain, float* levels) {
    for (int64_t i = 0; i < count; ++i) {
        double magnitude =
            static_cast<double>(std::fabs(bins[i].re)) + static_cast<double>(std::fabs(bins[i].im));
        if (magnitude == 0.0) magnitude = 0.001;
        levels[i] = static_cast<float>(magnitude * gain);
    }
}

void StreamPixel(TColor32* pixel, TColor32 colour) {
#if defined(__SSE2__)
    _mm_stream_si32(reinterpret_cast<int*>(pixel), static_cast<int>(colour));
#else
    *pixel = colour;
#endif
}

void StoreTileLinesPlain(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep,
                         TColor32* carry, bool continuing) {
    for (int64_t j = 0; j < kTileRowBlock; ++j) {
        TColor32* row = image + j * rowStep;
        TColor32* kept = carry + j * kTileBlockColumns;
        const int o = LineOffset(row);
        if (continuing)
            for (int c = -o; c < 0; ++c) row[c] = kept[kTileBlockColumns + c];
        for (int64_t c = 0; c < kTileBlockColumns - o; ++c) row[c] = tile[c * stride + j];
        for (int64_t c = 0; c < kTileBlockColumns; ++c) kept[c] = tile[c * stride + j];
    }
}

void FinishTileLines(const TColor32* carry, TColor32* image, int64_t rowStep) {
    for (int64_t j = 0; j < kTileRowBlock; ++j) {
        TColor32* row = image + j * rowStep;
        const TColor32* kept = carry + j * kTileBlockColumns;
        const int o = LineOffset(row);
        for (int c = -o; c < 0; ++c) row[c] = kept[kTileBlockColumns + c];
    }
}

void GatherBinsPlain(const TComplexSingle* values, const uint16_t* order, int64_t count,
                     TComplexSingle* out) {
    for (int64_t k = 0; k < count; ++k) out[k] = values[order[k]];
}

void GatherLevelsPlain(const float* values, const uint16_t* order, int64_t count, float* out) {
    for (int64_t k = 0; k < count; ++k) out[k] = values[order[k]];
}

// Streamed stores are weakly ordered: this makes them visible before anything the thread does next.
void StreamedStoresDone() {
#if defined(__SSE2__)
    _mm_sfence();
#endif
}

void WindowRealValues(const int16_t* samples, const float* window, int64_t count, int ownParity,
                      TComplexSingle* frame) {
    if (ColumnKernelsUseAvx2())
        WindowRealValuesAvx2(samples, window, count, ownParity, frame);
    else
        WindowRealValuesPlain(samples, window, count, ownParity, frame);
}

void WindowEveryOtherValue(const int16_t* samples, const float* window, int64_t count,
                           TComplexSingle* packed) {
    if (ColumnKernelsUseAvx2())
        WindowEveryOtherValueAvx2(samples, window, count, packed);
    else
        WindowEveryOtherValuePlain(samples, window, count, packed);
}

void WindowComplexValues(const int16_t* pairs, const float* window, int64_t count, TComplexSingle* frame) {
    if (ColumnKernelsUseAvx2())
        WindowComplexValuesAvx2(pairs, window, count, frame);
    else
        WindowComplexValuesPlain(pairs, window, count, frame);
}

void BinLevels(const TComplexSingle* bins, int64_t count, double gain, float* levels) {
    if (ColumnKernelsUseAvx2())
        BinLevelsAvx2(bins, count, gain, levels);
    else
        BinLevelsPlain(bins, count, gain, levels);
}

void StoreTileLines(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep, TColor32* carry,
                    bool continuing) {
    if (ColumnKernelsUseAvx2())
        StoreTileLinesAvx2(tile, stride, image, rowStep, carry, continuing);
    else
        StoreTileLinesPlain(tile, stride, image, rowStep, carry, continuing);
}

void GatherBins(const TComplexSingle* values, const uint16_t* order, int64_t count, TComplexSingle* out) {
    if (ColumnKernelsUseAvx2())
        GatherBinsAvx2(values, order, count, out);
    else
        GatherBinsPlain(values, order, count, out);
}

void GatherLevels(const float* values, const uint16_t* order, int64_t count, float* out) {
    if (ColumnKernelsUseAvx2())
        GatherLevelsAvx2(values, order, count, out);
    else
        GatherLevelsPlain(values, order, count, out);
}
