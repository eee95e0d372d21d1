// The sample formats beyond 16-bit PCM: every decoded value against a conversion computed here in
// extended precision (not by the reader's integer arithmetic), for plain and extensible headers.
#include "WavBytes.h"

#include "signal/WavReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>

using namespace wavtest;

namespace {

struct FormatCase {
    const char* Name;
    uint16_t Tag; // 1 PCM, 3 float; the sub-format when Extensible
    uint16_t Bits;
    bool Extensible;
    int Width; // bytes per sample in the file
    // Samples as the file holds them (integers, or floats) and the 16-bit values worked out by hand.
    std::vector<std::pair<double, int16_t>> Known;
};

bool IsFloat(const FormatCase& f) {
    return f.Tag == 3;
}

void AppendSample(const FormatCase& f, double sample, Bytes& out) {
    if (IsFloat(f) && f.Width == 8) {
        const auto bits = std::bit_cast<uint64_t>(sample);
        for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        return;
    }
    if (IsFloat(f)) {
        Append32(out, std::bit_cast<uint32_t>(static_cast<float>(sample)));
        return;
    }
    const auto bits = static_cast<uint64_t>(static_cast<int64_t>(sample));
    for (int i = 0; i < f.Width; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

// The 16-bit value a sample stands for: the sample's fraction of full scale, in long double, rounded to
// nearest with halves to even and limited to the 16-bit range (float: to +-32767).
int16_t Expected(const FormatCase& f, double sample) {
    long double scaled = 0;
    long double low = -32768.0L;
    if (IsFloat(f)) {
        if (std::isnan(sample)) return 0;
        const double held = f.Width == 8 ? sample : static_cast<double>(static_cast<float>(sample));
        scaled = static_cast<long double>(held) * 32767.0L;
        low = -32767.0L;
    } else if (f.Bits == 8) {
        scaled = (static_cast<long double>(sample) - 128.0L) * 256.0L;
    } else {
        scaled = std::ldexp(static_cast<long double>(sample), 16 - f.Bits);
    }
    return static_cast<int16_t>(std::nearbyintl(std::clamp(scaled, low, 32767.0L)));
}

Bytes FmtFor(const FormatCase& f, uint16_t channels) {
    Fmt fmt;
    fmt.Tag = f.Tag;
    fmt.Channels = channels;
    fmt.Bits = f.Bits;
    fmt.BlockAlign = static_cast<uint16_t>(channels * f.Width);
    return f.Extensible ? ExtensibleFmtPayload(fmt, f.Tag, f.Bits) : FmtPayload(fmt);
}

Bytes FileOf(const FormatCase& f, uint16_t channels, const std::vector<double>& samples) {
    Bytes data;
    for (double s : samples) AppendSample(f, s, data);
    return Riff({Chunk("fmt ", FmtFor(f, channels)), Chunk("data", data)});
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

const std::vector<std::pair<double, int16_t>> kKnown8 = {{0, -32768}, {1, -32512}, {127, -256},
                                                         {128, 0},    {129, 256},  {255, 32512}};
const std::vector<std::pair<double, int16_t>> kKnown24 = {
    {0, 0},           {127, 0},           {128, 0},           {129, 1},
    {384, 2},         {640, 2},           {-128, 0},          {-129, -1},
    {-384, -2},       {-640, -2},         {8388479, 32767},   {8388480, 32767},
    {8388607, 32767}, {-8388608, -32768}, {-8388480, -32768}, {256 * 1000 + 5, 1000}};
const std::vector<std::pair<double, int16_t>> kKnown32 = {{0, 0},
                                                          {32768, 0},
                                                          {98304, 2},
                                                          {163840, 2},
                                                          {-32768, 0},
                                                          {-98304, -2},
                                                          {65536 * 1234 + 40000, 1235},
                                                          {2147483647, 32767},
                                                          {2147450880, 32767},
                                                          {-2147483648.0, -32768}};
const std::vector<std::pair<double, int16_t>> kKnownFloat = {
    {0.0, 0},     {1.0, 32767},   {-1.0, -32767}, {0.5, 16384},    {-0.5, -16384}, {1.0 / 32767, 1},
    {2.0, 32767}, {-3.0, -32767}, {kInf, 32767},  {-kInf, -32767}, {kNaN, 0},      {1e-30, 0}};

// 64-bit float adds the edges that only a double holds: the neighbours of +-1.0, the largest and the
// smallest magnitudes, a negative zero and a NaN with a payload.
std::vector<std::pair<double, int16_t>> Known64() {
    std::vector<std::pair<double, int16_t>> known = kKnownFloat;
    const double max = std::numeric_limits<double>::max();
    known.insert(known.end(), {{std::nextafter(1.0, 0.0), 32767},
                               {std::nextafter(1.0, 2.0), 32767},
                               {std::nextafter(-1.0, -2.0), -32767},
                               {max, 32767},
                               {-max, -32767},
                               {std::numeric_limits<double>::denorm_min(), 0},
                               {-0.0, 0},
                               {std::bit_cast<double>(uint64_t{0x7FF0000000000001}), 0},
                               {1e39, 32767}, // beyond the range of a float
                               {16383.0 / 32767, 16383},
                               {-32766.0 / 32767, -32766},
                               {0.49 / 32767, 0},
                               {0.51 / 32767, 1}});
    return known;
}

const FormatCase kFormats[] = {
    {"Unsigned8", 1, 8, false, 1, kKnown8},
    {"Pcm24", 1, 24, false, 3, kKnown24},
    {"Pcm32", 1, 32, false, 4, kKnown32},
    {"Float32", 3, 32, false, 4, kKnownFloat},
    {"ExtensibleUnsigned8", 1, 8, true, 1, kKnown8},
    {"ExtensiblePcm24", 1, 24, true, 3, kKnown24},
    {"ExtensiblePcm32", 1, 32, true, 4, kKnown32},
    {"ExtensibleFloat32", 3, 32, true, 4, kKnownFloat},
    {"Float64", 3, 64, false, 8, Known64()},
    {"ExtensibleFloat64", 3, 64, true, 8, Known64()},
};

class SampleFormatTest : public ::testing::TestWithParam<FormatCase> {
protected:
    TempDir dir;
    SignalStore store;

    WavReadResult ReadBytes(const Bytes& bytes) { return ReadWavFile(store, dir.Write("f.wav", bytes)); }
};

std::string FormatName(const ::testing::TestParamInfo<FormatCase>& info) {
    return info.param.Name;
}

} // namespace

TEST_P(SampleFormatTest, KnownSamplesGiveTheDocumentedValues) {
    const FormatCase& f = GetParam();
    std::vector<double> samples;
    for (const auto& known : f.Known) samples.push_back(known.first);
    const WavReadResult r = ReadBytes(FileOf(f, 1, samples));
    ASSERT_FALSE(r.Fallback) << r.Status;
    ASSERT_EQ(store.ValueCount, static_cast<int32_t>(samples.size()));
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(store.Samples[i], f.Known[i].second) << "sample " << samples[i];
        EXPECT_EQ(Expected(f, samples[i]), f.Known[i].second) << "reference, sample " << samples[i];
    }
}

// Stereo data longer than one block of the decoder, with random samples over the whole range.
TEST_P(SampleFormatTest, RandomSamplesMatchAnIndependentConversion) {
    const FormatCase& f = GetParam();
    std::mt19937_64 random(12345);
    const int64_t fullScale = f.Bits == 8 ? 256 : int64_t{1} << (f.Bits - 1);
    std::vector<double> samples(400008); // a multiple of every block align here: no size note
    for (double& s : samples) {
        if (IsFloat(f)) {
            s = std::uniform_real_distribution<double>(-1.25, 1.25)(random);
        } else {
            const int64_t lowest = f.Bits == 8 ? 0 : -fullScale;
            const int64_t highest = f.Bits == 8 ? 255 : fullScale - 1;
            s = static_cast<double>(std::uniform_int_distribution<int64_t>(lowest, highest)(random));
        }
    }
    const WavReadResult r = ReadBytes(FileOf(f, 2, samples));
    const int64_t bytes = static_cast<int64_t>(samples.size()) * f.Width;
    EXPECT_EQ(r.Status, " Bytes : " + std::to_string(bytes) + " " + std::to_string(f.Bits) + " Bit Data");
    EXPECT_EQ(r.BytesRead, bytes);
    EXPECT_EQ(r.SampleBytes, f.Width);
    EXPECT_EQ(store.ChannelCount, 2);
    EXPECT_EQ(store.BitsPerSample, f.Bits);
    ASSERT_EQ(store.ValueCount, static_cast<int32_t>(samples.size()));
    ASSERT_EQ(store.Samples.size(), samples.size());
    int mismatches = 0;
    for (size_t i = 0; i < samples.size() && mismatches < 5; ++i)
        if (store.Samples[i] != Expected(f, samples[i])) {
            ADD_FAILURE() << "value " << i << ": sample " << samples[i] << " gave " << store.Samples[i];
            ++mismatches;
        }
}

// A data chunk that ends inside a sample, or is declared longer than the file, gives the whole samples
// there are; the byte count shows what was read.
TEST_P(SampleFormatTest, ShortDataGivesItsWholeSamples) {
    const FormatCase& f = GetParam();
    const std::vector<double> samples(7, f.Known.back().first);
    Bytes data;
    for (double s : samples) AppendSample(f, s, data);
    data.push_back(0x55); // part of an eighth sample
    const Bytes partial = Riff({Chunk("fmt ", FmtFor(f, 1)), Chunk("data", data, -1, data.size() % 2 == 1)});
    const int64_t whole = static_cast<int64_t>(data.size()) / f.Width; // 8 for 8-bit samples, else 7
    WavReadResult r = ReadBytes(partial);
    EXPECT_EQ(r.BytesRead, whole * f.Width);
    EXPECT_EQ(store.ValueCount, whole);
    EXPECT_EQ(store.Samples[6], f.Known.back().second);

    const Bytes longer = Riff({Chunk("fmt ", FmtFor(f, 1)), Chunk("data", data, 1000000)});
    r = ReadBytes(longer);
    EXPECT_EQ(r.BytesRead, whole * f.Width);
    EXPECT_EQ(store.ValueCount, whole);
    EXPECT_EQ(r.Status.rfind(" Bytes : " + std::to_string(whole * f.Width) + " ", 0), 0u) << r.Status;
}

INSTANTIATE_TEST_SUITE_P(Formats, SampleFormatTest, ::testing::ValuesIn(kFormats), FormatName);

// Headers the reader does not decode: each shows " ERROR: File Format Not Supported.", falls back, and
// names the coding it did not decode.
TEST(SampleFormats, OtherFormatsFallBackToRawData) {
    TempDir dir;
    const Bytes data = Values({1, 2, 3, 4, 5, 6, 7, 8});
    const auto plain = [&](uint16_t tag, uint16_t bits) {
        Fmt f;
        f.Tag = tag;
        f.Bits = bits;
        return Riff({Chunk("fmt ", FmtPayload(f)), Chunk("data", data)});
    };
    const auto extensible = [&](uint32_t sub, uint16_t bits, const Bytes& tail) {
        Fmt f;
        f.Bits = bits;
        return Riff({Chunk("fmt ", ExtensibleFmtPayload(f, sub, bits, tail)), Chunk("data", data)});
    };
    const Bytes standardTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    Bytes otherTail = standardTail;
    otherTail.back() = 0x72;
    Fmt shortExtensible;
    shortExtensible.Tag = 0xFFFE;
    shortExtensible.PayloadSize = 18;
    const struct {
        const char* What;
        Bytes File;
        std::string Name; // the coding's name in the result
    } cases[] = {
        {"float of 24 bits", plain(3, 24), "24-bit float"},
        {"float of 16 bits", plain(3, 16), "16-bit float"},
        {"A-law", plain(6, 8), "A-law"},
        {"mu-law", plain(7, 8), "\xC2\xB5-law"},
        {"ADPCM", plain(2, 4), "ADPCM"},
        {"IMA ADPCM", plain(0x11, 4), "ADPCM"},
        {"MPEG layer 3", plain(0x55, 0), "format tag 0x0055"},
        {"format tag 0", plain(0, 16), "format tag 0x0000"},
        {"extensible ADPCM", extensible(2, 16, standardTail), "ADPCM"},
        {"extensible mu-law", extensible(7, 8, standardTail), "\xC2\xB5-law"},
        {"extensible PCM with a vendor GUID", extensible(1, 16, otherTail),
         "format tag 0xFFFE, sub-format {00000001-0000-0010-8000-00AA00389B72}"},
        {"extensible sub-format with high bytes set", extensible(0x00010001, 16, standardTail),
         "format tag 0xFFFE, sub-format {00010001-0000-0010-8000-00AA00389B71}"},
        {"extensible float of 24 bits", extensible(3, 24, standardTail), "24-bit float"},
        {"extensible header of 18 bytes",
         Riff({Chunk("fmt ", FmtPayload(shortExtensible)), Chunk("data", data)}), "format tag 0xFFFE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SignalStore store;
        std::vector<std::string> texts;
        const WavReadResult r =
            ReadWavFile(store, dir.Write("f.wav", c.File), [&](const std::string& t) { texts.push_back(t); });
        EXPECT_TRUE(r.Fallback);
        EXPECT_EQ(texts.back(), " ERROR: File Format Not Supported.");
        EXPECT_EQ(r.Status, " Bytes : " + std::to_string(c.File.size() / 2 * 2) + " (Binary Data)");
        EXPECT_EQ(r.UndecodedFormat, c.Name);
        EXPECT_EQ(r.FailureReason,
                  "samples coded as " + c.Name + " are not decoded: read as raw 16-bit data at 8000 Hz");
    }
}

// The extensible header decodes by its container width, whatever its valid bits: 24 valid bits in
// 32-bit containers read as 32-bit samples; 16-bit containers read as they are.
TEST(SampleFormats, ExtensibleContainersDecideTheWidth) {
    TempDir dir;
    Fmt f;
    f.Channels = 1;
    f.Bits = 32;
    f.BlockAlign = 4;
    Bytes data;
    for (int32_t sample : {0x12345600, -0x7FFF0000, 0x00018000})
        Append32(data, static_cast<uint32_t>(sample));
    SignalStore store;
    ReadWavFile(store, dir.Write("f.wav",
                                 Riff({Chunk("fmt ", ExtensibleFmtPayload(f, 1, 24)), Chunk("data", data)})));
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()),
              (std::vector<int16_t>{0x1234, -0x7FFF, 2}));

    f.Bits = 16;
    f.BlockAlign = 2;
    const WavReadResult r =
        ReadWavFile(store, dir.Write("g.wav", Riff({Chunk("fmt ", ExtensibleFmtPayload(f, 1, 12)),
                                                    Chunk("data", Values({-5, 7, 32767, -32768}))})));
    EXPECT_EQ(r.Status, " Bytes : 8 16 Bit Data");
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()),
              (std::vector<int16_t>{-5, 7, 32767, -32768}));
}
