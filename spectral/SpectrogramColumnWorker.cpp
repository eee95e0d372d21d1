#include "spectral/SpectrogramColumnWorker.h"

#include "spectral/ColumnKernels.h"
#include "spectral/FFTPow2OneParity.h"
#include "spectral/FFTPow2RealFrame.h"
#include "spectral/LevelColours.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// The stop flag is polled after every block of this many values or rows: often enough that a stop
// takes effect at once, rarely enough to keep the inner loops tight.
constexpr int64_t kStopPollBlock = 1024;

// Columns per tile for the small transform; the large one draws a column at a time.
constexpr int32_t kSmallTileColumns = kTileBlockColumns;

// Colours between the tile's columns beyond their bins: one cache line, so that the columns of a tile
// row, read together, do not all fall into the same cache set when the bins are a power of two.
constexpr int32_t kTileColumnPad = 16;

// Bins a tile column holds: N/2 for the real bands, N for the complex picture.
int32_t TileBins(int32_t fftSize, bool complex) {
    return complex ? fftSize : fftSize / 2;
}

bool StopSeen(const std::atomic<bool>& stop) {
    return stop.load(std::memory_order_relaxed);
}

// Whether position p belongs to the channel the layout draws.
bool OwnPosition(const SpectrogramPassLayout& layout, int64_t p) {
    return layout.Channel < 0 || (p & 1) == layout.Channel;
}

// A frame element inside the signal: the value times the window coefficient. Real is float for the
// small transform and double for the large one; in both cases the product is rounded once.
template <class Real> Real Windowed(int16_t value, float coefficient) {
    return static_cast<Real>(value) * static_cast<Real>(coefficient);
}

// Elements lo .. hi - 1 of the small frame starting at position start, all of them inside the signal:
// the windowed values of the layout's positions, 0 at the other channel's. Positions are indices into
// Samples; no pointer is formed for the positions before the signal.
void FillInside(TComplexSingle* frame, const SpectrogramPassLayout& layout, int64_t start, int64_t lo,
                int64_t hi) {
    if (hi <= lo) return; // nothing inside (an empty recording has no values to point at)
    const int ownParity = layout.Channel < 0 ? -1 : (OwnPosition(layout, start + lo) ? 0 : 1);
    WindowRealValues(layout.Samples + (start + lo), layout.Window + lo, hi - lo, ownParity, frame + lo);
}

// Elements lo .. hi - 1 of the small complex frame starting at sample start, all of them inside the
// signal: the windowed I (position 2s) and minus the windowed Q (position 2s + 1) of sample s. A Q
// beyond the last value (an odd value count) reads 0. The small transform has a positive exponent:
// of the conjugate frame it gives the conjugates of what a negative exponent gives of the frame, so
// that bin k holds frequency +k R / N, as the large transform's bin k does, with the same magnitude.
void FillComplexInside(TComplexSingle* frame, const SpectrogramPassLayout& layout, int64_t start, int64_t lo,
                       int64_t hi) {
    const int16_t* samples = layout.Samples;
    const float* window = layout.Window;
    const int64_t whole = std::clamp<int64_t>(layout.ValueCount / 2 - start, lo, hi);
    if (whole > lo) WindowComplexValues(samples + 2 * (start + lo), window + lo, whole - lo, frame + lo);
    if (whole < hi) frame[whole] = {Windowed<float>(samples[2 * (start + whole)], window[whole]), 0.0f};
}

// The value at position p for the large frame; outside the signal or the layout's channel, 0.
double LargeFrameValue(const SpectrogramPassLayout& layout, int64_t p, float coefficient) {
    if (p < 0 || p >= layout.ValueCount || !OwnPosition(layout, p)) return 0.0;
    return Windowed<double>(layout.Samples[p], coefficient);
}

// Element k of the large frame starting at position start (at sample start for the complex frame);
// positions outside the signal read 0.
struct LargeFrameSource {
    const SpectrogramPassLayout& Layout;
    int64_t Start;

