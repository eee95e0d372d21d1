// The start of every spectrogram computation: size the new image (or refuse it), set the FFT size,
// rebuild the window table and the Fade edit's curve, and allocate the workers' frame buffers, all
// before the first column is computed. The stop flag is left as it is: the job that runs the
// computation clears it before it starts, so that a stop asked for meanwhile is not lost.
#pragma once

#include "signal/JobControl.h"
#include "signal/SignalStore.h"
#include "spectral/SpectrogramColumnWorker.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

// Frame buffers of the large transform may take at most this much memory over all workers. Where
// less memory is to be had, fewer workers are used (see PrepareSpectrogramBitmap).
inline constexpr std::size_t kLargeTransformMemoryBudget = std::size_t{1} << 30;

struct SpectrogramPreparation;

struct SpectrogramRunOptions {
    unsigned Threads = 0; // workers; 0: one per thread of the worker pool (one per core)
    // Largest number of bytes the image and the frame buffers may take together; an allocation that
    // would go beyond it fails exactly as one the machine refuses. The default is no limit beyond the
    // machine's.
    std::size_t MemoryLimit = std::numeric_limits<std::size_t>::max();
    // Called on the computing thread once the preparation has ended, accepted or refused, before the
    // first column: where a window shows the image size and offers its stop button.
    std::function<void(const SpectrogramPreparation&)> Prepared;
};

struct SpectrogramPreparation {
    int32_t Hop = -1;          // N div d; -1: the image is refused and nothing else changed
    std::string ImageSizeText; // status panel 1: the new size, or the " ERRR!" refusal
    std::vector<std::unique_ptr<SpectrogramColumnWorker>> Workers; // empty when refused
};

// Sizes a new, all-zero SpectrogramBitmap for store.ValueCount and the settings, or refuses it (image
// estimate of 501 MB or more, or the image or the frame buffers of even one worker cannot be
// allocated) keeping the previous image, FFT size, window table and curve. When the buffers of some
// workers cannot be had, the run goes on with fewer: those allocated before the failure, less one
// whose memory is left for the rest of the run (thread stacks, the window's copy of the picture), at
// least one. On acceptance it sets CurrentFFTSize, WindowTable and FadeCurve and sets control's
// progress to 0; its stop flag is not touched. StartTime is set in both cases. A stop seen while the
// window table is built (which takes a good part of a second at the largest N) leaves the rest of the
// table uncomputed: the run then ends before its first column, and the next run builds the table anew.
SpectrogramPreparation PrepareSpectrogramBitmap(SpectrogramState& state, const SignalStore& store,
                                                const SpectrogramSettings& settings, JobControl& control,
                                                const SpectrogramRunOptions& options = {});

// What an edit's following recomputation refreshes for the next edit, without computing a picture:
// when the settings' image would be accepted, CurrentFFTSize becomes settings.FFTSize and FadeCurve is
// rebuilt for the store, and true is returned; a refused image changes nothing and returns false.
bool RefreshFadeCurveAndFFTSize(SpectrogramState& state, const SignalStore& store,
                                const SpectrogramSettings& settings);

// The number of workers for a run: Threads (or the worker pool's threads), at most one per column,
// and for the large transform no more than the memory budget allows (at least one).
std::size_t SpectrogramWorkerCount(unsigned threads, int32_t fftSize, int64_t width);
