// Runs one pass of the spectrogram (every column of the image, or of one band) on several threads.
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

// Computes columns 0 .. layout.Width - 1, one thread per worker (the calling thread when there is one),
// columns handed out in increasing order. Returns false when control's stop flag ended the pass early:
// columns finished stay drawn, columns never reached keep their pixels. An exception from a worker
// stops the others and is rethrown here once all have ended. The picture does not depend on the number
// of workers.
bool RunSpectrogramPass(const SpectrogramPassLayout& layout,
                        std::vector<std::unique_ptr<SpectrogramColumnWorker>>& workers, JobControl& control,
                        const PassProgress& progress);
