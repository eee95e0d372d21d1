// Reading a spectrogram picture back: the time of a column, the channel, bin and frequency of a row,
// the extent of a rectangle over the picture, and the level of one bin computed again from the samples.
// Everything follows the picture's own layout (spectral/SpectrogramPictureLayout.h), hop and window.
//
// Times refer to the centre of a column's frame: column x, which shows positions x * hop - N ..
// x * hop - 1, stands for position x * hop - N/2. A position is one value; with two channels the values
// of both channels alternate, so positions run at twice the sample rate. The complex picture of two
// channels has N rows of signed bins (see spectral/SpectrogramPictureLayout.h) and its column x stands
// for the centre of its frame of N samples, the same time to within half a sample.
#pragma once

#include "signal/SignalStore.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

// What a shown picture was computed with.
struct PictureAxes {
    int32_t FFTSize = 0;       // N
    int32_t Hop = 0;           // positions between columns; 0: every column shows the same frame
    int WindowIndex = 0;       // item index of the window function (see spectral/WindowTable.h)
    uint16_t ChannelCount = 1; // 2: two bands, channel 1 on top
    int32_t SampleRate = 0;    // Hz, of each channel
    int32_t Width = 0;         // columns
    int32_t Height = 0;        // rows (N/2; N for the complex picture)
    bool Complex = false;      // the complex spectrum of two channels, one band from -R/2 to +R/2
    int64_t CentreHertz = 0;   // the recording's radio frequency at 0 Hz; 0 when none is known

    bool Valid() const { return FFTSize >= 16 && Width > 0 && Height == (Complex ? FFTSize : FFTSize / 2); }
};

// The axes of the picture in state.SpectrogramBitmap, just computed from `store` with `settings`.
PictureAxes AxesOfPicture(const SpectrogramState& state, const SignalStore& store,
                          const SpectrogramSettings& settings);

// Positions per second: the sample rate, twice it with two channels.
double PositionRate(const PictureAxes& axes);
// Width of one bin in Hz: R / N with one signal and in the complex picture, 2R / N with two bands.
double BinHertz(const PictureAxes& axes);

struct RowReading {
    bool Inside = false; // the row lies on the picture
    int32_t Band = 0;    // 0: the top (or only) band
    int Channel = -1;    // -1: the one signal; 0 / 1: channel 1 / channel 2
    int32_t Bin = 0;     // bin of the band's spectrum, signed in the complex picture; 0 is the marker row
    double Hertz = 0;    // centre frequency of the bin (negative below 0 Hz in the complex picture)
};

RowReading ReadRow(const PictureAxes& axes, int32_t row);

// Time in seconds of column `column` (the centre of its frame); negative for frames before the signal.
double ColumnSeconds(const PictureAxes& axes, int64_t column);
// Seconds between neighbouring columns.
double SecondsPerColumn(const PictureAxes& axes);

// Continuous picture coordinates: column x covers x .. x + 1 and row y covers y .. y + 1.
// Seconds at picture x, linear, so that the middle of column x gives ColumnSeconds(x).
double SecondsAtPictureX(const PictureAxes& axes, double x);
double PictureXAtSeconds(const PictureAxes& axes, double seconds);

// Bands of the picture: two for two channels, one for one channel and in the complex picture.
int32_t PictureBandCount(const PictureAxes& axes);
// The continuous picture y of `hertz` (baseband) in band `band`, kept within the band: the middle of a
// row shows its bin's frequency exactly.
double PictureYAtHertz(const PictureAxes& axes, int32_t band, double hertz);

// A rectangle in continuous picture coordinates.
struct PictureRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

// The rectangle that covers the same times and frequencies on a picture with axes `to` as `rect` does
// on one with axes `from`. A frequency keeps its band when both pictures have the same bands, and goes
// to the top band otherwise.
PictureRect RemapPictureRect(const PictureRect& rect, const PictureAxes& from, const PictureAxes& to);

// The extent of a marker rectangle: from the column and row under its left/top edge to those under its
// right/bottom edge, each edge kept on the picture.
struct MarkerReading {
    double StartSeconds = 0; // time of the first column
    double DeltaSeconds = 0; // last column's time minus the first's
    RowReading Low;          // the row under the bottom edge
    RowReading High;         // the row under the top edge
    bool OneBand = true;     // both edges in the same band: DeltaHertz is meaningful
    double DeltaHertz = 0;   // High.Hertz - Low.Hertz
};

MarkerReading ReadMarker(const PictureAxes& axes, const PictureRect& rect);

// The window a level is computed with, and its sums over the even and the odd positions of the frame.
struct ReadoutWindow {
    int WindowIndex = -1;
    int32_t FFTSize = 0;
    TWindowTable Table;
    double Sum[2] = {0, 0};
};

// The coefficients of window `windowIndex` for N = fftSize, built by the picture's own BuildWindowTable.
ReadoutWindow MakeReadoutWindow(int windowIndex, int32_t fftSize);

// The dBFS of a bin's magnitude |X| against `fullScale`, what a full-scale tone gives there:
// 20 log10(|X| / fullScale); -infinity for 0. The readout and the level legend both read levels so.
double MagnitudeDbfs(double magnitude, double fullScale);

// What a full-scale tone gives at a bin of the picture with these axes: 32767 / 2 times the window's
// sum over the positions the channel occupies (`parity`, 0 or 1, picks them with two bands), 32767
// times it for bin 0; in the complex picture 32767 times the window's sum.
double BinFullScale(const PictureAxes& axes, const ReadoutWindow& window, int parity, bool binZero);

// The samples a level is read from.
struct SampleSpan {
    const int16_t* Samples = nullptr;
    int64_t ValueCount = 0; // positions outside 0 .. ValueCount - 1 read 0
};

// The level in dBFS of the bin that `row` shows in column `column`: the frame is filled as the picture
// fills it (positions outside the signal and the other channel's positions read 0), windowed and
// transformed at that one bin. |X| is taken against what a full-scale sine (amplitude 32767) at the
// bin gives, 32767 / 2 times the sum of the window over the positions the channel occupies (32767 times
// it for bin 0), so that such a sine reads 0 dBFS whatever the window and N. In the complex picture
// the reference is a full-scale complex tone I + jQ = 32767 e^(i 2 pi f t), which gives 32767 times
// the window's sum. Silence reads -infinity.
// Nothing when `cancel` is set on the way, the row is not on the picture, or the window sums to 0.
std::optional<double> BinLevelDbfs(const SampleSpan& samples, const PictureAxes& axes,
                                   const ReadoutWindow& window, int64_t column, const RowReading& row,
                                   const std::atomic<bool>* cancel = nullptr);
