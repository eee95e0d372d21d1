#include "audio/FillPlayBuffer.h"

#include <cmath>

namespace {

int16_t Ramped(int16_t value, float gain) {
    return static_cast<int16_t>(std::trunc(double(value) * double(gain)));
}

} // namespace

void FillPlayBuffer(PlaybackState& state, std::span<int16_t> buffer, PlaybackEvents* events) {
    const bool fading = state.FadeStop.load(std::memory_order_acquire);
    const bool rampThisBuffer = fading && state.FadeCounter.load(std::memory_order_relaxed) == 0;
    const int32_t size = state.PlayableSize();
    const float* ramp = state.FadeOutRamp.data() + buffer.size();
    int32_t position = state.PlayPosition;

    for (size_t i = 0; i < buffer.size(); ++i) {
        const int16_t value = state.PlayedToEnd ? int16_t(0) : state.PlaybackCopy[size_t(position)];
        if (!fading)
            buffer[i] = value;
        else
            buffer[i] = rampThisBuffer ? Ramped(value, ramp[i]) : int16_t(0);
        if (state.PlayedToEnd) continue;
        if (++position >= size) {
            position = 0;
            if (!state.Loop.load(std::memory_order_relaxed)) {
                state.PlayedToEnd = true;
                StopPlayback(state, false);
            }
        }
    }
    state.PlayPosition = position;

    if (fading && state.FadeCounter.fetch_add(1, std::memory_order_relaxed) + 1 > 2) {
        state.TerminateRequested.store(true, std::memory_order_release);
        state.FadeCounter.store(0, std::memory_order_relaxed);
    }
    if (events != nullptr) events->PlayCursorMoved(position, size);
}