    TComplexDouble operator()(int64_t k) const {
        const float coefficient = Layout.Window[k];
        if (!Layout.Complex) return {LargeFrameValue(Layout, Start + k, coefficient), 0.0};
        const int64_t p = 2 * (Start + k);
        return {LargeFrameValue(Layout, p, coefficient), LargeFrameValue(Layout, p + 1, coefficient)};
    }
};

// The level of a bin of magnitude m: a magnitude of exactly 0 counts as 0.001; the level is rounded to
// a float before the colour ramp.
float BinLevel(double magnitude, double gain) {
    if (magnitude == 0.0) magnitude = 0.001;
    return static_cast<float>(magnitude * gain);
}

// Band rows 0 .. rows - 1 of column x into out[r * stride], a block of rows at a time: the bin of each
// row (BandRowBin) coloured from level(bin), the marker rows as markers (for a real band bin 0 and
// one row below the band, which the next band overwrites or which falls outside the image). False
// when stop was seen before the last row.
template <class Level>
bool ColourRows(const SpectrogramPassLayout& layout, int64_t x, TColor32* out, int64_t stride, int64_t rows,
                const Level& level, const std::atomic<bool>& stop) {
    std::array<float, kStopPollBlock> levels;
    std::array<TColor32, kStopPollBlock> colours;
    for (int64_t block = 0; block < rows; block += kStopPollBlock) {
        if (block > 0 && StopSeen(stop)) return false;
        const int64_t end = std::min(rows, block + kStopPollBlock);
        for (int64_t r = block; r < end; ++r) {
            const int64_t bin = BandRowBin(layout, r);
            levels[r - block] = bin < 0 ? 0.0f : level(bin);
        }
        LevelsToColours(levels.data(), colours.data(), static_cast<std::size_t>(end - block));
        for (int64_t r = block; r < end; ++r)
            out[r * stride] = BandRowBin(layout, r) < 0
                                  ? MarkerPixel(layout.MarkerColour, x, layout.BandTop + r)
                                  : colours[r - block];
    }
    return true;
}

// Elements 0 .. count - 1 of frame, a block of kStopPollBlock at a time: fillInside(frame, lo, hi) writes
// those of the block inside the signal (from .. to - 1), the others read 0. False when stop was seen.
template <class FillInside>
bool FillInBlocks(TComplexSingle* frame, int64_t count, int64_t from, int64_t to,
                  const std::atomic<bool>& stop, const FillInside& fillInside) {
    for (int64_t block = 0; block < count; block += kStopPollBlock) {
        const int64_t end = std::min(count, block + kStopPollBlock);
        const int64_t lo = std::clamp(from, block, end);
        const int64_t hi = std::clamp(to, lo, end);
        std::fill(frame + block, frame + lo, TComplexSingle{0.0f, 0.0f});
        fillInside(frame, lo, hi);
        std::fill(frame + hi, frame + end, TComplexSingle{0.0f, 0.0f});
        if (StopSeen(stop)) return false;
    }
    return true;
}

// Where column x's frame starts: a position, or a sample of the complex frame.
int64_t FrameStart(const SpectrogramPassLayout& layout, int64_t x) {
    if (layout.Complex) return SpectrogramComplexColumnStart(x, layout.Hop, layout.FFTSize);
    return SpectrogramColumnStart(x, layout.Hop, layout.FFTSize);
}

// Whether rows r .. r + 7 of the band show bins b .. b - 7 for some b >= 7: the run a whole tile copies
// as one block.
bool DescendingBinRun(const SpectrogramPassLayout& layout, int64_t r) {
    const int64_t top = BandRowBin(layout, r);
    if (top < kTileRowBlock - 1 || r + kTileRowBlock > BandRowCount(layout)) return false;
    for (int64_t j = 1; j < kTileRowBlock; ++j)
        if (BandRowBin(layout, r + j) != top - j) return false;
    return true;
}

// Pixel `column` of band row r in the image.
TColor32* ImageRow(const SpectrogramPassLayout& layout, int64_t r, int64_t column) {
    return layout.Pixels + ((layout.BandTop + r) * layout.Width + column);
}

} // namespace

