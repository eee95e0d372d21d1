// The one way to redraw the spectrogram from the store: prepare the image, compute its columns on
// worker threads, and produce the status texts. Called by the window from a worker thread (it does its
// own locking, stop button and progress bar around the call, and clears the stop flag before the job
// starts) and by orvane-cli.
#pragma once

#include "signal/JobControl.h"
#include "signal/SignalStore.h"
#include "spectral/SpectrogramPreparation.h"
#include "spectral/SpectrogramSettings.h"
#include "spectral/SpectrogramState.h"

#include <string>

struct SpectrogramResult {
    bool Ran = false;     // false: nothing loaded; nothing changed and every text is empty
    bool Refused = false; // no column computed; SpectrogramBitmap is still the previous image
    bool Stopped = false; // the stop flag ended the computation: in each band the columns [0, k) are drawn
                          // (k may be 0), the others are as the preparation left them
    std::string ImageSizeText;   // status panel 1
    std::string TimeText;        // status panel 2, e.g. " 35 ms"
    std::string ChannelRateText; // status panel 3, e.g. "  Channels: 2  SmpleRate: 48000"
};

// Recomputes state.SpectrogramBitmap from the store: nothing when no file is loaded, two stacked bands
// when store.ChannelCount is 2 (channel 1, the even positions, in the top band; then channel 2 in the
// bottom band, not started when the top one was stopped), or with settings.IQSpectrum the one band
// of the complex spectrum of I + jQ; one picture otherwise. Polls
// control.StopRequested throughout and never clears it: a stop asked for before the call or during
// the preparation ends the run as soon as the image is prepared, with no column drawn. Reports
// progress in percent, 100 when every column is done. options.Prepared, if set, is called between
// the preparation and the first column.
SpectrogramResult RecomputeSpectrogram(SpectrogramState& state, const SignalStore& store,
                                       const SpectrogramSettings& settings, JobControl& control,
                                       const SpectrogramRunOptions& options = {});

// Fills the texts of panels 2 (time since the preparation started) and 3 (channels and rate).
void CompleteSpectrogram(const SpectrogramState& state, const SignalStore& store, SpectrogramResult& result);
