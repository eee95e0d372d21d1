// Where the frequency ruler's labels stand: their texts and rectangles for a ruler of a given height,
// frequency range and font, such that no two rectangles meet and no label covers the unit ("kHz",
// "MHz"). The 24 equal steps of FrequencyAxis.h when they have room; otherwise a label at every
// multiple of the smallest step of the 1-2-5 series that leaves room for a line of text, with the
// decimals that step needs. A pure function of its inputs, so that it is checked without pixels.
#pragma once

#include "view/FrequencyAxis.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the layout knows of the font: the height of a line and the width of a text, in pixels.
struct RulerFontMetrics {
    int LineHeight = 13;
    std::function<int(const std::string&)> TextWidth;
};

// The scales the ruler shows: as TRulerPaintBox holds them.
struct RulerScales {
    float Rate = 48000;
    RulerSpan Span;
    int Bands = 1; // bands of the picture (the complex picture has one)
    int Rows = 0;  // rows of a band (of the complex picture); 0: not known
    bool Complex = false;
    int64_t CentreHertz = 0; // the complex picture's radio frequency of 0 Hz; 0: none
};

struct PlacedRulerLabel {
    RulerLabel Label; // text and top-left corner
    int Width = 0;
    int Height = 0;
};

struct RulerLayout {
    std::vector<PlacedRulerLabel> Labels;
    int Width = 0; // the right edge of the widest label: the room the ruler needs
};

RulerLayout LayOutRuler(const RulerScales& scales, const RulerFontMetrics& font);

// The given labels measured, as they stand (no thinning), and the room they need.
RulerLayout PlaceRulerLabels(const std::vector<RulerLabel>& labels, const RulerFontMetrics& font);

// True when the two labels' rectangles share a pixel.
bool LabelsMeet(const PlacedRulerLabel& a, const PlacedRulerLabel& b);
