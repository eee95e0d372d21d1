#include "audio/PlaybackState.h"

void StopPlayback(PlaybackState& state, bool withFadeOut) {
    if (state.DeviceError.load(std::memory_order_acquire) ||
        state.PlaybackIdle.load(std::memory_order_acquire))
        return;
    if (withFadeOut) {
        // Restarting the counter of a fade already under way would follow a silent buffer with a
        // ramp at full level, an audible blip.
        if (state.FadeStop.load(std::memory_order_acquire)) return;
        state.FadeCounter.store(0, std::memory_order_relaxed);
        state.FadeStop.store(true, std::memory_order_release);
    } else {
        state.FadeCounter.store(0, std::memory_order_relaxed);
        state.TerminateRequested.store(true, std::memory_order_release);
    }
}
