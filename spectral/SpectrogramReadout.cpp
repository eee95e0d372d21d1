#include "spectral/SpectrogramReadout.h"

#include "spectral/SpectrogramImageSize.h"
#include "spectral/SpectrogramPictureLayout.h"
#include "spectral/WindowTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kFullScale = 32767.0;

// The cancel flag is looked at after every block of this many values.
constexpr int64_t kCancelPollBlock = 65536;

int32_t BandCount(const PictureAxes& axes) {
    return axes.Complex ? 1 : SpectrogramBandCount(axes.ChannelCount);
}

int32_t BandRows(const PictureAxes& axes) {
    return axes.Complex ? axes.FFTSize : SpectrogramBandRows(axes.FFTSize, axes.ChannelCount);
}

int32_t BandTop(const PictureAxes& axes, int32_t band) {
    return axes.Complex ? 0 : SpectrogramBandTop(axes.FFTSize, axes.ChannelCount, band);
}

// Rows of the band above the bottom edge of its 0 Hz row: all of a real band's, half the complex one's.
int32_t RowsDownToZeroHertz(const PictureAxes& axes) {
    return axes.Complex ? axes.FFTSize / 2 : BandRows(axes);
}

int32_t BandOfY(const PictureAxes& axes, double y) {
    const int32_t rows = BandRows(axes);
    if (rows <= 0) return 0;
    return std::clamp(static_cast<int32_t>(std::floor(y / rows)), 0, BandCount(axes) - 1);
}

// The frequency at continuous picture y within band `band`: the middle of row r shows its bin exactly.
double HertzAtPictureY(const PictureAxes& axes, int32_t band, double y) {
    const double inBand = y - double(BandTop(axes, band));
    return (RowsDownToZeroHertz(axes) - 0.5 - inBand) * BinHertz(axes);
}

// exp(-2 pi i * index / n) for an index already reduced below n.
void ExactTwiddle(int64_t index, int32_t n, double& c, double& s) {
    const double angle = 2.0 * std::numbers::pi * double(index) / double(n);
    c = std::cos(angle);
    s = -std::sin(angle);
}

double Dbfs(double re, double im, double fullScale) {
    return MagnitudeDbfs(std::hypot(re, im), fullScale);
}

// The level of the complex picture's signed bin row.Bin: the frame of N samples I + jQ from the
// column's start, windowed and transformed at that bin.
std::optional<double> ComplexBinLevelDbfs(const SampleSpan& samples, const PictureAxes& axes,
                                          const ReadoutWindow& window, int64_t column, const RowReading& row,
                                          const std::atomic<bool>* cancel) {
    const int32_t n = axes.FFTSize;
    const double fullScale = BinFullScale(axes, window, 0, false);
    if (!(fullScale > 0)) return std::nullopt;
    const int64_t start = SpectrogramComplexColumnStart(column, axes.Hop, n);
    const int64_t count = samples.Samples != nullptr ? samples.ValueCount : 0;
    const auto value = [&](int64_t p) { return p < count ? double(samples.Samples[p]) : 0.0; };
    const int64_t inFrom = std::clamp<int64_t>(-start, 0, n);
    const int64_t inTo = std::clamp<int64_t>((count + 1) / 2 - start, inFrom, n);

    const int64_t bin = (int64_t{row.Bin} % n + n) % n;
    double stepC = 0, stepS = 0, c = 0, s = 0;
    ExactTwiddle(bin, n, stepC, stepS);
    ExactTwiddle(bin * inFrom % n, n, c, s);
    double re = 0, im = 0;
    for (int64_t i = inFrom; i < inTo; ++i) {
        if (cancel != nullptr && (i - inFrom) % kCancelPollBlock == 0 &&
            cancel->load(std::memory_order_relaxed))
            return std::nullopt;
        const double w = double(window.Table[size_t(i)]);
        const double vr = value(2 * (start + i)) * w;
        const double vi = value(2 * (start + i) + 1) * w;
        re += vr * c - vi * s;
        im += vr * s + vi * c;
        const double nextC = c * stepC - s * stepS;
        s = c * stepS + s * stepC;
        c = nextC;
    }
    return Dbfs(re, im, fullScale);
}

} // namespace

double MagnitudeDbfs(double magnitude, double fullScale) {
    if (magnitude == 0) return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(magnitude / fullScale);
}

