// The size of a spectrogram image, its memory estimate, the limit above which it is refused, and the
// status texts that describe it.
#pragma once

#include "spectral/SpectrogramSettings.h"

#include <cstdint>
#include <optional>
#include <string>

// Images whose estimate reaches this many megabytes are refused before anything is allocated.
inline constexpr double kMaxSpectrogramMegabytes = 501.0;

struct SpectrogramImageSize {
    int64_t Width = 0;    // W: columns, enough for the frames to slide fully past the end of the signal
    int32_t Height = 0;   // H = N div 2
    double Megabytes = 0; // W x H x 4 bytes in MiB

    bool Refused() const { return Megabytes >= kMaxSpectrogramMegabytes; }
};

// W, H and the estimate for valueCount values, FFT size fftSize (> 0) and column decimation d (> 0).
SpectrogramImageSize ComputeSpectrogramImageSize(int32_t valueCount, int32_t fftSize, int32_t decimation);

// The picture the settings give for valueCount values and channelCount channels. The list's own items
// give the size above. A wide item (columns k N apart) gives W = floor((valueCount + N) / (k N)) + 2,
// the same rule (frames slide fully past the end) as the size above at d = 1. The complex picture of
// two channels has N rows, the others N / 2.
SpectrogramImageSize ComputeSpectrogramImageSize(int32_t valueCount, const SpectrogramSettings& settings,
                                                 uint16_t channelCount);

// The first item of the image-width list, in list order from "X = Y" on (kXResolutionItems followed by
// kWideXResolutionItems, wide ones only when `wideItems`), whose picture of valueCount values at the
// other settings (FFT size, complex view) is not refused; nothing when none is small enough. The
// index is the one SelectXResolutionItem takes.
std::optional<int> FittingXResolutionItem(int32_t valueCount, const SpectrogramSettings& settings,
                                          uint16_t channelCount, bool wideItems);

// Consecutive columns start this many values apart (0 when decimation exceeds the FFT size).
inline int32_t SpectrogramHop(int32_t fftSize, int32_t decimation) {
    return fftSize / decimation;
}

// Positions between the frames of neighbouring columns: N / d, or k N for a wide item.
inline int32_t SpectrogramColumnHop(const SpectrogramSettings& settings) {
    if (settings.ColumnSpan > 1) return settings.FFTSize * settings.ColumnSpan;
    return SpectrogramHop(settings.FFTSize, settings.Decimation);
}

// Status panel 1 after a successful preparation, e.g. " 49x512 - 0.096 Mb bmp".
std::string ImageSizeText(int64_t width, int64_t height, double megabytes);

// Status panel 1 after a refusal: the size of the image kept and the estimate of the one refused,
// e.g. " ERRR!49x512 - 1744.000 Mb bmp".
std::string RefusedImageText(int64_t keptWidth, int64_t keptHeight, double megabytes);
