// The sizes a WAV file states and what the reader makes of them: the size note of every sample format
// over twelve data lengths, RF64 and BW64 files whose sizes stand in their ds64 chunk, and data chunks
// whose size the writer never filled in.
#include "WavBytes.h"

#include "signal/WavReader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

using namespace wavtest;

namespace {

void Append64(Bytes& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct SizeFormat {
    const char* Name;
    uint16_t Tag;
    uint16_t Bits;
    int Width; // bytes per sample
};

const SizeFormat kSizeFormats[] = {
    {"Unsigned8", 1, 8, 1}, {"Pcm16", 1, 16, 2},   {"Pcm24", 1, 24, 3},
    {"Pcm32", 1, 32, 4},    {"Float32", 3, 32, 4}, {"Float64", 3, 64, 8},
};

void PrintTo(const SizeFormat& f, std::ostream* os) {
    *os << f.Name;
}

Fmt FmtOf(const SizeFormat& f, uint16_t channels) {
    Fmt fmt;
    fmt.Tag = f.Tag;
    fmt.Bits = f.Bits;
    fmt.Channels = channels;
    fmt.BlockAlign = static_cast<uint16_t>(channels * f.Width);
    return fmt;
}

// Whether `dataBytes` earn the size note: decoded formats when the data is not whole frames; 16-bit
// values by their rule of old, values per the header (D div (A div C)) not a multiple of A.
bool SizeNoteExpected(const SizeFormat& f, uint16_t channels, int64_t dataBytes) {
    const int64_t frame = int64_t{channels} * f.Width;
    if (f.Bits == 16) return dataBytes / f.Width % frame != 0;
    return dataBytes % frame != 0;
}

using SizeCase = std::tuple<SizeFormat, int>; // the format, and the bytes past 240 (0 ... 11)

class SizeNoteTest : public ::testing::TestWithParam<SizeCase> {};

std::string SizeCaseName(const ::testing::TestParamInfo<SizeCase>& info) {
    return std::string(std::get<0>(info.param).Name) + "Plus" + std::to_string(std::get<1>(info.param));
}

} // namespace

// 240 bytes are whole frames of every format and channel count here; the twelve lengths after it meet
// every remainder of the 1- to 8-byte frames of one channel and of the 2- to 16-byte frames of two.
TEST_P(SizeNoteTest, TheNoteMeansThatTheDataIsNotWholeFrames) {
    const auto& [f, extra] = GetParam();
    TempDir dir;
    for (uint16_t channels : {uint16_t{1}, uint16_t{2}}) {
        const int64_t dataBytes = 240 + extra;
        const Bytes data(static_cast<size_t>(dataBytes), 0x40);
        SignalStore store;
        const WavReadResult r = ReadWavFile(store, dir.Write("f.wav", Canonical(FmtOf(f, channels), data)));
        const int64_t read = dataBytes / f.Width * f.Width;
        const std::string note = SizeNoteExpected(f, channels, dataBytes) ? " (Incorrect Size)" : "";
        EXPECT_EQ(r.Status,
                  " Bytes : " + std::to_string(read) + " " + std::to_string(f.Bits) + " Bit Data" + note)
            << channels << " channel(s)";
        EXPECT_EQ(store.ValueCount, dataBytes / f.Width);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, SizeNoteTest,
                         ::testing::Combine(::testing::ValuesIn(kSizeFormats), ::testing::Range(0, 12)),
                         SizeCaseName);

namespace {

// An RF64 (or BW64) file: the form name, RIFF size 0xFFFFFFFF, "WAVE", a ds64 chunk with the 64-bit
// RIFF and data sizes (right unless given) and no table, then the fmt chunk, the data chunk with the size
// field given, and the chunks after it.
struct Rf64 {
    std::string Form = "RF64";
    Fmt Format;
    Bytes Data;
    uint32_t DataField = 0xFFFFFFFF;
    int64_t Ds64Data = -1;
    int64_t Ds64Riff = -1;
    std::vector<Bytes> After;

    Bytes File() const {
        Bytes ds64;
        const size_t restAfterDs64 = 8 + 16 + 8 + Data.size() + Data.size() % 2;
        size_t after = 0;
        for (const Bytes& c : After) after += c.size();
        const size_t riff = 4 + 8 + 28 + restAfterDs64 + after;
        Append64(ds64, static_cast<uint64_t>(Ds64Riff < 0 ? static_cast<int64_t>(riff) : Ds64Riff));
        Append64(ds64, static_cast<uint64_t>(Ds64Data < 0 ? static_cast<int64_t>(Data.size()) : Ds64Data));
        Append64(ds64, 0); // sample count: not used
        Append32(ds64, 0); // no table entries
        Bytes out;
        Append(out, Form);
        Append32(out, 0xFFFFFFFF);
        Append(out, "WAVE");
        for (const Bytes& c : {Chunk("ds64", ds64), Chunk("fmt ", FmtPayload(Format)),
                               Chunk("data", Data, DataField, Data.size() % 2 == 1)})
            out.insert(out.end(), c.begin(), c.end());
        for (const Bytes& c : After) out.insert(out.end(), c.begin(), c.end());
        return out;
    }
};

Rf64 Rf64Of(std::string form, Fmt format, Bytes data, uint32_t dataField = 0xFFFFFFFF, int64_t ds64Data = -1,
            int64_t ds64Riff = -1, std::vector<Bytes> after = {}) {
    return Rf64{std::move(form), format, std::move(data), dataField, ds64Data, ds64Riff, std::move(after)};
}

Bytes Pcm24(std::initializer_list<int32_t> samples) {
    Bytes out;
    for (int32_t s : samples)
        for (int i = 0; i < 3; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(s) >> (8 * i)));
    return out;
}

Bytes Auxi(uint32_t centre) {
    Bytes p(32, 0);
    Append32(p, centre);
    p.resize(164, 0);
    return Chunk("auxi", p);
}

struct Rf64Case {
    const char* What;
    Rf64 File;
    std::string Status;
    std::vector<int16_t> Values;
    int64_t Centre = 0;
};

Fmt Mono24() {
    Fmt f;
    f.Channels = 1;
    f.Bits = 24;
    f.BlockAlign = 3;
    return f;
}

std::vector<Rf64Case> Rf64Cases() {
    const Bytes stereo = Values({100, -100, 32767, -32768, 5, 6, 7, 8});
    const Bytes samples24 = Pcm24({256 * 1000, -256 * 2000, 8388607, 384});
    return {
        {"RF64 16-bit stereo",
         Rf64Of("RF64", Fmt{}, stereo),
         " Bytes : 16 16 Bit Data",
         {100, -100, 32767, -32768, 5, 6, 7, 8}},
        {"BW64 16-bit stereo",
         Rf64Of("BW64", Fmt{}, stereo),
         " Bytes : 16 16 Bit Data",
         {100, -100, 32767, -32768, 5, 6, 7, 8}},
        {"RF64 24-bit mono",
         Rf64Of("RF64", Mono24(), samples24),
         " Bytes : 12 24 Bit Data",
         {1000, -2000, 32767, 2}},
        {"a data field of its own below 4 GiB",
         Rf64Of("RF64", Fmt{}, stereo, 8),
         " Bytes : 8 16 Bit Data",
         {100, -100, 32767, -32768}},
        {"the ds64 data size ends the data before the auxi chunk after it",
         Rf64Of("RF64", Fmt{}, Values({100, -100, 32767, -32768}), 0xFFFFFFFF, -1, -1, {Auxi(7050000)}),
         " Bytes : 8 16 Bit Data",
         {100, -100, 32767, -32768},
         7050000},
        {"a ds64 RIFF size that does not match the file",
         Rf64Of("RF64", Fmt{}, stereo, 0xFFFFFFFF, -1, 1000),
         " Bytes : 16 16 Bit Data (Incorrect Header)",
         {100, -100, 32767, -32768, 5, 6, 7, 8}},
        {"a ds64 data size beyond the file reads what is there",
         Rf64Of("RF64", Fmt{}, stereo, 0xFFFFFFFF, int64_t{1} << 40),
         " Bytes : 16 16 Bit Data",
         {100, -100, 32767, -32768, 5, 6, 7, 8}},
        {"a 24-bit ds64 data size that is not whole frames",
         Rf64Of("RF64", Mono24(), samples24, 0xFFFFFFFF, 11),
         " Bytes : 9 24 Bit Data (Incorrect Size)",
         {1000, -2000, 32767}},
    };
}

void PrintTo(const Rf64Case& c, std::ostream* os) {
    *os << c.What;
}

class Rf64Test : public ::testing::TestWithParam<Rf64Case> {};

std::string Rf64CaseName(const ::testing::TestParamInfo<Rf64Case>& info) {
    return "Case" + std::to_string(info.index);
}

} // namespace

TEST_P(Rf64Test, SizesComeFromTheDs64Chunk) {
    const Rf64Case& c = GetParam();
    TempDir dir;
    SignalStore store;
    const WavReadResult r = ReadWavFile(store, dir.Write("f.wav", c.File.File()));
    EXPECT_FALSE(r.Fallback) << c.What;
    EXPECT_EQ(r.Status, c.Status) << c.What;
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()), c.Values) << c.What;
    EXPECT_EQ(store.ChannelCount, c.File.Format.Channels) << c.What;
    EXPECT_EQ(r.CentreFrequency, c.Centre) << c.What;
}

