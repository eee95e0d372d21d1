#include "app/FrequencyAxis.h"

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

} // namespace

std::vector<RulerLabel> RulerLabels(float rate, int height) {
    const double topKHz = static_cast<double>(rate) / 2000;
    const int decimals = DecimalsFor(topKHz);
    const double step = static_cast<double>(height) / kSteps;

    // The values are accumulated downwards from the top, each held as a single float.
    float values[kSteps];
    double taken = 0;
    for (float& value : values) {
        value = static_cast<float>(topKHz - taken);
        taken += topKHz / kSteps;
    }

    std::vector<RulerLabel> labels;
    double y = step - 6;
    for (int i = 1; i <= kSteps; ++i) {
        if (i > 2) {
            const int top = static_cast<int>(std::nearbyint(y - step));
            labels.push_back({0, top, "- " + FixedText(values[i - 1], decimals)});
        }
        y += step;
    }
    labels.push_back({5, 4, "kHz"});
    return labels;
}

long long RowFrequency(int32_t row, int32_t height, int32_t sampleRate) {
    const double hertzPerRow = double(sampleRate) / 2 / height;
    return std::llrint(double(height - row) * hertzPerRow);
}
