// How the picture's colours stand for levels. A pixel's level is |Re| + |Im| of its bin times
// gain / 100; the "Spectrum" ramp (spectral/LevelToColor.h) turns it into one of 1786 colours in
// rising strength, and a palette shows that colour through its intensity. This file gives the rank of
// each colour in that order, the level a "Spectrum" colour stands for, the colour a level is shown in,
// and the dBFS of a level by the readout's own formula.
#pragma once

#include "spectral/Palettes.h"
#include "spectral/SpectrogramReadout.h"
#include "view/LevelRanking.h"

#include <cstdint>
#include <vector>

// The level at and above which the ramp is white.
inline constexpr double kSaturationLevel = 5000000.0;

// The ramp's colours, weakest (black) first, white last: each colour LevelToColor32 gives, once.
std::vector<TColor32> SpectrumRampColours();

// The strength order of the colours the picture is shown in with `palette`: the ramp's for
// "Spectrum", the palette's entries (darkest first) for the others.
TLevelRanking RankingOfPalette(PaletteItem palette);

// The level at the top of the span the "Spectrum" colour of rank `rank` stands for (0 for black,
// kSaturationLevel for white): each stretch of the ramp is linear in the level.
double SpectrumLevelOfRank(uint32_t rank);

// The colour a level is shown in with `palette`, as ApplyPalette shows the picture.
TColor32 ShownColourOfLevel(double level, PaletteItem palette);

// The dBFS of picture level `level` computed with gain item value `gain`: its |Re| + |Im| is
// level * 100 / gain, read against `fullScale` (see BinFullScale) as the readout reads |X|. For a tone
// |Re| + |Im| lies between |X| and 1.414 |X|, so the level reads at most 3 dB above the readout.
double PictureLevelDbfs(double level, int32_t gain, double fullScale);
// The inverse: the picture level whose dBFS is `dbfs`.
double PictureLevelAtDbfs(double dbfs, int32_t gain, double fullScale);
