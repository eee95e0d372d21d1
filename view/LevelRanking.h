// The strength order of the colours a picture is shown in: each colour of a scale (a palette, or the
// spectrogram's own colour ramp) gets its rank, 0 for the weakest. Drawing a picture smaller than its
// size keeps, of the pixels one screen pixel covers, the one of the highest rank, so that a tone is
// never lost or dimmed by the shrink; the readout reads the same pixel.
#pragma once

#include "view/Color32.h"

#include <cstdint>
#include <vector>

class TLevelRanking {
public:
    // `weakestFirst` lists the scale's colours in rising strength; a colour listed twice keeps its
    // later (higher) rank. Alpha is ignored.
    explicit TLevelRanking(const std::vector<TColor32>& weakestFirst);

    // The rank of `colour`; 0 for a colour the scale does not hold.
    uint16_t Rank(TColor32 colour) const {
        const uint32_t key = colour | kAlphaMask;
        for (uint32_t slot = Slot(key);; slot = (slot + 1) & mask_) {
            const Entry& e = table_[slot];
            if (e.Colour == key) return e.Rank;
            if (e.Colour == kFree) return 0;
        }
    }
    // The number of ranks: one above the highest.
    uint32_t Ranks() const { return ranks_; }

private:
    static constexpr uint32_t kAlphaMask = 0xFF000000u;
    static constexpr uint32_t kFree = 0; // no scale colour has alpha 0 once the mask is set
    struct Entry {
        uint32_t Colour = kFree;
        uint16_t Rank = 0;
    };
    uint32_t Slot(uint32_t key) const { return (key * 0x9E3779B1u) >> shift_; }

    std::vector<Entry> table_;
    uint32_t mask_ = 0;
    uint32_t shift_ = 32;
    uint32_t ranks_ = 0;
};
