// The strength order of the colours a picture is shown in: each colour of a scale (a palette, or the
// spectrogram's own colour ramp) gets its rank, 0 for the weakest. Drawing a picture smaller than its
// size keeps, of the pixels one screen pixel covers, the one of the highest rank, so that a tone is
// never lost or dimmed by the shrink; the readout reads the same pixel.
#pragma once

#include "view/Color32.h"

#include <cstdint>
#include <memory>
#include <vector>

// Whether the ranks also follow from a formula of the colour's bytes, which vector code computes for
// many pixels at once (view/RowPeak.h): SpectrumRamp for the colours of the "Spectrum" ramp listed as
// SpectrumRampColours (spectral/LevelScale.h) lists them.
enum class TRankFormula { None, SpectrumRamp };

class TLevelRanking {
public:
    // `weakestFirst` lists the scale's colours in rising strength; a colour listed twice keeps its
    // later (higher) rank. Alpha is ignored.
    explicit TLevelRanking(const std::vector<TColor32>& weakestFirst,
                           TRankFormula formula = TRankFormula::None);

    // The rank of `colour`; 0 for a colour the scale does not hold.
    uint16_t Rank(TColor32 colour) const { return table_.get()[colour & kColourMask]; }
    // The number of ranks: one above the highest.
    uint32_t Ranks() const { return ranks_; }
    TRankFormula Formula() const { return formula_; }

private:
    // The ranks sit in a table indexed by the colour's 24 bits, one load per pixel where a hash table
    // took a multiplication and a comparison: the peak-keeping shrink looks up every pixel of pictures
    // of hundreds of millions. The table spans 32 MiB of addresses, but only the pages that hold the
    // scale's colours are ever written (a few megabytes); the others read as the system's zero page.
    static constexpr uint32_t kColourMask = 0x00FFFFFFu;
    struct Free {
        void operator()(uint16_t* p) const;
    };
    std::unique_ptr<uint16_t, Free> table_;
    uint32_t ranks_ = 0;
    TRankFormula formula_ = TRankFormula::None;
};