SpectrogramColumnWorker::SpectrogramColumnWorker(int32_t fftSize, bool complex)
    : large_(fftSize > kLargestSinglePrecisionFFT), tileColumns_(large_ ? 1 : kSmallTileColumns),
      tileStride_(TileBins(fftSize, complex) + kTileColumnPad) {
    const auto n = static_cast<std::size_t>(fftSize);
    if (large_) {
        plan_ = &MixedRadixPlan::For(fftSize);
        // Not cleared: every column writes the whole array before reading it.
        spectrum_ = std::make_unique_for_overwrite<TComplexDouble[]>(n);
        return;
    }
    frame_.resize(n);
    scramble_ = FFTPow2ScrambleTable(fftSize).data();
    if (!complex && FFTPow2OneParitySupports(fftSize))
        oneChannelScramble_ = FFTPow2RealOneParityScrambleTable(fftSize).data();
    if (!complex && FFTPow2RealFrameSupports(fftSize))
        realScramble_ = FFTPow2RealFrameScrambleTable(fftSize).data();
    tile_.resize(static_cast<std::size_t>(tileStride_) * static_cast<std::size_t>(tileColumns_));
    carry_.resize(static_cast<std::size_t>(TileBins(fftSize, complex)) * kTileBlockColumns);
    levels_.resize(static_cast<std::size_t>(TileBins(fftSize, complex)));
    if (complex)
        binLevels_.resize(n);
    else
        gathered_.resize(n / 2);
}

std::size_t SpectrogramColumnWorker::BufferBytes(int32_t fftSize, bool complex) {
    const auto n = static_cast<std::size_t>(fftSize);
    if (fftSize > kLargestSinglePrecisionFFT) return n * sizeof(TComplexDouble);
    const std::size_t stride = complex ? n : n / 2;
    return n * sizeof(TComplexSingle) + 2 * stride * kSmallTileColumns * sizeof(TColor32) +
           stride * sizeof(float) + (complex ? n * sizeof(float) : n / 2 * sizeof(TComplexSingle));
}

int64_t SpectrogramColumnWorker::ComputeColumns(const SpectrogramPassLayout& layout, int64_t first,
                                                int64_t end, const std::atomic<bool>& stop) {
    linesEnd_ = -1; // a run that an exception left open is not continued
    const int64_t finished = ComputeTiles(layout, first, end, stop);
    FinishLines(layout);
    return finished;
}

int64_t SpectrogramColumnWorker::ComputeTiles(const SpectrogramPassLayout& layout, int64_t first, int64_t end,
                                              const std::atomic<bool>& stop) {
    for (int64_t tileFirst = first; tileFirst < end; tileFirst += tileColumns_) {
        const int64_t tileEnd = std::min<int64_t>(end, tileFirst + tileColumns_);
        for (int64_t x = tileFirst; x < tileEnd; ++x) {
            const bool finished = large_ ? ComputeLargeColumn(layout, x, stop)
                                         : ComputeSmallColumn(layout, x, x - tileFirst, stop);
            if (!finished) {
                FlushTile(layout, tileFirst, x - tileFirst);
                return x - first;
            }
        }
        FlushTile(layout, tileFirst, tileEnd - tileFirst);
    }
    return end - first;
}

