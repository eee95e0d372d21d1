// SigMF recordings in the session: either file of a pair opens it, with its rate, centre frequency,
// time and annotations; what cannot be read changes nothing and says which file or field is at fault;
// a save writes the pair with the values byte for byte and every key of the meta file read.
#include "../signal/WavBytes.h"

#include "ProgramInfo.h"
#include "session/RecordingSession.h"
#include "signal/ReplacingFile.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <filesystem>

using namespace wavtest;
using nlohmann::json;

namespace {

const char* const kMeta = R"({
  "global": {"core:datatype": "ci16_le", "core:version": "1.0.0", "core:sample_rate": 250000,
             "core:author": "someone", "ext:antenna": {"type": "dipole"}},
  "captures": [{"core:sample_start": 0, "core:frequency": 433920000, "core:datetime": "2026-12-09T14:03:11.250Z",
                "ext:gain": 20}],
  "annotations": [{"core:sample_start": 1, "core:sample_count": 2, "core:label": "burst",
                   "core:freq_lower_edge": 433900000, "core:freq_upper_edge": 433940000, "ext:score": 3}],
  "ext:top": true
})";

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Four complex 16-bit samples, little-endian I then Q.
const Bytes kData = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F,
                     0x34, 0x12, 0x78, 0x56, 0x10, 0x00, 0x20, 0x00};
const std::vector<int16_t> kValues = {1, -1, -32768, 32767, 0x1234, 0x5678, 16, 32};

// A pair named rec in `dir`; the data gets `extra` bytes of a sample cut short.
void WritePair(const TempDir& dir, const std::string& meta = kMeta, Bytes data = kData, size_t extra = 0) {
    dir.Write("rec.sigmf-meta", Text(meta));
    data.insert(data.end(), extra, 0x55);
    dir.Write("rec.sigmf-data", data);
}

std::vector<int16_t> ValuesOf(const RecordingSession& session) {
    const SignalStore& store = session.Store();
    return std::vector<int16_t>(store.Samples.begin(), store.Samples.begin() + store.ValueCount);
}

class SigMFOpen : public ::testing::TestWithParam<const char*> {};

TEST_P(SigMFOpen, EitherFileOpensThePair) {
    TempDir dir;
    WritePair(dir, kMeta, kData, 3); // three bytes of a fifth sample: left out
    const std::string opened = dir.File(GetParam());
    RecordingSession session;
    for (int read = 0; read < 2; ++read) { // Open, then Reload
        const ReadOutcome outcome = read == 0 ? session.Open(opened, {}) : session.Reload({});
        ASSERT_TRUE(outcome.Opened) << outcome.Reason;
        EXPECT_EQ(outcome.Status, " Bytes : 16 ci16_le SigMF Data 2026-12-09T14:03:11.250Z");
        EXPECT_EQ(ValuesOf(session), kValues);
        EXPECT_EQ(session.Store().ChannelCount, 2);
        EXPECT_EQ(session.Store().SampleRate, 250000);
        EXPECT_EQ(session.Store().BitsPerSample, 16);
        EXPECT_EQ(session.Description().FileName, opened);
        EXPECT_EQ(session.Description().CentreFrequency, 433920000);
        EXPECT_EQ(session.Description().DateTime, "2026-12-09T14:03:11.250Z");
        ASSERT_EQ(session.Annotations().size(), 1u);
        EXPECT_EQ(session.Annotations()[0].SampleStart, 1);
        EXPECT_EQ(session.Annotations()[0].SampleCount, 2);
        EXPECT_EQ(session.Annotations()[0].Label, "burst");
        EXPECT_EQ(session.Annotations()[0].UpperEdgeHz, 433940000.0);
        EXPECT_FALSE(session.Modified());
    }
}

INSTANTIATE_TEST_SUITE_P(ByName, SigMFOpen, ::testing::Values("rec.sigmf-meta", "rec.sigmf-data"));

struct RefusalCase {
    const char* Name;
    const char* Opened;      // the name opened in the folder
    std::string Meta;        // "": no meta file
    bool WithData;           // whether rec.sigmf-data exists
    int64_t LargestFile;     // the size limit
    const char* Status;      // panel 0
    std::string ReasonStart; // the reason's start, after the folder (when it names a path)
};

std::ostream& operator<<(std::ostream& out, const RefusalCase& c) {
    return out << c.Name;
}

class SigMFRefusal : public ::testing::TestWithParam<RefusalCase> {};

std::string MetaWith(const std::string& global) {
    return R"({"global": {"core:version": "1.0.0", "core:sample_rate": 8000, )" + global + "}}";
}

