// One column of the spectrogram: fill a frame of N values from the store, window it, transform it and
// colour every shown bin into the image. Each worker thread owns one SpectrogramColumnWorker, whose
// frame buffers are allocated once per computation, so columns are computed without allocating.
#pragma once

#include "spectral/FFTPow2.h"
#include "spectral/MixedRadixFFT.h"
#include "view/Color32.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Sizes above this run the double-precision mixed-radix transform; up to it, the single-precision one.
inline constexpr int32_t kLargestSinglePrecisionFFT = 16384;

// What every column of one pass reads, and where it draws. Read-only while the pass runs, except the
// pixels, of which each column writes only its own.
struct SpectrogramPassLayout {
    const int16_t* Samples = nullptr;
    int64_t ValueCount = 0;        // values readable in Samples; positions outside [0, ValueCount) read 0
    int32_t FFTSize = 0;           // N, a power of two from 16 to 8388608
    int32_t Hop = 0;               // column x reads positions x * Hop - N .. x * Hop - 1
    const float* Window = nullptr; // N coefficients
    double Gain = 1.0;             // level = magnitude x Gain
    int Channel = -1;              // -1: all values; 0 / 1: only the even / odd positions (the others read 0)
    int32_t BandTop = 0;           // first image row of the band
    int32_t BandBins = 0;          // rows of bins in the band: bins BandBins - 1 .. 1, then marker rows
    TColor32 MarkerColour = 0;     // marker pixel where x + y is odd (black where it is even)
    TColor32* Pixels = nullptr;    // Width x Height, row-major, top row first
    int32_t Width = 0;
    int32_t Height = 0;
};

// Called after each column a worker finishes.
using ColumnDone = std::function<void()>;

class SpectrogramColumnWorker {
public:
    // Allocates the frame buffers and the tile for FFT size fftSize; throws std::bad_alloc when they
    // cannot be had.
    explicit SpectrogramColumnWorker(int32_t fftSize);

    // Bytes a worker holds for fftSize, to bound the number of workers by memory.
    static std::size_t BufferBytes(int32_t fftSize);

    // Most columns one ComputeColumns call takes: they are coloured into a tile and copied into the
    // image row by row, which keeps the image's cache lines and pages from being touched once per pixel.
    int32_t TileColumns() const { return tileColumns_; }

    // Computes columns first .. end - 1 (at most TileColumns()) and draws them, calling columnDone after
    // each. Returns false as soon as stop is seen: the columns finished are drawn, the column in hand
    // holds the rows coloured so far (none when its frame was not complete), the others are untouched.
    bool ComputeColumns(const SpectrogramPassLayout& layout, int64_t first, int64_t end,
                        const std::atomic<bool>& stop, const ColumnDone& columnDone);

private:
    bool FillFrame(const SpectrogramPassLayout& layout, int64_t start, const std::atomic<bool>& stop);
    // Returns false when stop was seen inside the large transform (the column is then unfinished).
    bool Transform(int32_t fftSize, const std::atomic<bool>& stop);
    void ComputeLevels(int32_t bins, double gain);
    // Colours column x into tile column c; returns the rows coloured (all of them unless stopped).
    int64_t ColourColumn(const SpectrogramPassLayout& layout, int64_t x, int64_t c,
                         const std::atomic<bool>& stop);
    // Copies `complete` tile columns, and `partialRows` rows of the next one, into the image at column first.
    void FlushTile(const SpectrogramPassLayout& layout, int64_t first, int64_t complete, int64_t partialRows);

    bool large_;
    std::vector<TComplexSingle> frame_; // N <= 16384: transformed in place, bins left in kernel order
    TSimComplexArray input_;            // N > 16384: the windowed frame
    TSimComplexArray output_;           // N > 16384: its transform, bins in natural order
    const uint16_t* scramble_ = nullptr;
    int32_t tileColumns_;
    std::vector<TColor32> tile_; // (N/2 + 1) rows of tileColumns_ colours, row-major
    std::vector<float> levels_;  // N/2: the level of each bin of the column in hand
};
