// Filling one device buffer from the playback copy (playback thread).
#pragma once

#include "audio/PlaybackEvents.h"
#include "audio/PlaybackState.h"

#include <cstdint>
#include <span>

// Fills `buffer` with the copy's values from the play position on, advancing the position; at the end
// of the range played (PlayTo) the position wraps to its start (PlayFrom). In a loop the buffer goes on
// with the range's first values; otherwise the rest of the buffer is silence, PlayedToEnd is set and the
// thread is asked to end, so that this last buffer is the last one written and the copy is heard to its end.
// While a fade-out stop runs, the first buffer after the request is ramped down with the second half of
// FadeOutRamp (products truncated towards zero) and later ones are silent; the third asks the thread to end.
// The fade state is taken once per buffer, so a request arriving mid-buffer starts its ramp at the next
// buffer's full level rather than jumping into the middle of the ramp. With a Source the values come
// from it instead, by the same rules: at its end a loop rewinds it and goes on, a play-once fills the
// rest with silence and ends. Finally reports the position (the copy's, or the source's Cursor) to
// `events` (when given) for the cursor. Requires at least one whole frame in the range, a buffer of whole
// frames and FadeOutRamp of 2 * buffer.size() entries.
void FillPlayBuffer(PlaybackState& state, std::span<int16_t> buffer, PlaybackEvents* events);
