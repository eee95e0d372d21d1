#include "spectral/SpectrumRampRank.h"

#include "spectral/LevelColours.h"

void SpectrumRampRanksOneByOne(const TColor32* colours, int32_t count, int32_t* ranks) {
    for (int32_t i = 0; i < count; ++i) ranks[i] = SpectrumRampRank(colours[i]);
}

void SpectrumRampRanks(const TColor32* colours, int32_t count, int32_t* ranks) {
    if (LevelColoursUseAvx2())
        SpectrumRampRanksAvx2(colours, count, ranks);
    else
        SpectrumRampRanksOneByOne(colours, count, ranks);
}
