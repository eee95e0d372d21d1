// Runs a TLPF of 12 sections over a block of values with its sections working side by side: while
// section 0 takes value n, section k works on value n - 2k, so that the twelve recursions overlap
// instead of each waiting for the one before it. Every section does exactly the arithmetic of
// TLPF::Process, in the same order, on the same values, so the outputs and the filter's state are the
// same, bit for bit, as those of calling Process value after value.
#pragma once

#include "ops/TLPF.h"

#include <cstddef>

class TLPFPipeline {
public:
    // Works on the filter's coefficients and state; the filter must outlive the pipeline.
    explicit TLPFPipeline(TLPF& filter);

    // Replaces values[0 .. count-1] by the filter's outputs for them, as count calls of Process would,
    // and leaves the filter's state as those calls would. A filter of other than 12 sections runs
    // value by value.
    void Run(double* values, size_t count);

private:
    static constexpr int kSections = 12;
    static constexpr int kDelay = 2; // steps between a section and the next one on the same value

    void ScalarStep(int64_t step, double* values, int64_t count);
    void SteadySteps(int64_t first, int64_t end, double* values);

    TLPF& filter_;
    double* state_;                        // the filter's delays: w[n-1] at 2k, w[n-2] at 2k + 1
    double handover_[kDelay][kSections]{}; // output of section k at the last step of each parity
};
