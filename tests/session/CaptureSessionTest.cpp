// Bare I/Q captures in the session: every extension decodes its type into two channels at the rate
// given, with the centre frequency given or found in the name; a cut last sample is left out; Reload
// reads with the same rate; a given type overrides the name; other names keep the raw fallback.
#include "../signal/WavBytes.h"

#include "session/RecordingSession.h"
#include "signal/CaptureType.h"
#include "signal/WavReader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

using namespace wavtest;

namespace {

Bytes Le32(float x) {
    Bytes out;
    Append32(out, std::bit_cast<uint32_t>(x));
    return out;
}

Bytes Le64(double x) {
    const auto bits = std::bit_cast<uint64_t>(x);
    Bytes out;
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    return out;
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// The options of a capture read at `rate`, with a given centre frequency and type when wanted.
CaptureOptions Given(int64_t rate, std::optional<int64_t> centre = std::nullopt,
                     std::optional<SigMFDatatype> type = std::nullopt) {
    CaptureOptions options;
    options.SampleRate = rate;
    options.CentreFrequency = centre;
    options.Type = type;
    return options;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct CaptureCase {
    const char* Name;     // the file's name: the extension picks the type
    Bytes Data;           // two complex samples as the file holds them
    const char* TypeName; // as the status text shows it
    uint16_t Bits;
    std::vector<int16_t> Values; // what the scaling of the type gives, worked out by hand
};

std::ostream& operator<<(std::ostream& out, const CaptureCase& c) {
    return out << c.Name;
}

class CaptureTypes : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(CaptureTypes, DecodeIntoTwoChannelsAtTheGivenRate) {
    const CaptureCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.Write(c.Name, c.Data);
    RecordingSession session;
    const ReadOutcome read = session.Open(path, ReadOptions{kMaxWavFileSize, Given(250000)});
    ASSERT_TRUE(read.Opened) << read.Reason;
    EXPECT_EQ(read.Status, " Bytes : " + std::to_string(c.Data.size()) + " " + c.TypeName + " Capture");
    const SignalStore& store = session.Store();
    EXPECT_EQ(store.ChannelCount, 2);
    EXPECT_EQ(store.SampleRate, 250000);
    EXPECT_EQ(store.BitsPerSample, c.Bits);
    ASSERT_EQ(store.ValueCount, 4);
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()), c.Values);
    EXPECT_EQ(SourceWords(session.Description()), c.TypeName);
}

// Unsigned 8-bit: (b - 128) * 256; signed 8-bit: v * 256; 16-bit as it is; floats x * 32767 rounded
// halves to even, clipped at +-1.0, NaN 0.
INSTANTIATE_TEST_SUITE_P(
    Extensions, CaptureTypes,
    ::testing::Values(
        CaptureCase{"rtl.cu8", {0, 128, 255, 127}, "cu8", 8, {-32768, 0, 32512, -256}},
        CaptureCase{"RTL.UC8", {255, 0, 129, 128}, "cu8", 8, {32512, -32768, 256, 0}},
        CaptureCase{"hackrf.cs8", {0x80, 0x7F, 0x00, 0xFF}, "cs8", 8, {-32768, 32512, 0, -256}},
        CaptureCase{"x.Sc8", {0x7F, 0x80, 0x01, 0x00}, "cs8", 8, {32512, -32768, 256, 0}},
        CaptureCase{"a.cs16",
                    {0x00, 0x80, 0xFF, 0x7F, 0x34, 0x12, 0xFF, 0xFF},
                    "cs16",
                    16,
                    {-32768, 32767, 0x1234, -1}},
        CaptureCase{"a.SC16", {0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0x00, 0x01}, "cs16", 16, {1, 0, -2, 256}},
        CaptureCase{"b.cf32",
                    Joined({Le32(1.0f), Le32(-1.0f), Le32(kNaN), Le32(0.5f)}),
                    "cf32",
                    32,
                    {32767, -32767, 0, 16384}},
        CaptureCase{"b.fc32",
                    Joined({Le32(2.0f), Le32(-1e30f), Le32(0.0f), Le32(-0.5f)}),
                    "cf32",
                    32,
                    {32767, -32767, 0, -16384}},
        CaptureCase{"gnuradio.cfile",
                    Joined({Le32(0.25f), Le32(-0.25f), Le32(-0.75f), Le32(3.0f)}),
                    "cf32",
                    32,
                    {8192, -8192, -24575, 32767}},
        CaptureCase{"c.cf64",
                    Joined({Le64(1.0), Le64(-1.0), Le64(std::nan("")), Le64(0.5)}),
                    "cf64",
                    64,
                    {32767, -32767, 0, 16384}},
        CaptureCase{"c.FC64",
                    Joined({Le64(-3.0), Le64(HUGE_VAL), Le64(2.5 / 32767), Le64(0.0)}),
                    "cf64",
                    64,
                    {-32767, 32767, 2, 0}}));

// Names of files holding samples of one type: one sample I/Q of cu8 (128 is zero).
std::string WriteCu8(const TempDir& dir, const std::string& name, size_t bytes) {
    Bytes data(bytes);
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(100 + i);
    return dir.Write(name, data);
}

TEST(CaptureSession, RateAndCentreGivenOrFromTheNameAreInTheDescription) {
    TempDir dir;
    const std::string named = WriteCu8(dir, "rtl_433.92MHz_2048000Hz.cu8", 8);
    RecordingSession session;
    ASSERT_TRUE(session.Open(named, ReadOptions{kMaxWavFileSize, Given(2048000)}).Opened);
    EXPECT_EQ(session.Description().CentreFrequency, 433920000);
    ASSERT_TRUE(session.Description().Capture);
    EXPECT_EQ(session.Description().Capture->SampleRate, 2048000);

    // A given centre counts over the name's; 0 says there is none.
    const CaptureOptions given = Given(96000, 7050000);
    ASSERT_TRUE(session.Open(named, ReadOptions{kMaxWavFileSize, given}).Opened);
    EXPECT_EQ(session.Description().CentreFrequency, 7050000);
    EXPECT_EQ(session.Store().SampleRate, 96000);
    const CaptureOptions none = Given(96000, 0);
    ASSERT_TRUE(session.Open(named, ReadOptions{kMaxWavFileSize, none}).Opened);
    EXPECT_EQ(session.Description().CentreFrequency, 0);
}

TEST(CaptureSession, ACutLastSampleIsLeftOut) {
    TempDir dir;
    // cs16: 3 whole samples of 4 bytes, then an I and half a Q.
    Bytes data;
    for (int i = 0; i < 3 * 4 + 3; ++i) data.push_back(static_cast<uint8_t>(i + 1));
    const std::string path = dir.Write("cut.cs16", data);
    RecordingSession session;
    const ReadOutcome read = session.Open(path, ReadOptions{kMaxWavFileSize, Given(48000)});
    ASSERT_TRUE(read.Opened);
    EXPECT_EQ(session.Store().ValueCount, 6);
    EXPECT_EQ(session.Store().Samples.size(), 6u);
    EXPECT_EQ(session.Store().Samples[5], 0x0C0B);
    EXPECT_EQ(read.Status, " Bytes : 12 cs16 Capture");
}

TEST(CaptureSession, ReloadReadsWithTheSameRateAndCentre) {
    TempDir dir;
    const std::string path = WriteCu8(dir, "iq.cu8", 16);
    RecordingSession session;
    const CaptureOptions options = Given(1024000, 100000000);
    ASSERT_TRUE(session.Open(path, ReadOptions{kMaxWavFileSize, options}).Opened);
    WriteCu8(dir, "iq.cu8", 24); // the file grew meanwhile
    const ReadOutcome again = session.Reload(ReadOptions{});
    ASSERT_TRUE(again.Opened) << again.Reason;
    EXPECT_EQ(session.Store().SampleRate, 1024000);
    EXPECT_EQ(session.Store().ValueCount, 24);
    EXPECT_EQ(session.Description().CentreFrequency, 100000000);
}

// What the WAV reader makes of a file on its own, for names that are not captures.
struct Fallback {
    std::string Status;
    std::vector<int16_t> Values;
    int32_t Rate;
    uint16_t Channels;
};

Fallback ReadAlone(const std::string& path) {
    SignalStore store;
    const WavReadResult read = ReadWavFile(store, path);
    return {read.Status, {store.Samples.begin(), store.Samples.end()}, store.SampleRate, store.ChannelCount};
}

TEST(CaptureSession, AGivenTypeOverridesTheName) {
    TempDir dir;
    const std::string path = dir.Write("samples.bin", Joined({Le32(1.0f), Le32(-0.5f)}));
    RecordingSession session;
    const CaptureOptions options = Given(8000, std::nullopt, CaptureTypeNamed("fc32"));
    const ReadOutcome read = session.Open(path, ReadOptions{kMaxWavFileSize, options});
    ASSERT_TRUE(read.Opened);
    EXPECT_EQ(read.Status, " Bytes : 8 cf32 Capture");
    EXPECT_EQ(std::vector<int16_t>(session.Store().Samples.begin(), session.Store().Samples.end()),
              (std::vector<int16_t>{32767, -16384}));
    // Without the type the same file is raw data.
    EXPECT_EQ(session.Open(path, ReadOptions{}).Status, ReadAlone(path).Status);
    EXPECT_EQ(session.Store().ChannelCount, 1);
}

TEST(CaptureSession, OtherNamesKeepTheRawFallbackEvenWithARate) {
    TempDir dir;
    for (const char* name : {"data.raw", "x.cu16", "cu8", "a.cu8.txt", ".cu8"}) {
        const std::string path = WriteCu8(dir, name, 10);
        const Fallback alone = ReadAlone(path);
        RecordingSession session;
        const ReadOutcome read = session.Open(path, ReadOptions{kMaxWavFileSize, Given(96000)});
        ASSERT_TRUE(read.Opened) << name;
        EXPECT_EQ(read.Status, alone.Status) << name;
        EXPECT_EQ(session.Store().SampleRate, 8000) << name;
        EXPECT_EQ(session.Store().ChannelCount, 1) << name;
        EXPECT_EQ(std::vector<int16_t>(session.Store().Samples.begin(), session.Store().Samples.end()),
                  alone.Values)
            << name;
        EXPECT_FALSE(session.Description().Capture) << name;
    }
}

TEST(CaptureSession, RefusalsChangeNothing) {
    TempDir dir;
    const std::string wav = dir.Write("first.wav", Canonical(Fmt{}, Bytes{1, 0, 2, 0}));
    const std::string capture = WriteCu8(dir, "big.cu8", 1000);
    struct Refusal {
        ReadOptions Options;
        std::string Status;
    };
    const std::vector<Refusal> refusals = {
        {ReadOptions{}, " ERROR: Sample Rate Unknown."},
        {ReadOptions{kMaxWavFileSize, Given(0)}, " ERROR: Sample Rate."},
        {ReadOptions{kMaxWavFileSize, Given(int64_t{1} << 31)}, " ERROR: Sample Rate."},
        {ReadOptions{kMaxWavFileSize, Given(8000, -1)}, " ERROR: Centre Frequency."},
        {ReadOptions{999, Given(8000)}, " ERROR: File Size Out of Range."},
    };
    for (const Refusal& refusal : refusals) {
        RecordingSession session;
        ASSERT_TRUE(session.Open(wav, {}).Opened);
        const ReadOutcome read = session.Open(capture, refusal.Options);
        EXPECT_FALSE(read.Opened);
        EXPECT_EQ(read.Status, refusal.Status);
        EXPECT_FALSE(read.Reason.empty());
        EXPECT_EQ(session.Description().FileName, wav);
        EXPECT_EQ(session.Store().ValueCount, 2);
    }
    RecordingSession session;
    const ReadOutcome missing =
        session.Open(dir.File("none.cf32"), ReadOptions{kMaxWavFileSize, Given(8000)});
    EXPECT_EQ(missing.Status, " ERROR: File Access.");
    EXPECT_EQ(missing.Reason, "No such file or directory");
}

TEST(CaptureSession, WideTypesSayAtTheFirstSaveThatTheFileIsNow16Bit) {
    TempDir dir;
    const std::string path = dir.Write("w.cf32", Joined({Le32(0.5f), Le32(0.25f)}));
    RecordingSession session;
    ASSERT_TRUE(session.Open(path, ReadOptions{kMaxWavFileSize, Given(8000)}).Opened);
    const SaveOutcome saved = session.Save(dir.File("w.wav"));
    ASSERT_TRUE(saved.FormatNote);
    EXPECT_EQ(*saved.FormatNote, " Ready: written as 16-bit PCM (the file had cf32 samples).");
}

} // namespace
