#include "spectral/WindowTable.h"
#include "spectral/SpectrogramSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <numbers>

namespace {

TWindowTable Build(uint8_t index, int32_t n) {
    TWindowTable table;
    BuildWindowTable(index, n, table);
    return table;
}

// The windows written in terms of i (the other column of the window list), in double precision.
double Reference(uint8_t index, int i, int n) {
    const double c1 = std::cos(2 * std::numbers::pi * i / n);
    const double c2 = std::cos(4 * std::numbers::pi * i / n);
    const double c3 = std::cos(6 * std::numbers::pi * i / n);
    switch (index) {
    case kWindowNone:
        return 1.0;
    case kWindowTriangular:
        return 1 - std::fabs(2.0 * i / n - 1);
    case kWindowHamming:
        return 0.54 - 0.46 * c1;
    case kWindowHann:
        return 0.5 - 0.5 * c1;
    case kWindowBlackman:
        return std::fabs(0.42 - 0.5 * c1 + 0.08 * c2);
    case kWindowNuttall:
        return 0.3635819 - 0.4891775 * c1 + 0.1365995 * c2 - 0.0106411 * c3;
    case kWindowExperimental:
        return (0.754 - 0.46 * c1) * (0.5 - 0.5 * c1);
    }
    return -1;
}

} // namespace

TEST(WindowTable, EveryWindowMatchesItsFormulaInTermsOfI) {
    for (uint8_t index = 0; index < kFFTWindowItems.size(); ++index) {
        for (int n : {16, 64, 1024, 4096}) {
            const TWindowTable table = Build(index, n);
            ASSERT_EQ(table.size(), static_cast<size_t>(n));
            for (int i = 0; i < n; ++i)
                ASSERT_NEAR(table[i], Reference(index, i, n), 2e-7)
                    << kFFTWindowItems[index] << " N=" << n << " i=" << i;
        }
    }
}

TEST(WindowTable, PeriodicSymmetryAndNoNegativeEntries) {
    for (uint8_t index = 0; index < kFFTWindowItems.size(); ++index) {
        for (int n : {16, 2048}) {
            const TWindowTable table = Build(index, n);
            for (int i = 1; i < n; ++i)
                ASSERT_NEAR(table[i], table[n - i], 1e-7) << kFFTWindowItems[index] << " " << i;
            for (float v : table) ASSERT_GE(v, 0.0f) << kFFTWindowItems[index];
        }
    }
}

TEST(WindowTable, TriangularAt16IsExact) {
    const TWindowTable table = Build(kWindowTriangular, 16);
    const float expected[16] = {0,   0.125f, 0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f,
                                1.0, 0.875f, 0.75f, 0.625f, 0.5f, 0.375f, 0.25f, 0.125f};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(table[i], expected[i]) << i;
}

TEST(WindowTable, KnownEntriesAt16) {
    const TWindowTable hann = Build(kWindowHann, 16);
    EXPECT_LT(hann[0], 1e-7f);
    EXPECT_FLOAT_EQ(hann[1], 0.03806023f);
    EXPECT_FLOAT_EQ(hann[4], 0.5f);
    EXPECT_EQ(hann[8], 1.0f);

    const TWindowTable hamming = Build(kWindowHamming, 16);
    EXPECT_FLOAT_EQ(hamming[0], 0.08f);
    EXPECT_FLOAT_EQ(hamming[4], 0.54f);
    EXPECT_EQ(hamming[8], 1.0f);

    const TWindowTable blackman = Build(kWindowBlackman, 16);
    EXPECT_LT(blackman[0], 1e-16f);
    EXPECT_FLOAT_EQ(blackman[4], 0.34f);
    EXPECT_FLOAT_EQ(blackman[8], 1.0f);

    const TWindowTable nuttall = Build(kWindowNuttall, 16);
    EXPECT_FLOAT_EQ(nuttall[0], 0.0003628f);
    EXPECT_FLOAT_EQ(nuttall[4], 0.2269824f);
    EXPECT_FLOAT_EQ(nuttall[8], 1.0f);

    const TWindowTable experimental = Build(kWindowExperimental, 16);
    EXPECT_EQ(experimental[0], 0.0f);
    EXPECT_FLOAT_EQ(experimental[4], 0.377f);
    EXPECT_FLOAT_EQ(experimental[8], 1.214f);
}

TEST(WindowTable, UnknownIndexKeepsOldEntriesAndZeroesNewOnes) {
    TWindowTable table;
    BuildWindowTable(255, 16, table);
    ASSERT_EQ(table.size(), 16u);
    for (float v : table) EXPECT_EQ(v, 0.0f);

    BuildWindowTable(kWindowHann, 16, table);
    const TWindowTable hann = table;
    BuildWindowTable(7, 32, table);
    ASSERT_EQ(table.size(), 32u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(table[i], hann[i]) << i;
    for (int i = 16; i < 32; ++i) EXPECT_EQ(table[i], 0.0f) << i;
}

TEST(WindowTable, RebuildRewritesEveryEntryAndShrinks) {
    TWindowTable table;
    BuildWindowTable(kWindowNone, 64, table);
    BuildWindowTable(kWindowHann, 32, table);
    EXPECT_EQ(table, Build(kWindowHann, 32));
}

// The table is built with a double-precision first try; every entry must still be bit for bit the
// float of the extended-precision formula.
TEST(WindowTable, EntriesAreExactlyTheExtendedPrecisionValues) {
    for (uint8_t index = 0; index < kFFTWindowItems.size(); ++index) {
        for (int n : {16, 1024, 65536}) {
            const TWindowTable table = Build(index, n);
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(table[i], WindowEntryExtended(index, n, i))
                    << kFFTWindowItems[index] << " N=" << n << " i=" << i;
        }
        const int large = 1 << 20;
        const TWindowTable table = Build(index, large);
        for (int i = 0; i < large; i += 61)
            ASSERT_EQ(table[i], WindowEntryExtended(index, large, i)) << kFFTWindowItems[index] << " i=" << i;
    }
}

// Large tables are split over threads; every entry must be what a small table's formula gives.
TEST(WindowTable, LargeTableAgreesWithPointwiseFormula) {
    const int n = 1 << 18;
    const TWindowTable table = Build(kWindowNuttall, n);
    for (int i = 0; i < n; i += 997) ASSERT_NEAR(table[i], Reference(kWindowNuttall, i, n), 2e-7) << i;
    EXPECT_EQ(table[n / 2], 1.0f);
    EXPECT_EQ(table[n - 1], table[1]);
}

// A table large enough for its own mapping is built the same with a stop flag that stays down; a
// flag that is up leaves the new entries as they were and says so.
TEST(WindowTable, StopFlagLeavesTheTableUnfinished) {
    const int32_t n = 1 << 21;
    std::atomic<bool> stop{false};
    TWindowTable table;
    EXPECT_TRUE(BuildWindowTable(kWindowNuttall, n, table, &stop));
    EXPECT_EQ(table, Build(kWindowNuttall, n));

    stop = true;
    TWindowTable stopped;
    EXPECT_FALSE(BuildWindowTable(kWindowNuttall, n, stopped, &stop));
    ASSERT_EQ(stopped.size(), size_t(n));
    EXPECT_EQ(stopped[size_t(n) / 2], 0.0f); // the peak, 1.0 when computed
}
