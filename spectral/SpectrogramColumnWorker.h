// One column of the spectrogram: fill a frame of N values from the store, window it, transform it and
// colour every shown bin into the image. Each worker thread owns one SpectrogramColumnWorker, whose
// buffers are allocated once per computation, so columns are computed without allocating.
#pragma once

#include "spectral/CacheLineVector.h"
#include "spectral/FFTPow2.h"
#include "spectral/MixedRadixPlan.h"
#include "spectral/SpectrogramPictureLayout.h"
#include "view/Color32.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Sizes above this run the double-precision mixed-radix transform; up to it, the single-precision one.
inline constexpr int32_t kLargestSinglePrecisionFFT = 16384;

// What every column of one pass reads, and where it draws. Read-only while the pass runs, except the
// pixels, of which each column writes only its own.
struct SpectrogramPassLayout {
    const int16_t* Samples = nullptr;
    int64_t ValueCount = 0;        // values readable in Samples; positions outside [0, ValueCount) read 0
    int32_t FFTSize = 0;           // N, a power of two from 16 to 8388608
    int32_t Hop = 0;               // column x reads positions x * Hop - N .. x * Hop - 1 (see Complex)
    const float* Window = nullptr; // N coefficients
    double Gain = 1.0;             // level = magnitude x Gain
    int Channel = -1;              // -1: all values; 0 / 1: only the even / odd positions (the others read 0)
    // The complex spectrum of two channels: the frame is N samples I + jQ (even and odd positions)
    // from SpectrogramComplexColumnStart, and the band is the whole image, N rows (see
    // SpectrogramComplexBinOfRow). Channel, BandTop and BandBins are then -1, 0 and N.
    bool Complex = false;
    int32_t BandTop = 0;        // first image row of the band
    int32_t BandBins = 0;       // rows of bins in the band: bins BandBins - 1 .. 1, then marker rows
    TColor32 MarkerColour = 0;  // marker pixel where x + y is odd (black where it is even)
    TColor32* Pixels = nullptr; // Width x Height, row-major, top row first
    int32_t Width = 0;
    int32_t Height = 0;
};

// The marker pixel at (x, y) of a band with the given marker colour: that colour where x + y is odd,
// black where it is even.
inline TColor32 MarkerPixel(TColor32 markerColour, int64_t x, int64_t y) {
    return ((x + y) & 1) != 0 ? markerColour : kOpaqueBlack;
}

// Rows a column of the band draws: its bins and its marker rows, as far as the image reaches.
inline int64_t BandRowCount(const SpectrogramPassLayout& layout) {
    if (layout.Complex) return layout.FFTSize;
    return std::min<int64_t>(int64_t{layout.BandBins} + 1, layout.Height - layout.BandTop);
}

// The bin that row r of the band shows, or -1 for a marker row.
inline int64_t BandRowBin(const SpectrogramPassLayout& layout, int64_t r) {
    if (layout.Complex) return SpectrogramComplexBinOfRow(layout.FFTSize, r);
    return r < int64_t{layout.BandBins} - 1 ? int64_t{layout.BandBins} - 1 - r : -1;
}

class SpectrogramColumnWorker {
public:
    // Allocates the buffers for FFT size fftSize, for the complex picture when `complex` (and, above
    // kLargestSinglePrecisionFFT, makes sure the transform's plan exists); throws std::bad_alloc when
    // they cannot be had.
    explicit SpectrogramColumnWorker(int32_t fftSize, bool complex = false);

    // Bytes a worker holds for fftSize, to bound the number of workers by memory.
    static std::size_t BufferBytes(int32_t fftSize, bool complex = false);

    // Columns one ComputeColumns call should take. The small transform colours them into tiles of
    // kTileBlockColumns that are copied into the image row by row, which keeps the image's cache lines
    // and pages from being touched once per pixel; the tiles of one call are stored a whole cache line
    // at a time (StoreTileLines), so a call takes a run of several. The large transform colours
    // straight into the image, one column at a time.
    int32_t RunColumns() const { return large_ ? 1 : kSmallRunTiles * tileColumns_; }

    // Computes columns first .. end - 1 and draws them. Returns how many of them,
    // from first on, are finished and drawn: end - first, or fewer when stop was seen. Then the columns after
    // those keep their pixels, except the column in hand, which the large transform may have drawn in part.
    int64_t ComputeColumns(const SpectrogramPassLayout& layout, int64_t first, int64_t end,
                           const std::atomic<bool>& stop);

private:
    // Column x into tile column c; false when stop was seen (the tile column is then unfinished).
    bool ComputeSmallColumn(const SpectrogramPassLayout& layout, int64_t x, int64_t c,
                            const std::atomic<bool>& stop);
    // Column x straight into the image; false when stop was seen.
    bool ComputeLargeColumn(const SpectrogramPassLayout& layout, int64_t x, const std::atomic<bool>& stop);
    bool FillFrame(const SpectrogramPassLayout& layout, int64_t start, const std::atomic<bool>& stop);
    // The frame of one channel of two: only its own elements, packed (see FFTPow2RealOneParity); returns
    // their parity in the frame, or -1 when stop was seen.
    int FillOwnElements(const SpectrogramPassLayout& layout, int64_t start, const std::atomic<bool>& stop);
    void ComputeLevels(int32_t bins, double gain, const uint16_t* scramble);
    void ComputeLevelsInKernelOrder(int32_t n, double gain);
    int64_t ComputeTiles(const SpectrogramPassLayout& layout, int64_t first, int64_t end,
                         const std::atomic<bool>& stop);
    // Copies the first `complete` tile columns into the image at column first: a whole tile as the next
    // of its run, a part of one pixel by pixel after the run's last lines.
    void FlushTile(const SpectrogramPassLayout& layout, int64_t first, int64_t complete);
    // Stores the pixels of the run's last whole tile that its lines left in carry_.
    void FinishLines(const SpectrogramPassLayout& layout);
    void FlushRow(const SpectrogramPassLayout& layout, int64_t first, int64_t complete, int64_t r);

    static constexpr int32_t kSmallRunTiles = 16;

    bool large_;
    int32_t tileColumns_;
    int32_t tileStride_; // colours per tile column: one per bin of the largest band, N/2 (N if complex),
                         // and a cache line of padding
    // N <= 16384: the frame, transformed in place, its bins left in kernel order.
    CacheLineVector<TComplexSingle> frame_;
    const uint16_t* scramble_ = nullptr;
    // Where the real-frame transforms of a real band leave each bin (of the frame of one channel of
    // two, and of any other); null when this processor runs the transform whole.
    const uint16_t* oneChannelScramble_ = nullptr;
    const uint16_t* realScramble_ = nullptr;
    CacheLineVector<TColor32> tile_; // tileColumns_ columns of tileStride_ colours (see ComputeSmallColumn)
    // The last whole tile's pixels, kTileBlockColumns per band row, for the lines of the next one;
    // linesEnd_ is the column after that tile while its run is open.
    CacheLineVector<TColor32> carry_;
    int64_t linesEnd_ = -1;
    CacheLineVector<float> levels_; // the level of each bin of the column in hand (complex: in kernel order)
    CacheLineVector<float> binLevels_;         // complex: the levels in bin order
    CacheLineVector<TComplexSingle> gathered_; // real: the bins shown, in bin order
    // N > 16384: the frame, written in the transform's input order and transformed in place.
    const MixedRadixPlan* plan_ = nullptr;
    std::unique_ptr<TComplexDouble[]> spectrum_;
};
