#include "audio/PlaybackFades.h"

#include "ops/SampleRounding.h"

#include <cmath>
#include <numbers>

namespace {

std::array<float, kPlayFadeLength> MakePlayFadeTable() {
    std::array<float, kPlayFadeLength> table{};
    for (int i = 0; i < kPlayFadeLength; ++i) {
        const float argument = float(static_cast<long double>(i) / kPlayFadeLength - 0.5L);
        table[size_t(i)] = float(0.5L * std::cos(2.0L * std::numbers::pi_v<long double> * argument) + 0.5L);
    }
    return table;
}

// The product of a value and a float gain is exact in double precision, so the sample rounding of
// the edits applies to it unchanged.
int16_t Faded(int16_t value, float gain) {
    return RoundToSample(double(value) * double(gain));
}

} // namespace

const std::array<float, kPlayFadeLength>& PlayFadeTable() {
    static const std::array<float, kPlayFadeLength> table = MakePlayFadeTable();
    return table;
}

void FadePlaybackCopyEnds(std::span<int16_t> copy) {
    if (copy.size() < size_t(kPlayFadeLength)) return;
    const auto& table = PlayFadeTable();
    const size_t tail = copy.size() - kPlayFadeHalf;
    for (size_t i = 0; i < size_t(kPlayFadeHalf); ++i) {
        copy[i] = Faded(copy[i], table[i]);
        copy[tail + i] = Faded(copy[tail + i], table[kPlayFadeHalf + i]);
    }
}

void BuildFadeOutRamp(std::vector<float>& ramp, int32_t length) {
    if (length < 0) length = 0;
    if (ramp.size() == size_t(length)) return;
    ramp.resize(size_t(length));
    for (int32_t j = 0; j < length; ++j) {
        const float difference = float(static_cast<long double>(j) / length - 0.5L);
        ramp[size_t(j)] = float(1.0L - 2.0L * std::fabs(static_cast<long double>(difference)));
    }
}