INSTANTIATE_TEST_SUITE_P(Files, Rf64Test, ::testing::ValuesIn(Rf64Cases()), Rf64CaseName);

// RF64 needs its ds64 chunk first; without it (or with one too short for the sizes) the file falls back.
TEST(Rf64Files, WithoutADs64ChunkFirstTheFileFallsBack) {
    TempDir dir;
    const Bytes data = Values({1, 2, 3, 4});
    Bytes noDs64 = Riff({Chunk("fmt ", FmtPayload(Fmt{})), Chunk("data", data, 0xFFFFFFFF)});
    std::copy_n("RF64", 4, noDs64.begin());
    Bytes shortDs64 =
        Riff({Chunk("ds64", Bytes(12, 0)), Chunk("fmt ", FmtPayload(Fmt{})), Chunk("data", data)});
    std::copy_n("BW64", 4, shortDs64.begin());
    for (const Bytes& file : {noDs64, shortDs64}) {
        SignalStore store;
        std::vector<std::string> texts;
        const WavReadResult r =
            ReadWavFile(store, dir.Write("f.wav", file), [&](const std::string& t) { texts.push_back(t); });
        EXPECT_TRUE(r.Fallback);
        EXPECT_EQ(texts.back(), " ERROR: Header Error.");
        EXPECT_EQ(r.Status, " Bytes : " + std::to_string(file.size()) + " (Binary Data)");
    }
}

