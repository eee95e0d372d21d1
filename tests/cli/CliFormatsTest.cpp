// orvane-cli info on the formats beyond 16-bit PCM: the decoded values' count, the centre frequency
// line, and the size limit of --largest-file (the default keeps the contract's refusal).
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace wavtest;
using namespace clitest;

namespace {

class CliFormatsTest : public ::testing::Test {
protected:
    TempDir dir;
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }

    std::string Sparse(const std::string& name, int64_t size) {
        const std::string path = dir.File(name);
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        EXPECT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        return path;
    }
};

Bytes Float32Stereo(const std::vector<Bytes>& before, const std::vector<Bytes>& after = {}) {
    Fmt f;
    f.Tag = 3;
    f.Bits = 32;
    f.BlockAlign = 8;
    Bytes data;
    for (int i = 0; i < 16; ++i) Append32(data, 0x3F000000); // 0.5
    std::vector<Bytes> chunks = {Chunk("fmt ", FmtPayload(f))};
    chunks.insert(chunks.end(), before.begin(), before.end());
    chunks.push_back(Chunk("data", data));
    chunks.insert(chunks.end(), after.begin(), after.end());
    return Riff(chunks);
}

Bytes Auxi(uint32_t centre) {
    Bytes p(32, 0);
    Append32(p, centre);
    p.resize(164, 0);
    return Chunk("auxi", p);
}

} // namespace

TEST_F(CliFormatsTest, InfoAddsTheCentreLineAfterTheFiveWhenOneIsKnown) {
    const std::string five =
        "status: Bytes : 64 32 Bit Data\nchannels: 2\nrate: 48000\nbits: 32\nvalues: 16\n";
    EXPECT_EQ(Run("info " + Quote(dir.Write("plain.wav", Float32Stereo({})))).Out, five);
    EXPECT_EQ(Run("info " + Quote(dir.Write("rec_7.05MHz.wav", Float32Stereo({})))).Out,
              five + "centre: 7050000\n");
    EXPECT_EQ(Run("info " + Quote(dir.Write("auxi.wav", Float32Stereo({Auxi(14074000)})))).Out,
              five + "centre: 14074000\n");
    EXPECT_EQ(Run("info " + Quote(dir.Write("after_3500kHz.wav", Float32Stereo({}, {Auxi(1840000)})))).Out,
              five + "centre: 1840000\n");
}

TEST_F(CliFormatsTest, LargestFileRaisesOrLowersTheLimit) {
    const std::string big = Sparse("big.bin", 500000001);
    const CliRun refused = Run("info " + Quote(big));
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_EQ(refused.Out, "status: ERROR: File Size Out of Range.\n");

    const CliRun raised = Run("info --largest-file 500000001 " + Quote(big));
    EXPECT_EQ(raised.ExitCode, 0) << raised.Err;
    EXPECT_EQ(
        raised.Out,
        "status: Bytes : 500000000 (Binary Data)\nchannels: 1\nrate: 8000\nbits: 16\nvalues: 250000000\n");

    const std::string small = dir.Write("small.wav", Float32Stereo({}));
    const CliRun lowered = Run("info " + Quote(small) + " --largest-file 100");
    EXPECT_EQ(lowered.ExitCode, 1);
    EXPECT_EQ(lowered.Out, "status: ERROR: File Size Out of Range.\n");
    const CliRun render =
        Run("render --largest-file 100 " + Quote(small) + " " + Quote(dir.File("out.bmp")) + " --quiet");
    EXPECT_EQ(render.ExitCode, 1);
    EXPECT_EQ(render.Err, "orvane-cli: " + small + ": the file has " +
                              std::to_string(std::filesystem::file_size(small)) +
                              " bytes, more than the largest file (100 bytes)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.bmp")));
}

TEST_F(CliFormatsTest, BadLimitsAndOptionsInfoDoesNotTakeAreBadUsage) {
    const std::string small = dir.Write("small.wav", Float32Stereo({}));
    for (const std::string args : {"--largest-file 0", "--largest-file -5", "--largest-file 5e8",
                                   "--largest-file x", "--largest-file", "--fft 1024", "--quiet"}) {
        const CliRun run = Run("info " + args + " " + Quote(small));
        EXPECT_EQ(run.ExitCode, 2) << args;
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << args;
    }
}

// A WAV file whose samples are not decoded is read as raw data; info, and a command that goes on with
// the recording, say on standard error which coding it was, and the exit code stays 0.
TEST_F(CliFormatsTest, AFileOfUndecodedSamplesSaysWhichCodingItHas) {
    Fmt alaw;
    alaw.Tag = 6;
    alaw.Channels = 1;
    alaw.Bits = 8;
    alaw.BlockAlign = 1;
    const Bytes file = Riff({Chunk("fmt ", FmtPayload(alaw)), Chunk("data", Bytes(64, 0xD5))});
    const std::string path = dir.Write("alaw.wav", file);
    const std::string why = "orvane-cli: " + path +
                            ": samples coded as A-law are not decoded: read as raw 16-bit data at 8000 Hz\n";
    const CliRun info = Run("info " + Quote(path));
    EXPECT_EQ(info.ExitCode, 0);
    EXPECT_EQ(info.Out.substr(0, info.Out.find('\n')),
              "status: Bytes : " + std::to_string(file.size()) + " (Binary Data)");
    EXPECT_EQ(info.Err, why);
    const CliRun edit = Run("edit " + Quote(path) + " " + Quote(dir.File("out.wav")));
    EXPECT_EQ(edit.ExitCode, 0);
    EXPECT_EQ(edit.Err, why);
    EXPECT_TRUE(Run("info " + Quote(dir.Write("plain.wav", Float32Stereo({})))).Err.empty());
}
