// The inner loops of a spectrogram column of the small transform: windowing the frame, the levels of
// the bins, and copying a tile of colours into the image's rows. Each has a plain form, which is the
// definition, and a form that works eight values at a time where the processor has AVX2 and gives the
// same bits; the first form of each name picks the one this processor runs. Tests compare the two.
#pragma once

#include "spectral/FFTPow2.h"
#include "view/Color32.h"

#include <cstdint>

// Columns of a tile, and rows of it stored at once by StoreTileBlock.
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

// image[j x rowStep + c] = tile[c x stride + j] for j = 0 .. 7, c = 0 .. 15: eight neighbouring
// entries of sixteen tile columns stored as eight image rows of sixteen pixels, past the cache where
// the processor can (a picture is written once and read only after the pass). A run of these ends
// with StreamedStoresDone before anything else reads the pixels or another thread is told of them.
void StoreTileBlock(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep);
void StoreTileBlockPlain(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep);
void StoreTileBlockAvx2(const TColor32* tile, int64_t stride, TColor32* image, int64_t rowStep);

// One pixel stored as StoreTileBlock stores them.
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
bool ColumnKernelsUseAvx2();
