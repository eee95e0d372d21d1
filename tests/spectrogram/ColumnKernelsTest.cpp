// The AVX2 inner loops of a spectrogram column against their plain forms, bit for bit, on random and
// extreme inputs in runs of every length around the vector widths, at every alignment of the arrays.
#include "spectral/ColumnKernels.h"
#include "spectral/CacheLineVector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr int64_t kLongest = 70;

std::vector<int16_t> RandomValues(std::size_t count, std::mt19937& random) {
    const int16_t extremes[] = {0, 1, -1, std::numeric_limits<int16_t>::min(),
                                std::numeric_limits<int16_t>::max()};
    std::vector<int16_t> values(count);
    for (std::size_t i = 0; i < count; ++i)
        values[i] = i % 4 == 0 ? extremes[random() % 5] : static_cast<int16_t>(random());
    return values;
}

// Window coefficients, among them 0, -0 and the tiny and huge ones whose products round.
std::vector<float> RandomWindow(std::size_t count, std::mt19937& random) {
    const float extremes[] = {0.0f, -0.0f, 1.0f, 3.0517578e-5f, 1e-40f, 1e30f, -0.25f};
    std::uniform_real_distribution<float> coefficient(0.0f, 1.0f);
    std::vector<float> window(count);
    for (std::size_t i = 0; i < count; ++i)
        window[i] = i % 5 == 0 ? extremes[random() % 7] : coefficient(random);
    return window;
}

// Bins with zeros of both signs, magnitudes whose double sum rounds, and random bit patterns.
std::vector<TComplexSingle> RandomBins(std::size_t count, std::mt19937& random) {
    const float extremes[] = {0.0f, -0.0f, 1e-45f, 16777217.0f, -3e38f, 1.5f};
    std::vector<TComplexSingle> bins(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto pick = [&] {
            switch (random() % 3) {
            case 0:
                return extremes[random() % 6];
            case 1:
                return std::ldexp(static_cast<float>(random() % 100000) - 50000.0f,
                                  static_cast<int>(random() % 40));
            default:
                const float f = std::bit_cast<float>(static_cast<uint32_t>(random()));
                return std::isnan(f) ? 2.0f : f;
            }
        };
        bins[i] = {pick(), pick()};
    }
    bins[0] = {0.0f, -0.0f};
    return bins;
}

template <class T> void ExpectSameBits(const std::vector<T>& a, const std::vector<T>& b, int64_t count) {
    ASSERT_EQ(a.size(), b.size());
    ASSERT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(T)), 0) << "count " << count;
}

class ColumnKernelsTest : public testing::TestWithParam<int64_t> {
protected:
    void SetUp() override {
        if (!ColumnKernelsUseAvx2()) GTEST_SKIP() << "no AVX2 on this processor";
    }
    // The offset of the arrays from their start, so that every alignment is taken.
    int64_t Offset() const { return GetParam() % 8; }
    std::mt19937 random_{static_cast<uint32_t>(GetParam())};
};

TEST_P(ColumnKernelsTest, WindowedRealFramesAreTheSame) {
    const int64_t count = GetParam();
    const auto values = RandomValues(count + 8, random_);
    const auto window = RandomWindow(count + 8, random_);
    for (const int ownParity : {-1, 0, 1}) {
        std::vector<TComplexSingle> plain(count + 8, {7.0f, 7.0f}), fast = plain;
        WindowRealValuesPlain(values.data() + Offset(), window.data() + Offset(), count, ownParity,
                              plain.data());
        WindowRealValuesAvx2(values.data() + Offset(), window.data() + Offset(), count, ownParity,
                             fast.data());
        ExpectSameBits(plain, fast, count);
    }
}

// The packed elements of one parity are the whole frame's elements of that parity, in both forms, read
// from arrays that end with the last element read (2 count - 1 values), so that a read beyond it is seen
// by the sanitizer.
TEST_P(ColumnKernelsTest, PackedElementsOfOneParityAreTheFramesOwn) {
    const int64_t count = GetParam();
    const int64_t used = Offset() + std::max<int64_t>(2 * count - 1, 0);
    const auto values = RandomValues(used, random_);
    const auto window = RandomWindow(used, random_);
    std::vector<TComplexSingle> expected(count + 1, {7.0f, 7.0f});
    for (int64_t m = 0; m < count; ++m)
        WindowRealValuesPlain(values.data() + Offset() + 2 * m, window.data() + Offset() + 2 * m, 1, -1,
                              expected.data() + m);
    std::vector<TComplexSingle> plain(count + 1, {7.0f, 7.0f}), fast = plain;
    WindowEveryOtherValuePlain(values.data() + Offset(), window.data() + Offset(), count, plain.data());
    WindowEveryOtherValueAvx2(values.data() + Offset(), window.data() + Offset(), count, fast.data());
    ExpectSameBits(expected, plain, count);
    ExpectSameBits(expected, fast, count);
}

TEST_P(ColumnKernelsTest, WindowedComplexFramesAreTheSame) {
    const int64_t count = GetParam();
    const auto pairs = RandomValues(2 * count + 8, random_);
    const auto window = RandomWindow(count + 8, random_);
    std::vector<TComplexSingle> plain(count + 1, {7.0f, 7.0f}), fast = plain;
    WindowComplexValuesPlain(pairs.data() + Offset(), window.data() + Offset(), count, plain.data());
    WindowComplexValuesAvx2(pairs.data() + Offset(), window.data() + Offset(), count, fast.data());
    ExpectSameBits(plain, fast, count);
}

