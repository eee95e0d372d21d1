// orvane-cli on bare I/Q captures: every command reads them with --rate (and --centre, --type); a
// capture without --rate, and --rate or --centre on a file that carries its own rate, are bad usage.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include "signal/WavReader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace clitest;
using namespace wavtest;
using nlohmann::json;

namespace {

class CliCapture : public ::testing::Test {
protected:
    TempDir dir;
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }
    // `samples` complex unsigned 8-bit samples of a slow ramp.
    std::string WriteCu8(const std::string& name, size_t samples) {
        Bytes data;
        for (size_t i = 0; i < 2 * samples; ++i) data.push_back(uint8_t(i % 251));
        return dir.Write(name, data);
    }
};

TEST_F(CliCapture, InfoJsonNamesTheTypeRateAndCentre) {
    const std::string file = WriteCu8("rtl_433.92MHz.cu8", 1000);
    const CliRun run = Run("info --json --rate 2048000 " + Quote(file));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const json info = json::parse(run.Out);
    EXPECT_EQ(info["status"], " Bytes : 2000 cu8 Capture");
    EXPECT_EQ(info["format"], "capture");
    EXPECT_EQ(info["type"], "cu8");
    EXPECT_EQ(info["channels"], 2);
    EXPECT_EQ(info["rate"], 2048000);
    EXPECT_EQ(info["bits"], 8);
    EXPECT_EQ(info["values"], 2000);
    EXPECT_EQ(info["centre"], 433920000);

    const CliRun text = Run("info --rate=250000 --centre 0 " + Quote(file));
    ASSERT_EQ(text.ExitCode, 0) << text.Err;
    EXPECT_EQ(text.Out, "status: Bytes : 2000 cu8 Capture\nchannels: 2\nrate: 250000\nbits: 8\nvalues: 2000\n"
                        "type: cu8\n");
}

// Each command that reads an input says the same, with the usage, before it reads or writes anything.
TEST_F(CliCapture, ACaptureWithoutRateIsBadUsage) {
    const std::string file = WriteCu8("iq.CS8", 100);
    const std::string out = dir.File("out.wav");
    for (const std::string& command :
         {"info " + Quote(file), "render " + Quote(file) + " " + Quote(dir.File("p.png")),
          "edit " + Quote(file) + " " + Quote(out) + " amp",
          "demod " + Quote(file) + " " + Quote(out) + " --mode am --freq 0",
          "extract " + Quote(file) + " " + Quote(out) + " --from 0 --to 0.001 --band -10 10"}) {
        const CliRun run = Run(command);
        EXPECT_EQ(run.ExitCode, 2) << command;
        EXPECT_EQ(run.Err.rfind("orvane-cli: " + file + ": --rate is missing", 0), 0u) << run.Err;
        EXPECT_NE(run.Err.find("usage:"), std::string::npos) << command;
        EXPECT_FALSE(std::filesystem::exists(out)) << command;
    }
}

TEST_F(CliCapture, RateOrCentreOnAFileWithItsOwnRateIsBadUsage) {
    const std::string wav = dir.Write("a.wav", Canonical(Fmt{}, Bytes{1, 0, 2, 0}));
    const CliRun rate = Run("info --rate 48000 " + Quote(wav));
    EXPECT_EQ(rate.ExitCode, 2);
    EXPECT_EQ(rate.Err.rfind("orvane-cli: --rate: " + wav + " is not a capture", 0), 0u) << rate.Err;
    const CliRun centre = Run("info --centre 7050000 " + Quote(wav));
    EXPECT_EQ(centre.ExitCode, 2);
    EXPECT_EQ(centre.Err.rfind("orvane-cli: --centre: " + wav + " is not a capture", 0), 0u) << centre.Err;
    // With several files, the one that does not fit stops the command before any is read.
    const CliRun mixed = Run("info --rate 48000 " + Quote(WriteCu8("b.cu8", 4)) + " " + Quote(wav));
    EXPECT_EQ(mixed.ExitCode, 2);
    EXPECT_EQ(mixed.Out, "");
}

TEST_F(CliCapture, TypeReadsAnyNameAndEditWritesTheCaptureAsWav) {
    // Two complex 16-bit samples under a name that is not a capture's.
    const std::string file = dir.Write("dump.bin", Bytes{0x00, 0x80, 0xFF, 0x7F, 0x01, 0x00, 0xFE, 0xFF});
    const std::string out = dir.File("out.wav");
    const CliRun edit =
        Run("edit --type SC16 --rate 96000 --centre 145800000 " + Quote(file) + " " + Quote(out));
    ASSERT_EQ(edit.ExitCode, 0) << edit.Err;
    const CliRun info = Run("info --json " + Quote(out));
    ASSERT_EQ(info.ExitCode, 0) << info.Err;
    const json written = json::parse(info.Out);
    EXPECT_EQ(written["channels"], 2);
    EXPECT_EQ(written["rate"], 96000);
    EXPECT_EQ(written["centre"], 145800000);
    SignalStore store;
    ReadWavFile(store, out);
    EXPECT_EQ(std::vector<int16_t>(store.Samples.begin(), store.Samples.end()),
              (std::vector<int16_t>{-32768, 32767, 1, -2}));

    const CliRun bad = Run("info --type cu16 --rate 8000 " + Quote(file));
    EXPECT_EQ(bad.ExitCode, 2);
    EXPECT_NE(bad.Err.find("'cu16' is not one of cu8, uc8, cs8"), std::string::npos) << bad.Err;
}

} // namespace
