// Runs one pass of the spectrogram (every column of the image, or of one band) on the worker pool.
#pragma once

#include "signal/JobControl.h"
#include "spectral/SpectrogramColumnWorker.h"

#include <cstdint>
#include <memory>
#include <vector>

// How a pass reports progress: after a column, when the number of columns finished before it in this
// pass is a multiple of Interval, Progress becomes round((ColumnsBefore + that number) / TotalColumns
// x 100), ties to even.
struct PassProgress {
    int64_t ColumnsBefore = 0; // columns of earlier passes
    int64_t TotalColumns = 1;  // columns of all passes
    int64_t Interval = 10;
};

// Computes columns 0 .. layout.Width - 1 with the workers, shared by the calling thread and the free
// threads of the worker pool (a worker no thread takes up in time stays idle), columns handed out in
// blocks in increasing order. The picture does not depend on the number of workers.
//
// Returns false when control's stop flag ended the pass early. The band's drawn columns are then one
// block from the left, [0, k): workers stop at once, each where it is, and the columns right of the
// lowest unfinished one that other workers had already drawn are given back what they held before the
// pass. That is black-alpha zero, as the preparation leaves the image, except in the band's first row
// when a band lies above it: there the band above drew its extra marker row, which is restored.
//
// An exception from a worker stops the others and is rethrown here once all have ended.
bool RunSpectrogramPass(const SpectrogramPassLayout& layout,
                        std::vector<std::unique_ptr<SpectrogramColumnWorker>>& workers, JobControl& control,
                        const PassProgress& progress);
