// The frequency axis of the spectrogram as the ruler beside the picture labels it: each band of the
// picture runs from half the sample rate at its top to 0 Hz at its bottom, and the ruler labels 22 of
// its 24 equal steps in kHz.
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

// The part of the ruler's height that stands beside the picture, in ruler pixels.
struct RulerSpan {
    double Top = 0;
    double Height = 0;
};

// Labels for a picture of `bands` equal bands (one signal, or two channels one above the other), each
// running from half the rate down to 0 Hz, over `span`: every band gets the labels RulerLabels gives
// for its own height and its own "kHz". When the picture's rows are known (`rowsPerBand` > 0) the
// labels move up by half a row, so that a label's dash points at the middle of the row whose bin has
// the label's frequency.
std::vector<RulerLabel> BandRulerLabels(float rate, const RulerSpan& span, int bands, int rowsPerBand);

// Labels for the complex picture of `rows` rows (0: not known) over `span`, from +rate/2 at the top to
// -rate/2 at the bottom in the same 24 steps, 0 Hz in the middle: signed kHz, or with a centre
// frequency (Hz, > 0) the radio frequency centre + f in MHz with the decimals a bin needs (at most six).
// Moved up by half a row as the bands' labels are.
std::vector<RulerLabel> ComplexRulerLabels(float rate, const RulerSpan& span, int rows, int64_t centreHertz);
