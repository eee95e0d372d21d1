// SigMF datatypes decoded into the store's 16-bit values: each type and byte order on its edge values,
// against the scaling written out by hand (signal/SigMFDecoding.h), and the datatype names.
#include "signal/SigMFDecoding.h"
#include "signal/SigMFDatatype.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct DecodeCase {
    const char* Datatype;
    Bytes Value; // one value as the file holds it
    int16_t Expected;
};

std::ostream& operator<<(std::ostream& out, const DecodeCase& c) {
    out << c.Datatype << " [";
    for (uint8_t b : c.Value) out << ' ' << int(b);
    return out << " ] -> " << c.Expected;
}

class SigMFValueDecoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(SigMFValueDecoding, FollowsTheWavScaling) {
    const DecodeCase& c = GetParam();
    const std::optional<SigMFDatatype> datatype = ParseSigMFDatatype(c.Datatype);
    ASSERT_TRUE(datatype);
    ASSERT_EQ(c.Value.size(), size_t(SigMFValueBytes(datatype->Type)));
    // The value between two others, so that a decoder reading the wrong width or place shows.
    Bytes three;
    for (int copy = 0; copy < 3; ++copy) three.insert(three.end(), c.Value.begin(), c.Value.end());
    int16_t out[3] = {1, 1, 1};
    DecodeSigMFValues(*datatype, three.data(), 3, out);
    EXPECT_EQ(out[0], c.Expected);
    EXPECT_EQ(out[1], c.Expected);
    EXPECT_EQ(out[2], c.Expected);
}

// IEEE 754 bit patterns, little-endian.
const Bytes kF32One = {0x00, 0x00, 0x80, 0x3F};      // 1.0f
const Bytes kF32MinusOne = {0x00, 0x00, 0x80, 0xBF}; // -1.0f
const Bytes kF32Two = {0x00, 0x00, 0x00, 0x40};      // 2.0f
const Bytes kF32Half = {0x00, 0x00, 0x00, 0x3F};     // 0.5f: 16383.5, even -> 16384
const Bytes kF32MinusInf = {0x00, 0x00, 0x80, 0xFF};
const Bytes kF32NaN = {0x00, 0x00, 0xC0, 0x7F};
const Bytes kF64One = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
const Bytes kF64MinusThree = {0, 0, 0, 0, 0, 0, 0x08, 0xC0};
const Bytes kF64Inf = {0, 0, 0, 0, 0, 0, 0xF0, 0x7F};
const Bytes kF64NaN = {0, 0, 0, 0, 0, 0, 0xF8, 0x7F};
const Bytes kF64Half = {0, 0, 0, 0, 0, 0, 0xE0, 0x3F};
// 1.5 / 32767 as a double: its product with 32767 rounds to 1.5 in double precision, but is exactly a
// little less than 1.5, so it decodes to 1 (rounding the rounded product would give 2).
const Bytes kF64JustUnderOneAndAHalf = {0xC0, 0x00, 0x60, 0x00, 0x30, 0x00, 0x08, 0x3F};
const Bytes kF64MinusJustUnderOneAndAHalf = {0xC0, 0x00, 0x60, 0x00, 0x30, 0x00, 0x08, 0xBF};

Bytes Reversed(Bytes b) {
    return Bytes(b.rbegin(), b.rend());
}

