#include "demod/DemodStream.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kStepFrames = 16384; // fed at a time: small enough for a device buffer's turn

} // namespace

DemodStream::DemodStream(std::span<const int16_t> values, const Demodulator& model, int64_t first,
                         int64_t preRoll)
    : values_(values), plan_(model.Plan()), demodulator_(model.Fresh()), perFrame_(plan_.IQ ? 2 : 1),
      start_(first - preRoll), next_(start_),
      silenceLeft_(static_cast<int64_t>(std::ceil((demodulator_.DelaySeconds() + 0.01) * plan_.SampleRate)) +
                   kStepFrames),
      skip_(static_cast<size_t>(std::llround(demodulator_.DelaySeconds() * kDemodAudioRate)) +
            static_cast<size_t>(preRoll * kDemodAudioRate / plan_.SampleRate)),
      length_(static_cast<size_t>(
          std::llround(static_cast<double>(plan_.EndFrame - first) * kDemodAudioRate / plan_.SampleRate))),
      silence_(static_cast<size_t>(kStepFrames) * perFrame_, 0) {
    audio_.reserve(static_cast<size_t>(2 * kStepFrames * kDemodAudioRate / plan_.SampleRate) + 4096);
}

bool DemodStream::Feed() {
    if (next_ < plan_.EndFrame) {
        const int64_t count = std::min(kStepFrames, plan_.EndFrame - next_);
        demodulator_.Process(
            values_.subspan(static_cast<size_t>(next_) * perFrame_, static_cast<size_t>(count) * perFrame_),
            audio_);
        next_ += count;
        return true;
    }
    if (silenceLeft_ <= 0) return false;
    demodulator_.Process(silence_, audio_);
    silenceLeft_ -= kStepFrames;
    return true;
}

size_t DemodStream::Read(size_t count, std::vector<int16_t>& out) {
    count = std::min(count, length_ - given_);
    bool more = true;
    for (;;) {
        const size_t dropped = std::min(skip_, audio_.size() - taken_);
        taken_ += dropped;
        skip_ -= dropped;
        if (skip_ == 0 && audio_.size() - taken_ >= count) break;
        if (!more) break;
        // What has been given is forgotten before more is made, so the buffer stays small.
        audio_.erase(audio_.begin(), audio_.begin() + static_cast<std::ptrdiff_t>(taken_));
        taken_ = 0;
        more = Feed();
    }
    const size_t ready = std::min(count, audio_.size() - taken_);
    const auto from = audio_.begin() + static_cast<std::ptrdiff_t>(taken_);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(ready));
    out.resize(out.size() + (count - ready), 0); // the filters gave less than the stretch: silence
    taken_ += ready;
    given_ += count;
    return count;
}