double BinFullScale(const PictureAxes& axes, const ReadoutWindow& window, int parity, bool binZero) {
    if (axes.Complex) return kFullScale * (window.Sum[0] + window.Sum[1]);
    const double coherent = axes.ChannelCount == 2 ? window.Sum[parity & 1] : window.Sum[0] + window.Sum[1];
    return kFullScale * coherent * (binZero ? 1.0 : 0.5);
}

PictureAxes AxesOfPicture(const SpectrogramState& state, const SignalStore& store,
                          const SpectrogramSettings& settings) {
    PictureAxes axes;
    axes.FFTSize = state.CurrentFFTSize;
    SpectrogramSettings shown = settings;
    shown.FFTSize = axes.FFTSize;
    axes.Hop = SpectrogramColumnHop(shown);
    axes.Complex = ComplexPicture(settings, store.ChannelCount);
    axes.WindowIndex = settings.WindowIndex;
    axes.ChannelCount = store.ChannelCount;
    axes.SampleRate = store.SampleRate;
    axes.Width = state.SpectrogramBitmap.Width();
    axes.Height = state.SpectrogramBitmap.Height();
    return axes;
}

double PositionRate(const PictureAxes& axes) {
    return double(axes.SampleRate) * SpectrogramBandCount(axes.ChannelCount);
}

double BinHertz(const PictureAxes& axes) {
    if (axes.FFTSize <= 0) return 0.0;
    return (axes.Complex ? double(axes.SampleRate) : PositionRate(axes)) / axes.FFTSize;
}

RowReading ReadRow(const PictureAxes& axes, int32_t row) {
    RowReading reading;
    const int32_t rows = BandRows(axes);
    if (!axes.Valid() || row < 0 || row >= axes.Height || rows <= 0) return reading;
    reading.Inside = true;
    reading.Band = row / rows;
    reading.Channel = BandCount(axes) == 2 ? reading.Band : -1;
    reading.Bin = axes.Complex ? int32_t(SpectrogramComplexSignedBin(axes.FFTSize, row))
                               : SpectrogramBinOfBandRow(rows, row - reading.Band * rows);
    reading.Hertz = reading.Bin * BinHertz(axes);
    return reading;
}

double ColumnSeconds(const PictureAxes& axes, int64_t column) {
    const int64_t centre =
        axes.Complex ? 2 * (SpectrogramComplexColumnStart(column, axes.Hop, axes.FFTSize) + axes.FFTSize / 2)
                     : SpectrogramColumnStart(column, axes.Hop, axes.FFTSize) + axes.FFTSize / 2;
    const double rate = PositionRate(axes);
    return rate > 0 ? double(centre) / rate : 0.0;
}

double SecondsPerColumn(const PictureAxes& axes) {
    const double rate = PositionRate(axes);
    return rate > 0 ? double(axes.Hop) / rate : 0.0;
}

double SecondsAtPictureX(const PictureAxes& axes, double x) {
    return ColumnSeconds(axes, 0) + (x - 0.5) * SecondsPerColumn(axes);
}

double PictureXAtSeconds(const PictureAxes& axes, double seconds) {
    const double perColumn = SecondsPerColumn(axes);
    if (perColumn <= 0) return 0.5;
    return (seconds - ColumnSeconds(axes, 0)) / perColumn + 0.5;
}

int32_t PictureBandCount(const PictureAxes& axes) {
    return BandCount(axes);
}

double PictureYAtHertz(const PictureAxes& axes, int32_t band, double hertz) {
    const double binHertz = BinHertz(axes);
    const double inBand = binHertz > 0 ? RowsDownToZeroHertz(axes) - 0.5 - hertz / binHertz : 0.0;
    return double(BandTop(axes, band)) + std::clamp(inBand, 0.0, double(BandRows(axes)));
}

PictureRect RemapPictureRect(const PictureRect& rect, const PictureAxes& from, const PictureAxes& to) {
    if (!from.Valid() || !to.Valid()) return rect;
    const bool sameBands = BandCount(from) == BandCount(to);
    const auto x = [&](double fromX) {
        if (SecondsPerColumn(from) <= 0 || SecondsPerColumn(to) <= 0) return fromX;
        return PictureXAtSeconds(to, SecondsAtPictureX(from, fromX));
    };
    const auto y = [&](double fromY, int32_t band) {
        return PictureYAtHertz(to, sameBands ? band : 0, HertzAtPictureY(from, band, fromY));
    };
    const int32_t topBand = BandOfY(from, rect.Top);
    const int32_t bottomBand = BandOfY(from, rect.Bottom);
    return {x(rect.Left), y(rect.Top, topBand), x(rect.Right), y(rect.Bottom, bottomBand)};
}

