// Recordings for the random-run check: edge cases of the WAV layout (header only, empty, truncated or
// odd data, many or no channels, huge chunk sizes, rates of 0 or below, a single value, raw bytes ...),
// the fuzz seed corpus, and damaged copies of all of these.
#pragma once

#include "SeededRandom.h"

#include "signal/WavBytes.h"

#include <string>
#include <vector>

struct RandomRecording {
    std::string Kind; // what was made and how it was damaged, for the report of a failing run
    wavtest::Bytes Data;
};

// One recording drawn from `random`; `corpus` holds files to start from (may be empty).
RandomRecording MakeRandomRecording(SeededRandom& random, const std::vector<wavtest::Bytes>& corpus);
