#include "spectral/LevelColours.h"

#include "spectral/LevelToColor.h"

void LevelsToColoursPortable(const float* levels, TColor32* colours, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) colours[i] = LevelToColor32(levels[i]);
}

void LevelsToColours(const float* levels, TColor32* colours, std::size_t count) {
    if (LevelColoursUseAvx2())
        LevelsToColoursAvx2(levels, colours, count);
    else
        LevelsToColoursPortable(levels, colours, count);
}
