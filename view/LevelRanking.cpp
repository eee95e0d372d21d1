#include "view/LevelRanking.h"

#include <cstdlib>
#include <new>

void TLevelRanking::Free::operator()(uint16_t* p) const {
    std::free(p);
}

// calloc hands out a table this large as fresh zero pages without writing them.
TLevelRanking::TLevelRanking(const std::vector<TColor32>& weakestFirst, TRankFormula formula)
    : formula_(formula) {
    table_.reset(static_cast<uint16_t*>(std::calloc(std::size_t{kColourMask} + 1, sizeof(uint16_t))));
    if (!table_) throw std::bad_alloc();
    for (std::size_t rank = 0; rank < weakestFirst.size(); ++rank)
        table_.get()[weakestFirst[rank] & kColourMask] = uint16_t(rank);
    ranks_ = uint32_t(weakestFirst.size());
}