namespace {

struct UnwrittenCase {
    const char* What;
    Bytes File;
    std::string Status;
    int32_t Values;
};

Fmt Stereo24() {
    Fmt f;
    f.Bits = 24;
    f.BlockAlign = 6;
    return f;
}

std::vector<UnwrittenCase> UnwrittenCases() {
    const Bytes data = Values({1, 2, 3, 4, 5, 6, 7, 8});
    const Bytes fmt = Chunk("fmt ", FmtPayload(Fmt{}));
    const Bytes list = Chunk("LIST", Bytes(6, 'x'));
    Bytes stray24(6 * 5 + 1, 0x10);
    return {
        {"size 0, RIFF size right", Riff({fmt, Chunk("data", data, 0)}),
         " Bytes : 16 16 Bit Data (Incorrect Header)", 8},
        {"size 0, RIFF size 0", Riff({fmt, Chunk("data", data, 0)}, 0),
         " Bytes : 16 16 Bit Data (Incorrect Header)", 8},
        {"size 0xFFFFFFFF, RIFF size right", Riff({fmt, Chunk("data", data, 0xFFFFFFFF)}),
         " Bytes : 16 16 Bit Data (Incorrect Header)", 8},
        {"size 0xFFFFFFFF, RIFF size 0xFFFFFFFF", Riff({fmt, Chunk("data", data, 0xFFFFFFFF)}, 0xFFFFFFFF),
         " Bytes : 16 16 Bit Data (Incorrect Header)", 8},
        {"24-bit size 0 with a stray byte",
         Riff({Chunk("fmt ", FmtPayload(Stereo24())), Chunk("data", stray24, 0)}),
         " Bytes : 30 24 Bit Data (Probably Damaged)", 10},
        // A data chunk that is really empty: the chunk after it is not taken for samples.
        {"size 0, then a LIST chunk", Riff({fmt, Chunk("data", {}), list}), " Bytes : 0 16 Bit Data", 0},
        {"size 0 at the end", Riff({fmt, Chunk("data", {})}), " Bytes : 0 16 Bit Data", 0},
    };
}

void PrintTo(const UnwrittenCase& c, std::ostream* os) {
    *os << c.What;
}

class UnwrittenSizeTest : public ::testing::TestWithParam<UnwrittenCase> {};

std::string UnwrittenCaseName(const ::testing::TestParamInfo<UnwrittenCase>& info) {
    return "Case" + std::to_string(info.index);
}

} // namespace

TEST_P(UnwrittenSizeTest, TheDataThatIsThereIsRead) {
    const UnwrittenCase& c = GetParam();
    TempDir dir;
    SignalStore store;
    const WavReadResult r = ReadWavFile(store, dir.Write("f.wav", c.File));
    EXPECT_FALSE(r.Fallback) << c.What;
    EXPECT_EQ(r.Status, c.Status) << c.What;
    EXPECT_EQ(store.ValueCount, c.Values) << c.What;
    if (c.Values == 8) {
        EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()),
                  (std::vector<int16_t>{1, 2, 3, 4, 5, 6, 7, 8}))
            << c.What;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, UnwrittenSizeTest, ::testing::ValuesIn(UnwrittenCases()), UnwrittenCaseName);
