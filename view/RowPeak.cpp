#include "view/RowPeak.h"

#include "signal/ProcessorFeatures.h"
#include "view/LevelRanking.h"

#include <algorithm>

TRowPeak StrongestInRow(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking) {
    return ranking.Formula() == TRankFormula::SpectrumRamp && ProcessorHasAvx2()
               ? StrongestInRowAvx2(row, from, to, ranking)
               : StrongestInRowPlain(row, from, to, ranking);
}

// Each pixel becomes one number, its rank above its column turned upside down (~x), so that the largest
// number is the first of the strongest pixels and a plain maximum finds it; four maxima over every
// fourth pixel do not wait on each other, where one would make every pixel wait for the comparison of
// the one before it.
TRowPeak StrongestInRowPlain(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking) {
    // Greater than zero for every column (x < 2^31), so 0 stands for no pixel yet.
    const auto key = [&](int32_t x) { return uint64_t{ranking.Rank(row[x])} << 32 | uint32_t(~x); };
    uint64_t m0 = 0, m1 = 0, m2 = 0, m3 = 0;
    int32_t x = from;
    for (; x + 4 <= to; x += 4) {
        m0 = std::max(m0, key(x));
        m1 = std::max(m1, key(x + 1));
        m2 = std::max(m2, key(x + 2));
        m3 = std::max(m3, key(x + 3));
    }
    for (; x < to; ++x) m0 = std::max(m0, key(x));
    const uint64_t strongest = std::max(std::max(m0, m1), std::max(m2, m3));
    return {int32_t(strongest >> 32), int32_t(~uint32_t(strongest))};
}
