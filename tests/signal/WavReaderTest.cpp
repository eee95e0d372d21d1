#include "WavBytes.h"

#include "signal/WavReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <random>
#include <unistd.h>

using namespace wavtest;

namespace {

struct Read {
    WavReadResult Result;
    std::vector<std::string> Texts; // the intermediate panel-0 texts, in order
};

Read ReadInto(SignalStore& store, const std::string& path) {
    Read r;
    r.Result = ReadWavFile(store, path, [&](const std::string& t) { r.Texts.push_back(t); });
    return r;
}

std::vector<int16_t> Ramp(int n) {
    std::vector<int16_t> v(n);
    for (int i = 0; i < n; ++i) v[i] = static_cast<int16_t>(i * 37 - 1000);
    return v;
}

class WavReaderTest : public ::testing::Test {
protected:
    TempDir dir;
    SignalStore store;

    Read ReadBytes(const Bytes& bytes) { return ReadInto(store, dir.Write("f.wav", bytes)); }
    std::vector<int16_t> StoredValues() const { return {store.Samples.begin(), store.Samples.end()}; }
};

} // namespace

TEST_F(WavReaderTest, CanonicalStereoFileFillsTheStore) {
    const auto values = Ramp(1000);
    const Read r = ReadBytes(Canonical(Fmt{}, Values(values)));
    EXPECT_EQ(r.Result.Status, " Bytes : 2000 16 Bit Data");
    EXPECT_EQ(r.Texts, std::vector<std::string>{" Read wav File..."});
    EXPECT_TRUE(r.Result.StoreReplaced);
    EXPECT_FALSE(r.Result.Fallback);
    EXPECT_EQ(store.ChannelCount, 2);
    EXPECT_EQ(store.SampleRate, 48000);
    EXPECT_EQ(store.BitsPerSample, 16);
    EXPECT_EQ(store.ValueCount, 1000);
    EXPECT_EQ(store.Samples.size(), 1000u);
    EXPECT_EQ(StoredValues(), values);
    EXPECT_EQ(store.FileName, dir.File("f.wav"));
}

TEST_F(WavReaderTest, ChunksBeforeAndAfterFmtAreSkipped) {
    const auto values = Ramp(64);
    const Bytes list = Chunk("LIST", Bytes(10, 'x'));
    const Bytes fact = Chunk("fact", Bytes(4, 0));
    const Read r =
        ReadBytes(Riff({list, Chunk("fmt ", FmtPayload(Fmt{})), fact, list, Chunk("data", Values(values))}));
    EXPECT_EQ(r.Result.Status, " Bytes : 128 16 Bit Data");
    EXPECT_EQ(StoredValues(), values);
}

TEST_F(WavReaderTest, OddSizedChunksWithOrWithoutPadByte) {
    const auto values = Ramp(32);
    for (bool pad : {true, false}) {
        const Bytes list = Chunk("LIST", Bytes{'a', 'b', 'c'}, -1, pad);
        const Read r =
            ReadBytes(Riff({list, Chunk("fmt ", FmtPayload(Fmt{})), list, Chunk("data", Values(values))}));
        EXPECT_EQ(r.Result.Status, " Bytes : 64 16 Bit Data") << "pad " << pad;
        EXPECT_EQ(StoredValues(), values) << "pad " << pad;
    }
}

TEST_F(WavReaderTest, FmtChunksOfEveryLengthAreRead) {
    const auto values = Ramp(40);
    for (size_t size : {16u, 18u, 20u, 40u, 41u}) {
        Fmt f;
        f.PayloadSize = size;
        const Read r =
            ReadBytes(Riff({Chunk("fmt ", FmtPayload(f), -1, size % 2 == 1), Chunk("data", Values(values))}));
        EXPECT_EQ(r.Result.Status, " Bytes : 80 16 Bit Data") << "fmt size " << size;
        EXPECT_EQ(StoredValues(), values) << "fmt size " << size;
    }
}

