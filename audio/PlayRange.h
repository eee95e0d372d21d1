// The part of the playback copy that a playback plays: a first frame and, for a marked time range, the
// frame after its last. Times become frames as Listen and Extract count them (the frame nearest the
// time), so that what plays from a click or over a marker starts where those start.
#pragma once

#include <cstdint>
#include <optional>

struct PlayRange {
    int64_t FirstFrame = 0;
    std::optional<int64_t> EndFrame; // one past the last frame played; nothing: to the copy's end
};

// The frames from `fromSeconds` to `toSeconds` (nothing: to the end) of a recording at `rate` Hz.
PlayRange PlayRangeForSeconds(double fromSeconds, std::optional<double> toSeconds, int32_t rate);

// The range as value positions of a copy with `playableValues` values in whole frames of `channels`:
// [From, To), whole frames, within the copy and at least one frame long (a start at or past the end
// plays the last frame; an end at or before the start plays one frame).
struct PlayValueSpan {
    int32_t From = 0;
    int32_t To = 0;
};
PlayValueSpan PlayValuesOf(const PlayRange& range, uint16_t channels, int32_t playableValues);
