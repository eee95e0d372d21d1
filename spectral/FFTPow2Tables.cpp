#include "spectral/FFTPow2Tables.h"

#include <bit>
#include <cmath>
#include <numbers>

namespace {

// Each doubling M -> 2M repeats the table twice, doubled, and adds one to a run of M entries
// starting at v, where v follows the recursion v <- 2v - t with a toggling t.
void BuildScrambleTables(FFTPow2Tables& tables) {
    tables.ScrambleTable[1] = {0, 1};
    int toggle = 1;
    int offset = 1;
    for (int log = 1; log < kFFTPow2MaxLog; ++log) {
        const std::vector<uint16_t>& half = tables.ScrambleTable[log];
        const int m = static_cast<int>(half.size());
        toggle = 1 - toggle;
        offset = 2 * offset - toggle;
        std::vector<uint16_t>& full = tables.ScrambleTable[log + 1];
        full.resize(2 * static_cast<size_t>(m));
        for (int i = 0; i < m; ++i) {
            full[i] = static_cast<uint16_t>(2 * half[i]);
            full[i + m] = static_cast<uint16_t>(2 * half[i]);
        }
        for (int i = offset; i < offset + m; ++i) ++full[i];
    }
}

// Angles in extended precision from a step rounded to double, stored as floats.
void BuildTwiddleTables(FFTPow2Tables& tables) {
    for (int log = 5; log <= kFFTPow2MaxLog; ++log) {
        const int32_t n = int32_t{1} << log;
        const int32_t m = n >= kSymmetricTwiddleMinSize ? n / 8 : n / 4;
        const auto step = static_cast<double>(2 * std::numbers::pi_v<long double> / n);
        std::vector<TComplexSingle>& table = tables.TwiddleTable[log];
        table.resize(static_cast<size_t>(m - 1));
        for (int32_t k = 1; k < m; ++k) {
            const long double angle = static_cast<long double>(k) * step;
            table[k - 1] = {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
        }
    }
}

FFTPow2Tables BuildTables() {
    FFTPow2Tables tables;
    BuildScrambleTables(tables);
    BuildTwiddleTables(tables);
    return tables;
}

} // namespace

int FFTPow2Log(int32_t N) {
    // N & (N - 1) clears the lowest set bit: zero for a power of two. (has_single_bit counts the bits,
    // through a library call on processors without a counting instruction, once per column.)
    if (N < kFFTPow2MinSize || N > kFFTPow2MaxSize || (N & (N - 1)) != 0) return -1;
    return std::countr_zero(static_cast<uint32_t>(N));
}

const FFTPow2Tables& GetFFTPow2Tables() {
    static const FFTPow2Tables tables = BuildTables();
    return tables;
}
