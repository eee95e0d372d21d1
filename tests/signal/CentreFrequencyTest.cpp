// The centre frequency of a recording: from the `auxi` chunk wherever it stands, else from the file's
// name (strictly: a number with a unit, standing on its own), and the values kept per recording.
#include "WavBytes.h"

#include "signal/CentreFrequency.h"
#include "signal/WavReader.h"

#include <gtest/gtest.h>

using namespace wavtest;

namespace {

struct NameCase {
    const char* Name;
    int64_t Hz;          // 0: no frequency may be taken from it
    int64_t Rate = 8000; // the recording's sample rate
};

class FileNameCentreTest : public ::testing::TestWithParam<NameCase> {};

const NameCase kNames[] = {
    {"SDRSharp_20240101_120000Z_7050000Hz_IQ.wav", 7050000},
    {"HDSDR_20240101_120000Z_7050kHz_RF.wav", 7050000},
    {"rec_7.05MHz.wav", 7050000},
    {"rec_7.050MHz_x.wav", 7050000},
    {"/data/iq/7050kHz.wav", 7050000},
    {"sat_1.6975GHz.wav", 1697500000},
    {"beacon-14100.5kHz.wav", 14100500},
    {"lower case 7050khz.wav", 7050000},
    {"UPPER_7050KHZ.WAV", 7050000},
    {"tone (1000Hz).wav", 1000},
    {"a_7.0500004MHz_b.wav", 7050000},         // rounded to whole hertz
    {"two_3500kHz_then_7050kHz.wav", 7050000}, // the largest counts
    {"two_7050kHz_then_3500kHz.wav", 7050000}, // wherever it stands
    {"7050kHz_then_junk_12kHzX.wav", 7050000}, // a unit run into a letter does not count
    // Names that must not give a frequency.
    {"SDRuno_IQ_7050000_.wav", 0}, // bare number
    {"rec_20240101_120000Z.wav", 0},
    {"x7050kHz.wav", 0},  // number run into a letter
    {"7050kHzA.wav", 0},  // unit run into a letter
    {"7050kHz2.wav", 0},  // unit run into a digit
    {"7,05MHz.wav", 0},   // a decimal comma: "05MHz" must not be read as 5 MHz
    {"7050 kHz.wav", 0},  // blank between number and unit
    {"v1.2.3MHz.wav", 0}, // a version number
    {".5MHz.wav", 0},
    {"5.MHz.wav", 0},
    {"kHz.wav", 0},
    {"0Hz.wav", 0},
    {"7050kkHz.wav", 0},
    {"Hz", 0},
    {"", 0},
    {"9999999999999kHz.wav", 0},  // above 1 THz
    {"rec_7050kHz/plain.wav", 0}, // only the name counts, not its folder
    // The recording's rate written as a frequency is not its centre; of the rest the largest counts.
    {"rec_7050kHz_48000Hz.wav", 7050000, 48000},
    {"rec_48000Hz_7050kHz.wav", 7050000, 48000},
    {"rec_145.800MHz_192kHz.wav", 145800000, 192000},
    {"iq_48kHz.wav", 0, 48000},
    {"voice_48kHz_24bit.wav", 0, 48000},
    {"iq_433.92MHz_2.4MHz.wav", 433920000, 2400000},
    {"rec_433.92MHz_250kHz_bw.wav", 433920000, 250000},
    {"rec_433.92MHz_250kHz_bw.wav", 433920000, 48000},
    {"iq_2.4MHz_100kHz.wav", 100000, 2400000},
    {"iq_48kHz.wav", 48000, 44100},          // a rate other than the recording's is a frequency
    {"iq_48kHz.wav", 48000, 0},              // no rate known: nothing to leave out
    {"iq_2.4Msps_100kHz.wav", 100000, 8000}, // a rate in samples per second is never a frequency
    {"iq_2400ksps.wav", 0, 8000},
    {"iq_2400000sps_7050kHz.wav", 7050000, 2400000},
    {"iq_7050000_48000Hz.wav", 0, 48000}, // the bare number still does not count
};

std::string NameCaseName(const ::testing::TestParamInfo<NameCase>& info) {
    return "Name" + std::to_string(info.index);
}

} // namespace

TEST_P(FileNameCentreTest, TakesOnlyAFrequencyWithAUnit) {
    const NameCase& c = GetParam();
    EXPECT_EQ(CentreFrequencyFromFileName(c.Name, c.Rate), c.Hz) << c.Name << " at " << c.Rate;
}

INSTANTIATE_TEST_SUITE_P(Names, FileNameCentreTest, ::testing::ValuesIn(kNames), NameCaseName);

namespace {

// An auxi payload of `size` bytes (164 as most recorders write it) with the centre frequency at 32 and
// a sample rate at 36 that must not be mistaken for it.
Bytes AuxiPayload(uint32_t centre, size_t size = 164) {
    Bytes p(32, 0x11); // start and stop times
    Append32(p, centre);
    Append32(p, 2400000);
    p.resize(size, 0);
    return p;
}

class AuxiChunkTest : public ::testing::Test {
protected:
    TempDir dir;
    SignalStore store;
    const Bytes fmt = Chunk("fmt ", FmtPayload(Fmt{}));
    const Bytes data = Chunk("data", Values({1, 2, 3, 4, 5, 6}));

