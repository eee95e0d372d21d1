// The strongest pixel of a stretch of one picture row, by the rank of its colour (view/LevelRanking.h):
// the peak-keeping shrink (view/PeakShrink.h) asks it for every span of every row of the pictures it
// reduces, hundreds of millions of pixels. Where the processor has AVX2 eight ranks are looked up at
// once for the "Spectrum" ramp; the plain form, through the ranking's table, is the reference the tests
// hold it to.
#pragma once

#include "view/Color32.h"

#include <cstdint>

class TLevelRanking;

// The rank and the column of the strongest pixel, the first in row order among equally strong ones.
struct TRowPeak {
    int32_t Rank = 0;
    int32_t X = 0;
};

// The strongest of row[from] .. row[to - 1]; from < to.
TRowPeak StrongestInRow(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking);
TRowPeak StrongestInRowPlain(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking);
// Only for processors with AVX2 (see ProcessorHasAvx2) and a ranking of formula SpectrumRamp.
TRowPeak StrongestInRowAvx2(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking);
