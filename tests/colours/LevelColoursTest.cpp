// The colours of many levels at once (the spectrogram's fast form) against LevelToColor32 level by
// level, on the levels where a fault would show: every ramp boundary and its float neighbours, the
// ends of the range, special values, and random bit patterns, in runs of every length around the
// eight-level blocks. The exhaustive check over all 2^32 floats is bench/level_colours_exhaustive.cpp.
#include "spectral/LevelColours.h"
#include "spectral/LevelToColor.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace {

using Mapping = void (*)(const float*, TColor32*, std::size_t);

// Each boundary of the ramp, its nearest floats on both sides, and whole-number levels around it.
std::vector<float> EdgeLevels() {
    const float boundaries[] = {0.0f,     10000.0f,  35000.0f,   60000.0f,
                                90000.0f, 450000.0f, 2500000.0f, 5000000.0f};
    std::vector<float> levels;
    for (const float b : boundaries) {
        float below = b;
        float above = b;
        for (int k = 0; k < 4; ++k) {
            below = std::nextafter(below, -1e30f);
            above = std::nextafter(above, 1e30f);
            levels.insert(levels.end(), {below, above, b - float(k) - 0.5f, b + float(k) + 0.5f});
        }
        levels.push_back(b);
    }
    constexpr float inf = std::numeric_limits<float>::infinity();
    levels.insert(levels.end(),
                  {-0.0f, -1.0f, -inf, inf, std::numeric_limits<float>::quiet_NaN(),
                   -std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min(),
                   std::numeric_limits<float>::max(), 1e30f, 4999999.5f, 127.5f / 255 * 10000});
    // Levels whose ramp value lands half-way between two bytes (ties go to even).
    for (int byte = 0; byte < 255; ++byte) levels.push_back((float(byte) + 0.5f) / 255.0f * 10000.0f);
    return levels;
}

// Blocks of eight levels of the first ramp, [0, 10000): a noise floor's, which the fast form maps
// without choosing ramps unless a byte needs the exact rounding. Runs of eight neighbouring floats
// across the ramp, then each byte's half-way level with its seven neighbours above.
std::vector<float> FirstRampBlocks() {
    std::vector<float> levels;
    const uint32_t top = std::bit_cast<uint32_t>(10000.0f);
    for (uint32_t bits = 0; bits + 8 <= top; bits += 8 * 998)
        for (uint32_t k = 0; k < 8; ++k) levels.push_back(std::bit_cast<float>(bits + k));
    for (int byte = 0; byte < 255; ++byte) {
        float level = (float(byte) + 0.5f) / 255.0f * 10000.0f;
        for (int k = 0; k < 8; ++k, level = std::nextafter(level, 1e30f)) levels.push_back(level);
    }
    return levels;
}

std::vector<float> RandomLevels(std::size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> level(-1000.0f, 6000000.0f);
    std::vector<float> levels(count);
    for (std::size_t i = 0; i < count; ++i)
        levels[i] = i % 3 == 0 ? std::bit_cast<float>(static_cast<uint32_t>(random())) : level(random);
    return levels;
}

void ExpectSameColours(Mapping mapping, const std::vector<float>& levels) {
    std::vector<TColor32> colours(levels.size(), 0x12345678u);
    mapping(levels.data(), colours.data(), levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i)
        ASSERT_EQ(colours[i], LevelToColor32(levels[i]))
            << "level " << levels[i] << " (bits " << std::hex << std::bit_cast<uint32_t>(levels[i]) << ")";
}

class LevelColours : public ::testing::TestWithParam<Mapping> {
protected:
    void SetUp() override {
        if (GetParam() == &LevelsToColoursAvx2 && !LevelColoursUseAvx2()) GTEST_SKIP() << "no AVX2 here";
    }
};

TEST_P(LevelColours, EdgesOfEveryRampGiveTheReferenceBytes) {
    ExpectSameColours(GetParam(), EdgeLevels());
}

TEST_P(LevelColours, BlocksOfTheFirstRampGiveTheReferenceBytes) {
    ExpectSameColours(GetParam(), FirstRampBlocks());
}

TEST_P(LevelColours, RandomLevelsGiveTheReferenceBytes) {
    ExpectSameColours(GetParam(), RandomLevels(200000, 7));
}

// Runs of 0 to 20 levels: the blocks of eight and the tail after them, and nothing written past the end.
TEST_P(LevelColours, EveryRunLengthIsMappedWholeAndNoFurther) {
    const std::vector<float> levels = RandomLevels(20, 11);
    for (std::size_t count = 0; count <= levels.size(); ++count) {
        std::vector<TColor32> colours(levels.size() + 1, 0xDEADBEEFu);
        GetParam()(levels.data(), colours.data(), count);
        for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(colours[i], LevelToColor32(levels[i])) << count;
        for (std::size_t i = count; i < colours.size(); ++i) EXPECT_EQ(colours[i], 0xDEADBEEFu) << count;
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, LevelColours,
                         ::testing::Values(&LevelsToColours, &LevelsToColoursAvx2, &LevelsToColoursPortable));

} // namespace
