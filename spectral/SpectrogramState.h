// What the spectrogram engine keeps between computations: the image, the window coefficients and
// FFT size it was computed with, the Fade edit's curve, and when the last preparation started.
// One object, owned by the main window or by orvane-cli.
#pragma once

#include "spectral/WindowTable.h"
#include "view/TBitmap32.h"

#include <chrono>
#include <cstdint>
#include <vector>

struct SpectrogramState {
    TBitmap32 SpectrogramBitmap;   // the picture in "Spectrum" colours; empty until the first computation
    TWindowTable WindowTable;      // CurrentFFTSize coefficients of the chosen window
    int32_t CurrentFFTSize = 1024; // N of the last accepted preparation (or of the settings at start-up)
    std::vector<float> FadeCurve;  // up to 1024 raised-cosine entries, read by the Fade edit
    std::chrono::steady_clock::time_point StartTime{}; // start of the last preparation
};

// The one writer of CurrentFFTSize: an accepted picture's preparation, its stand-in where no picture
// is computed, and the recording session when it takes the FFT size the user selected.
inline void UseFFTSize(SpectrogramState& state, int32_t fftSize) {
    state.CurrentFFTSize = fftSize;
}
