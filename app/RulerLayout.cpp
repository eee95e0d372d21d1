#include "app/RulerLayout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

// A label's dash stands this many pixels below the top of its text, as in FrequencyAxis.h.
constexpr int kDashBelowTop = 6;
// Free pixels between two labels of a thinned scale.
constexpr int kLabelGap = 1;

std::string FixedText(double value, int decimals) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

PlacedRulerLabel Measure(const RulerLabel& label, const RulerFontMetrics& font) {
    return {label, font.TextWidth(label.Text), font.LineHeight};
}

bool AnyMeet(const std::vector<PlacedRulerLabel>& labels) {
    for (size_t i = 0; i < labels.size(); ++i)
        for (size_t j = i + 1; j < labels.size(); ++j)
            if (LabelsMeet(labels[i], labels[j])) return true;
    return false;
}

// One scale of the thinned ruler: values from TopValue (at pixel Top) down to BottomValue (at Top +
// Height), in the unit's numbers, its unit's name last, each row's middle Shift pixels above its frequency's
// place.
struct ThinnedScale {
    double TopValue = 0;
    double BottomValue = 0;
    double Top = 0;
    double Height = 0;
    double Shift = 0;
    const char* Unit = "kHz";
};

// The smallest step of the 1-2-5 series no shorter than `least`, and the decimals it needs.
std::pair<double, int> NiceStep(double least) {
    int exponent = int(std::floor(std::log10(least)));
    for (;; ++exponent) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * std::pow(10.0, exponent);
            if (step >= least * (1 - 1e-12)) return {step, std::max(0, -exponent)};
        }
    }
}

void AppendThinnedScale(std::vector<PlacedRulerLabel>& labels, const ThinnedScale& scale,
                        const RulerFontMetrics& font) {
    const PlacedRulerLabel unit = Measure({5, int(std::nearbyint(scale.Top)) + 4, scale.Unit}, font);
    const double range = scale.TopValue - scale.BottomValue;
    if (!(range > 0) || !(scale.Height > 0)) {
        labels.push_back(unit);
        return;
    }
    const double pixelsPerValue = scale.Height / range;
    const auto [step, decimals] = NiceStep((font.LineHeight + kLabelGap) / pixelsPerValue);
    const double first = std::ceil(scale.BottomValue / step - 1e-9);
    const double last = std::floor(scale.TopValue / step + 1e-9);
    const int lowest = int(std::ceil(scale.Top));
    const int highest = int(std::floor(scale.Top + scale.Height));
    const size_t scaleStart = labels.size();
    for (double k = last; k >= first; --k) {
        const double value = k * step;
        const double y = scale.Top + (scale.TopValue - value) * pixelsPerValue - scale.Shift;
        const int top = int(std::nearbyint(y)) - kDashBelowTop;
        const PlacedRulerLabel label =
            Measure({0, top, "- " + FixedText(value == 0 ? 0.0 : value, decimals)}, font);
        if (top < lowest || top + label.Height > highest || LabelsMeet(label, unit)) continue;
        if (labels.size() > scaleStart && LabelsMeet(label, labels.back())) continue;
        labels.push_back(label);
    }
    labels.push_back(unit); // after the values, as in the 24 steps
}

std::vector<PlacedRulerLabel> ThinnedLabels(const RulerScales& scales, const RulerFontMetrics& font) {
    std::vector<PlacedRulerLabel> labels;
    if (scales.Complex) {
        const bool radio = scales.CentreHertz > 0;
        const double unit = radio ? 1e6 : 1e3;
        const double centre = radio ? double(scales.CentreHertz) : 0.0;
        const double half = double(scales.Rate) / 2;
        const double shift = scales.Rows > 0 ? scales.Span.Height / scales.Rows / 2 : 0.0;
        AppendThinnedScale(labels,
                           {(centre + half) / unit, (centre - half) / unit, scales.Span.Top,
                            scales.Span.Height, shift, radio ? "MHz" : "kHz"},
                           font);
        return labels;
    }
    if (scales.Bands < 1) return labels;
    const double bandHeight = scales.Span.Height / scales.Bands;
    const double shift = scales.Rows > 0 ? bandHeight / scales.Rows / 2 : 0.0;
    for (int band = 0; band < scales.Bands; ++band)
        AppendThinnedScale(
            labels,
            {double(scales.Rate) / 2000, 0.0, scales.Span.Top + band * bandHeight, bandHeight, shift, "kHz"},
            font);
    return labels;
}

} // namespace

bool LabelsMeet(const PlacedRulerLabel& a, const PlacedRulerLabel& b) {
    return a.Label.X < b.Label.X + b.Width && b.Label.X < a.Label.X + a.Width &&
           a.Label.Y < b.Label.Y + b.Height && b.Label.Y < a.Label.Y + a.Height;
}

namespace {

RulerLayout WithWidth(std::vector<PlacedRulerLabel> labels) {
    RulerLayout layout;
    layout.Labels = std::move(labels);
    for (const PlacedRulerLabel& label : layout.Labels)
        layout.Width = std::max(layout.Width, label.Label.X + label.Width);
    return layout;
}

} // namespace

RulerLayout PlaceRulerLabels(const std::vector<RulerLabel>& labels, const RulerFontMetrics& font) {
    std::vector<PlacedRulerLabel> placed;
    for (const RulerLabel& label : labels) placed.push_back(Measure(label, font));
    return WithWidth(std::move(placed));
}

RulerLayout LayOutRuler(const RulerScales& scales, const RulerFontMetrics& font) {
    const std::vector<RulerLabel> given =
        scales.Complex ? ComplexRulerLabels(scales.Rate, scales.Span, scales.Rows, scales.CentreHertz)
                       : BandRulerLabels(scales.Rate, scales.Span, scales.Bands, scales.Rows);
    RulerLayout layout = PlaceRulerLabels(given, font);
    if (AnyMeet(layout.Labels)) layout = WithWidth(ThinnedLabels(scales, font));
    return layout;
}
