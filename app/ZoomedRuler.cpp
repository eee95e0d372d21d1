#include "app/ZoomedRuler.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr double kLabelRise = 6; // a label's text starts this far above its row, as in the fitted ruler
constexpr double kUnitRoom = 16; // below a band's top, kept free for its unit

// One band's linear axis: frequency f stands at ruler y = TopY + (TopHz - f) * PixelsPerHz.
struct BandAxis {
    double Top = 0; // the band's rows on the ruler
    double Bottom = 0;
    double ZeroY = 0; // y of the frequency AtZeroY
    double AtZeroY = 0;
    double PixelsPerHz = 0;

    double YOf(double hertz) const { return ZeroY + (AtZeroY - hertz) * PixelsPerHz; }
    double HertzAt(double y) const { return AtZeroY - (y - ZeroY) / PixelsPerHz; }
};

std::vector<BandAxis> BandAxes(const RulerFrequencyScale& scale, const RulerSpan& picture) {
    std::vector<BandAxis> axes;
    const int bands = scale.Complex ? 1 : std::max(scale.Bands, 0);
    if (bands == 0 || !(picture.Height > 0) || !(scale.Rate > 0)) return axes;
    const double bandHeight = picture.Height / bands;
    const double halfRow = scale.RowsPerBand > 0 ? bandHeight / scale.RowsPerBand / 2 : 0.0;
    // A band of real values runs from half the rate at its top to 0 Hz; the complex one from +R/2 to
    // -R/2. The labels stand half a row higher, at the middle of their bin's row.
    const double span = scale.Complex ? double(scale.Rate) : double(scale.Rate) / 2;
    for (int band = 0; band < bands; ++band) {
        const double top = picture.Top + band * bandHeight;
        axes.push_back({top, top + bandHeight, top - halfRow, double(scale.Rate) / 2, bandHeight / span});
    }
    return axes;
}

// The smallest of 1, 2, 5 x 10^k hertz whose labels stand `minSpacing` pixels apart.
double RoundStep(double pixelsPerHz, double minSpacing) {
    const double least = minSpacing / pixelsPerHz;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;; power *= 10)
        for (const double m : {1.0, 2.0, 5.0})
            if (m * power >= least * (1 - 1e-12)) return m * power;
}

// Decimals that show a step of `step` units (1, 2 or 5 x 10^k) exactly.
int StepDecimals(double step) {
    return std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 9);
}

std::string FixedText(double value, int decimals) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace

std::vector<RulerBandRange> VisibleFrequencyRanges(const RulerFrequencyScale& scale,
                                                   const ZoomedRulerPlace& place) {
    std::vector<RulerBandRange> ranges;
    for (const BandAxis& axis : BandAxes(scale, place.Picture)) {
        const double top = std::max(axis.Top, place.VisibleTop);
        const double bottom = std::min(axis.Bottom, place.VisibleBottom);
        if (bottom > top) ranges.push_back({top, bottom, axis.HertzAt(top), axis.HertzAt(bottom)});
    }
    return ranges;
}

std::vector<RulerLabel> ZoomedRulerLabels(const RulerFrequencyScale& scale, const ZoomedRulerPlace& place,
                                          double minSpacing) {
    std::vector<RulerLabel> labels;
    const std::vector<BandAxis> axes = BandAxes(scale, place.Picture);
    if (axes.empty()) return labels;
    const bool radio = scale.Complex && scale.CentreHertz > 0;
    const double unit = radio ? 1e6 : 1e3;
    const double offset = radio ? double(scale.CentreHertz) : 0.0;
    const double step = RoundStep(axes.front().PixelsPerHz, minSpacing);
    const int decimals = StepDecimals(step / unit);
    for (const BandAxis& axis : axes) {
        const double top = std::max(axis.Top, place.VisibleTop);
        const double bottom = std::min(axis.Bottom, place.VisibleBottom);
        if (!(bottom > top)) continue;
        // From the highest multiple of the step in sight downwards.
        for (double k = std::floor(axis.HertzAt(top + kUnitRoom + kLabelRise) / step);; --k) {
            const double y = axis.YOf(k * step);
            if (y >= bottom) break;
            const double value = (offset + k * step) / unit;
            labels.push_back({0, int(std::nearbyint(y - kLabelRise)),
                              "- " + FixedText(value == 0 ? 0.0 : value, decimals)});
        }
        labels.push_back({5, int(std::nearbyint(top)) + 4, radio ? "MHz" : "kHz"});
    }
    return labels;
}
