#include "spectral/SpectrogramColumnWorker.h"

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
constexpr int32_t kSmallTileColumns = 16;

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
    const int16_t* samples = layout.Samples;
    const float* window = layout.Window;
    if (layout.Channel < 0) {
        for (int64_t i = lo; i < hi; ++i) frame[i] = {Windowed<float>(samples[start + i], window[i]), 0.0f};
        return;
    }
    std::fill(frame + lo, frame + hi, TComplexSingle{0.0f, 0.0f});
    const int64_t own = OwnPosition(layout, start + lo) ? lo : lo + 1;
    for (int64_t i = own; i < hi; i += 2) frame[i].re = Windowed<float>(samples[start + i], window[i]);
}

// Element k of the large frame starting at position start; positions outside the signal read 0.
struct LargeFrameSource {
    const SpectrogramPassLayout& Layout;
    int64_t Start;

    TComplexDouble operator()(int64_t k) const {
        const int64_t p = Start + k;
        if (p < 0 || p >= Layout.ValueCount || !OwnPosition(Layout, p)) return {0.0, 0.0};
        return {Windowed<double>(Layout.Samples[p], Layout.Window[k]), 0.0};
    }
};

// The level of a bin of magnitude m: a magnitude of exactly 0 counts as 0.001; the level is rounded to
// a float before the colour ramp.
float BinLevel(double magnitude, double gain) {
    if (magnitude == 0.0) magnitude = 0.001;
    return static_cast<float>(magnitude * gain);
}

// The rows of a band above its marker rows: bins BandBins - 1 down to 1.
int64_t ShownRows(const SpectrogramPassLayout& layout) {
    return int64_t{layout.BandBins} - 1;
}

// Band rows 0 .. rows - 1 of column x into out[r * stride]: bins BandBins - 1 down to 1 coloured from
// level(bin), a block of rows at a time, then the marker rows (bin 0, and one row below the band,
// which the next band overwrites or which falls outside the image). False when stop was seen before
// the last row.
template <class Level>
bool ColourRows(const SpectrogramPassLayout& layout, int64_t x, TColor32* out, int64_t stride, int64_t rows,
                const Level& level, const std::atomic<bool>& stop) {
    std::array<float, kStopPollBlock> levels;
    std::array<TColor32, kStopPollBlock> colours;
    const int64_t shown = std::min(rows, ShownRows(layout));
    for (int64_t block = 0; block < rows; block += kStopPollBlock) {
        if (block > 0 && StopSeen(stop)) return false;
        const int64_t end = std::min(rows, block + kStopPollBlock);
        const int64_t shownEnd = std::clamp(shown, block, end);
        for (int64_t r = block; r < shownEnd; ++r) levels[r - block] = level(layout.BandBins - 1 - r);
        LevelsToColours(levels.data(), colours.data(), static_cast<std::size_t>(shownEnd - block));
        for (int64_t r = block; r < shownEnd; ++r) out[r * stride] = colours[r - block];
        for (int64_t r = shownEnd; r < end; ++r)
            out[r * stride] = MarkerPixel(layout.MarkerColour, x, layout.BandTop + r);
    }
    return true;
}

} // namespace

SpectrogramColumnWorker::SpectrogramColumnWorker(int32_t fftSize)
    : large_(fftSize > kLargestSinglePrecisionFFT), tileColumns_(large_ ? 1 : kSmallTileColumns),
      tileStride_(fftSize / 2) {
    const auto n = static_cast<std::size_t>(fftSize);
    if (large_) {
        plan_ = &MixedRadixPlan::For(fftSize);
        // Not cleared: every column writes the whole array before reading it.
        spectrum_ = std::make_unique_for_overwrite<TComplexDouble[]>(n);
        return;
    }
    frame_.resize(n);
    scramble_ = FFTPow2ScrambleTable(fftSize).data();
    tile_.resize(n / 2 * static_cast<std::size_t>(tileColumns_));
    levels_.resize(n / 2);
}

std::size_t SpectrogramColumnWorker::BufferBytes(int32_t fftSize) {
    const auto n = static_cast<std::size_t>(fftSize);
    if (fftSize > kLargestSinglePrecisionFFT) return n * sizeof(TComplexDouble);
    return n * sizeof(TComplexSingle) + n / 2 * kSmallTileColumns * sizeof(TColor32) + n / 2 * sizeof(float);
}

int64_t SpectrogramColumnWorker::ComputeColumns(const SpectrogramPassLayout& layout, int64_t first,
                                                int64_t end, const std::atomic<bool>& stop,
                                                const ColumnDone& columnDone) {
    for (int64_t x = first; x < end; ++x) {
        const bool finished =
            large_ ? ComputeLargeColumn(layout, x, stop) : ComputeSmallColumn(layout, x, x - first, stop);
        if (!finished) {
            FlushTile(layout, first, x - first);
            return x - first;
        }
        columnDone();
    }
    FlushTile(layout, first, end - first);
    return end - first;
}

