// Annotations in the session: added, changed and deleted as edits in the one history with the edits of
// the samples; saved where they belong (a WAV file's meta file beside it, a SigMF recording's meta file)
// without rewriting samples that did not change; read back when the recording is opened again.
#include "../signal/WavBytes.h"

#include "ProgramInfo.h"
#include "session/RecordingSession.h"
#include "signal/WavSigMFMeta.h"
#include "signal/WavWriter.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

using namespace wavtest;
using nlohmann::json;

namespace {

// `count` 16-bit values of a fixed pattern.
Bytes Tone16(size_t count) {
    Bytes data;
    for (size_t i = 0; i < count; ++i) Append16(data, uint16_t(int16_t((i * 40503u) % 20001) - 10000));
    return data;
}

Annotation Marked(int64_t start, int64_t count, const std::string& label) {
    Annotation annotation;
    annotation.SampleStart = start;
    annotation.SampleCount = count;
    annotation.LowerEdgeHz = 1000;
    annotation.UpperEdgeHz = 2000;
    annotation.Label = label;
    return annotation;
}

std::vector<std::string> Labels(const RecordingSession& session) {
    std::vector<std::string> labels;
    for (const Annotation& annotation : session.Annotations()) labels.push_back(annotation.Label);
    return labels;
}

json ReadJson(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return json::parse(std::string(bytes.begin(), bytes.end()));
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class AnnotationSession : public ::testing::Test {
protected:
    TempDir dir;
    RecordingSession session;
    std::string wav;

    // A two-channel 16-bit WAV file of 2000 frames at 48000 Hz.
    void SetUp() override {
        wav = dir.Write("r.wav", Canonical(Fmt{.Channels = 2, .BlockAlign = 4}, Tone16(4000)));
        ASSERT_TRUE(session.Open(wav, {}).Opened);
        session.SetUndoBudget(size_t{1} << 30);
    }
    void Amplify() {
        const EditPreparation preparation = session.Prepare(EditCommand::Amp, {});
        ASSERT_TRUE(preparation.Edit.has_value()) << preparation.Refusal;
        session.Apply(*preparation.Edit);
    }
    std::vector<int16_t> Values() const {
        const SignalStore& store = session.Store();
        return std::vector<int16_t>(store.Samples.begin(), store.Samples.begin() + store.ValueCount);
    }
};

// Undo and Redo walk back and forth over annotation edits and sample edits alike, each step
// restoring exactly what it changed; the modified mark follows both.
TEST_F(AnnotationSession, EditsOfAnnotationsTakeTheirPlaceInTheHistoryOfTheSamples) {
    const std::vector<int16_t> read = Values();
    session.AddAnnotation(Marked(500, 100, "b"));
    session.AddAnnotation(Marked(10, 5, "a")); // placed by its first sample
    EXPECT_EQ(Labels(session), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(session.Modified());
    EXPECT_FALSE(session.SamplesModified());
    EXPECT_EQ(Values(), read);
    Amplify();
    const std::vector<int16_t> amplified = Values();
    ASSERT_NE(amplified, read);
    ASSERT_TRUE(session.ChangeAnnotation(1, Marked(500, 100, "b2")));
    ASSERT_TRUE(session.DeleteAnnotation(0));
    EXPECT_FALSE(session.ChangeAnnotation(1, Marked(0, 1, "x")));
    EXPECT_FALSE(session.DeleteAnnotation(7));
    EXPECT_EQ(Labels(session), (std::vector<std::string>{"b2"}));
    EXPECT_EQ(session.History().UndoName(), "Delete Annotation");

    struct Step {
        std::string UndoName;
        std::vector<std::string> Labels;
        bool Amplified;
    };
    // The states from the newest back to the file read.
    const std::vector<Step> states = {
        {"Delete Annotation", {"b2"}, true}, {"Change Annotation", {"a", "b2"}, true},
        {"Amp", {"a", "b"}, true},           {"Add Annotation", {"a", "b"}, false},
        {"Add Annotation", {"b"}, false},    {"", {}, false}};
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < states.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(Labels(session), states[i].Labels);
            EXPECT_EQ(Values(), states[i].Amplified ? amplified : read);
            if (i + 1 < states.size()) {
                ASSERT_TRUE(session.Undo());
            }
        }
        EXPECT_FALSE(session.Modified()); // back at the file read
        EXPECT_FALSE(session.Undo());
        for (size_t i = states.size() - 1; i > 0; --i) ASSERT_TRUE(session.Redo());
        EXPECT_EQ(Labels(session), states[0].Labels);
    }
    // A new edit after an undo lets the redo states go.
    ASSERT_TRUE(session.Undo());
    session.AddAnnotation(Marked(0, 1, "c"));
    EXPECT_FALSE(session.Redo());
    EXPECT_EQ(Labels(session), (std::vector<std::string>{"c", "a", "b2"}));
}

// Only the annotations changed: the WAV file stays byte for byte, and NAME.sigmf-meta beside it
// describes its samples so that SigMF readers (this one too) read the WAV file through it.
TEST_F(AnnotationSession, AWavFileGetsItsMetaFileBesideItAndReadsItBack) {
    const Bytes wavBytes = ReadFile(wav);
    Annotation first = Marked(100, 50, "burst");
    first.Comment = "a comment";
    session.SetCentreFrequency(7000000);
    session.AddAnnotation(first);
    const SaveOutcome saved = session.Save(wav);
    ASSERT_EQ(saved.Result, kWavWriteOk) << saved.Reason;
    EXPECT_FALSE(session.Modified());
    EXPECT_EQ(ReadFile(wav), wavBytes);

    const std::string metaFile = dir.File("r.sigmf-meta");
    ASSERT_EQ(SigMFMetaBesideWav(wav), metaFile);
    json meta = ReadJson(metaFile);
    EXPECT_EQ(meta["global"]["core:dataset"], "r.wav");
    EXPECT_EQ(meta["global"]["core:datatype"], "ci16_le");
    EXPECT_EQ(meta["global"]["core:sample_rate"], 48000);
    EXPECT_EQ(meta["global"]["core:recorder"], "Orvane+ " + std::string(kOrvaneVersion));
    EXPECT_EQ(meta["captures"][0]["core:header_bytes"], 44);
    EXPECT_EQ(meta["captures"][0]["core:frequency"], 7000000);
    EXPECT_EQ(meta["annotations"][0]["core:label"], "burst");
    EXPECT_EQ(meta["annotations"][0]["core:comment"], "a comment");

    // Opened through its meta file, the pair reads the WAV file's samples.
    RecordingSession throughMeta;
    ASSERT_TRUE(throughMeta.Open(metaFile, {}).Opened);
    const std::vector<int16_t> values = Values();
    EXPECT_EQ(std::vector<int16_t>(throughMeta.Store().Samples.begin(), throughMeta.Store().Samples.end()),
              values);

    // Keys of other programs in the meta file are kept when the annotations are written again.
    meta["global"]["ext:owner"] = "someone";
    meta["annotations"][0]["ext:score"] = 3;
    WriteText(metaFile, meta.dump());
    RecordingSession again;
    ASSERT_TRUE(again.Open(wav, {}).Opened);
    ASSERT_EQ(again.Annotations().size(), 1u);
    EXPECT_EQ(again.Annotations()[0].Label, "burst");
    EXPECT_EQ(again.Annotations()[0].SampleCount, 50);
    Annotation changed = again.Annotations()[0];
    changed.Label = "renamed";
    ASSERT_TRUE(again.ChangeAnnotation(0, changed));
    ASSERT_EQ(again.Save(wav).Result, kWavWriteOk);
    EXPECT_EQ(ReadFile(wav), wavBytes);
    const json rewritten = ReadJson(metaFile);
    EXPECT_EQ(rewritten["global"]["ext:owner"], "someone");
    EXPECT_EQ(rewritten["annotations"][0]["ext:score"], 3);
    EXPECT_EQ(rewritten["annotations"][0]["core:label"], "renamed");

    // A meta file that names another dataset is not this WAV file's.
    WriteText(metaFile, R"({"global": {"core:datatype": "ci16_le", "core:version": "1.0.0",
        "core:sample_rate": 48000, "core:dataset": "other.wav"}, "annotations": [{"core:sample_start": 3}]})");
    ASSERT_TRUE(again.Open(wav, {}).Opened);
    EXPECT_TRUE(again.Annotations().empty());
}

