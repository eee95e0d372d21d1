// The audio of a stretch of a recording, in time with its frames and taken in pieces of any size: what
// a part of a whole demodulation run gives, and what Listen plays while it is made. The demodulator
// starts `preRoll` frames before the stretch, so that its filters and its level control have settled
// when the stretch begins; the audio of those frames and the filters' lag are dropped, so that the
// first sample given is the one of frame `first`. Past the plan's end frame the demodulator is fed
// silence until the audio of the last frame has come out.
#pragma once

#include "demod/DemodRequest.h"
#include "demod/Demodulator.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class DemodStream {
public:
    // `values` are the recording's, frames of the layout of `model`'s plan, demodulated by a fresh copy
    // of `model`; `first` lies in the plan's frames and `preRoll` is at most `first`.
    DemodStream(std::span<const int16_t> values, const Demodulator& model, int64_t first, int64_t preRoll);

    // Appends the next `count` samples to `out`, or fewer when the stretch's audio is all given (Length),
    // and returns how many.
    size_t Read(size_t count, std::vector<int16_t>& out);

    // Samples the stretch first ... plan.EndFrame gives at kDemodAudioRate.
    size_t Length() const { return length_; }
    // Samples given so far.
    size_t Given() const { return given_; }
    // Frames of the recording fed to the demodulator so far, the pre-roll's included.
    int64_t FramesFed() const { return next_ - start_; }

private:
    // Feeds the next step of frames, or of silence past the end; false when there is nothing more to
    // feed.
    bool Feed();

    std::span<const int16_t> values_;
    DemodPlan plan_;
    Demodulator demodulator_;
    size_t perFrame_;
    int64_t start_;       // the first frame fed
    int64_t next_;        // the next frame to feed
    int64_t silenceLeft_; // frames of silence still to feed past the end
    size_t skip_;         // samples still to drop: the pre-roll's and the lag's
    size_t length_;
    size_t given_ = 0;
    std::vector<int16_t> audio_; // made and not yet given, from index taken_
    size_t taken_ = 0;
    std::vector<int16_t> silence_;
};
