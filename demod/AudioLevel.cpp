#include "demod/AudioLevel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTarget = 0.5f;         // the peak's place: half of full scale (-6 dBFS)
constexpr float kMaxGain = 1000.0f;     // 60 dB
constexpr double kReleaseSeconds = 0.3; // the peak falls by 1/e in this time
constexpr float kQuietPeak = kTarget / kMaxGain;

} // namespace

AudioLevel::AudioLevel(double sampleRate)
    : release_(static_cast<float>(std::exp(-1.0 / (kReleaseSeconds * sampleRate)))), peak_(kQuietPeak) {}

void AudioLevel::Apply(std::span<const float> audio, std::vector<int16_t>& out) {
    out.reserve(out.size() + audio.size());
    for (const float x : audio) {
        peak_ = std::max({std::fabs(x), peak_ * release_, kQuietPeak});
        const float scaled = x * (kTarget / peak_) * 32767.0f;
        out.push_back(static_cast<int16_t>(std::lrint(std::clamp(scaled, -32767.0f, 32767.0f))));
    }
}

void AudioLevel::Reset() {
    peak_ = kQuietPeak;
}
