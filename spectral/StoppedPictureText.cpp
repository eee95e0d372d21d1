#include "spectral/StoppedPictureText.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// Columns drawn from the left in `row`: those up to the first transparent pixel.
int64_t DrawnInRow(const TBitmap32& picture, int32_t row) {
    int32_t column = 0;
    while (column < picture.Width() && (picture.Pixel(column, row) >> 24) != 0) ++column;
    return column;
}

} // namespace

int64_t DrawnColumns(const TBitmap32& picture, const PictureAxes& axes) {
    if (picture.Height() < 2 || picture.Width() < 1) return 0;
    // A row inside each band, clear of its first row (which the band above may have drawn) and of
    // the marker line in the middle of the complex picture.
    const int32_t bandRows =
        axes.ChannelCount == 2 && !axes.Complex ? picture.Height() / 2 : picture.Height();
    const int32_t inside = std::max(1, bandRows / 4);
    if (bandRows < picture.Height()) {
        const int64_t lower = DrawnInRow(picture, bandRows + inside);
        if (lower > 0) return lower;
    }
    return DrawnInRow(picture, inside);
}

std::string StoppedPictureText(const PictureAxes& axes, int64_t drawnColumns, double totalSeconds,
                               const std::string& timeText) {
    const double reached =
        drawnColumns <= 0 ? 0.0 : std::clamp(ColumnSeconds(axes, drawnColumns - 1), 0.0, totalSeconds);
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), " Stopped at %.1f s of %.1f s (", reached, totalSeconds);
    const std::string trimmed = timeText.empty() || timeText.front() != ' ' ? timeText : timeText.substr(1);
    return std::string(text.data()) + trimmed + ")";
}