// The small transform is forward and unscaled and leaves its bins in kernel order; they are read
// through the scramble table, which gives exactly the values the reordering copy would.
// A tile column holds the colour of bin k at entry k: bins 1 .. BandBins - 1 of a real band, every bin
// of the complex picture.
// A real band's frame is real: its transform leaves out the bins that mirror others (FFTPow2RealFrame).
// A frame of one channel of two also holds zeros at every other element: its own elements alone go
// through the transform (FFTPow2RealOneParity). Both give the levels the whole transform gives.
bool SpectrogramColumnWorker::ComputeSmallColumn(const SpectrogramPassLayout& layout, int64_t x, int64_t c,
                                                 const std::atomic<bool>& stop) {
    TColor32* column = tile_.data() + c * tileStride_;
    const int64_t start = FrameStart(layout, x);
    if (layout.Complex) {
        if (!FillFrame(layout, start, stop)) return false;
        FFTPow2(frame_.data(), layout.FFTSize, FFTDirection::Forward, FFTScaling::None, FFTOrder::Kernel);
        ComputeLevelsInKernelOrder(layout.FFTSize, layout.Gain);
        LevelsToColours(binLevels_.data(), column, static_cast<std::size_t>(layout.FFTSize));
        return true;
    }
    if (layout.Channel >= 0 && oneChannelScramble_ != nullptr) {
        const int parity = FillOwnElements(layout, start, stop);
        if (parity < 0) return false;
        FFTPow2RealOneParity(frame_.data(), layout.FFTSize, parity);
        ComputeLevels(layout.BandBins, layout.Gain, oneChannelScramble_);
    } else {
        if (!FillFrame(layout, start, stop)) return false;
        if (realScramble_ != nullptr) {
            FFTPow2RealFrame(frame_.data(), layout.FFTSize);
            ComputeLevels(layout.BandBins, layout.Gain, realScramble_);
        } else {
            FFTPow2(frame_.data(), layout.FFTSize, FFTDirection::Forward, FFTScaling::None, FFTOrder::Kernel);
            ComputeLevels(layout.BandBins, layout.Gain, scramble_);
        }
    }
    LevelsToColours(levels_.data() + 1, column + 1, static_cast<std::size_t>(layout.BandBins - 1));
    return true;
}

// The large frame is written straight in the order the transform's passes take it, so that one array
// holds the frame and its transform (forward, unscaled, bins in natural order). The bins' magnitudes
// are summed in extended precision and held as doubles.
bool SpectrogramColumnWorker::ComputeLargeColumn(const SpectrogramPassLayout& layout, int64_t x,
                                                 const std::atomic<bool>& stop) {
    TComplexDouble* spectrum = spectrum_.get();
    const LargeFrameSource frame{layout, FrameStart(layout, x)};
    if (!plan_->Permute(frame, spectrum, &stop) || !plan_->RunPasses(spectrum, &stop)) return false;
    const double gain = layout.Gain;
    const auto level = [spectrum, gain](int64_t bin) {
        const TComplexDouble& c = spectrum[bin];
        return BinLevel(static_cast<double>(static_cast<long double>(std::fabs(c.re)) + std::fabs(c.im)),
                        gain);
    };
    TColor32* column = layout.Pixels + (int64_t{layout.BandTop} * layout.Width + x);
    return ColourRows(layout, x, column, layout.Width, BandRowCount(layout), level, stop);
}

// The windowed frame of positions start .. start + N - 1 (of samples start .. start + N - 1 for the
// complex frame); positions outside the signal read 0.
bool SpectrogramColumnWorker::FillFrame(const SpectrogramPassLayout& layout, int64_t start,
                                        const std::atomic<bool>& stop) {
    const int64_t n = layout.FFTSize;
    const int64_t readable = layout.Complex ? (layout.ValueCount + 1) / 2 : layout.ValueCount;
    const int64_t insideFrom = std::clamp<int64_t>(-start, 0, n);
    const int64_t insideTo = std::clamp<int64_t>(readable - start, insideFrom, n);
    return FillInBlocks(frame_.data(), n, insideFrom, insideTo, stop,
                        [&layout, start](TComplexSingle* frame, int64_t lo, int64_t hi) {
                            if (layout.Complex)
                                FillComplexInside(frame, layout, start, lo, hi);
                            else
                                FillInside(frame, layout, start, lo, hi);
                        });
}