INSTANTIATE_TEST_SUITE_P(
    EdgeValues, SigMFValueDecoding,
    ::testing::Values(
        // unsigned bytes: (b - 128) * 256
        DecodeCase{"cu8", {0}, -32768}, DecodeCase{"cu8", {128}, 0}, DecodeCase{"ru8", {255}, 32512},
        // signed bytes: v * 256
        DecodeCase{"ci8", {0x80}, -32768}, DecodeCase{"ri8", {0x7F}, 32512}, DecodeCase{"ci8", {1}, 256},
        DecodeCase{"ri8", {0xFF}, -256},
        // 16-bit: as it is, in the named byte order; unsigned less 32768
        DecodeCase{"ri16_le", {0x34, 0x12}, 0x1234}, DecodeCase{"ci16_le", {0x00, 0x80}, -32768},
        DecodeCase{"ci16_le", {0xFF, 0x7F}, 32767}, DecodeCase{"ri16_be", {0x12, 0x34}, 0x1234},
        DecodeCase{"ci16_be", {0xFF, 0xFE}, -2}, DecodeCase{"ru16_le", {0x00, 0x00}, -32768},
        DecodeCase{"cu16_le", {0x00, 0x80}, 0}, DecodeCase{"ru16_le", {0xFF, 0xFF}, 32767},
        DecodeCase{"cu16_be", {0x80, 0x01}, 1},
        // 32-bit: / 65536, halves to even, the top codes clipped
        DecodeCase{"ri32_le", {0x00, 0x00, 0x01, 0x00}, 1},
        DecodeCase{"ri32_le", {0x00, 0x80, 0x01, 0x00}, 2},
        DecodeCase{"ci32_le", {0x00, 0x80, 0x02, 0x00}, 2},
        DecodeCase{"ci32_le", {0x00, 0x80, 0x00, 0x00}, 0},
        DecodeCase{"ri32_le", {0x01, 0x80, 0x00, 0x00}, 1},
        DecodeCase{"ri32_le", {0x00, 0x80, 0xFF, 0xFF}, 0},
        DecodeCase{"ri32_le", {0xFF, 0xFF, 0xFF, 0x7F}, 32767},
        DecodeCase{"ri32_le", {0x00, 0x00, 0x00, 0x80}, -32768},
        DecodeCase{"ci32_be", {0x00, 0x01, 0x80, 0x00}, 2},
        DecodeCase{"ri32_be", {0xFF, 0xFF, 0x00, 0x00}, -1},
        // unsigned 32-bit: offset binary, then as signed
        DecodeCase{"ru32_le", {0x00, 0x00, 0x00, 0x80}, 0},
        DecodeCase{"ru32_le", {0x00, 0x00, 0x00, 0x00}, -32768},
        DecodeCase{"cu32_le", {0xFF, 0xFF, 0xFF, 0xFF}, 32767},
        DecodeCase{"cu32_be", {0x80, 0x01, 0x80, 0x00}, 2},
        // 32-bit float: x * 32767, clipped beyond +-1, NaN 0
        DecodeCase{"rf32_le", kF32One, 32767}, DecodeCase{"cf32_le", kF32MinusOne, -32767},
        DecodeCase{"cf32_le", kF32Two, 32767}, DecodeCase{"rf32_le", kF32Half, 16384},
        DecodeCase{"rf32_le", kF32MinusInf, -32767}, DecodeCase{"cf32_le", kF32NaN, 0},
        DecodeCase{"cf32_be", Reversed(kF32Half), 16384},
        DecodeCase{"rf32_be", Reversed(kF32MinusOne), -32767},
        // 64-bit float: the same, rounding the exact product
        DecodeCase{"rf64_le", kF64One, 32767}, DecodeCase{"cf64_le", kF64MinusThree, -32767},
        DecodeCase{"cf64_le", kF64Inf, 32767}, DecodeCase{"rf64_le", kF64NaN, 0},
        DecodeCase{"rf64_le", kF64Half, 16384}, DecodeCase{"cf64_le", kF64JustUnderOneAndAHalf, 1},
        DecodeCase{"cf64_le", kF64MinusJustUnderOneAndAHalf, -1},
        DecodeCase{"rf64_be", Reversed(kF64One), 32767},
        DecodeCase{"cf64_be", Reversed(kF64JustUnderOneAndAHalf), 1}));

TEST(SigMFDatatypeNames, EveryNameReadsAndWritesBackAndOthersAreRefused) {
    for (const char* kind : {"c", "r"}) {
        for (const char* type : {"f64", "f32", "i32", "i16", "u32", "u16"}) {
            for (const char* order : {"_le", "_be"}) {
                const std::string name = std::string(kind) + type + order;
                const std::optional<SigMFDatatype> datatype = ParseSigMFDatatype(name);
                ASSERT_TRUE(datatype) << name;
                EXPECT_EQ(SigMFDatatypeName(*datatype), name);
                EXPECT_EQ(datatype->Complex, kind[0] == 'c');
            }
        }
        for (const char* type : {"i8", "u8"}) {
            const std::string name = std::string(kind) + type;
            ASSERT_TRUE(ParseSigMFDatatype(name)) << name;
            EXPECT_EQ(SigMFDatatypeName(*ParseSigMFDatatype(name)), name);
        }
    }
    for (const char* wrong : {"", "c", "ci16", "cu8_le", "xi16_le", "ci12_le", "ci16_le ", "CI16_LE",
                              "cf32_me", "ci16_le_be", "i16_le"})
        EXPECT_FALSE(ParseSigMFDatatype(wrong)) << wrong;
}

} // namespace
