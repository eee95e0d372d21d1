// The one way to redraw the spectrogram from the store: prepare the image, compute its columns on
// worker threads, and produce the status texts. Called by the window from a worker thread (it does its
// own locking, stop button and progress bar around the call) and by orvane-cli.
#pragma once

#include "signal/JobControl.h"
#include "signal/SignalStore.h"
#include "spectral/SpectrogramPreparation.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"

#include <string>

struct SpectrogramResult {
    bool Ran = false;          // false: nothing loaded; nothing changed and every text is empty
    bool Refused = false;      // no column computed; SpectrogramBitmap is still the previous image
    bool Stopped = false;      // the stop flag ended the computation; the image is as far as it was computed
    std::string ImageSizeText; // status panel 1
    std::string TimeText;      // status panel 2, e.g. " 35 ms"
    std::string ChannelRateText; // status panel 3, e.g. "  Channels: 2  SmpleRate: 48000"
};

// Recomputes state.SpectrogramBitmap from the store: nothing when no file is loaded, two stacked bands
// when store.ChannelCount is 2, one picture otherwise. Polls control.StopRequested throughout, the
// preparation included (the caller clears it before the job), and reports progress in percent, 100
// when every column is done.
SpectrogramResult RecomputeSpectrogram(SpectrogramState& state, const SignalStore& store,
                                       const SpectrogramSettings& settings, JobControl& control,
                                       const SpectrogramRunOptions& options = {});

// The columns of one real signal into the prepared image; false when stopped.
bool SpectrogramOneChannel(SpectrogramState& state, const SignalStore& store,
                           const SpectrogramSettings& settings, SpectrogramPreparation& preparation,
                           JobControl& control);

// Channel 1 (even positions) into the top band, then channel 2 (odd positions) into the bottom band;
// the bottom band is not started when the top one was stopped. False when stopped.
bool SpectrogramTwoChannels(SpectrogramState& state, const SignalStore& store,
                            const SpectrogramSettings& settings, SpectrogramPreparation& preparation,
                            JobControl& control);

// Fills the texts of panels 2 (time since the preparation started) and 3 (channels and rate).
void CompleteSpectrogram(const SpectrogramState& state, const SignalStore& store, SpectrogramResult& result);
