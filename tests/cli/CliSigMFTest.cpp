// orvane-cli on SigMF recordings: info and info --json give the SigMF fields, edit and extract write a
// SigMF pair for an output named .sigmf-data, and extract never writes over a file of its input's pair.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <filesystem>

using namespace clitest;
using namespace wavtest;
using nlohmann::json;

namespace {

const char* const kMeta = R"({
  "global": {"core:datatype": "ci16_le", "core:version": "1.0.0", "core:sample_rate": 48000,
             "ext:antenna": "dipole"},
  "captures": [{"core:sample_start": 0, "core:frequency": 7050000, "core:datetime": "2026-12-09T14:03:11.250Z"}],
  "annotations": [{"core:sample_start": 0, "core:label": "a"}, {"core:sample_start": 9, "ext:x": 1}]
})";

class CliSigMF : public ::testing::Test {
protected:
    TempDir dir;
    CliRun Run(const std::string& args) { return RunCli(args, dir.File("stderr.txt")); }
    // One second of complex 16-bit samples at 48000 Hz, named rec.
    Bytes WritePair() {
        Bytes data;
        for (int i = 0; i < 2 * 48000; ++i) Append16(data, uint16_t(int16_t((i * 7919) % 2001 - 1000)));
        dir.Write("rec.sigmf-meta", Bytes(kMeta, kMeta + std::strlen(kMeta)));
        dir.Write("rec.sigmf-data", data);
        return data;
    }
    std::string MetaOf(const std::string& base) {
        const Bytes bytes = ReadFile(dir.File(base + ".sigmf-meta"));
        return std::string(bytes.begin(), bytes.end());
    }
};

TEST_F(CliSigMF, InfoGivesTheSigMFFields) {
    WritePair();
    const CliRun text = Run("info " + Quote(dir.File("rec.sigmf-data")));
    ASSERT_EQ(text.ExitCode, 0) << text.Err;
    EXPECT_EQ(text.Out, "status: Bytes : 192000 ci16_le SigMF Data 2026-12-09T14:03:11.250Z\nchannels: 2\n"
                        "rate: 48000\nbits: 16\nvalues: 96000\ncentre: 7050000\ndatatype: ci16_le\n"
                        "datetime: 2026-12-09T14:03:11.250Z\nannotations: 2\n");
    const CliRun run = Run("info --json " + Quote(dir.File("rec.sigmf-meta")));
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const json info = json::parse(run.Out);
    EXPECT_EQ(info["format"], "sigmf");
    EXPECT_EQ(info["datatype"], "ci16_le");
    EXPECT_EQ(info["datetime"], "2026-12-09T14:03:11.250Z");
    EXPECT_EQ(info["annotations"], 2);
    EXPECT_EQ(info["channels"], 2);
    EXPECT_EQ(info["rate"], 48000);
    EXPECT_EQ(info["centre"], 7050000);
    EXPECT_EQ(info["seconds"], 1.0);
}

TEST_F(CliSigMF, InfoOfAPairWithoutItsDataNamesTheMissingFile) {
    WritePair();
    std::filesystem::remove(dir.File("rec.sigmf-data"));
    const CliRun run = Run("info " + Quote(dir.File("rec.sigmf-meta")));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "orvane-cli: " + dir.File("rec.sigmf-meta") + ": cannot read " +
                           dir.File("rec.sigmf-data") + ": No such file or directory\n");
}

TEST_F(CliSigMF, EditWritesAPairWithTheEditedValuesAndTheMetaFilesKeys) {
    const Bytes data = WritePair();
    const CliRun run = Run("edit " + Quote(dir.File("rec.sigmf-meta")) + " " +
                           Quote(dir.File("out.sigmf-data")) + " --quiet invert-ch2");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    // Q negated in every even-numbered sample ("Invert Channel 2"), everything else as it was.
    const Bytes out = ReadFile(dir.File("out.sigmf-data"));
    ASSERT_EQ(out.size(), data.size());
    bool same = true;
    for (size_t i = 0; i < data.size(); i += 2) {
        const auto in = int16_t(data[i] | (data[i + 1] << 8));
        const auto got = int16_t(out[i] | (out[i + 1] << 8));
        const size_t value = i / 2;
        const bool negated = value % 2 == 1 && (value / 2) % 2 == 0;
        same = same && got == (negated ? int16_t(-in) : in);
    }
    EXPECT_TRUE(same);
    const json meta = json::parse(MetaOf("out"));
    EXPECT_EQ(meta["global"]["core:datatype"], "ci16_le");
    EXPECT_EQ(meta["global"]["ext:antenna"], "dipole");
    EXPECT_EQ(meta["captures"][0]["core:frequency"], 7050000);
    EXPECT_EQ(meta["annotations"][1]["ext:x"], 1);
}

TEST_F(CliSigMF, ExtractWritesABandPairAndNeverOverTheInputsPair) {
    WritePair();
    const CliRun run =
        Run("extract " + Quote(dir.File("rec.sigmf-meta")) + " " + Quote(dir.File("band.sigmf-data")) +
            " --from 0.25 --to 0.75 --band 7050500 7051500");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const CliRun info = Run("info " + Quote(dir.File("band.sigmf-meta")));
    EXPECT_EQ(info.Out, "status: Bytes : 3000 ci16_le SigMF Data\nchannels: 2\nrate: 1500\nbits: 16\n"
                        "values: 1500\ncentre: 7051000\ndatatype: ci16_le\nannotations: 0\n");

    const Bytes before = ReadFile(dir.File("rec.sigmf-data"));
    const CliRun over =
        Run("extract " + Quote(dir.File("rec.sigmf-meta")) + " " + Quote(dir.File("rec.sigmf-data")) +
            " --from 0.25 --to 0.75 --band 7050500 7051500");
    EXPECT_EQ(over.ExitCode, 2);
    EXPECT_NE(over.Err.find("extract does not overwrite its recording"), std::string::npos) << over.Err;
    EXPECT_EQ(ReadFile(dir.File("rec.sigmf-data")), before);
}

} // namespace
