#include "spectral/SpectrogramColumnWorker.h"

#include "spectral/LevelToColor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The stop flag is polled after every block of this many values or rows: often enough that a stop
// takes effect at once, rarely enough to keep the inner loops tight.
constexpr int64_t kStopPollBlock = 1024;

// Columns per tile for the small transform; the large one draws a column at a time.
constexpr int32_t kSmallTileColumns = 16;

bool StopSeen(const std::atomic<bool>& stop) {
    return stop.load(std::memory_order_relaxed);
}

// Elements lo .. hi - 1 of the frame starting at position start, all inside the signal: the value times
// the window (0 at the other channel's positions). Real is float for the small transform, double for the
// large one; in both cases the product of the 16-bit value and the float coefficient is rounded once.
template <class Real, class Complex>
void FillInside(Complex* frame, const SpectrogramPassLayout& layout, int64_t start, int64_t lo, int64_t hi) {
    const int16_t* values = layout.Samples + start;
    const float* window = layout.Window;
    if (layout.Channel < 0) {
        for (int64_t i = lo; i < hi; ++i)
            frame[i] = Complex{static_cast<Real>(values[i]) * static_cast<Real>(window[i]), Real(0)};
        return;
    }
    for (int64_t i = lo; i < hi; ++i) {
        const bool own = ((start + i) & 1) == layout.Channel;
        frame[i] =
            Complex{own ? static_cast<Real>(values[i]) * static_cast<Real>(window[i]) : Real(0), Real(0)};
    }
}

// The windowed frame of positions start .. start + N - 1; positions outside the signal read 0.
template <class Real, class Complex>
bool FillWindowedFrame(Complex* frame, const SpectrogramPassLayout& layout, int64_t start,
                       const std::atomic<bool>& stop) {
    const int64_t n = layout.FFTSize;
    const int64_t insideFrom = std::clamp<int64_t>(-start, 0, n);
    const int64_t insideTo = std::clamp<int64_t>(layout.ValueCount - start, insideFrom, n);
    for (int64_t block = 0; block < n; block += kStopPollBlock) {
        const int64_t end = std::min(n, block + kStopPollBlock);
        const int64_t lo = std::clamp(insideFrom, block, end);
        const int64_t hi = std::clamp(insideTo, lo, end);
        std::fill(frame + block, frame + lo, Complex{Real(0), Real(0)});
        FillInside<Real>(frame, layout, start, lo, hi);
        std::fill(frame + hi, frame + end, Complex{Real(0), Real(0)});
        if (StopSeen(stop)) return false;
    }
    return true;
}

// The level of a bin of magnitude m: a magnitude of exactly 0 counts as 0.001; the level is rounded to
// a float before the colour ramp.
float BinLevel(double magnitude, double gain) {
    if (magnitude == 0.0) magnitude = 0.001;
    return static_cast<float>(magnitude * gain);
}

} // namespace

SpectrogramColumnWorker::SpectrogramColumnWorker(int32_t fftSize)
    : large_(fftSize > kLargestSinglePrecisionFFT), tileColumns_(large_ ? 1 : kSmallTileColumns) {
    const auto n = static_cast<std::size_t>(fftSize);
    if (large_) {
        input_.resize(n);
        output_.resize(n);
    } else {
        frame_.resize(n);
        scramble_ = FFTPow2ScrambleTable(fftSize).data();
    }
    tile_.resize((n / 2 + 1) * static_cast<std::size_t>(tileColumns_));
    levels_.resize(n / 2);
}

std::size_t SpectrogramColumnWorker::BufferBytes(int32_t fftSize) {
    const auto n = static_cast<std::size_t>(fftSize);
    const std::size_t levels = n / 2 * sizeof(float);
    if (fftSize > kLargestSinglePrecisionFFT)
        return 2 * n * sizeof(TComplexDouble) + (n / 2 + 1) * sizeof(TColor32) + levels;
    return n * sizeof(TComplexSingle) + (n / 2 + 1) * kSmallTileColumns * sizeof(TColor32) + levels;
}

