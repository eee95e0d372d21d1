// The SigMF meta reader and writer: what a meta file gives, the error of each kind of damage, and
// what a rewrite keeps, sets and drops.
#include "signal/SigMFMeta.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kFullMeta = R"({
  "global": {"core:datatype": "cf32_le", "core:version": "1.0.0", "core:sample_rate": 2400000.25,
             "core:num_channels": 1, "core:author": "someone", "core:sha512": "ab",
             "ext:antenna": {"type": "dipole", "gain": 3}},
  "captures": [{"core:sample_start": 0, "core:frequency": 433920000, "core:datetime": "2026-12-09T14:03:11.250Z",
                "ext:gain": 20},
               {"core:sample_start": 5000, "core:frequency": 433950000}],
  "annotations": [
    {"core:sample_start": 100, "core:sample_count": 400, "core:freq_lower_edge": 433900000.5,
     "core:freq_upper_edge": 433940000, "core:label": "burst", "core:comment": "a key fob",
     "core:generator": "hand", "ext:confidence": 0.75},
    {"core:sample_start": 7}
  ],
  "ext:top": [1, 2]
})";

TEST(SigMFMetaRead, GivesTheFieldsItReads) {
    const SigMFMetaParse parse = ParseSigMFMeta(kFullMeta);
    ASSERT_TRUE(parse.Meta) << parse.Error;
    const SigMFMeta& meta = *parse.Meta;
    EXPECT_EQ(SigMFDatatypeName(meta.Datatype), "cf32_le");
    EXPECT_EQ(meta.Version, "1.0.0");
    EXPECT_EQ(meta.SampleRate, 2400000.25);
    EXPECT_EQ(meta.NumChannels, 1);
    EXPECT_EQ(meta.Frequency, 433920000.0);
    EXPECT_EQ(meta.DateTime, "2026-12-09T14:03:11.250Z");
    ASSERT_EQ(meta.Annotations.size(), 2u);
    const Annotation& a = meta.Annotations[0];
    EXPECT_EQ(a.SampleStart, 100);
    EXPECT_EQ(a.SampleCount, 400);
    EXPECT_EQ(a.LowerEdgeHz, 433900000.5);
    EXPECT_EQ(a.UpperEdgeHz, 433940000.0);
    EXPECT_EQ(a.Label, "burst");
    EXPECT_EQ(a.Comment, "a key fob");
    EXPECT_EQ(a.Generator, "hand");
    EXPECT_EQ(a.OtherKeys, R"({"ext:confidence":0.75})");
    EXPECT_EQ(meta.Annotations[1].SampleStart, 7);
    EXPECT_FALSE(meta.Annotations[1].SampleCount);
    EXPECT_FALSE(meta.Annotations[1].LowerEdgeHz);
    EXPECT_EQ(meta.Annotations[1].OtherKeys, "");
}

struct DamageCase {
    const char* Name;
    std::string Text;
    const char* Error; // the whole message, or its start when it ends in "..."
};

std::ostream& operator<<(std::ostream& out, const DamageCase& c) {
    return out << c.Name;
}

class SigMFMetaDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(SigMFMetaDamage, IsRefusedNamingWhatIsWrong) {
    const DamageCase& c = GetParam();
    const SigMFMetaParse parse = ParseSigMFMeta(c.Text);
    EXPECT_FALSE(parse.Meta);
    const std::string expected = c.Error;
    if (expected.ends_with("..."))
        EXPECT_TRUE(parse.Error.starts_with(expected.substr(0, expected.size() - 3))) << parse.Error;
    else
        EXPECT_EQ(parse.Error, expected);
}

// A meta file whose global object has `fields` after a valid datatype, version and rate (each may be
// replaced by giving it again: JSON's last one counts in the reader).
std::string Global(const std::string& fields, const std::string& rest = "") {
    return R"({"global": {"core:datatype": "ci16_le", "core:version": "1.0.0", "core:sample_rate": 48000)" +
           (fields.empty() ? "" : ", " + fields) + "}" + (rest.empty() ? "" : ", " + rest) + "}";
}

