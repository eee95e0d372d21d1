#include "view/FrequencyAxis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr int kSteps = 24;

// Fewer decimals as the top frequency grows: two up to 10 kHz, one up to 100 kHz, none above.
int DecimalsFor(double topKHz) {
    if (topKHz <= 10) return 2;
    if (topKHz <= 100) return 1;
    return 0;
}

std::string FixedText(double value, int decimals) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

// The labels of one scale `height` pixels tall whose top lies `offset` pixels down the ruler.
void AppendScale(std::vector<RulerLabel>& labels, float rate, double height, double offset, int kHzTop) {
    const double topKHz = static_cast<double>(rate) / 2000;
    const int decimals = DecimalsFor(topKHz);
    const double step = height / kSteps;

    // The values are accumulated downwards from the top, each held as a single float.
    float values[kSteps];
    double taken = 0;
    for (float& value : values) {
        value = static_cast<float>(topKHz - taken);
        taken += topKHz / kSteps;
    }

    double y = step - 6;
    for (int i = 1; i <= kSteps; ++i) {
        if (i > 2) {
            const int top = static_cast<int>(std::nearbyint(y - step + offset));
            labels.push_back({0, top, "- " + FixedText(values[i - 1], decimals)});
        }
        y += step;
    }
    labels.push_back({5, kHzTop + 4, "kHz"});
}

// Decimals that tell apart two values `step` apart: 2 kHz in MHz needs 3.
int DecimalsToResolve(double step) {
    if (!(step > 0)) return 0;
    return std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
}

} // namespace

std::vector<RulerLabel> RulerLabels(float rate, int height) {
    std::vector<RulerLabel> labels;
    AppendScale(labels, rate, height, 0.0, 0);
    return labels;
}

std::vector<RulerLabel> BandRulerLabels(float rate, const RulerSpan& span, int bands, int rowsPerBand) {
    std::vector<RulerLabel> labels;
    if (bands < 1) return labels;
    const double bandHeight = span.Height / bands;
    const double halfRow = rowsPerBand > 0 ? bandHeight / rowsPerBand / 2 : 0.0;
    for (int band = 0; band < bands; ++band) {
        const double bandTop = span.Top + band * bandHeight;
        AppendScale(labels, rate, bandHeight, bandTop - halfRow, int(std::nearbyint(bandTop)));
    }
    return labels;
}

std::vector<RulerLabel> ComplexRulerLabels(float rate, const RulerSpan& span, int rows, int64_t centreHertz) {
    std::vector<RulerLabel> labels;
    const double step = span.Height / kSteps;
    const double halfRow = rows > 0 ? span.Height / rows / 2 : 0.0;
    const double hertzStep = double(rate) / kSteps;
    const bool radio = centreHertz > 0;
    const double unit = radio ? 1e6 : 1e3;
    // Radio frequencies get the decimals of a bin (of a step while the rows are not known), so that a
    // centre frequency off the round numbers shows in every label.
    const double resolution = rows > 0 ? double(rate) / rows : hertzStep;
    const int decimals = radio ? DecimalsToResolve(resolution / unit) : DecimalsFor(double(rate) / 2000);
    for (int i = 3; i <= kSteps; ++i) {
        const double hertz = double(rate) / 2 - (i - 1) * hertzStep;
        const double value = ((radio ? double(centreHertz) : 0.0) + hertz) / unit;
        const int top = static_cast<int>(std::nearbyint((i - 1) * step - 6 + span.Top - halfRow));
        labels.push_back({0, top, "- " + FixedText(value == 0 ? 0.0 : value, decimals)});
    }
    labels.push_back({5, int(std::nearbyint(span.Top)) + 4, radio ? "MHz" : "kHz"});
    return labels;
}
