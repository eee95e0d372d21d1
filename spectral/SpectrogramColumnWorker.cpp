#include "spectral/SpectrogramColumnWorker.h"

#include "spectral/LevelToColor.h"

#include <algorithm>
#include <cmath>

namespace {

// The stop flag is polled after every block of this many values or rows: often enough that a stop
// takes effect at once, rarely enough to keep the inner loops tight.
constexpr int64_t kStopPollBlock = 1024;

bool StopSeen(const std::atomic<bool>& stop) {
    return stop.load(std::memory_order_relaxed);
}

// Element i of the frame starting at position start: the value there (0 outside the signal and at the
// other channel's positions) times the window. Real is float for the small transform, double for the
// large one; in both cases the product of the 16-bit value and the float coefficient is rounded once.
template <class Real, class Complex>
bool FillWindowedFrame(Complex* frame, const SpectrogramPassLayout& layout, int64_t start,
                       const std::atomic<bool>& stop) {
    const int64_t n = layout.FFTSize;
    for (int64_t block = 0; block < n; block += kStopPollBlock) {
        const int64_t end = std::min(n, block + kStopPollBlock);
        for (int64_t i = block; i < end; ++i) {
            const int64_t p = start + i;
            const bool read =
                p >= 0 && p < layout.ValueCount && (layout.Channel < 0 || (p & 1) == layout.Channel);
            const Real v = read ? static_cast<Real>(layout.Samples[p]) : Real(0);
            frame[i] = Complex{v * static_cast<Real>(layout.Window[i]), Real(0)};
        }
        if (StopSeen(stop)) return false;
    }
    return true;
}

// The colour of a bin of magnitude m: a magnitude of exactly 0 counts as 0.001, the level is rounded to
// a float before the colour ramp.
TColor32 BinColour(double magnitude, double gain) {
    if (magnitude == 0.0) magnitude = 0.001;
    const float level = static_cast<float>(magnitude * gain);
    return LevelToColor32(level);
}

} // namespace

SpectrogramColumnWorker::SpectrogramColumnWorker(int32_t fftSize)
    : large_(fftSize > kLargestSinglePrecisionFFT) {
    if (large_) {
        input_.resize(static_cast<std::size_t>(fftSize));
        output_.resize(static_cast<std::size_t>(fftSize));
    } else {
        frame_.resize(static_cast<std::size_t>(fftSize));
        scramble_ = FFTPow2ScrambleTable(fftSize).data();
    }
}

std::size_t SpectrogramColumnWorker::BufferBytes(int32_t fftSize) {
    const auto n = static_cast<std::size_t>(fftSize);
    return fftSize > kLargestSinglePrecisionFFT ? 2 * n * sizeof(TComplexDouble) : n * sizeof(TComplexSingle);
}

bool SpectrogramColumnWorker::Compute(const SpectrogramPassLayout& layout, int64_t x,
                                      const std::atomic<bool>& stop) {
    const int64_t start = x * layout.Hop - layout.FFTSize;
    if (!FillFrame(layout, start, stop)) return false;
    Transform(layout.FFTSize);
    return DrawColumn(layout, x, stop);
}

bool SpectrogramColumnWorker::FillFrame(const SpectrogramPassLayout& layout, int64_t start,
                                        const std::atomic<bool>& stop) {
    if (large_) return FillWindowedFrame<double>(input_.data(), layout, start, stop);
    return FillWindowedFrame<float>(frame_.data(), layout, start, stop);
}

// Both transforms are forward and unscaled. The small one is left in its kernel order and its bins are
// read through the scramble table, which gives exactly the values the reordering copy would; the
// large one runs out of place, so that it needs no temporary block of its own.
void SpectrogramColumnWorker::Transform(int32_t fftSize) {
    if (large_) {
        FourierForward(input_.data(), output_.data(), fftSize);
    } else {
        FFTPow2(frame_.data(), fftSize, false, false, false);
    }
}

// |Re| + |Im| of a bin, summed in extended precision and held as a double.
double SpectrogramColumnWorker::Magnitude(int32_t bin) const {
    if (large_) {
        const TComplexDouble& c = output_[static_cast<std::size_t>(bin)];
        return static_cast<double>(static_cast<long double>(std::fabs(c.re)) + std::fabs(c.im));
    }
    const TComplexSingle& c = frame_[scramble_[bin]];
    return static_cast<double>(std::fabs(c.re)) + static_cast<double>(std::fabs(c.im));
}

// Rows BandTop .. BandTop + BandBins: bins BandBins - 1 down to 1, then two marker rows (bin 0 and one
// row below the band, which the next band overwrites or which falls outside the image).
bool SpectrogramColumnWorker::DrawColumn(const SpectrogramPassLayout& layout, int64_t x,
                                         const std::atomic<bool>& stop) const {
    const int64_t rows = int64_t{layout.BandBins} + 1;
    for (int64_t block = 0; block < rows; block += kStopPollBlock) {
        const int64_t end = std::min(rows, block + kStopPollBlock);
        for (int64_t r = block; r < end; ++r) {
            const int64_t y = layout.BandTop + r;
            if (y >= layout.Height) continue;
            const int64_t bin = layout.BandBins - 1 - r;
            const TColor32 colour = bin >= 1 ? BinColour(Magnitude(static_cast<int32_t>(bin)), layout.Gain)
                                    : ((x + y) & 1) != 0 ? layout.MarkerColour
                                                         : kOpaqueBlack;
            layout.Pixels[y * layout.Width + x] = colour;
        }
        if (StopSeen(stop)) return false;
    }
    return true;
}
