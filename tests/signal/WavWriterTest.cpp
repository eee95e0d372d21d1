#include "WavBytes.h"

#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace wavtest;

namespace {

SignalStore MakeStore(int values, uint16_t channels, int32_t rate) {
    SignalStore s;
    s.Samples.resize(values);
    for (int i = 0; i < values; ++i) s.Samples[i] = static_cast<int16_t>(i * 101 - 30000);
    s.ValueCount = values;
    s.ChannelCount = channels;
    s.SampleRate = rate;
    s.FileName = "loaded.wav";
    return s;
}

uint32_t U32(const Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}
uint16_t U16(const Bytes& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
std::string Tag(const Bytes& b, size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

struct Saved {
    uint16_t Result;
    std::vector<std::string> Texts;
};

Saved Save(const SignalStore& store, const std::string& name, const std::string& startDirectory) {
    Saved s;
    s.Result = SaveSignal(store, name, startDirectory, [&](const std::string& t) { s.Texts.push_back(t); });
    return s;
}

} // namespace

TEST(WavWriter, StereoLayoutByteByByte) {
    TempDir dir;
    const SignalStore store = MakeStore(1000, 2, 48000);
    const Saved saved = Save(store, dir.File("out.wav"), dir.Path());
    EXPECT_EQ(saved.Result, kWavWriteOk);
    EXPECT_EQ(saved.Texts, (std::vector<std::string>{" Saving out.wav...", " Ready"}));

    const Bytes b = ReadFile(dir.File("out.wav"));
    ASSERT_EQ(b.size(), 2048u);
    EXPECT_EQ(Tag(b, 0), "RIFF");
    EXPECT_EQ(U32(b, 4), 2040u);
    EXPECT_EQ(Tag(b, 8), "WAVE");
    EXPECT_EQ(Tag(b, 12), "fmt ");
    EXPECT_EQ(U32(b, 16), 20u);
    EXPECT_EQ(U16(b, 20), 1);       // PCM
    EXPECT_EQ(U16(b, 22), 2);       // channels
    EXPECT_EQ(U32(b, 24), 48000u);  // rate
    EXPECT_EQ(U32(b, 28), 192000u); // bytes per second
    EXPECT_EQ(U16(b, 32), 4);       // block align
    EXPECT_EQ(U16(b, 34), 16);      // bits
    EXPECT_EQ(U32(b, 36), 0u);      // cbSize and the two bytes after it
    EXPECT_EQ(Tag(b, 40), "data");
    EXPECT_EQ(U32(b, 44), 2000u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(static_cast<int16_t>(U16(b, 48 + 2 * i)), store.Samples[i]);
}

TEST(WavWriter, EmptyStoreAndOddChannelCounts) {
    TempDir dir;
    Save(MakeStore(0, 1, 8000), dir.File("empty.wav"), dir.Path());
    const Bytes empty = ReadFile(dir.File("empty.wav"));
    ASSERT_EQ(empty.size(), 48u);
    EXPECT_EQ(U32(empty, 4), 40u);
    EXPECT_EQ(U32(empty, 44), 0u);

    Save(MakeStore(30, 3, 44100), dir.File("three.wav"), dir.Path());
    const Bytes three = ReadFile(dir.File("three.wav"));
    EXPECT_EQ(U16(three, 22), 3);
    EXPECT_EQ(U16(three, 32), 6);
    EXPECT_EQ(U32(three, 28), 44100u * 6);
}

TEST(WavWriter, StoreOfAnyBitDepthIsWrittenAsSixteenBits) {
    TempDir dir;
    SignalStore store = MakeStore(10, 1, 8000);
    store.BitsPerSample = 8;
    Save(store, dir.File("eight.wav"), dir.Path());
    const Bytes b = ReadFile(dir.File("eight.wav"));
    EXPECT_EQ(U16(b, 34), 16);
    EXPECT_EQ(U16(b, 32), 2);
}

TEST(WavWriter, RoundTripThroughTheReader) {
    TempDir dir;
    for (int values : {1000, 1002}) { // 500 frames: no note; 501 frames: odd
        const SignalStore original = MakeStore(values, 2, 22050);
        Save(original, dir.File("rt.wav"), dir.Path());
        SignalStore back;
        const WavReadResult r = ReadWavFile(back, dir.File("rt.wav"));
        EXPECT_EQ(back.ValueCount, original.ValueCount);
        EXPECT_EQ(back.ChannelCount, 2);
        EXPECT_EQ(back.SampleRate, 22050);
        EXPECT_TRUE(std::equal(back.Samples.begin(), back.Samples.end(), original.Samples.begin()));
        const std::string expected = " Bytes : " + std::to_string(2 * values) + " 16 Bit Data";
        EXPECT_EQ(r.Status, values == 1000 ? expected : expected + " (Incorrect Size)");
    }
}

TEST(WavWriter, QuickSaveOverwritesDemoSampleInTheStartDirectory) {
    TempDir dir;
    dir.Write("DemoSample.wav", Bytes(5000, 0xAB));
    const Saved saved = Save(MakeStore(4, 1, 8000), "", dir.Path());
    EXPECT_EQ(saved.Texts.front(), " Saving DemoSample.wav...");
    EXPECT_EQ(ReadFile(dir.File("DemoSample.wav")).size(), 56u);
}

TEST(WavWriter, UncreatableFileRaisesWithPathAndReason) {
    const std::string path = "/nonexistent-folder-orvane/x.wav";
    std::vector<std::string> texts;
    try {
        SaveSignal(MakeStore(4, 1, 8000), path, "/", [&](const std::string& t) { texts.push_back(t); });
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
    }
    EXPECT_EQ(texts, std::vector<std::string>{" Saving x.wav..."}); // the saving text stays
}

TEST(WavWriter, WriteErrorOnADeviceIsAStreamError) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    const Saved saved = Save(MakeStore(1000, 2, 48000), "/dev/full", "/");
    EXPECT_EQ(saved.Result, kWavWriteDataError);
    EXPECT_EQ(saved.Texts.back(), " ERROR: Stream Error.");
}

// A full disk midway through the data: the old file stays as it was and no temporary file is left.
TEST(WavWriter, FailedSaveLeavesTheOldFileIntact) {
    TempDir dir;
    const Bytes old(3000, 0x5A);
    dir.Write("target.wav", old);

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000; // the header fits, the data does not
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Saved result = Save(MakeStore(10000, 1, 8000), dir.File("target.wav"), dir.Path());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.Result, kWavWriteDataError);
    EXPECT_EQ(result.Texts.back(), " ERROR: Stream Error.");
    EXPECT_EQ(ReadFile(dir.File("target.wav")), old);
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator()),
        1);
}

TEST(WavWriter, ReplacingKeepsTheFilePermissions) {
    TempDir dir;
    dir.Write("perm.wav", Bytes(10, 0));
    std::filesystem::permissions(dir.File("perm.wav"), std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_write |
                                                           std::filesystem::perms::group_read);
    Save(MakeStore(4, 1, 8000), dir.File("perm.wav"), dir.Path());
    const auto perms = std::filesystem::status(dir.File("perm.wav")).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_write |
                                                       std::filesystem::perms::group_read);
}