// The small transform is forward and unscaled and leaves its bins in kernel order; they are read
// through the scramble table, which gives exactly the values the reordering copy would.
bool SpectrogramColumnWorker::ComputeSmallColumn(const SpectrogramPassLayout& layout, int64_t x, int64_t c,
                                                 const std::atomic<bool>& stop) {
    if (!FillFrame(layout, x * layout.Hop - layout.FFTSize, stop)) return false;
    FFTPow2(frame_.data(), layout.FFTSize, FFTDirection::Forward, FFTScaling::None, FFTOrder::Kernel);
    ComputeLevels(layout.BandBins, layout.Gain);
    const auto shown = static_cast<std::size_t>(ShownRows(layout));
    LevelsToColours(levels_.data() + 1, tile_.data() + c * tileStride_ + 1, shown);
    return true;
}

// The large frame is written straight in the order the transform's passes take it, so that one array
// holds the frame and its transform (forward, unscaled, bins in natural order). The bins' magnitudes
// are summed in extended precision and held as doubles.
bool SpectrogramColumnWorker::ComputeLargeColumn(const SpectrogramPassLayout& layout, int64_t x,
                                                 const std::atomic<bool>& stop) {
    TComplexDouble* spectrum = spectrum_.get();
    const LargeFrameSource frame{layout, x * layout.Hop - layout.FFTSize};
    if (!plan_->Permute(frame, spectrum, &stop) || !plan_->RunPasses(spectrum, &stop)) return false;
    const double gain = layout.Gain;
    const auto level = [spectrum, gain](int64_t bin) {
        const TComplexDouble& c = spectrum[bin];
        return BinLevel(static_cast<double>(static_cast<long double>(std::fabs(c.re)) + std::fabs(c.im)),
                        gain);
    };
    const int64_t rows = std::min<int64_t>(int64_t{layout.BandBins} + 1, layout.Height - layout.BandTop);
    TColor32* column = layout.Pixels + (int64_t{layout.BandTop} * layout.Width + x);
    return ColourRows(layout, x, column, layout.Width, rows, level, stop);
}

// The windowed frame of positions start .. start + N - 1; positions outside the signal read 0.
bool SpectrogramColumnWorker::FillFrame(const SpectrogramPassLayout& layout, int64_t start,
                                        const std::atomic<bool>& stop) {
    TComplexSingle* frame = frame_.data();
    const int64_t n = layout.FFTSize;
    const int64_t insideFrom = std::clamp<int64_t>(-start, 0, n);
    const int64_t insideTo = std::clamp<int64_t>(layout.ValueCount - start, insideFrom, n);
    for (int64_t block = 0; block < n; block += kStopPollBlock) {
        const int64_t end = std::min(n, block + kStopPollBlock);
        const int64_t lo = std::clamp(insideFrom, block, end);
        const int64_t hi = std::clamp(insideTo, lo, end);
        std::fill(frame + block, frame + lo, TComplexSingle{0.0f, 0.0f});
        FillInside(frame, layout, start, lo, hi);
        std::fill(frame + hi, frame + end, TComplexSingle{0.0f, 0.0f});
        if (StopSeen(stop)) return false;
    }
    return true;
}

// The levels of bins 1 .. bins - 1 into levels_: |Re| + |Im| held as a double, times the gain.
// Computed apart from the colours so that this loop stays free of branches.
void SpectrogramColumnWorker::ComputeLevels(int32_t bins, double gain) {
    float* levels = levels_.data();
    for (int32_t k = 1; k < bins; ++k) {
        const TComplexSingle& c = frame_[scramble_[k]];
        levels[k] =
            BinLevel(static_cast<double>(std::fabs(c.re)) + static_cast<double>(std::fabs(c.im)), gain);
    }
}

// Row r of the band shows bin BandBins - 1 - r of each tile column; the rows from bin 0 down are markers.
void SpectrogramColumnWorker::FlushTile(const SpectrogramPassLayout& layout, int64_t first,
                                        int64_t complete) {
    if (large_ || complete == 0) return;
    const int64_t rows = std::min<int64_t>(int64_t{layout.BandBins} + 1, layout.Height - layout.BandTop);
    const int64_t shown = std::min(rows, ShownRows(layout));
    for (int64_t r = 0; r < rows; ++r) {
        const int64_t y = layout.BandTop + r;
        TColor32* row = layout.Pixels + (y * layout.Width + first);
        if (r < shown) {
            const TColor32* colours = tile_.data() + (layout.BandBins - 1 - r);
            for (int64_t c = 0; c < complete; ++c) row[c] = colours[c * tileStride_];
        } else {
            for (int64_t c = 0; c < complete; ++c) row[c] = MarkerPixel(layout.MarkerColour, first + c, y);
        }
    }
}
