// The inner loops of a spectrogram column of the small transform: windowing the frame, the levels of
// the bins, and copying a tile of colours into the image's rows. Each has a plain form, which is the
// definition, and a form that works eight values at a time where the processor has AVX2 and gives the
// same bits; the first form of each name picks the one this processor runs. Tests compare the two.
#pragma once

#include "signal/ProcessorFeatures.h"
#include "spectral/FFTPow2.h"
#include "view/Color32.h"

#include <cstdint>

// Columns of a tile (one cache line of pixels), and rows of it stored at once by StoreTileLines.
inline constexpr int64_t kTileRowBlock = 8;
inline constexpr int64_t kTileBlockColumns = 16;

// frame[i] = {samples[i] x window[i], 0} for i = 0 .. count - 1, each product a float rounded once;
// with ownParity 0 or 1 only the elements whose index has that parity take their value, the others
// are {0, 0}; with ownParity -1 all do.
void WindowRealValues(const int16_t* samples, const float* window, int64_t count, int ownParity,
                      TComplexSingle* frame);
void WindowRealValuesPlain(const int16_t* samples, const float* window, int64_t count, int ownParity,
                           TComplexSingle* frame);
void WindowRealValuesAvx2(const int16_t* samples, const float* window, int64_t count, int ownParity,
                          TComplexSingle* frame);

// packed[m] = {samples[2m] x window[2m], 0} for m = 0 .. count - 1: the elements of one parity of a
// frame, each product a float rounded once (as WindowRealValues rounds it).
void WindowEveryOtherValue(const int16_t* samples, const float* window, int64_t count,
                           TComplexSingle* packed);
void WindowEveryOtherValuePlain(const int16_t* samples, const float* window, int64_t count,
                                TComplexSingle* packed);
void WindowEveryOtherValueAvx2(const int16_t* samples, const float* window, int64_t count,
                               TComplexSingle* packed);

// frame[i] = {I x window[i], -(Q x window[i])} for the pairs I = pairs[2i], Q = pairs[2i + 1],
// i = 0 .. count - 1.
void WindowComplexValues(const int16_t* pairs, const float* window, int64_t count, TComplexSingle* frame);
void WindowComplexValuesPlain(const int16_t* pairs, const float* window, int64_t count,
                              TComplexSingle* frame);
void WindowComplexValuesAvx2(const int16_t* pairs, const float* window, int64_t count, TComplexSingle* frame);

// levels[i] = float(m x gain) with m = double(|re|) + double(|im|) of bins[i], an m of exactly 0
// counted as 0.001.
void BinLevels(const TComplexSingle* bins, int64_t count, double gain, float* levels);
void BinLevelsPlain(const TComplexSingle* bins, int64_t count, double gain, float* levels);
void BinLevelsAvx2(const TComplexSingle* bins, int64_t count, double gain, float* levels);

// Pixels of an image row before `pixel` in its 64-byte cache line.
inline int LineOffset(const TColor32* pixel) {
    return static_cast<int>((reinterpret_cast<std::uintptr_t>(pixel) & 63) / sizeof(TColor32));
}

// Tiles of a run of neighbouring columns stored into the image a cache line at a time. Row j of a tile
// is image row image + j x rowStep, pixels c = 0 .. 15 from tile[c x stride + j] (eight neighbouring
// entries of sixteen tile columns). Sixteen pixels are one line, so each row's tile pixels start o =
// LineOffset(row) pixels into a line, the same o for every tile of the run. StoreTileLines stores the
// line of each row that ends with the tile's first 16 - o pixels, the o before them (the previous
// tile's last ones) taken from `carry`, whole and past the cache where the processor can: a picture
// is written once and read only after the pass, and a line stored in parts by streaming stores costs
// several times a whole one. The first tile of a run (`continuing` false) stores only its own first
// 16 - o pixels, with ordinary stores: the rest of that line belongs to columns of another run. The
// tile's pixels are kept in carry (16 per row) for the next tile, and FinishTileLines, called with
// `image` at the column after the run's last tile, stores each row's o pixels still held there. A run
// of these ends with StreamedStoresDone before anything else reads the pixels or another thread is
// told of them.
void StoreTileLines(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep, TColor32* carry,
                    bool continuing);
void StoreTileLinesPlain(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep,
                         TColor32* carry, bool continuing);
void StoreTileLinesAvx2(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep,
                        TColor32* carry, bool continuing);
void FinishTileLines(const TColor32* carry, TColor32* image, int64_t rowStep);

// One pixel stored past the cache, as StoreTileLines stores whole lines.
void StreamPixel(TColor32* pixel, TColor32 colour);
void StreamedStoresDone();

// out[k] = values[order[k]] for k = 0 .. count - 1: bins or levels from kernel order into bin order.
void GatherBins(const TComplexSingle* values, const uint16_t* order, int64_t count, TComplexSingle* out);
void GatherBinsPlain(const TComplexSingle* values, const uint16_t* order, int64_t count, TComplexSingle* out);
void GatherBinsAvx2(const TComplexSingle* values, const uint16_t* order, int64_t count, TComplexSingle* out);
void GatherLevels(const float* values, const uint16_t* order, int64_t count, float* out);
void GatherLevelsPlain(const float* values, const uint16_t* order, int64_t count, float* out);
void GatherLevelsAvx2(const float* values, const uint16_t* order, int64_t count, float* out);

// Whether the forms without a suffix take the AVX2 ones on this processor.
inline bool ColumnKernelsUseAvx2() {
    return ProcessorHasAvx2();
}
