// The "Spectrum" colours of many levels at once, for the spectrogram's columns: the same bytes as
// LevelToColor32 level by level (spectral/LevelToColor.h, which stays the definition), computed eight
// at a time without branches where the processor has AVX2.
#pragma once

#include "signal/ProcessorFeatures.h"
#include "view/Color32.h"

#include <cstddef>

// colours[i] = LevelToColor32(levels[i]) for i = 0 .. count - 1. The arrays must not overlap.
void LevelsToColours(const float* levels, TColor32* colours, std::size_t count);

// The same, level by level through LevelToColor32, on any processor; tests compare the two.
void LevelsToColoursPortable(const float* levels, TColor32* colours, std::size_t count);

// The eight-at-a-time form; only for processors with AVX2 (see LevelsToColours).
void LevelsToColoursAvx2(const float* levels, TColor32* colours, std::size_t count);

// Whether LevelsToColours takes the AVX2 form on this processor.
inline bool LevelColoursUseAvx2() {
    return ProcessorHasAvx2();
}
