// The progress and stop poll of the edits that walk the store value by value (the shifts and the
// low-pass filter): at every 10th position the percentage done is published and the stop flag read.
#pragma once

#include "ops/SampleRounding.h"
#include "signal/JobControl.h"

#include <cstdint>

class ValueLoopPoll {
public:
    ValueLoopPoll(JobControl& job, int64_t count) : job_(job), last_(count - 1) {}

    // Call once per position k = 0, 1, 2, ... after the value was written; true: leave the loop.
    bool StopAt(int64_t k) {
        if (--countdown_ != 0) return false;
        countdown_ = 10;
        job_.SetProgress(PercentDone(k, last_));
        return job_.Stopping();
    }

private:
    JobControl& job_;
    int64_t last_;
    int countdown_ = 1; // the first poll is at position 0
};