TEST_P(SigMFRefusal, ChangesNothingAndSaysWhy) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    if (!c.Meta.empty()) dir.Write("rec.sigmf-meta", Text(c.Meta));
    if (c.WithData) dir.Write("rec.sigmf-data", kData);
    // A recording is open before: it stays, unmarked.
    const std::string wav = dir.Write("before.wav", Canonical(Fmt{}, Bytes(400, 7)));
    RecordingSession session;
    ASSERT_TRUE(session.Open(wav, {}).Opened);

    const ReadOutcome outcome = session.Open(dir.File(c.Opened), ReadOptions{c.LargestFile});
    EXPECT_FALSE(outcome.Opened);
    EXPECT_EQ(outcome.Status, c.Status);
    std::string reason = outcome.Reason;
    const std::string folder = dir.Path().string() + "/";
    for (size_t at; (at = reason.find(folder)) != std::string::npos;) reason.erase(at, folder.size());
    EXPECT_TRUE(reason.starts_with(c.ReasonStart)) << reason;
    EXPECT_EQ(session.Description().FileName, wav);
    EXPECT_EQ(session.Store().ValueCount, 200);
    EXPECT_FALSE(session.Modified());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SigMFRefusal,
    ::testing::Values(
        RefusalCase{"NoData", "rec.sigmf-meta", kMeta, false, kMaxWavFileSize, " ERROR: File Access.",
                    "cannot read rec.sigmf-data: No such file or directory"},
        RefusalCase{"NoMeta", "rec.sigmf-data", "", true, kMaxWavFileSize, " ERROR: File Access.",
                    "cannot read rec.sigmf-meta: No such file or directory"},
        RefusalCase{"TwoRealChannels", "rec.sigmf-meta",
                    MetaWith(R"("core:datatype": "ri16_le", "core:num_channels": 2)"), true, kMaxWavFileSize,
                    " ERROR: It Is Too Much Channels.", "core:num_channels 2 is not supported"},
        RefusalCase{"TwoComplexChannels", "rec.sigmf-data",
                    MetaWith(R"("core:datatype": "cf32_le", "core:num_channels": 2)"), true, kMaxWavFileSize,
                    " ERROR: It Is Too Much Channels.",
                    "rec.sigmf-meta: core:num_channels 2 is not supported"},
        RefusalCase{"UnknownDatatype", "rec.sigmf-meta", MetaWith(R"("core:datatype": "ci12_le")"), true,
                    kMaxWavFileSize, " ERROR: SigMF Meta.",
                    "core:datatype 'ci12_le' is not a known datatype"},
        RefusalCase{"DamagedMetaByItsData", "rec.sigmf-data", std::string(kMeta).substr(0, 50), true,
                    kMaxWavFileSize, " ERROR: SigMF Meta.", "rec.sigmf-meta: not JSON: "},
        RefusalCase{"DatasetInAnotherFolder", "rec.sigmf-meta",
                    MetaWith(R"("core:datatype": "cu8", "core:dataset": "../x.wav")"), true, kMaxWavFileSize,
                    " ERROR: SigMF Meta.", "core:dataset '../x.wav' is not a file name"},
        RefusalCase{"HeaderBeyondTheData", "rec.sigmf-meta",
                    R"({"global": {"core:datatype": "cu8", "core:version": "1.0.0", "core:sample_rate": 8000},
                        "captures": [{"core:header_bytes": 17}]})",
                    true, kMaxWavFileSize, " ERROR: Header Error.", "rec.sigmf-data: core:header_bytes (17)"},
        RefusalCase{"DataTooLong", "rec.sigmf-meta", kMeta, true, 15, " ERROR: File Size Out of Range.",
                    "rec.sigmf-data: the file has 16 bytes, more than the largest file (15 bytes)"}));

TEST(SigMFOpenDataset, ReadsTheNamedFileAfterItsHeader) {
    TempDir dir;
    Bytes wav = Canonical(Fmt{.Channels = 1, .BlockAlign = 1, .Bits = 8}, Bytes{0, 128, 255});
    dir.Write("rec.wav", wav);
    dir.Write("rec.sigmf-meta", Text(R"({"global": {"core:datatype": "ru8", "core:version": "1.0.0",
        "core:sample_rate": 8000, "core:dataset": "rec.wav"}, "captures": [{"core:header_bytes": 44}]})"));
    RecordingSession session;
    const ReadOutcome outcome = session.Open(dir.File("rec.sigmf-meta"), {});
    ASSERT_TRUE(outcome.Opened) << outcome.Reason;
    EXPECT_EQ(ValuesOf(session), (std::vector<int16_t>{-32768, 0, 32512}));
    EXPECT_EQ(session.Store().ChannelCount, 1);
}

