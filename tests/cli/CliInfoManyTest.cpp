// orvane-cli info on several files: the plain blocks, each starting with its file, and --json with one
// object per file whose values are the reader's; an unreadable file has its error, the others are still
// printed, and the exit code is 1.
#include "CliRun.h"

#include "../signal/WavBytes.h"

#include "session/RecordingSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>
#include <sstream>

using namespace clitest;
using namespace wavtest;

namespace {

struct Recording {
    std::string Path;
    std::string Format; // the source format the JSON names
};

class CliInfoMany : public ::testing::Test {
protected:
    TempDir dir;

    std::vector<Recording> Recordings() {
        Fmt float32;
        float32.Tag = 3;
        float32.Bits = 32;
        float32.BlockAlign = 8;
        Bytes floats;
        for (int i = 0; i < 10; ++i) Append32(floats, 0x3F000000);
        Bytes auxi(32, 0);
        Append32(auxi, 14074000);
        auxi.resize(164, 0);
        Fmt mono24{1, 1, 44100, 3, 24, 16};
        return {
            {std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav", "pcm16"},
            {dir.Write("ft8.wav", Riff({Chunk("fmt ", FmtPayload(float32)), Chunk("auxi", auxi),
                                        Chunk("data", floats)})),
             "float32"},
            {dir.Write("rec_7.05MHz.wav", Canonical(mono24, Bytes(30, 1))), "pcm24"},
            {dir.Write("notes.txt", Bytes{'h', 'e', 'l', 'l', 'o', '!'}), "raw16"},
        };
    }
};

std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) objects.push_back(nlohmann::json::parse(line));
    return objects;
}

std::set<std::string> KeysOf(const nlohmann::json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

} // namespace

TEST_F(CliInfoMany, JsonGivesTheReadersValuesForEachFile) {
    const std::vector<Recording> recordings = Recordings();
    const std::string missing = dir.File("missing.wav");
    std::vector<std::string> files;
    for (const Recording& r : recordings) files.push_back(r.Path);
    files.push_back(missing);
    files.push_back(recordings[0].Path);
    std::string args = "info --json";
    for (const std::string& file : files) args.append(1, ' ').append(Quote(file));
    const CliRun run = RunCli(args, dir.File("err"));
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "orvane-cli: " + missing + ": No such file or directory\n");

    const std::vector<nlohmann::json> objects = JsonLines(run.Out);
    ASSERT_EQ(objects.size(), recordings.size() + 2) << run.Out;
    for (size_t i = 0; i < recordings.size(); ++i) {
        const nlohmann::json& o = objects[i];
        RecordingSession session;
        const ReadOutcome read = session.Open(recordings[i].Path, ReadOptions{});
        ASSERT_TRUE(read.Opened) << recordings[i].Path;
        const SignalStore& store = session.Store();
        const int64_t centre = session.Description().CentreFrequency;
        std::set<std::string> keys = {"file", "status", "channels", "rate",
                                      "bits", "values", "seconds",  "format"};
        if (centre != 0) keys.insert("centre");
        EXPECT_EQ(KeysOf(o), keys) << o;
        EXPECT_EQ(o["file"], recordings[i].Path);
        EXPECT_EQ(o["status"], read.Status);
        EXPECT_EQ(o["channels"], store.ChannelCount);
        EXPECT_EQ(o["rate"], store.SampleRate);
        EXPECT_EQ(o["bits"], store.BitsPerSample);
        EXPECT_EQ(o["values"], store.ValueCount);
        EXPECT_DOUBLE_EQ(o["seconds"].get<double>(),
                         double(store.ValueCount) / store.ChannelCount / store.SampleRate);
        EXPECT_EQ(o["format"], recordings[i].Format);
        if (centre != 0) {
            EXPECT_EQ(o["centre"], centre);
        }
    }
    EXPECT_EQ(objects[1]["centre"], 14074000);
    EXPECT_EQ(objects[2]["centre"], 7050000);
    EXPECT_EQ(objects[0]["seconds"], 4.0);
    const nlohmann::json unreadable = {
        {"file", missing}, {"status", " ERROR: File Access."}, {"error", "No such file or directory"}};
    EXPECT_EQ(objects[recordings.size()], unreadable);
    EXPECT_EQ(objects.back(), objects[0]) << "the files after an unreadable one are still read";
}

TEST_F(CliInfoMany, PlainBlocksStartWithTheirFile) {
    const std::string demo = std::string(ORVANE_SOURCE_DIR) + "/samples/demo_iq.wav";
    const std::string missing = dir.File("missing.wav");
    const CliRun run =
        RunCli("info " + Quote(demo) + " " + Quote(missing) + " " + Quote(demo), dir.File("err"));
    EXPECT_EQ(run.ExitCode, 1);
    const std::string block =
        "status: Bytes : 768000 16 Bit Data\nchannels: 2\nrate: 48000\nbits: 16\nvalues: 384000\n";
    EXPECT_EQ(run.Out, "file: " + demo + "\n" + block + "\nfile: " + missing +
                           "\nstatus: ERROR: File Access.\n\nfile: " + demo + "\n" + block);
    EXPECT_EQ(run.Err, "orvane-cli: " + missing + ": No such file or directory\n");
}
