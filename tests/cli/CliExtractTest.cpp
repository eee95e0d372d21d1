// orvane-cli extract: the band's file (two channels at the smallest whole rate with room for the band,
// the range's length, the centre frequency moved to the band's centre), bands given as radio
// frequencies when the recording has a centre frequency and as signed baseband ones otherwise, and the
// refusals and usage errors, each exit 2 without a file.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace clitest;
using namespace wavtest;

namespace {

class CliExtract : public ::testing::Test {
protected:
    TempDir dir;
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }
    // One second of two channels at 48000 Hz.
    std::string Recording(const std::string& name) {
        Bytes data;
        for (int i = 0; i < 2 * 48000; ++i) Append16(data, uint16_t(int16_t((i * 7919) % 2001 - 1000)));
        return dir.Write(name, Canonical(Fmt{1, 2, 48000, 4, 16, 16}, data));
    }
};

struct BandCase {
    const char* Name;
    const char* File;
    const char* Band;
    const char* Info; // what info says of the band's file
};

class CliExtractBands : public CliExtract, public ::testing::WithParamInterface<BandCase> {};

} // namespace

TEST_P(CliExtractBands, WritesTheBandAsARecordingOfItsOwn) {
    const BandCase& c = GetParam();
    const std::string in = Recording(c.File);
    const CliRun run = Run("extract " + Quote(in) + " " + Quote(dir.File("band.wav")) +
                           " --from 0.25 --to=0.75 --band " + c.Band);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const CliRun info = Run("info " + Quote(dir.File("band.wav")));
    EXPECT_EQ(info.Out, c.Info);
}

// A band 1000 Hz wide: 48000 / 32 = 1500 Hz is the smallest whole rate with room for 1250 Hz; half a
// second of it is 750 frames.
INSTANTIATE_TEST_SUITE_P(
    Bands, CliExtractBands,
    testing::Values(
        BandCase{"RadioFrequencies", "rec_7050kHz.wav", "7050500 7051500",
                 "status: Bytes : 3000 16 Bit Data\nchannels: 2\nrate: 1500\nbits: 16\nvalues: 1500\ncentre: "
                 "7051000\n"},
        BandCase{"NegativeBaseband", "plain.wav", "-1500 -500",
                 "status: Bytes : 3000 16 Bit Data\nchannels: 2\nrate: 1500\nbits: 16\nvalues: 1500\n"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CliExtract, RefusalsAndUsageErrorsExitTwoAndWriteNothing) {
    const std::string in = Recording("plain.wav");
    for (const std::string words :
         {"--from 0 --to 1 --band 20000 30000", "--from 1 --to 0.5 --band 0 1000", "--from 0 --to 1",
          "--from 0 --to 1 --band 1000", "--to 1 --band 0 1000"}) {
        const CliRun run = Run("extract " + Quote(in) + " " + Quote(dir.File("band.wav")) + " " + words);
        EXPECT_EQ(run.ExitCode, 2) << words << "\n" << run.Err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("band.wav"))) << words;
    }
    const CliRun refused = Run("extract " + Quote(in) + " " + Quote(dir.File("band.wav")) +
                               " --from 0 --to 1 --band 20000 30000");
    EXPECT_EQ(refused.Err.rfind("orvane-cli: extract: refused: the band 20000 ... 30000 Hz", 0), 0u)
        << refused.Err;
    const CliRun same = Run("extract " + Quote(in) + " " + Quote(in) + " --from 0 --to 1 --band 0 1000");
    EXPECT_EQ(same.ExitCode, 2) << same.Err;
}
