// The frequency axis of the spectrogram: its rows run from half the sample rate at the top to 0 Hz at
// the bottom. The ruler beside the picture labels 22 of its 24 equal steps in kHz, and a click on the
// picture reads the frequency of the clicked row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RulerLabel {
    int X = 0;
    int Y = 0; // top of the text
    std::string Text;
};

// Labels for sample rate `rate` (Hz) on a ruler `height` pixels tall: "- " and the kHz value of rows
// k * height / 24 for k = 2 ... 23, drawn 6 pixels above their row, then "kHz" at (5, 4).
std::vector<RulerLabel> RulerLabels(float rate, int height);

// The frequency of bitmap row `row` in a picture `height` rows tall (height > 0) at `sampleRate` Hz:
// (height - row) * (sampleRate / 2 / height), rounded to the nearest integer, halves to even.
long long RowFrequency(int32_t row, int32_t height, int32_t sampleRate);