// Changed samples rewrite the WAV file; its meta file then names the new header's length.
TEST_F(AnnotationSession, ChangedSamplesRewriteTheWavFileAndItsMetaFile) {
    session.AddAnnotation(Marked(0, 10, "x"));
    Amplify();
    const std::string copy = dir.File("copy.wav");
    ASSERT_EQ(session.Save(copy).Result, kWavWriteOk);
    const json meta = ReadJson(dir.File("copy.sigmf-meta"));
    EXPECT_EQ(meta["global"]["core:dataset"], "copy.wav");
    EXPECT_EQ(meta["captures"][0]["core:header_bytes"], WavFileSize(0));
    RecordingSession throughMeta;
    ASSERT_TRUE(throughMeta.Open(dir.File("copy.sigmf-meta"), {}).Opened);
    EXPECT_EQ(std::vector<int16_t>(throughMeta.Store().Samples.begin(), throughMeta.Store().Samples.end()),
              Values());
    ASSERT_EQ(throughMeta.Annotations().size(), 1u);
    // Without annotations and without a meta file read, a WAV save writes no meta file.
    RecordingSession plain;
    ASSERT_TRUE(plain.Open(wav, {}).Opened);
    ASSERT_EQ(plain.Save(dir.File("plain.wav")).Result, kWavWriteOk);
    EXPECT_FALSE(std::filesystem::exists(dir.File("plain.sigmf-meta")));
}

// A SigMF recording whose annotations alone changed gets its meta file rewritten with the datatype,
// dataset and every other key as read, and its data file left alone.
TEST(AnnotationSigMF, OnlyTheMetaFileIsRewritten) {
    TempDir dir;
    WriteText(dir.File("s.sigmf-meta"), R"({"global": {"core:datatype": "cf32_le", "core:version": "1.0.0",
        "core:sample_rate": 1000, "ext:x": 1}, "captures": [{"core:sample_start": 0}], "annotations": []})");
    Bytes data(8 * 16, 0);
    dir.Write("s.sigmf-data", data);
    RecordingSession session;
    ASSERT_TRUE(session.Open(dir.File("s.sigmf-data"), {}).Opened);
    session.AddAnnotation(Marked(2, 3, "tag"));
    ASSERT_EQ(session.Save(dir.File("s.sigmf-meta")).Result, kWavWriteOk);
    EXPECT_EQ(ReadFile(dir.File("s.sigmf-data")), data);
    const json meta = ReadJson(dir.File("s.sigmf-meta"));
    EXPECT_EQ(meta["global"]["core:datatype"], "cf32_le");
    EXPECT_EQ(meta["global"]["ext:x"], 1);
    EXPECT_EQ(meta["annotations"][0]["core:label"], "tag");
    EXPECT_EQ(meta["annotations"][0]["core:sample_count"], 3);
    EXPECT_FALSE(session.Modified());
}

} // namespace
