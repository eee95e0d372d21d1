// The strongest pixel of a row stretch: both forms give the first of the highest rank, as a direct
// scan through the ranking's table finds it, for every colour, stretch length and position.
#include "view/RowPeak.h"

#include "signal/ProcessorFeatures.h"
#include "spectral/LevelScale.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <utility>
#include <vector>

namespace {

using RowPeakForm = TRowPeak (*)(const TColor32*, int32_t, int32_t, const TLevelRanking&);

const TLevelRanking& Spectrum() {
    static const TLevelRanking ranking = RankingOfPalette(PaletteItem::Spectrum);
    return ranking;
}

TRowPeak DirectPeak(const TColor32* row, int32_t from, int32_t to, const TLevelRanking& ranking) {
    TRowPeak best{-1, from};
    for (int32_t x = from; x < to; ++x)
        if (ranking.Rank(row[x]) > best.Rank) best = {ranking.Rank(row[x]), x};
    return best;
}

// A row like a spectrogram's: runs of first-stretch colours (red and green 0) of few distinct levels,
// so that the strongest ties, broken by colours of the whole ramp and colours off it, any alpha.
std::vector<TColor32> MixedRow(size_t length, uint32_t seed) {
    const std::vector<TColor32> ramp = SpectrumRampColours();
    std::mt19937 random(seed);
    std::vector<TColor32> row(length);
    for (size_t x = 0; x < length; ++x) {
        const uint32_t kind = random() % 16;
        const TColor32 alpha = (random() & 0xFF) << 24;
        if (kind < 11)
            row[x] = alpha | (random() % 6) * 40;
        else if (kind < 15)
            row[x] = alpha | (ramp[random() % ramp.size()] & 0xFFFFFF);
        else
            row[x] = random();
    }
    return row;
}

class RowPeakForms : public testing::TestWithParam<RowPeakForm> {
protected:
    void SetUp() override {
        if (GetParam() == &StrongestInRowAvx2 && !ProcessorHasAvx2()) GTEST_SKIP() << "no AVX2";
    }
};

TEST_P(RowPeakForms, EveryColourHasTheRankOfTheTable) {
    // Eight pixels of one colour: the vector form ranks all eight, the first of them is the one chosen.
    for (uint32_t colour = 0; colour <= 0xFFFFFF; ++colour) {
        std::array<TColor32, 8> row;
        row.fill(colour | (colour * 0x9E3779B1u & 0xFF000000u));
        const TRowPeak peak = GetParam()(row.data(), 0, 8, Spectrum());
        ASSERT_EQ(peak.Rank, Spectrum().Rank(colour)) << std::hex << colour;
        ASSERT_EQ(peak.X, 0) << std::hex << colour;
    }
}

// Short stretches at every start and length of a mixed row, and stretches longer than the 65536 pixels
// whose places one vector number holds, with equal peaks before and after that length and a stronger one
// only late.
TEST_P(RowPeakForms, FirstOfTheStrongestInEveryStretch) {
    const auto same = [&](const std::vector<TColor32>& row, int32_t from, int32_t to) {
        const TRowPeak expected = DirectPeak(row.data(), from, to, Spectrum());
        const TRowPeak found = GetParam()(row.data(), from, to, Spectrum());
        return std::pair(found.Rank, found.X) == std::pair(expected.Rank, expected.X);
    };
    const std::vector<TColor32> mixed = MixedRow(400, 7);
    for (int32_t from = 0; from < 24; ++from)
        for (int32_t to = from + 1; to <= from + 300; ++to)
            ASSERT_TRUE(same(mixed, from, to)) << from << ".." << to;
    std::vector<TColor32> flat(200003, Color32(0, 0, 9));
    for (int32_t peak : {70001, 5, 131075}) {
        flat[size_t(peak)] = Color32(255, 255, 255);
        for (auto [from, to] : {std::pair{0, 200003}, {3, 200000}, {6, 150000}, {70000, 199999}})
            EXPECT_TRUE(same(flat, from, to)) << peak << " " << from << ".." << to;
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, RowPeakForms, testing::Values(&StrongestInRowPlain, &StrongestInRowAvx2),
                         [](const testing::TestParamInfo<RowPeakForm>& info) {
                             return info.index == 0 ? std::string("Plain") : std::string("Avx2");
                         });

} // namespace
