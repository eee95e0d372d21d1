#include "spectral/SpectrogramImageSize.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

// "%1.3f" with "." as the decimal separator whatever the locale.
std::string FormatMegabytes(double megabytes) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), megabytes, std::chars_format::fixed, 3);
    return std::string(buffer.data(), result.ptr);
}

// prefix + "WxH - MB Mb bmp", appended piece by piece (GCC 12 warns wrongly on literal + string).
std::string SizeAndEstimate(const char* prefix, int64_t width, int64_t height, double megabytes) {
    std::string text = prefix;
    text += std::to_string(width);
    text += 'x';
    text += std::to_string(height);
    text += " - ";
    text += FormatMegabytes(megabytes);
    text += " Mb bmp";
    return text;
}

} // namespace

SpectrogramImageSize ComputeSpectrogramImageSize(int32_t valueCount, int32_t fftSize, int32_t decimation) {
    // r is formed in extended precision and kept as a double; the width sum is rounded to nearest,
    // ties to even (the default rounding mode of nearbyint).
    const double r = static_cast<double>(static_cast<long double>(valueCount) / fftSize);
    const double frac = r - std::trunc(r);
    const long double d = decimation;
    const long double sum = static_cast<long double>(r) * d + d + (1.0L - frac);

    SpectrogramImageSize size;
    size.Width = static_cast<int64_t>(std::nearbyintl(sum)) + 1;
    size.Height = fftSize / 2;
    const int64_t bytes = size.Width * int64_t{size.Height} * 4;
    size.Megabytes = static_cast<double>(bytes) / 1024.0 / 1024.0;
    return size;
}

SpectrogramImageSize ComputeSpectrogramImageSize(int32_t valueCount, const SpectrogramSettings& settings,
                                                 uint16_t channelCount) {
    const int32_t n = settings.FFTSize;
    SpectrogramImageSize size = ComputeSpectrogramImageSize(valueCount, n, settings.Decimation);
    if (settings.ColumnSpan > 1) {
        const int64_t hop = SpectrogramColumnHop(settings);
        size.Width = (std::max<int64_t>(valueCount, 0) + n) / hop + 2;
    }
    if (ComplexPicture(settings, channelCount)) size.Height = n;
    const int64_t bytes = size.Width * int64_t{size.Height} * 4;
    size.Megabytes = static_cast<double>(bytes) / 1024.0 / 1024.0;
    return size;
}

std::optional<int> FittingXResolutionItem(int32_t valueCount, const SpectrogramSettings& settings,
                                          uint16_t channelCount, bool wideItems) {
    const int items = int(kXResolutionItems.size()) + (wideItems ? int(kWideXResolutionItems.size()) : 0);
    for (int item = 0; item < items; ++item) {
        SpectrogramSettings candidate = settings;
        SelectXResolutionItem(item, candidate);
        if (!ComputeSpectrogramImageSize(valueCount, candidate, channelCount).Refused()) return item;
    }
    return std::nullopt;
}

std::string ImageSizeText(int64_t width, int64_t height, double megabytes) {
    return SizeAndEstimate(" ", width, height, megabytes);
}

std::string RefusedImageText(int64_t keptWidth, int64_t keptHeight, double megabytes) {
    return SizeAndEstimate(" ERRR!", keptWidth, keptHeight, megabytes);
}
