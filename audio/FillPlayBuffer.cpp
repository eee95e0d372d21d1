#include "audio/FillPlayBuffer.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t Ramped(int16_t value, float gain) {
    return static_cast<int16_t>(std::trunc(double(value) * double(gain)));
}

// The end of a play-once: this buffer is the last one written.
void PlayedToEnd(PlaybackState& state) {
    state.PlayedToEnd = true;
    StopPlayback(state, false);
}

// The copy's values from the play position on, wrapping at the end of the range played.
void FillFromCopy(PlaybackState& state, std::span<int16_t> buffer) {
    int32_t position = state.PlayPosition;
    for (int16_t& out : buffer) {
        out = state.PlayedToEnd ? int16_t(0) : state.PlaybackCopy[size_t(position)];
        if (state.PlayedToEnd) continue;
        if (++position >= state.PlayTo) {
            position = state.PlayFrom;
            if (!state.Loop.load(std::memory_order_relaxed)) PlayedToEnd(state);
        }
    }
    state.PlayPosition = position;
}

// The source's next values; at its end a loop starts it again, a play-once ends with silence.
void FillFromSource(PlaybackState& state, std::span<int16_t> buffer) {
    size_t filled = state.PlayedToEnd ? 0 : state.Source->Fill(buffer);
    while (filled < buffer.size() && !state.PlayedToEnd) {
        if (!state.Loop.load(std::memory_order_relaxed)) {
            PlayedToEnd(state);
            break;
        }
        state.Source->Rewind();
        const size_t more = state.Source->Fill(buffer.subspan(filled));
        if (more == 0) PlayedToEnd(state); // a source without values cannot fill a loop
        filled += more;
    }
    std::fill(buffer.begin() + std::ptrdiff_t(filled), buffer.end(), int16_t(0));
}

} // namespace

void FillPlayBuffer(PlaybackState& state, std::span<int16_t> buffer, PlaybackEvents* events) {
    const bool fading = state.FadeStop.load(std::memory_order_acquire);
    const bool rampThisBuffer = fading && state.FadeCounter.load(std::memory_order_relaxed) == 0;
    if (state.Source)
        FillFromSource(state, buffer);
    else
        FillFromCopy(state, buffer);

    if (fading) {
        const float* ramp = state.FadeOutRamp.data() + buffer.size();
        for (size_t i = 0; i < buffer.size(); ++i)
            buffer[i] = rampThisBuffer ? Ramped(buffer[i], ramp[i]) : 0;
        if (state.FadeCounter.fetch_add(1, std::memory_order_relaxed) + 1 > 2) {
            state.TerminateRequested.store(true, std::memory_order_release);
            state.FadeCounter.store(0, std::memory_order_relaxed);
        }
    }
    if (events == nullptr) return;
    if (state.Source) {
        const PlayCursorPlace place = state.Source->Cursor();
        events->PlayCursorMoved(place.Position, place.Length);
    } else {
        events->PlayCursorMoved(state.PlayPosition, state.PlayableSize());
    }
}
