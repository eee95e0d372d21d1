// The AVX2 inner loops of a spectrogram column against their plain forms, bit for bit, on random and
// extreme inputs in runs of every length around the vector widths, at every alignment of the arrays.
#include "spectral/ColumnKernels.h"

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

// A block of tile columns stored into an image whose rows start at every alignment, upwards as the
// spectrogram stores them and downwards; the pixels around the block stay as they were.
TEST_P(ColumnKernelsTest, StoredTileBlocksAreTheSame) {
    const int64_t stride = 8 + GetParam();
    std::vector<TColor32> tile(static_cast<std::size_t>(kTileBlockColumns * stride));
    for (TColor32& c : tile) c = static_cast<TColor32>(random_());
    const int64_t width = kTileBlockColumns + 3 + GetParam();
    for (const int64_t rowStep : {width, -width}) {
        std::vector<TColor32> plain(static_cast<std::size_t>(width * (kTileRowBlock + 2)), 0x5a5a5a5au);
        std::vector<TColor32> fast = plain;
        const int64_t start = (rowStep > 0 ? width : width * kTileRowBlock) + Offset();
        StoreTileBlockPlain(tile.data() + Offset() % 3, stride, plain.data() + start, rowStep);
        StoreTileBlockAvx2(tile.data() + Offset() % 3, stride, fast.data() + start, rowStep);
        StreamedStoresDone();
        ExpectSameBits(plain, fast, width);
        EXPECT_EQ(plain[static_cast<std::size_t>(start + 2 * rowStep + 5)],
                  tile[static_cast<std::size_t>(5 * stride + 2 + Offset() % 3)]);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLength, ColumnKernelsTest, testing::Range<int64_t>(0, kLongest));

} // namespace
