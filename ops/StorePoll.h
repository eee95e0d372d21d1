// Where the edits that walk the store look at the stop flag and publish their progress. A walk calls
// StopAt(k) at some of its positions k, in increasing order, before it starts on the positions after
// k; a true answer ends the walk with every position up to k done and the positions after k as they
// were.
#pragma once

#include "ops/SampleRounding.h"
#include "signal/JobControl.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class StorePoll {
public:
    virtual ~StorePoll() = default;
    virtual bool StopAt(int64_t k) = 0;
};

// The poll of the walks over values (the shifts and the low-pass filter): publishes the percentage
// done at k, then reads the stop flag.
class ValuePoll final : public StorePoll {
public:
    ValuePoll(JobControl& job, int64_t count) : job_(job), last_(count - 1) {}
    bool StopAt(int64_t k) override {
        job_.SetProgress(PercentDone(k, last_));
        return job_.Stopping();
    }

private:
    JobControl& job_;
    int64_t last_;
};

// A walk over values polls where a walk polling every 10 values would also have polled: at 0, then
// every `every` values (a multiple of 10), and at the last multiple of 10 in the store, so that the
// last progress published is the same. Returns the first such position at or after `k`, or `count`
// when there is none left.
inline int64_t NextValuePoll(int64_t k, int64_t count, int64_t every) {
    const int64_t lastPoll = (count - 1) / 10 * 10;
    if (k > lastPoll) return count;
    return std::min((k + every - 1) / every * every, lastPoll);
}

// A stretch of positions first .. end - 1 that one thread of a walk takes at a time; `PollBefore` is the
// poll position just before it, asked before it is handed out (-1: none).
struct PollStretch {
    int64_t First;
    int64_t End;
    int64_t PollBefore;
};

// The stretches of a walk over `count` positions polled as NextValuePoll says (`every` apart): cut at
// the polls and every `chunk` positions between them. A last, empty stretch carries the last poll.
inline std::vector<PollStretch> PollStretches(int64_t count, int64_t every, int64_t chunk) {
    std::vector<PollStretch> stretches;
    stretches.reserve(static_cast<size_t>(count / chunk + count / every + 3));
    int64_t pollBefore = -1;
    for (int64_t first = 0; first < count;) {
        const int64_t pollAt = NextValuePoll(first, count, every);
        const int64_t end = std::min(pollAt + 1, count);
        for (int64_t from = first; from < end; from += chunk)
            stretches.push_back({from, std::min(from + chunk, end), from == first ? pollBefore : -1});
        pollBefore = pollAt < count ? pollAt : -1;
        first = end;
    }
    if (pollBefore >= 0) stretches.push_back({count, count, pollBefore});
    return stretches;
}

// A spacing between value polls as the walks use it: a multiple of 10, at least 10.
inline int64_t ValuePollSpacing(int64_t every) {
    return std::max<int64_t>(10, every / 10 * 10);
}

// How a block walk is cut: polls `PollEvery` positions apart, and up to `Threads` threads sharing the
// work between two polls (0: one per core).
struct WalkOptions {
    int64_t PollEvery = 0;
    unsigned Threads = 0;
};