    WavReadResult ReadNamed(const std::string& name, const std::vector<Bytes>& chunks) {
        return ReadWavFile(store, dir.Write(name, Riff(chunks)));
    }
};

} // namespace

TEST_F(AuxiChunkTest, CentreFrequencyWhereverTheChunkStands) {
    const Bytes auxi = Chunk("auxi", AuxiPayload(7050000));
    const std::vector<std::vector<Bytes>> layouts = {
        {fmt, auxi, data},
        {auxi, fmt, data},
        {fmt, data, auxi},
        {fmt, data, Chunk("LIST", Bytes(3, 'x'), -1, true), auxi},
        {fmt, Chunk("data", Bytes{1, 0, 2, 0, 3}, -1, true), auxi}, // odd data size, pad byte
    };
    for (size_t i = 0; i < layouts.size(); ++i) {
        const WavReadResult r = ReadNamed("plain.wav", layouts[i]);
        EXPECT_FALSE(r.Fallback) << "layout " << i;
        EXPECT_EQ(r.CentreFrequency, 7050000) << "layout " << i;
    }
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()), (std::vector<int16_t>{1, 2}));
}

TEST_F(AuxiChunkTest, ChunkWinsOverTheNameAndTheNameStandsInForAShortOrEmptyChunk) {
    EXPECT_EQ(ReadNamed("rec_3500kHz.wav", {fmt, Chunk("auxi", AuxiPayload(14074000)), data}).CentreFrequency,
              14074000);
    EXPECT_EQ(
        ReadNamed("rec_3500kHz.wav", {fmt, Chunk("auxi", AuxiPayload(14074000, 35)), data}).CentreFrequency,
        3500000);
    EXPECT_EQ(ReadNamed("rec_3500kHz.wav", {fmt, Chunk("auxi", AuxiPayload(0)), data}).CentreFrequency,
              3500000);
    EXPECT_EQ(ReadNamed("plain.wav", {fmt, Chunk("auxi", AuxiPayload(14074000, 36)), data}).CentreFrequency,
              14074000);
    EXPECT_EQ(ReadNamed("plain.wav", {fmt, Chunk("auxi", AuxiPayload(14074000, 35)), data}).CentreFrequency,
              0);
    EXPECT_EQ(ReadNamed("plain.wav", {fmt, data}).CentreFrequency, 0);
    // The highest field value is taken as unsigned.
    EXPECT_EQ(ReadNamed("plain.wav", {fmt, Chunk("auxi", AuxiPayload(0xFFFFFFFF)), data}).CentreFrequency,
              int64_t{0xFFFFFFFF});
}

// The rate that the name's frequencies are weighed against is the one the file is read with: the
// header's, or 8000 for the raw fallback.
TEST_F(AuxiChunkTest, TheNameIsReadWithTheRecordingsRate) {
    Fmt at7050k;
    at7050k.Rate = 7050000;
    const std::string name = "rec_7050kHz_48000Hz.wav";
    EXPECT_EQ(ReadNamed(name, {fmt, data}).CentreFrequency, 7050000);
    EXPECT_EQ(ReadNamed(name, {Chunk("fmt ", FmtPayload(at7050k)), data}).CentreFrequency, 48000);
    const std::string text = "not a wave file";
    EXPECT_EQ(ReadWavFile(store, dir.Write("dump_8kHz.raw", Bytes(text.begin(), text.end()))).CentreFrequency,
              0);
    EXPECT_EQ(ReadWavFile(store, dir.Write("dump_8kHz_3500kHz.raw", Bytes(text.begin(), text.end())))
                  .CentreFrequency,
              3500000);
}

TEST_F(AuxiChunkTest, RawFallbackTakesTheNameOnly) {
    const std::string text = "not a wave file";
    const WavReadResult r =
        ReadWavFile(store, dir.Write("dump_7050kHz.raw", Bytes(text.begin(), text.end())));
    EXPECT_TRUE(r.Fallback);
    EXPECT_EQ(r.CentreFrequency, 7050000);
    // A header that fails after its auxi chunk was seen falls back without it.
    Fmt tooMany;
    tooMany.Channels = 17;
    const WavReadResult failed = ReadNamed(
        "plain.wav", {Chunk("auxi", AuxiPayload(7050000)), Chunk("fmt ", FmtPayload(tooMany)), data});
    EXPECT_TRUE(failed.Fallback);
    EXPECT_EQ(failed.CentreFrequency, 0);
}

TEST(CentreFrequencies, TypedValuesHoldForTheirRecordingOverWhatTheFileCarries) {
    CentreFrequencies centres;
    EXPECT_EQ(centres.Of("/a.wav"), 0);
    centres.FileRead("/a.wav", 7050000);
    centres.FileRead("/b.wav", 0);
    EXPECT_EQ(centres.Of("/a.wav"), 7050000);
    EXPECT_EQ(centres.Of("/b.wav"), 0);

    centres.Typed("/b.wav", 14074000);
    centres.Typed("/a.wav", 0);          // the user says it has none
    centres.FileRead("/a.wav", 7050000); // a reload does not undo what was typed
    centres.FileRead("/b.wav", 0);
    EXPECT_EQ(centres.Of("/a.wav"), 0);
    EXPECT_EQ(centres.Of("/b.wav"), 14074000);
    EXPECT_EQ(centres.Of("/c.wav"), 0);
}
