#include "view/LevelRanking.h"

#include <bit>
#include <cstddef>

TLevelRanking::TLevelRanking(const std::vector<TColor32>& weakestFirst) {
    // At most a quarter full, so that a lookup rarely probes past its first slot.
    const uint32_t size = std::bit_ceil(uint32_t(weakestFirst.size()) * 4u + 4u);
    table_.resize(size);
    mask_ = size - 1;
    shift_ = 32u - uint32_t(std::countr_zero(size));
    for (std::size_t rank = 0; rank < weakestFirst.size(); ++rank) {
        const uint32_t key = weakestFirst[rank] | kAlphaMask;
        uint32_t slot = Slot(key);
        while (table_[slot].Colour != kFree && table_[slot].Colour != key) slot = (slot + 1) & mask_;
        table_[slot] = Entry{key, uint16_t(rank)};
    }
    ranks_ = uint32_t(weakestFirst.size());
}
