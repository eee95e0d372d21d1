// How a spectrogram image is laid out. Column x is the frame of positions x * hop - N .. x * hop - 1
// (column 0 ends just before the signal). Its rows form one band of N/2 rows for one signal, or two bands
// of N/4 rows, channel 1 on top and channel 2 below, for two interleaved channels. Within a band of B
// rows, row r shows bin B - 1 - r of its channel's spectrum: the top row is the highest bin shown and
// the band's last row is bin 0, drawn as the marker line. Two channels keep every other position of
// the N-position frame, so their bins are twice as wide: bin k stands for k * R / N with one signal and
// k * 2R / N with two, R being the rate of each channel.
//
// The complex picture of two channels is one band of N rows: column x is the frame of N samples
// I + jQ (I at the even positions, Q at the odd ones) centred where the two-band frame of column x is
// centred, and row r shows the signed bin N/2 - 1 - r, from +R/2 - R/N at the top to -R/2 at the
// bottom; row N/2 - 1, 0 Hz, is the marker line.
#pragma once

#include <cstdint>

// Bands of the image for a channel count: 2 for two channels, 1 for anything else.
constexpr int32_t SpectrogramBandCount(uint16_t channelCount) {
    return channelCount == 2 ? 2 : 1;
}

// Rows of each band: N/2 for one band, N/4 for two.
constexpr int32_t SpectrogramBandRows(int32_t fftSize, uint16_t channelCount) {
    return fftSize / (2 * SpectrogramBandCount(channelCount));
}

// First image row of band `band` (0 = the top band).
constexpr int32_t SpectrogramBandTop(int32_t fftSize, uint16_t channelCount, int32_t band) {
    return band * SpectrogramBandRows(fftSize, channelCount);
}

// The bin shown by row `rowInBand` of a band of `bandRows` rows (0 is the marker row).
constexpr int32_t SpectrogramBinOfBandRow(int32_t bandRows, int32_t rowInBand) {
    return bandRows - 1 - rowInBand;
}

// First position of the frame that column `column` shows.
constexpr int64_t SpectrogramColumnStart(int64_t column, int32_t hop, int32_t fftSize) {
    return column * hop - fftSize;
}

// First sample (pair of positions) of the complex frame of column `column`: the frame of positions
// x * hop - 3N/2 .. x * hop + N/2 - 1, started at the even position at or before it.
constexpr int64_t SpectrogramComplexColumnStart(int64_t column, int32_t hop, int32_t fftSize) {
    const int64_t position = column * hop - int64_t{3} * fftSize / 2;
    return position >= 0 ? position / 2 : -((1 - position) / 2);
}

// Signed bin shown by row `row` of the complex picture: N/2 - 1 - row.
constexpr int64_t SpectrogramComplexSignedBin(int32_t fftSize, int64_t row) {
    return int64_t{fftSize} / 2 - 1 - row;
}

// The transform's bin (0 .. N - 1) shown by row `row` of the complex picture, -1 for the 0 Hz marker row.
constexpr int64_t SpectrogramComplexBinOfRow(int32_t fftSize, int64_t row) {
    const int64_t bin = SpectrogramComplexSignedBin(fftSize, row);
    return bin == 0 ? -1 : (bin + fftSize) % fftSize;
}