std::string Nested(int depth) {
    return Global("", R"("ext:deep": )" + std::string(depth, '[') + std::string(depth, ']'));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SigMFMetaDamage,
    ::testing::Values(
        DamageCase{"Empty", "", "not JSON: ..."},
        DamageCase{"Cut", std::string(kFullMeta).substr(0, 200), "not JSON: ..."},
        DamageCase{"NotAnObject", "[1, 2]", "the document is not an object"},
        DamageCase{"NoGlobal", R"({"captures": []})", "global is missing"},
        DamageCase{"GlobalNotObject", R"({"global": 3})", "global is not an object"},
        DamageCase{"NoDatatype", R"({"global": {"core:version": "1.0.0", "core:sample_rate": 1}})",
                   "core:datatype is missing"},
        DamageCase{"DatatypeNumber", Global(R"("core:datatype": 16)"), "core:datatype is not a string"},
        DamageCase{"UnknownDatatype", Global(R"("core:datatype": "ci12_le")"),
                   "core:datatype 'ci12_le' is not a known datatype"},
        DamageCase{"NoOrder", Global(R"("core:datatype": "cf32")"),
                   "core:datatype 'cf32' is not a known datatype"},
        DamageCase{"NoVersion", R"({"global": {"core:datatype": "cu8", "core:sample_rate": 1}})",
                   "core:version is missing"},
        DamageCase{"RateText", Global(R"("core:sample_rate": "48000")"), "core:sample_rate is not a number"},
        DamageCase{"NoRate", R"({"global": {"core:datatype": "cu8", "core:version": "1.0.0"}})",
                   "core:sample_rate is missing"},
        DamageCase{"RateZero", Global(R"("core:sample_rate": 0)"),
                   "core:sample_rate is not a positive number of Hz"},
        DamageCase{"RateNegative", Global(R"("core:sample_rate": -8000)"),
                   "core:sample_rate is not a positive number of Hz"},
        DamageCase{"RateHuge", Global(R"("core:sample_rate": 3e9)"), "core:sample_rate is too large"},
        DamageCase{"ChannelsFraction", Global(R"("core:num_channels": 1.5)"),
                   "core:num_channels is not a whole number of at least 0"},
        DamageCase{"ChannelsNegative", Global(R"("core:num_channels": -1)"),
                   "core:num_channels is not a whole number of at least 0"},
        DamageCase{"DatasetNumber", Global(R"("core:dataset": 1)"), "core:dataset is not a string"},
        DamageCase{"CapturesObject", Global("", R"("captures": {})"), "captures is not an array"},
        DamageCase{"CaptureNumber", Global("", R"("captures": [5])"), "captures[0] is not an object"},
        DamageCase{"FrequencyText", Global("", R"("captures": [{"core:frequency": "7 MHz"}])"),
                   "captures[0]: core:frequency is not a number"},
        DamageCase{"FrequencyHuge", Global("", R"("captures": [{"core:frequency": 1e300}])"),
                   "captures[0]: core:frequency is out of range"},
        DamageCase{"DatetimeNumber", Global("", R"("captures": [{"core:datetime": 20261209}])"),
                   "captures[0]: core:datetime is not a string"},
        DamageCase{"HeaderBytesNegative", Global("", R"("captures": [{"core:header_bytes": -44}])"),
                   "captures[0]: core:header_bytes is not a whole number of at least 0"},
        DamageCase{"AnnotationsObject", Global("", R"("annotations": {"a": 1})"),
                   "annotations is not an array"},
        DamageCase{"AnnotationText", Global("", R"("annotations": [{"core:sample_start": 1}, "x"])"),
                   "annotations[1] is not an object"},
        DamageCase{"AnnotationNoStart", Global("", R"("annotations": [{"core:label": "a"}])"),
                   "annotations[0]: core:sample_start is missing"},
        DamageCase{"AnnotationStartTooLarge",
                   Global("", R"("annotations": [{"core:sample_start": 18446744073709551615}])"),
                   "annotations[0]: core:sample_start is too large"},
        DamageCase{"AnnotationCountText",
                   Global("", R"("annotations": [{"core:sample_start": 1, "core:sample_count": "9"}])"),
                   "annotations[0]: core:sample_count is not a whole number of at least 0"},
        DamageCase{"AnnotationEdgeText",
                   Global("", R"("annotations": [{"core:sample_start": 1, "core:freq_upper_edge": true}])"),
                   "annotations[0]: core:freq_upper_edge is not a number"},
        DamageCase{"AnnotationLabelNumber",
                   Global("", R"("annotations": [{"core:sample_start": 1, "core:label": 3}])"),
                   "annotations[0]: core:label is not a string"},
        DamageCase{"BadUtf8", Global(R"("core:author": ")" + std::string("\xC3\x28") + "\""),
                   "not JSON: ..."},
        DamageCase{"TooDeep", Nested(kMaxSigMFDepth + 1), "not read: nested deeper than 64 levels"}));

