// Runs a long job on a worker thread while the user-interface thread waits in a nested event loop,
// so that the window repaints and "Stop Calculate", zoom and palettes keep working meanwhile.
#pragma once

#include "signal/JobControl.h"

#include <functional>

// Runs `work` on a job thread of the worker pool and returns when it has ended. Meanwhile a timer copies the
// job's progress (control.Progress, percent) into `showProgress` every few milliseconds, and once more at the
// end. An exception thrown by `work` is carried back and rethrown here, on the calling thread.
void RunJob(JobControl& control, const std::function<void()>& work,
            const std::function<void(int)>& showProgress);