// The own elements i = parity, parity + 2, ... of the frame of positions start .. start + N - 1, packed
// into frame_[i / 2]; those outside the signal read 0.
int SpectrogramColumnWorker::FillOwnElements(const SpectrogramPassLayout& layout, int64_t start,
                                             const std::atomic<bool>& stop) {
    const int parity = static_cast<int>((layout.Channel - start) & 1);
    const int64_t count = layout.FFTSize / 2;
    // Packed element m is position start + 2m + parity: inside for m in [from, to).
    const int64_t from = std::clamp<int64_t>((-start - parity + 1) / 2, 0, count);
    const int64_t to = std::clamp<int64_t>((layout.ValueCount - start - parity + 1) / 2, from, count);
    const bool finished =
        FillInBlocks(frame_.data(), count, from, to, stop,
                     [&layout, start, parity](TComplexSingle* packed, int64_t lo, int64_t hi) {
                         if (hi > lo)
                             WindowEveryOtherValue(layout.Samples + (start + 2 * lo + parity),
                                                   layout.Window + (2 * lo + parity), hi - lo, packed + lo);
                     });
    return finished ? parity : -1;
}

// The levels of bins 1 .. bins - 1 into levels_: the bins are first gathered in bin order through the
// scramble table, so that their levels are computed in one straight pass.
void SpectrogramColumnWorker::ComputeLevels(int32_t bins, double gain, const uint16_t* scramble) {
    TComplexSingle* gathered = gathered_.data();
    const TComplexSingle* frame = frame_.data();
    if (bins <= 1) return;
    GatherBins(frame, scramble + 1, bins - 1, gathered + 1);
    BinLevels(gathered + 1, bins - 1, gain, levels_.data() + 1);
}

// The levels of all n bins into binLevels_: computed in one pass over the transformed frame as it lies
// in memory, then put in bin order through the scramble table.
void SpectrogramColumnWorker::ComputeLevelsInKernelOrder(int32_t n, double gain) {
    float* levels = levels_.data();
    BinLevels(frame_.data(), n, gain, levels);
    GatherLevels(levels, scramble_, n, binLevels_.data());
}

// Row r of the band shows bin BandRowBin(r) of each tile column, or is a marker row. A whole tile
// stores eight rows of bins at a time, turned from its columns into rows.
void SpectrogramColumnWorker::FlushTile(const SpectrogramPassLayout& layout, int64_t first,
                                        int64_t complete) {
    if (large_ || complete == 0) return;
    const bool whole = complete == kTileBlockColumns;
    const bool continuing = whole && first == linesEnd_;
    if (!continuing) FinishLines(layout);
    const int64_t rows = BandRowCount(layout);
    for (int64_t r = 0; r < rows;) {
        if (whole && DescendingBinRun(layout, r)) {
            const int64_t lowest = BandRowBin(layout, r) - (kTileRowBlock - 1);
            StoreTileLines(tile_.data() + lowest, tileStride_, ImageRow(layout, r + kTileRowBlock - 1, first),
                           -layout.Width, carry_.data() + r * kTileBlockColumns, continuing);
            r += kTileRowBlock;
            continue;
        }
        FlushRow(layout, first, complete, r);
        ++r;
    }
    if (whole) linesEnd_ = first + complete;
    StreamedStoresDone();
}

void SpectrogramColumnWorker::FinishLines(const SpectrogramPassLayout& layout) {
    if (linesEnd_ < 0) return;
    const int64_t rows = BandRowCount(layout);
    for (int64_t r = 0; r < rows; ++r) {
        if (!DescendingBinRun(layout, r)) continue;
        FinishTileLines(carry_.data() + r * kTileBlockColumns,
                        ImageRow(layout, r + kTileRowBlock - 1, linesEnd_), -layout.Width);
        r += kTileRowBlock - 1;
    }
    linesEnd_ = -1;
}

// Row r of the band for the first `complete` tile columns, pixel by pixel.
void SpectrogramColumnWorker::FlushRow(const SpectrogramPassLayout& layout, int64_t first, int64_t complete,
                                       int64_t r) {
    const int64_t y = layout.BandTop + r;
    TColor32* row = layout.Pixels + (y * layout.Width + first);
    if (const int64_t bin = BandRowBin(layout, r); bin >= 0) {
        const TColor32* colours = tile_.data() + bin;
        for (int64_t c = 0; c < complete; ++c) StreamPixel(row + c, colours[c * tileStride_]);
    } else {
        for (int64_t c = 0; c < complete; ++c) row[c] = MarkerPixel(layout.MarkerColour, first + c, y);
    }
}
