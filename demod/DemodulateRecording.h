// A whole demodulation run over a recording in memory: the stretch of time a request names, through one
// Demodulator, to 16-bit mono audio at 48000 Hz. The window and orvane-cli demod both call this.
#pragma once

#include "demod/DemodRequest.h"
#include "ops/CheckedInput.h"
#include "signal/JobControl.h"
#include "signal/SignalStore.h"

#include <cstdint>
#include <vector>

struct DemodAudio {
    // Exactly DemodAudioLength(plan) samples, in time with the frames they come from (the filters' lag is
    // taken off the front); fewer when stopped.
    std::vector<int16_t> Samples;
    bool Stopped = false; // the job's stop flag ended the run early
};

// The layout of `store` as the request check sees it: two channels are I/Q, anything else one real
// channel.
DemodSource DemodSourceOf(const SignalStore& store);

// Checks `request` against `store` (PlanDemodulation) and demodulates. Polls `job`'s stop flag and
// reports its progress, 0 ... 100 percent, as it goes. Refuses as the check does.
CheckedInput<DemodAudio> DemodulateRecording(const SignalStore& store, const DemodRequest& request,
                                             JobControl& job);
