#include "CliRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

using namespace wavtest;
using namespace clitest;

namespace {

class CliTest : public ::testing::Test {
protected:
    TempDir dir;
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }
};

} // namespace

TEST_F(CliTest, InfoPrintsTheReadersView) {
    const CliRun demo = Run("info " + Quote(std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav"));
    EXPECT_EQ(demo.ExitCode, 0);
    EXPECT_EQ(demo.Out,
              "status: Bytes : 768000 16 Bit Data\nchannels: 2\nrate: 48000\nbits: 16\nvalues: 384000\n");

    const std::string text = dir.Write("notes.wav", Bytes{'h', 'e', 'l', 'l', 'o'});
    const CliRun raw = Run("info " + Quote(text));
    EXPECT_EQ(raw.ExitCode, 0);
    EXPECT_EQ(raw.Out, "status: Bytes : 4 (Binary Data)\nchannels: 1\nrate: 8000\nbits: 16\nvalues: 2\n");
}

TEST_F(CliTest, InfoOnAnUnreadableFileExitsOne) {
    const CliRun missing = Run("info " + Quote(dir.File("missing.wav")));
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.Out, "status: ERROR: File Access.\n");
}

TEST_F(CliTest, BadUsageExitsTwoWithUsage) {
    for (const std::string args : {"", "nonsense", "info", "edit in.wav", "edit --fft 1000 a b"}) {
        const CliRun run = Run(args);
        EXPECT_EQ(run.ExitCode, 2) << args;
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << args;
    }
}

// 8-bit samples come back as 16-bit PCM: (b - 128) * 256.
TEST_F(CliTest, EditWithoutOperationsNormalisesTheLayout) {
    Fmt eight;
    eight.Channels = 1;
    eight.BlockAlign = 1;
    eight.Bits = 8;
    eight.PayloadSize = 18;
    const Bytes data{1, 2, 128, 129, 254, 255};
    const std::string in = dir.Write("in.wav", Riff({Chunk("LIST", Bytes(3, 'z'), -1, true),
                                                     Chunk("fmt ", FmtPayload(eight)), Chunk("data", data)}));
    const CliRun run = Run("edit " + Quote(in) + " " + Quote(dir.File("out.wav")));
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    const Bytes out = ReadFile(dir.File("out.wav"));
    ASSERT_EQ(out.size(), 60u);
    EXPECT_EQ(out[34], 16); // declared 16 bits
    EXPECT_EQ(Bytes(out.begin() + 48, out.end()),
              Values({-127 * 256, -126 * 256, 0, 256, 126 * 256, 127 * 256}));
}

TEST_F(CliTest, EditReinterpretsTheChannels) {
    const std::string in = dir.Write("mono.wav", Canonical(Fmt{1, 1, 8000, 2, 16, 16}, Values({1, 2, 3, 4})));
    for (const std::string how : {"--channels 2", "channels 2"}) {
        const CliRun run = Run("edit " + Quote(in) + " " + Quote(dir.File("two.wav")) + " " + how);
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        const Bytes out = ReadFile(dir.File("two.wav"));
        EXPECT_EQ(out[22], 2) << how;
        EXPECT_EQ(out[32], 4) << how;
    }
}

TEST_F(CliTest, EditOfAnUnreadableInputWritesNothing) {
    const CliRun run = Run("edit " + Quote(dir.File("missing.wav")) + " " + Quote(dir.File("out.wav")));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "orvane-cli: " + dir.File("missing.wav") + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
}

// tune takes a signed frequency (a negative one is a number, not an option), moves the centre frequency
// that the file's name gave with it into the written auxi chunk, and is refused, with the step named,
// on one channel.
TEST_F(CliTest, TuneTakesASignedFrequencyAndMovesTheCentreFrequency) {
    const std::string iq =
        dir.Write("rec_7050kHz.wav", Canonical(Fmt{1, 2, 48000, 4, 16, 16}, Values({1000, 0, 0, 1000})));
    const CliRun tuned = Run("edit " + Quote(iq) + " " + Quote(dir.File("tuned.wav")) + " tune -1000");
    EXPECT_EQ(tuned.ExitCode, 0) << tuned.Err;
    EXPECT_EQ(tuned.Err, "");
    const CliRun info = Run("info " + Quote(dir.File("tuned.wav")));
    EXPECT_NE(info.Out.find("centre: 7049000\n"), std::string::npos) << info.Out;

    const std::string mono = dir.Write("mono.wav", Canonical(Fmt{1, 1, 48000, 2, 16, 16}, Values({1, 2})));
    const CliRun refused = Run("edit " + Quote(mono) + " " + Quote(dir.File("same.wav")) + " tune 1000");
    EXPECT_EQ(refused.ExitCode, 0);
    EXPECT_NE(refused.Err.find("tune 1000"), std::string::npos) << refused.Err;
    const Bytes same = ReadFile(dir.File("same.wav"));
    EXPECT_EQ(Bytes(same.end() - 4, same.end()), Values({1, 2})); // the values as they were
}
