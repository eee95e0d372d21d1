// The frequency ruler beside the zoomed picture: it labels only the frequencies in sight, at round steps
// (1, 2 or 5 times a power of ten hertz) far enough apart to be read at the zoom shown, each label's dash
// at the middle of the row whose bin has the label's frequency, as in the fitted picture. Each band in
// sight (one signal or channel, or the complex picture's one band) gets its unit at the top of its part.
#pragma once

#include "view/FrequencyAxis.h"

#include <cstdint>
#include <vector>

// The picture's frequency axis, as the ruler knows it.
struct RulerFrequencyScale {
    float Rate = 48000;
    int Bands = 1;
    int RowsPerBand = 0;     // 0: not known
    bool Complex = false;    // one band from +Rate/2 at the top to -Rate/2
    int64_t CentreHertz = 0; // with Complex: labels give centre + f in MHz when > 0
};

// Where the zoomed picture stands beside the ruler, in ruler pixels: all its rows (reaching beyond the
// ruler when zoomed in) and the part of the ruler beside the view.
struct ZoomedRulerPlace {
    RulerSpan Picture;
    double VisibleTop = 0;
    double VisibleBottom = 0;
};

// The frequencies of one band in sight, in baseband hertz, and where they stand on the ruler.
struct RulerBandRange {
    double TopY = 0;
    double BottomY = 0;
    double TopHz = 0;
    double BottomHz = 0;
};

// The bands' parts in sight, top to bottom.
std::vector<RulerBandRange> VisibleFrequencyRanges(const RulerFrequencyScale& scale,
                                                   const ZoomedRulerPlace& place);

// The labels of those parts, at least `minSpacing` pixels apart.
std::vector<RulerLabel> ZoomedRulerLabels(const RulerFrequencyScale& scale, const ZoomedRulerPlace& place,
                                          double minSpacing = 24);
