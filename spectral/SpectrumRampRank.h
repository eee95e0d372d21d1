// The rank of a colour in the "Spectrum" ramp worked out from its channels, without a table: along the
// ramp one channel moves a byte per step while the other two sit at 0 or 255, so the two fixed channels
// tell the stretch and the moving one the step. The same ranks as RankingOfPalette(Spectrum) gives
// (0 for black and for every colour off the ramp); the tests compare them on every colour. The
// peak-keeping shrink of a picture in the ramp's colours ranks its pixels this way.
#pragma once

#include "view/Color32.h"

#include <cstdint>

// The rank of `colour` (alpha ignored): 255 k + step for step 1 .. 255 of stretch k, black 0.
inline int32_t SpectrumRampRank(TColor32 colour) {
    const int32_t r = RedOf(colour), g = GreenOf(colour), b = BlueOf(colour);
    if (r == 0) {
        if (g == 0) return b;          // black to blue
        if (b == 255) return 255 + g;  // blue to cyan
        return g == 255 ? 765 - b : 0; // cyan to green
    }
    if (r == 255) {
        if (b == 0) return 1275 - g;    // yellow to red
        if (g == 0) return 1275 + b;    // red to magenta
        return b == 255 ? 1530 + g : 0; // magenta to white
    }
    return g == 255 && b == 0 ? 765 + r : 0; // green to yellow
}

// ranks[i] = SpectrumRampRank(colours[i]) for i = 0 .. count - 1, eight at a time where the processor
// has AVX2.
void SpectrumRampRanks(const TColor32* colours, int32_t count, int32_t* ranks);

// The same one colour at a time, on any processor, and the AVX2 form (only where the processor has
// it); tests compare the two.
void SpectrumRampRanksOneByOne(const TColor32* colours, int32_t count, int32_t* ranks);
void SpectrumRampRanksAvx2(const TColor32* colours, int32_t count, int32_t* ranks);