std::string TextOf(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(SigMFSave, KeepsTheValuesByteForByteAndEveryKeyOfTheMetaFile) {
    TempDir dir;
    WritePair(dir);
    RecordingSession session;
    ASSERT_TRUE(session.Open(dir.File("rec.sigmf-meta"), {}).Opened);
    for (const char* written : {"out.sigmf-data", "again.sigmf-meta"}) {
        const SaveOutcome saved = session.Save(dir.File(written));
        ASSERT_EQ(saved.Result, kWavWriteOk) << saved.Reason;
        EXPECT_FALSE(saved.FormatNote);
    }
    for (const char* base : {"out", "again"}) {
        const std::string name = dir.File(base);
        EXPECT_EQ(ReadFile(name + ".sigmf-data"), kData);
        const json meta = json::parse(TextOf(name + ".sigmf-meta"));
        json expected = json::parse(kMeta);
        expected["global"]["core:recorder"] = "Orvane+ " + std::string(kOrvaneVersion);
        expected["global"]["core:num_channels"] = 1;
        expected["annotations"][0]["core:freq_lower_edge"] = 433900000.0;
        expected["annotations"][0]["core:freq_upper_edge"] = 433940000.0;
        EXPECT_EQ(meta, expected) << meta.dump(4);
    }
    // What was saved opens as what was read.
    RecordingSession reopened;
    ASSERT_TRUE(reopened.Open(dir.File("out.sigmf-data"), {}).Opened);
    EXPECT_EQ(ValuesOf(reopened), kValues);
    EXPECT_EQ(reopened.Description().CentreFrequency, 433920000);
    EXPECT_EQ(reopened.Description().DateTime, session.Description().DateTime);
    EXPECT_EQ(reopened.Annotations(), session.Annotations());
}

TEST(SigMFSave, AWavRecordingBecomesARealPairWithItsCentreFrequency) {
    TempDir dir;
    const Bytes data = {0x01, 0x00, 0x00, 0x80, 0xFF, 0x7F};
    const std::string wav =
        dir.Write("rec_7050kHz.wav", Canonical(Fmt{.Channels = 1, .BlockAlign = 2}, data));
    RecordingSession session;
    ASSERT_TRUE(session.Open(wav, {}).Opened);
    ASSERT_EQ(session.Save(dir.File("new.sigmf-meta")).Result, kWavWriteOk);
    EXPECT_EQ(ReadFile(dir.File("new.sigmf-data")), data);
    const json meta = json::parse(TextOf(dir.File("new.sigmf-meta")));
    EXPECT_EQ(meta["global"]["core:datatype"], "ri16_le");
    EXPECT_EQ(meta["global"]["core:sample_rate"], 48000);
    EXPECT_EQ(meta["captures"], json::parse(R"([{"core:sample_start": 0, "core:frequency": 7050000}])"));
    EXPECT_EQ(meta["annotations"], json::array());
}

TEST(SigMFSave, SaysOnceThatWiderSamplesAreNow16Bit) {
    TempDir dir;
    dir.Write("f.sigmf-meta", Text(R"({"global": {"core:datatype": "rf32_le", "core:version": "1.0.0",
        "core:sample_rate": 8000}})"));
    dir.Write("f.sigmf-data", Bytes{0x00, 0x00, 0x00, 0x3F}); // 0.5
    RecordingSession session;
    ASSERT_TRUE(session.Open(dir.File("f.sigmf-data"), {}).Opened);
    EXPECT_EQ(session.Save(dir.File("g.sigmf-data")).FormatNote,
              " Ready: written as ri16_le (the file had rf32_le samples).");
    EXPECT_FALSE(session.Save(dir.File("h.wav")).FormatNote);
    EXPECT_EQ(ReadFile(dir.File("g.sigmf-data")), (Bytes{0x00, 0x40})); // 16384
}

TEST(SigMFSave, AFailedSaveLeavesBothOldFilesAndNoOtherFile) {
    TempDir dir;
    WritePair(dir);
    RecordingSession session;
    ASSERT_TRUE(session.Open(dir.File("rec.sigmf-meta"), {}).Opened);
    const Bytes before = ReadFile(dir.File("rec.sigmf-meta"));
    dir.Write("old.sigmf-data", Bytes{1, 2, 3});
    dir.Write("old.sigmf-meta", Text("{}"));

    std::atomic<bool> giveUp{true};
    ReplacingFile::GiveUpWhen(&giveUp);
    const SaveOutcome saved = session.Save(dir.File("old.sigmf-data"));
    ReplacingFile::GiveUpWhen(nullptr);
    EXPECT_NE(saved.Result, kWavWriteOk);
    EXPECT_EQ(ReadFile(dir.File("old.sigmf-data")), (Bytes{1, 2, 3}));
    EXPECT_EQ(TextOf(dir.File("old.sigmf-meta")), "{}");
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 4u);
    EXPECT_EQ(ReadFile(dir.File("rec.sigmf-meta")), before);
}

} // namespace
