#include "spectral/LevelColours.h"

#include "spectral/LevelToColor.h"

bool LevelColoursUseAvx2() {
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return avx2;
}

void LevelsToColoursPortable(const float* levels, TColor32* colours, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) colours[i] = LevelToColor32(levels[i]);
}

void LevelsToColours(const float* levels, TColor32* colours, std::size_t count) {
    if (LevelColoursUseAvx2())
        LevelsToColoursAvx2(levels, colours, count);
    else
        LevelsToColoursPortable(levels, colours, count);
}