MarkerReading ReadMarker(const PictureAxes& axes, const PictureRect& rect) {
    MarkerReading reading;
    if (!axes.Valid()) return reading;
    const auto column = [&](double x) {
        return std::clamp(static_cast<int64_t>(std::floor(x)), int64_t{0}, int64_t{axes.Width} - 1);
    };
    const auto row = [&](double y) {
        return static_cast<int32_t>(std::clamp(std::floor(y), 0.0, double(axes.Height - 1)));
    };
    const int64_t first = column(std::min(rect.Left, rect.Right));
    const int64_t last = column(std::max(rect.Left, rect.Right));
    reading.StartSeconds = ColumnSeconds(axes, first);
    reading.DeltaSeconds = ColumnSeconds(axes, last) - reading.StartSeconds;
    reading.High = ReadRow(axes, row(std::min(rect.Top, rect.Bottom)));
    reading.Low = ReadRow(axes, row(std::max(rect.Top, rect.Bottom)));
    reading.OneBand = reading.High.Band == reading.Low.Band;
    reading.DeltaHertz = reading.High.Hertz - reading.Low.Hertz;
    return reading;
}

ReadoutWindow MakeReadoutWindow(int windowIndex, int32_t fftSize) {
    ReadoutWindow window;
    window.WindowIndex = windowIndex;
    window.FFTSize = fftSize;
    const bool known = windowIndex >= 0 && windowIndex <= kWindowExperimental;
    BuildWindowTable(known ? uint8_t(windowIndex) : uint8_t(255), fftSize, window.Table);
    for (size_t i = 0; i < window.Table.size(); ++i) window.Sum[i & 1] += double(window.Table[i]);
    return window;
}

std::optional<double> BinLevelDbfs(const SampleSpan& samples, const PictureAxes& axes,
                                   const ReadoutWindow& window, int64_t column, const RowReading& row,
                                   const std::atomic<bool>* cancel) {
    const int32_t n = axes.FFTSize;
    if (!row.Inside || !axes.Valid() || window.Table.size() != size_t(n)) return std::nullopt;
    if (axes.Complex) return ComplexBinLevelDbfs(samples, axes, window, column, row, cancel);
    const int64_t start = SpectrogramColumnStart(column, axes.Hop, n);
    // With two channels the channel holds the positions of its parity; `first` is its first frame index.
    const int64_t stride = row.Channel < 0 ? 1 : 2;
    const int64_t first = row.Channel < 0 ? 0 : ((start & 1) == row.Channel ? 0 : 1);
    const double fullScale = BinFullScale(axes, window, int(first), row.Bin == 0);
    if (!(fullScale > 0)) return std::nullopt;

    // Frame indexes whose positions lie inside the signal, from the channel's first one.
    const int64_t count = samples.Samples != nullptr ? samples.ValueCount : 0;
    const int64_t inFrom = std::clamp<int64_t>(-start, 0, n);
    const int64_t inTo = std::clamp<int64_t>(count - start, inFrom, n);
    int64_t i = inFrom + ((first - inFrom) % stride + stride) % stride;

    // The twiddle factor starts exact and turns by one step per value: in double precision its error
    // after millions of steps is still some nine orders below a reading's last decimal.
    const int64_t bin = row.Bin;
    double stepC = 0, stepS = 0, c = 0, s = 0;
    ExactTwiddle(bin * stride % n, n, stepC, stepS);
    ExactTwiddle(bin * i % n, n, c, s);
    double re = 0, im = 0;
    for (int64_t done = 0; i < inTo; i += stride, ++done) {
        if (cancel != nullptr && done % kCancelPollBlock == 0 && cancel->load(std::memory_order_relaxed))
            return std::nullopt;
        const double v = double(samples.Samples[start + i]) * double(window.Table[size_t(i)]);
        re += v * c;
        im += v * s;
        const double nextC = c * stepC - s * stepS;
        s = c * stepS + s * stepC;
        c = nextC;
    }
    return Dbfs(re, im, fullScale);
}