TEST(SigMFMetaRead, NestingUpToTheLimitReads) {
    EXPECT_TRUE(ParseSigMFMeta(Nested(kMaxSigMFDepth - 2)).Meta);
}

TEST(SigMFMetaWrite, KeepsOtherKeysSetsTheFactsAndDropsWhatDescribedTheFileRead) {
    const SigMFMetaParse parse = ParseSigMFMeta(kFullMeta);
    ASSERT_TRUE(parse.Meta);
    SigMFMetaFacts facts;
    facts.Datatype = *ParseSigMFDatatype("ci16_le");
    facts.SampleRate = 2400000;        // the document's 2400000.25, rounded by the store: kept
    facts.CentreFrequency = 433930000; // tuned by +10 kHz
    facts.DateTime = "2026-12-09T14:03:11.250Z";
    facts.Annotations = parse.Meta->Annotations;
    facts.Recorder = "Orvane+ 9.8.7";
    const std::string text = WriteSigMFMeta(&parse.Meta->Document, facts);

    const nlohmann::json written = nlohmann::json::parse(text);
    const nlohmann::json& global = written["global"];
    EXPECT_EQ(global["core:datatype"], "ci16_le");
    EXPECT_EQ(global["core:sample_rate"], 2400000.25);
    EXPECT_EQ(global["core:num_channels"], 1);
    EXPECT_EQ(global["core:recorder"], "Orvane+ 9.8.7");
    EXPECT_EQ(global["core:author"], "someone");
    EXPECT_EQ(global["ext:antenna"], parse.Meta->Document["global"]["ext:antenna"]);
    EXPECT_FALSE(global.contains("core:sha512"));
    EXPECT_EQ(written["ext:top"], nlohmann::json::array({1, 2}));
    const nlohmann::json& captures = written["captures"];
    ASSERT_EQ(captures.size(), 2u);
    EXPECT_EQ(captures[0]["core:frequency"], 433930000);
    EXPECT_EQ(captures[0]["ext:gain"], 20);
    EXPECT_EQ(captures[1]["core:frequency"], 433960000.0); // moved as the first one moved
    EXPECT_EQ(captures[1]["core:sample_start"], 5000);
    // Annotations in the order of their first samples, each with its other keys.
    const nlohmann::json& annotations = written["annotations"];
    ASSERT_EQ(annotations.size(), 2u);
    EXPECT_EQ(annotations[0], nlohmann::json::parse(R"({"core:sample_start": 7})"));
    EXPECT_EQ(annotations[1], parse.Meta->Document["annotations"][0]);
    // Sorted keys, four spaces, a final newline: as SigMF's own examples are laid out.
    EXPECT_TRUE(
        text.starts_with("{\n    \"annotations\": [\n        {\n            \"core:sample_start\": 7\n"))
        << text;
    EXPECT_TRUE(text.ends_with("}\n"));
    EXPECT_EQ(text, written.dump(4) + "\n");
}

TEST(SigMFMetaWrite, ANewRecordingGetsTheRequiredFieldsAndNoneUnknown) {
    SigMFMetaFacts facts;
    facts.Datatype = *ParseSigMFDatatype("ri16_le");
    facts.SampleRate = 8000;
    facts.Recorder = "Orvane+ 1.0.0";
    const std::string text = WriteSigMFMeta(nullptr, facts);
    EXPECT_EQ(nlohmann::json::parse(text), nlohmann::json::parse(R"({
        "global": {"core:datatype": "ri16_le", "core:sample_rate": 8000, "core:num_channels": 1,
                   "core:version": "1.0.0", "core:recorder": "Orvane+ 1.0.0"},
        "captures": [{"core:sample_start": 0}], "annotations": []})"));
    EXPECT_TRUE(ParseSigMFMeta(text).Meta);
}

} // namespace
