// The "Spectrum" ramp's ranks worked out from the channels, in both forms, against the ranking's
// table: every one of the 2^24 colours, with and without alpha, ranks the same.
#include "spectral/SpectrumRampRank.h"
#include "spectral/LevelColours.h"
#include "spectral/LevelScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const TLevelRanking& Table() {
    static const TLevelRanking ranking(SpectrumRampColours());
    return ranking;
}

using RankRun = void (*)(const TColor32*, int32_t, int32_t*);

class SpectrumRampRanksForm : public testing::TestWithParam<RankRun> {};

// Every colour, in runs of every length up to 40 at every start (the vector blocks and the rest),
// with alpha set and clear.
TEST_P(SpectrumRampRanksForm, EqualsTheTableOnEveryColour) {
    if (GetParam() == &SpectrumRampRanksAvx2 && !LevelColoursUseAvx2()) GTEST_SKIP() << "no AVX2 here";
    constexpr uint32_t kColours = 1u << 24;
    std::vector<TColor32> colours(kColours);
    std::vector<int32_t> ranks(kColours);
    for (const TColor32 alpha : {0xFF000000u, 0x00000000u}) {
        for (uint32_t rgb = 0; rgb < kColours; ++rgb) colours[rgb] = rgb | alpha;
        for (uint32_t at = 0, length = 0; at < kColours; at += length, length = (length + 1) % 41)
            GetParam()(colours.data() + at, int32_t(std::min(length, kColours - at)), ranks.data() + at);
        int differing = 0;
        for (uint32_t i = 0; i < kColours; ++i)
            if (ranks[i] != Table().Rank(colours[i]) && ++differing <= 3)
                ADD_FAILURE() << std::hex << colours[i] << ": " << std::dec << ranks[i] << " vs the table's "
                              << Table().Rank(colours[i]);
        EXPECT_EQ(differing, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, SpectrumRampRanksForm,
                         testing::Values(&SpectrumRampRanks, &SpectrumRampRanksAvx2,
                                         &SpectrumRampRanksOneByOne));

} // namespace