TEST_F(WavReaderTest, SizeNotesAfterTheByteCount) {
    Fmt mono;
    mono.Channels = 1;
    mono.BlockAlign = 2;
    // An odd number of mono values does not fit the block align.
    EXPECT_EQ(ReadBytes(Canonical(mono, Values(Ramp(7)))).Result.Status,
              " Bytes : 14 16 Bit Data (Incorrect Size)");
    // A RIFF size that does not match the file.
    const Bytes wrongRiff = Riff({Chunk("fmt ", FmtPayload(mono)), Chunk("data", Values(Ramp(8)))}, 1234);
    EXPECT_EQ(ReadBytes(wrongRiff).Result.Status, " Bytes : 16 16 Bit Data (Incorrect Header)");
    // Both at once.
    const Bytes both = Riff({Chunk("fmt ", FmtPayload(mono)), Chunk("data", Values(Ramp(7)))}, 1234);
    EXPECT_EQ(ReadBytes(both).Result.Status, " Bytes : 14 16 Bit Data (Probably Damaged)");
}

// 8-bit data is decoded, one value per byte (the other widths: SampleFormatsTest.cpp).
TEST_F(WavReaderTest, EightBitDataGivesOneValuePerByte) {
    Fmt eight;
    eight.Channels = 1;
    eight.BlockAlign = 1;
    eight.Bits = 8;
    Bytes data(1000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    const Read r = ReadBytes(Canonical(eight, data));
    EXPECT_EQ(r.Result.Status, " Bytes : 1000 8 Bit Data");
    EXPECT_EQ(store.ValueCount, 1000);
    EXPECT_EQ(store.BitsPerSample, 8);
    EXPECT_EQ(store.Samples[1], -127 * 256);
    EXPECT_EQ(store.Samples[128], 0);
    EXPECT_EQ(store.Samples[255], 127 * 256);
}

TEST_F(WavReaderTest, ThreeChannelsAreKept) {
    Fmt three;
    three.Channels = 3;
    three.BlockAlign = 6;
    ReadBytes(Canonical(three, Values(Ramp(30))));
    EXPECT_EQ(store.ChannelCount, 3);
    EXPECT_EQ(store.ValueCount, 30);
}

TEST_F(WavReaderTest, TextFileIsShownAsRawData) {
    const std::string text = "This is not a wave file at all, just text.\n"; // 43 bytes: odd
    const Read r = ReadBytes(Bytes(text.begin(), text.end()));
    EXPECT_EQ(r.Texts.back(), " ERROR: Incorrect RIFF.");
    EXPECT_EQ(r.Result.Status, " Bytes : 42 (Binary Data)");
    EXPECT_TRUE(r.Result.Fallback);
    EXPECT_EQ(store.SampleRate, 8000);
    EXPECT_EQ(store.ChannelCount, 1);
    EXPECT_EQ(store.BitsPerSample, 16);
    EXPECT_EQ(store.ValueCount, 21);
    EXPECT_EQ(store.Samples[0], static_cast<int16_t>('T' | ('h' << 8)));
}

// Every header failure shows its text, then falls back to the whole file as raw data.
TEST_F(WavReaderTest, HeaderFailuresFallBackToRawData) {
    Fmt tooMany;
    tooMany.Channels = 17;
    tooMany.BlockAlign = 34;
    Fmt noChannels;
    noChannels.Channels = 0;
    Fmt narrowAlign;
    narrowAlign.BlockAlign = 1;
    Fmt floatTag;
    floatTag.Tag = 3;
    Bytes notWave = Canonical(Fmt{}, Values(Ramp(8)));
    notWave[8] = 'X';
    const Bytes data = Chunk("data", Values(Ramp(8)));
    const struct {
        Bytes File;
        std::string Error;
    } cases[] = {
        {notWave, " ERROR: Incorrect WAVE."},
        {Riff({data, Chunk("fmt ", FmtPayload(Fmt{}))}), " ERROR: Header Error."},
        {Riff({Chunk("LIST", Bytes(4, 0))}), " ERROR: Header Error."},       // no fmt chunk at all
        {Riff({Chunk("fmt ", FmtPayload(Fmt{}))}), " ERROR: Header Error."}, // no data chunk
        {Canonical(tooMany, Values(Ramp(8))), " ERROR: It Is Too Much Channels."},
        {Canonical(floatTag, Values(Ramp(8))), " ERROR: File Format Not Supported."},
        {Canonical(noChannels, Values(Ramp(8))), " ERROR: Header Error."},
        {Canonical(narrowAlign, Values(Ramp(8))), " ERROR: Header Error."},
        {Bytes{'R', 'I', 'F'}, " ERROR: Incorrect RIFF."},
    };
    for (const auto& c : cases) {
        const Read r = ReadBytes(c.File);
        ASSERT_FALSE(r.Texts.empty());
        EXPECT_EQ(r.Texts.back(), c.Error);
        EXPECT_TRUE(r.Result.Fallback);
        EXPECT_EQ(r.Result.Status, " Bytes : " + std::to_string(c.File.size() / 2 * 2) + " (Binary Data)");
        EXPECT_EQ(store.ValueCount, static_cast<int32_t>(c.File.size() / 2));
        EXPECT_EQ(store.SampleRate, 8000);
        EXPECT_EQ(store.ChannelCount, 1);
    }
}

TEST_F(WavReaderTest, ExtensibleFormatPassesOnlyWithPcmSubFormat) {
    const uint8_t pcmGuid[16] = {1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    for (uint8_t code : {uint8_t{1}, uint8_t{3}}) {
        Fmt f;
        f.Tag = 0xFFFE;
        f.PayloadSize = 40;
        Bytes payload = FmtPayload(f);
        payload[16] = 22; // cbSize
        std::copy(std::begin(pcmGuid), std::end(pcmGuid), payload.begin() + 24);
        payload[24] = code;
        const Read r = ReadBytes(Riff({Chunk("fmt ", payload), Chunk("data", Values(Ramp(8)))}));
        EXPECT_EQ(r.Result.Fallback, code != 1);
        if (code == 1) {
            EXPECT_EQ(r.Result.Status, " Bytes : 16 16 Bit Data");
        }
    }
}

TEST_F(WavReaderTest, HugeSizesStayWithinTheFile) {
    // A chunk size of 2^31 or more must not turn into a backward skip.
    const Read skip = ReadBytes(Riff({Chunk("LIST", Bytes(8, 0), 0xFFFFFFF0),
                                      Chunk("fmt ", FmtPayload(Fmt{})), Chunk("data", Values(Ramp(8)))}));
    EXPECT_TRUE(skip.Result.Fallback);
    EXPECT_EQ(skip.Texts.back(), " ERROR: Header Error.");

    // A 4 GB data size in a small file reads what is there, and allocates no more.
    const Bytes file = Riff({Chunk("fmt ", FmtPayload(Fmt{})), Chunk("data", Values(Ramp(26)), 0xFFFFFFFF)});
    const Read data = ReadBytes(file);
    EXPECT_FALSE(data.Result.Fallback);
    EXPECT_EQ(data.Result.Status.rfind(" Bytes : 52 16 Bit Data", 0), 0u) << data.Result.Status;
    EXPECT_EQ(store.ValueCount, 26);
    EXPECT_EQ(StoredValues(), Ramp(26));
}

TEST_F(WavReaderTest, ShortDataReadsWhatIsThere) {
    Bytes file = Canonical(Fmt{}, Values(Ramp(100)));
    file.resize(file.size() - 51); // declared 200 bytes, 149 present: the odd last byte is not read
    const Read r = ReadBytes(file);
    EXPECT_EQ(r.Result.Status, " Bytes : 148 16 Bit Data (Incorrect Header)");
    EXPECT_EQ(store.ValueCount, 74);
}

TEST_F(WavReaderTest, EarlyFailuresLeaveTheStoreExceptFileName) {
    ReadBytes(Canonical(Fmt{}, Values(Ramp(10))));
    const std::string missing = dir.File("missing.wav");
    for (const std::string& path : {missing, dir.Path().string()}) {
        const Read r = ReadInto(store, path);
        EXPECT_EQ(r.Result.Status, " ERROR: File Access.");
        EXPECT_FALSE(r.Result.StoreReplaced);
        EXPECT_EQ(store.FileName, path);
        EXPECT_EQ(store.ValueCount, 10);
        EXPECT_EQ(store.ChannelCount, 2);
    }
}

TEST_F(WavReaderTest, SizeLimitIsExactlyFiveHundredMillionBytes) {
    for (int64_t size : {kMaxWavFileSize, kMaxWavFileSize + 1}) {
        const std::string path = dir.File("sparse.wav");
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        SignalStore s;
        const Read r = ReadInto(s, path);
        if (size == kMaxWavFileSize) {
            EXPECT_EQ(r.Result.Status, " Bytes : 500000000 (Binary Data)");
            EXPECT_EQ(s.ValueCount, 250000000);
        } else {
            EXPECT_EQ(r.Result.Status, " ERROR: File Size Out of Range.");
            EXPECT_FALSE(r.Result.StoreReplaced);
            EXPECT_EQ(s.ValueCount, 0);
            EXPECT_EQ(s.FileName, path);
        }
    }
}

// Random damage to a valid header never crashes, and the store always matches its count.
TEST_F(WavReaderTest, DamagedHeadersKeepTheStoreConsistent) {
    std::mt19937 random(7);
    const Bytes valid = Riff({Chunk("LIST", Bytes(5, 1), -1, true), Chunk("fmt ", FmtPayload(Fmt{})),
                              Chunk("data", Values(Ramp(40)))});
    for (int round = 0; round < 1500; ++round) {
        Bytes file = valid;
        file.resize(random() % (valid.size() + 8));
        for (int k = random() % 6; k > 0 && !file.empty(); --k)
            file[random() % file.size()] = static_cast<uint8_t>(random());
        const Read r = ReadBytes(file);
        ASSERT_TRUE(r.Result.StoreReplaced);
        ASSERT_EQ(store.Samples.size(), static_cast<size_t>(store.ValueCount));
        ASSERT_LE(static_cast<size_t>(store.ValueCount) * 2, file.size());
        ASSERT_EQ(r.Result.Status.rfind(" Bytes : ", 0), 0u);
    }
}

// A data chunk of tens of megabytes is read in two parts at once: every value lands in its place,
// whole or cut short by the end of the file.
TEST_F(WavReaderTest, LargeDataIsReadWholeAndInOrder) {
    std::vector<int16_t> values(17000000 + 12345);
    for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int16_t>((i * 2654435761u) >> 16);
    const Bytes whole = Canonical(Fmt{}, Values(values));
    for (const size_t cut : {size_t{0}, size_t{1001}}) {
        Bytes file = whole;
        file.resize(whole.size() - cut);
        const Read r = ReadBytes(file);
        const size_t present = (file.size() - 44) / 2;
        ASSERT_EQ(store.ValueCount, static_cast<int32_t>(present)) << cut;
        EXPECT_TRUE(std::equal(store.Samples.begin(), store.Samples.end(), values.begin())) << cut;
        EXPECT_EQ(r.Result.Status.rfind(" Bytes : " + std::to_string(present * 2) + " ", 0), 0u)
            << r.Result.Status;
    }
}

namespace {

struct LimitCase {
    int64_t Limit;
    int64_t FileSize;
    bool Read;
};

class WavReaderLimitTest : public ::testing::TestWithParam<LimitCase> {};

std::string LimitCaseName(const ::testing::TestParamInfo<LimitCase>& info) {
    return "Limit" + std::to_string(info.param.Limit) + "File" + std::to_string(info.param.FileSize);
}

} // namespace

// The size limit is the caller's: files up to it are read (sparse files, so no disk is used), longer
// ones refused before the store is touched.
TEST_P(WavReaderLimitTest, FilesUpToTheLimitAreRead) {
    const LimitCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.File("sparse.wav");
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, c.FileSize), 0);
    ::close(fd);
    SignalStore store;
    ReadWavFile(store, dir.Write("before.wav", Canonical(Fmt{}, Values({7, 8}))));
    const WavReadResult r = ReadWavFile(store, path, {}, c.Limit);
    EXPECT_EQ(r.StoreReplaced, c.Read);
    if (c.Read) {
        EXPECT_EQ(r.Status, " Bytes : " + std::to_string(c.FileSize / 2 * 2) + " (Binary Data)");
        EXPECT_EQ(store.ValueCount, c.FileSize / 2);
    } else {
        EXPECT_EQ(r.Status, " ERROR: File Size Out of Range.");
        EXPECT_EQ(store.ValueCount, 2);
        EXPECT_EQ(store.FileName, path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, WavReaderLimitTest,
    ::testing::Values(LimitCase{kMaxWavFileSize, kMaxWavFileSize - 1, true},  // below the default
                      LimitCase{kMaxWavFileSize, kMaxWavFileSize, true},      // at it
                      LimitCase{kMaxWavFileSize, kMaxWavFileSize + 1, false}, // above it
                      LimitCase{kMaxWavFileSize + 2, kMaxWavFileSize + 1,
                                true},                                        // above, with the limit raised
                      LimitCase{kMaxWavFileSize - 1, kMaxWavFileSize, false}, // at, with the limit lowered
                      LimitCase{1000, 1001, false}, LimitCase{1000, 999, true}, LimitCase{0, 1, false},
                      LimitCase{0, 0, true}),
    LimitCaseName);
