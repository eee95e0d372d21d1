#include "app/ReadoutText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// One decimal more than the step itself shows, so that neighbouring columns or bins read apart.
int DecimalsFor(double resolution, int most) {
    if (!(resolution > 0) || !std::isfinite(resolution)) return std::min(3, most);
    return std::clamp(int(std::ceil(-std::log10(resolution) - 1e-9)) + 1, 0, most);
}

std::string Fixed(double value, int decimals) {
    if (value == 0) value = 0; // no "-0.000"
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find_first_not_of("-0.") == std::string::npos && text.front() == '-') text.erase(0, 1);
    return text;
}

// "14000.0": a frequency without its unit.
std::string HertzNumber(double hertz, double resolution) {
    return Fixed(hertz, DecimalsFor(resolution, 6));
}

// Whether the picture's frequencies are read as radio frequencies: the complex picture of a recording
// whose centre frequency is known.
bool RadioFrequencies(const PictureAxes& axes) {
    return axes.Complex && axes.CentreHertz > 0;
}

// A frequency of the picture without its unit: Hz, or the radio frequency centre + f in MHz.
std::string FrequencyNumber(const PictureAxes& axes, double hertz) {
    if (!RadioFrequencies(axes)) return HertzNumber(hertz, BinHertz(axes));
    return Fixed((double(axes.CentreHertz) + hertz) / 1e6, DecimalsFor(BinHertz(axes) / 1e6, 9));
}

// "14000.0 Hz ch 1", "-3000.0 Hz", or "7.047000 MHz" for a radio frequency.
std::string RowText(const PictureAxes& axes, const RowReading& row) {
    std::string text = FrequencyNumber(axes, row.Hertz);
    text += RadioFrequencies(axes) ? " MHz" : " Hz";
    const std::string channel = ChannelText(row.Channel);
    if (!channel.empty()) {
        text += ' ';
        text += channel;
    }
    return text;
}

} // namespace

std::string SecondsText(double seconds, double resolution) {
    std::string text = Fixed(seconds, DecimalsFor(resolution, 9));
    text += " s";
    return text;
}

std::string HertzText(double hertz, double resolution) {
    std::string text = HertzNumber(hertz, resolution);
    text += " Hz";
    return text;
}

std::string ChannelText(int channel) {
    std::string text;
    if (channel >= 0) {
        text = "ch ";
        text += std::to_string(channel + 1);
    }
    return text;
}

std::string LevelText(LevelState state, std::optional<double> dbfs) {
    std::string text;
    switch (state) {
    case LevelState::Ready:
        if (!dbfs) break;
        text = std::isinf(*dbfs) ? std::string("-inf") : Fixed(*dbfs, 1);
        text += " dBFS";
        break;
    case LevelState::Computing:
        text = "... dBFS";
        break;
    case LevelState::AfterJob:
        text = "dBFS after the job";
        break;
    case LevelState::Unknown:
        break;
    }
    return text;
}

// The texts are put together by appending: GCC 12 warns wrongly (-Wrestrict) on literal + string.
std::string PointerReadoutText(const PictureAxes& axes, int64_t column, const RowReading& row,
                               LevelState state, std::optional<double> dbfs) {
    std::string text = " ";
    text += SecondsText(ColumnSeconds(axes, column), SecondsPerColumn(axes));
    text += "  ";
    text += RowText(axes, row);
    const std::string level = LevelText(state, dbfs);
    if (!level.empty()) {
        text += "  ";
        text += level;
    }
    return text;
}

std::string StrongestOfText(int32_t rows) {
    return rows > 1 ? "  peak of " + std::to_string(rows) + " bins" : std::string();
}

std::string MarkerReadoutText(const PictureAxes& axes, const MarkerReading& marker) {
    const double perColumn = SecondsPerColumn(axes);
    const double binHertz = BinHertz(axes);
    std::string text = " \u25AD ";
    text += SecondsText(marker.StartSeconds, perColumn);
    text += "  \u0394t ";
    text += SecondsText(marker.DeltaSeconds, perColumn);
    text += "  ";
    if (!marker.OneBand) {
        text += RowText(axes, marker.High);
        text += " \u2026 ";
        text += RowText(axes, marker.Low);
        return text;
    }
    text += FrequencyNumber(axes, marker.Low.Hertz);
    text += "\u2026";
    text += RowText(axes, marker.High);
    text += "  \u0394f ";
    text += HertzText(marker.DeltaHertz, binHertz);
    return text;
}