bool SpectrogramColumnWorker::ComputeColumns(const SpectrogramPassLayout& layout, int64_t first, int64_t end,
                                             const std::atomic<bool>& stop, const ColumnDone& columnDone) {
    const int64_t rows = int64_t{layout.BandBins} + 1;
    for (int64_t x = first; x < end; ++x) {
        const int64_t start = x * layout.Hop - layout.FFTSize;
        if (!FillFrame(layout, start, stop)) {
            FlushTile(layout, first, x - first, 0);
            return false;
        }
        if (!Transform(layout.FFTSize, stop)) {
            FlushTile(layout, first, x - first, 0);
            return false;
        }
        const int64_t coloured = ColourColumn(layout, x, x - first, stop);
        if (coloured < rows) {
            FlushTile(layout, first, x - first, coloured);
            return false;
        }
        columnDone();
    }
    FlushTile(layout, first, end - first, 0);
    return true;
}

bool SpectrogramColumnWorker::FillFrame(const SpectrogramPassLayout& layout, int64_t start,
                                        const std::atomic<bool>& stop) {
    if (large_) return FillWindowedFrame<double>(input_.data(), layout, start, stop);
    return FillWindowedFrame<float>(frame_.data(), layout, start, stop);
}

// Both transforms are forward and unscaled. The small one is left in its kernel order and its bins are
// read through the scramble table, which gives exactly the values the reordering copy would; the
// large one runs out of place, so that it needs no temporary block of its own. Only the large one,
// which takes a noticeable time, looks at stop while it runs.
bool SpectrogramColumnWorker::Transform(int32_t fftSize, const std::atomic<bool>& stop) {
    if (large_) return FourierForward(input_.data(), output_.data(), fftSize, stop);
    FFTPow2(frame_.data(), fftSize, false, false, false);
    return true;
}

// The levels of bins 1 .. bins - 1 into levels_: |Re| + |Im| summed in extended precision and held as a
// double, times the gain. Computed apart from the colours so that this loop stays free of branches.
void SpectrogramColumnWorker::ComputeLevels(int32_t bins, double gain) {
    float* levels = levels_.data();
    if (large_) {
        for (int32_t k = 1; k < bins; ++k) {
            const TComplexDouble& c = output_[static_cast<std::size_t>(k)];
            levels[k] = BinLevel(
                static_cast<double>(static_cast<long double>(std::fabs(c.re)) + std::fabs(c.im)), gain);
        }
        return;
    }
    for (int32_t k = 1; k < bins; ++k) {
        const TComplexSingle& c = frame_[scramble_[k]];
        levels[k] =
            BinLevel(static_cast<double>(std::fabs(c.re)) + static_cast<double>(std::fabs(c.im)), gain);
    }
}

// Band rows 0 .. BandBins: bins BandBins - 1 down to 1, then two marker rows (bin 0, and one row below
// the band, which the next band overwrites or which falls outside the image).
int64_t SpectrogramColumnWorker::ColourColumn(const SpectrogramPassLayout& layout, int64_t x, int64_t c,
                                              const std::atomic<bool>& stop) {
    const int64_t rows = int64_t{layout.BandBins} + 1;
    ComputeLevels(layout.BandBins, layout.Gain);
    TColor32* out = tile_.data() + c;
    for (int64_t block = 0; block < rows; block += kStopPollBlock) {
        const int64_t end = std::min(rows, block + kStopPollBlock);
        for (int64_t r = block; r < end; ++r) {
            const int64_t bin = layout.BandBins - 1 - r;
            const int64_t y = layout.BandTop + r;
            out[r * tileColumns_] = bin >= 1 ? LevelToColor32(levels_[static_cast<std::size_t>(bin)])
                                    : ((x + y) & 1) != 0 ? layout.MarkerColour
                                                         : kOpaqueBlack;
        }
        if (StopSeen(stop)) return end;
    }
    return rows;
}

void SpectrogramColumnWorker::FlushTile(const SpectrogramPassLayout& layout, int64_t first, int64_t complete,
                                        int64_t partialRows) {
    const int64_t rows = int64_t{layout.BandBins} + 1;
    for (int64_t r = 0; r < rows; ++r) {
        const int64_t y = layout.BandTop + r;
        if (y >= layout.Height) break;
        const int64_t count = complete + (r < partialRows ? 1 : 0);
        if (count == 0) break;
        std::memcpy(layout.Pixels + y * layout.Width + first, tile_.data() + r * tileColumns_,
                    static_cast<std::size_t>(count) * sizeof(TColor32));
    }
}