TEST_P(ColumnKernelsTest, BinLevelsAreTheSame) {
    const int64_t count = GetParam();
    const auto bins = RandomBins(count + 8, random_);
    for (const double gain : {1.0, 0.01, 80.0, 0.3}) {
        std::vector<float> plain(count + 1, 7.0f), fast = plain;
        BinLevelsPlain(bins.data() + Offset(), count, gain, plain.data());
        BinLevelsAvx2(bins.data() + Offset(), count, gain, fast.data());
        ExpectSameBits(plain, fast, count);
    }
}

// At a gain of 1 the AVX2 form adds in single precision: a million bins whose two parts lie 20 to 40
// binades apart, where the double sum stops being exact and each float sum has to round, as the plain
// form's double sum rounds.
TEST(ColumnKernelsUnitGain, LevelsOfSumsThatRoundAreThePlainOnes) {
    if (!ColumnKernelsUseAvx2()) GTEST_SKIP() << "no AVX2 on this processor";
    std::mt19937 random(2024);
    std::vector<TComplexSingle> bins(1 << 20);
    for (TComplexSingle& bin : bins) {
        const float larger = std::ldexp(1.0f + static_cast<float>(random() % 8388608) / 8388608.0f,
                                        static_cast<int>(random() % 200) - 100);
        const float smaller = std::ldexp(larger, -20 - static_cast<int>(random() % 21)) *
                              (1.0f + static_cast<float>(random() % 4096) / 4096.0f);
        bin = random() % 2 ? TComplexSingle{larger, -smaller} : TComplexSingle{-smaller, larger};
    }
    std::vector<float> plain(bins.size()), fast(bins.size());
    BinLevelsPlain(bins.data(), static_cast<int64_t>(bins.size()), 1.0, plain.data());
    BinLevelsAvx2(bins.data(), static_cast<int64_t>(bins.size()), 1.0, fast.data());
    ExpectSameBits(plain, fast, static_cast<int64_t>(bins.size()));
}

TEST_P(ColumnKernelsTest, GatheredBinsAndLevelsAreTheSame) {
    const int64_t count = GetParam();
    std::vector<uint16_t> order(count);
    std::iota(order.begin(), order.end(), uint16_t{0});
    std::shuffle(order.begin(), order.end(), random_);
    const auto bins = RandomBins(count + 1, random_);
    std::vector<TComplexSingle> plainBins(count + 1, {7.0f, 7.0f}), fastBins = plainBins;
    GatherBinsPlain(bins.data(), order.data(), count, plainBins.data());
    GatherBinsAvx2(bins.data(), order.data(), count, fastBins.data());
    ExpectSameBits(plainBins, fastBins, count);
    std::vector<float> levels(count + 1), plainLevels(count + 1, 7.0f), fastLevels = plainLevels;
    BinLevelsPlain(bins.data(), count, 1.0, levels.data());
    GatherLevelsPlain(levels.data(), order.data(), count, plainLevels.data());
    GatherLevelsAvx2(levels.data(), order.data(), count, fastLevels.data());
    ExpectSameBits(plainLevels, fastLevels, count);
}

// A run of one to three tiles stored a cache line at a time, upwards as the spectrogram stores them and
// downwards, into rows that start at every offset within a line (the width and the first column vary
// with the parameter): every pixel of the run's columns is its tile's, every pixel around them stays as
// it was, in the plain form and the AVX2 one.
TEST_P(ColumnKernelsTest, RunsOfTilesStoredByLinesHoldTheirTilesAndNothingElse) {
    const int64_t stride = 8 + GetParam();
    const int64_t tiles = 1 + GetParam() % 3;
    std::vector<TColor32> tile(static_cast<std::size_t>(tiles * kTileBlockColumns * stride));
    for (TColor32& c : tile) c = static_cast<TColor32>(random_());
    const auto tileOf = [&](int64_t t) { return tile.data() + t * kTileBlockColumns * stride; };
    const int64_t width = tiles * kTileBlockColumns + 3 + GetParam();
    for (const int64_t rowStep : {width, -width}) {
        const CacheLineVector<TColor32> before(static_cast<std::size_t>(width * (kTileRowBlock + 2)),
                                               0x5a5a5a5au);
        const int64_t start = (rowStep > 0 ? width : width * kTileRowBlock) + GetParam() % 5;
        std::vector<TColor32> expected(before.begin(), before.end());
        for (int64_t j = 0; j < kTileRowBlock; ++j)
            for (int64_t c = 0; c < tiles * kTileBlockColumns; ++c)
                expected[static_cast<std::size_t>(start + j * rowStep + c)] =
                    tileOf(c / kTileBlockColumns)[c % kTileBlockColumns * stride + j];
        for (const auto store : {StoreTileLinesPlain, StoreTileLinesAvx2}) {
            CacheLineVector<TColor32> image = before;
            std::vector<TColor32> carry(kTileRowBlock * kTileBlockColumns);
            TColor32* first = image.data() + start;
            for (int64_t t = 0; t < tiles; ++t)
                store(tileOf(t), stride, first + t * kTileBlockColumns, rowStep, carry.data(), t > 0);
            FinishTileLines(carry.data(), first + tiles * kTileBlockColumns, rowStep);
            StreamedStoresDone();
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), image.begin()))
                << (store == StoreTileLinesPlain ? "plain" : "AVX2") << ", row step " << rowStep;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLength, ColumnKernelsTest, testing::Range<int64_t>(0, kLongest));

} // namespace
