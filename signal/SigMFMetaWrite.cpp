// WriteSigMFMeta (signal/SigMFMeta.h): the meta file of a save, from the document read and the facts.
#include "signal/SigMFMeta.h"

#include <algorithm>
#include <cmath>
#include <vector>

using nlohmann::json;

namespace {

// The SigMF version whose fields this program writes, for a document that names none.
constexpr const char* kWrittenVersion = "1.0.0";

// An object member of `document`, made an empty one when it is not an object.
json& ObjectIn(json& document, const char* key) {
    json& member = document[key];
    if (!member.is_object()) member = json::object();
    return member;
}

json& ArrayIn(json& document, const char* key) {
    json& member = document[key];
    if (!member.is_array()) member = json::array();
    return member;
}

// `value` for `key`, unless the number there already rounds to it (its fraction is kept).
void SetWholeNumber(json& object, const char* key, int64_t value) {
    const auto it = object.find(key);
    if (it != object.end() && it->is_number() && std::llround(it->get<double>()) == value) return;
    object[key] = value;
}

void WriteGlobal(json& global, const SigMFMetaFacts& facts) {
    global["core:datatype"] = SigMFDatatypeName(facts.Datatype);
    SetWholeNumber(global, "core:sample_rate", facts.SampleRate);
    global["core:num_channels"] = 1;
    if (!global.contains("core:version") || !global["core:version"].is_string())
        global["core:version"] = kWrittenVersion;
    global["core:recorder"] = facts.Recorder;
    // They describe the file read: its dataset, its checksum, its layout.
    for (const char* key : {"core:dataset", "core:sha512", "core:metadata_only", "core:trailing_bytes"})
        global.erase(key);
    if (!facts.Dataset.empty()) global["core:dataset"] = facts.Dataset;
}

// The first capture at sample 0 with the recording's centre frequency and time; the later ones keep
// their places, their frequencies moved by what the first one's moved (a tuning).
void WriteCaptures(json& captures, const SigMFMetaFacts& facts) {
    if (captures.empty() || !captures[0].is_object()) captures.insert(captures.begin(), json::object());
    json& first = captures[0];
    const auto oldFirst = first.find("core:frequency");
    const bool hadFrequency = oldFirst != first.end() && oldFirst->is_number();
    const double moved = hadFrequency && facts.CentreFrequency != 0
                             ? double(facts.CentreFrequency) - std::nearbyint(oldFirst->get<double>())
                             : 0.0;
    first["core:sample_start"] = 0;
    if (facts.CentreFrequency != 0)
        SetWholeNumber(first, "core:frequency", facts.CentreFrequency);
    else
        first.erase("core:frequency");
    if (!facts.DateTime.empty())
        first["core:datetime"] = facts.DateTime;
    else
        first.erase("core:datetime");
    for (json& capture : captures) {
        if (!capture.is_object()) continue;
        capture.erase("core:header_bytes");
        if (&capture == &first && !facts.Dataset.empty()) capture["core:header_bytes"] = facts.HeaderBytes;
        if (&capture == &first || moved == 0.0) continue;
        const auto frequency = capture.find("core:frequency");
        if (frequency != capture.end() && frequency->is_number())
            *frequency = frequency->get<double>() + moved;
    }
}

json AnnotationObject(const Annotation& annotation) {
    json object = json::object();
    if (!annotation.OtherKeys.empty()) {
        json others = json::parse(annotation.OtherKeys, nullptr, false);
        if (others.is_object()) object = std::move(others);
    }
    object["core:sample_start"] = annotation.SampleStart;
    if (annotation.SampleCount) object["core:sample_count"] = *annotation.SampleCount;
    if (annotation.LowerEdgeHz) object["core:freq_lower_edge"] = *annotation.LowerEdgeHz;
    if (annotation.UpperEdgeHz) object["core:freq_upper_edge"] = *annotation.UpperEdgeHz;
    if (!annotation.Label.empty()) object["core:label"] = annotation.Label;
    if (!annotation.Comment.empty()) object["core:comment"] = annotation.Comment;
    if (!annotation.Generator.empty()) object["core:generator"] = annotation.Generator;
    return object;
}

// The document's annotations replaced by `annotations`, in the order of their first samples as SigMF
// keeps them.
void WriteAnnotations(json& document, const std::vector<Annotation>& annotations) {
    std::vector<Annotation> sorted = annotations;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Annotation& a, const Annotation& b) { return a.SampleStart < b.SampleStart; });
    json& written = ArrayIn(document, "annotations");
    written = json::array();
    for (const Annotation& annotation : sorted) written.push_back(AnnotationObject(annotation));
}

// nlohmann::json keeps the members of an object sorted by key.
std::string DocumentText(const json& document) {
    return document.dump(4, ' ', false, json::error_handler_t::replace) + "\n";
}

} // namespace

std::string WriteSigMFMeta(const json* kept, const SigMFMetaFacts& facts) {
    json document = kept != nullptr && kept->is_object() ? *kept : json::object();
    WriteGlobal(ObjectIn(document, "global"), facts);
    WriteCaptures(ArrayIn(document, "captures"), facts);
    WriteAnnotations(document, facts.Annotations);
    return DocumentText(document);
}

std::string ReplaceSigMFAnnotations(const json& kept, const std::vector<Annotation>& annotations) {
    json document = kept.is_object() ? kept : json::object();
    WriteAnnotations(document, annotations);
    return DocumentText(document);
}
