#include "audio/PlayRange.h"

#include <algorithm>
#include <cmath>

PlayRange PlayRangeForSeconds(double fromSeconds, std::optional<double> toSeconds, int32_t rate) {
    PlayRange range;
    range.FirstFrame = std::max<int64_t>(0, std::llround(fromSeconds * rate));
    if (toSeconds) range.EndFrame = std::max<int64_t>(0, std::llround(*toSeconds * rate));
    return range;
}

PlayValueSpan PlayValuesOf(const PlayRange& range, uint16_t channels, int32_t playableValues) {
    const int64_t width = std::max<int64_t>(channels, 1);
    const int64_t frames = playableValues / width;
    if (frames < 1) return {};
    const int64_t first = std::clamp<int64_t>(range.FirstFrame, 0, frames - 1);
    const int64_t end = std::clamp<int64_t>(range.EndFrame.value_or(frames), first + 1, frames);
    return {int32_t(first * width), int32_t(end * width)};
}
