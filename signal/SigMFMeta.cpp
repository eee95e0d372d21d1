#include "signal/SigMFMeta.h"

#include <cmath>
#include <limits>

using nlohmann::json;

namespace {

// A field that is missing or of the wrong kind: the text names it.
struct MetaError {
    std::string Text;
};

// Thrown from the parser's callback when the document nests too deep.
struct TooDeep {};

// A member of `object` by key, or nullptr.
const json* Member(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

const json& ObjectMember(const json& parent, const char* key) {
    const json* member = Member(parent, key);
    if (member == nullptr) throw MetaError{std::string(key) + " is missing"};
    if (!member->is_object()) throw MetaError{std::string(key) + " is not an object"};
    return *member;
}

// The array `key` of the document; an empty one when it is not there.
const json& ArrayMember(const json& document, const char* key) {
    static const json kNone = json::array();
    const json* member = Member(document, key);
    if (member == nullptr) return kNone;
    if (!member->is_array()) throw MetaError{std::string(key) + " is not an array"};
    return *member;
}

// Reads the fields of one object; `where` names it in the errors ("" for global).
class Fields {
public:
    Fields(const json& object, std::string where) : object_(object), where_(std::move(where)) {}

    std::optional<std::string> Text(const char* key) const {
        const json* value = Member(object_, key);
        if (value == nullptr) return std::nullopt;
        if (!value->is_string()) Fail(key, "is not a string");
        return value->get<std::string>();
    }
    std::optional<double> Number(const char* key) const {
        const json* value = Member(object_, key);
        if (value == nullptr) return std::nullopt;
        if (!value->is_number()) Fail(key, "is not a number");
        return value->get<double>();
    }
    // A whole number of at least 0 that an int64_t holds.
    std::optional<int64_t> Count(const char* key) const {
        const json* value = Member(object_, key);
        if (value == nullptr) return std::nullopt;
        if (!value->is_number_unsigned()) Fail(key, "is not a whole number of at least 0");
        const auto count = value->get<uint64_t>();
        if (count > uint64_t(std::numeric_limits<int64_t>::max())) Fail(key, "is too large");
        return static_cast<int64_t>(count);
    }
    template <class T> T Required(std::optional<T> value, const char* key) const {
        if (!value) Fail(key, "is missing");
        return *value;
    }
    [[noreturn]] void Fail(const char* key, const char* what) const {
        throw MetaError{where_ + key + " " + what};
    }

private:
    const json& object_;
    std::string where_;
};

void ReadGlobal(const json& document, SigMFMeta& meta) {
    const Fields global(ObjectMember(document, "global"), "");
    const std::string datatype = global.Required(global.Text("core:datatype"), "core:datatype");
    const std::optional<SigMFDatatype> parsed = ParseSigMFDatatype(datatype);
    if (!parsed) throw MetaError{"core:datatype '" + datatype + "' is not a known datatype"};
    meta.Datatype = *parsed;
    meta.Version = global.Required(global.Text("core:version"), "core:version");
    meta.SampleRate = global.Required(global.Number("core:sample_rate"), "core:sample_rate");
    if (!(meta.SampleRate >= 0.5)) global.Fail("core:sample_rate", "is not a positive number of Hz");
    if (meta.SampleRate >= double(std::numeric_limits<int32_t>::max()))
        global.Fail("core:sample_rate", "is too large");
    meta.NumChannels = global.Count("core:num_channels").value_or(1);
    meta.Dataset = global.Text("core:dataset").value_or("");
}

// Frequencies beyond this are no radio frequencies, and would not fit the description's whole hertz.
constexpr double kLargestFrequency = 1e15;

void ReadFirstCapture(const json& document, SigMFMeta& meta) {
    const json& captures = ArrayMember(document, "captures");
    if (captures.empty()) return;
    if (!captures[0].is_object()) throw MetaError{"captures[0] is not an object"};
    const Fields capture(captures[0], "captures[0]: ");
    meta.Frequency = capture.Number("core:frequency");
    if (meta.Frequency && !(std::fabs(*meta.Frequency) < kLargestFrequency))
        capture.Fail("core:frequency", "is out of range");
    meta.DateTime = capture.Text("core:datetime").value_or("");
    meta.HeaderBytes = capture.Count("core:header_bytes").value_or(0);
}

// The keys of an annotation this program reads; the others travel in OtherKeys.
constexpr const char* kAnnotationKeys[] = {
    "core:sample_start", "core:sample_count", "core:freq_lower_edge", "core:freq_upper_edge",
    "core:label",        "core:comment",      "core:generator"};

Annotation ReadAnnotation(const json& object, size_t index) {
    const std::string where = "annotations[" + std::to_string(index) + "]";
    if (!object.is_object()) throw MetaError{where + " is not an object"};
    const Fields fields(object, where + ": ");
    Annotation annotation;
    annotation.SampleStart = fields.Required(fields.Count("core:sample_start"), "core:sample_start");
    annotation.SampleCount = fields.Count("core:sample_count");
    annotation.LowerEdgeHz = fields.Number("core:freq_lower_edge");
    annotation.UpperEdgeHz = fields.Number("core:freq_upper_edge");
    annotation.Label = fields.Text("core:label").value_or("");
    annotation.Comment = fields.Text("core:comment").value_or("");
    annotation.Generator = fields.Text("core:generator").value_or("");
    json others = object;
    for (const char* key : kAnnotationKeys) others.erase(key);
    if (!others.empty()) annotation.OtherKeys = others.dump();
    return annotation;
}

json ParseDocument(std::string_view text) {
    const json::parser_callback_t depthLimit = [](int depth, json::parse_event_t, json&) {
        if (depth > kMaxSigMFDepth) throw TooDeep{};
        return true;
    };
    try {
        return json::parse(text.begin(), text.end(), depthLimit);
    } catch (const json::parse_error& e) {
        throw MetaError{std::string("not JSON: ") + e.what()};
    } catch (const TooDeep&) {
        throw MetaError{"not read: nested deeper than " + std::to_string(kMaxSigMFDepth) + " levels"};
    }
}

} // namespace

SigMFMetaParse ParseSigMFMeta(std::string_view text) {
    SigMFMetaParse parse;
    try {
        SigMFMeta meta;
        meta.Document = ParseDocument(text);
        if (!meta.Document.is_object()) throw MetaError{"the document is not an object"};
        ReadGlobal(meta.Document, meta);
        ReadFirstCapture(meta.Document, meta);
        const json& annotations = ArrayMember(meta.Document, "annotations");
        for (size_t i = 0; i < annotations.size(); ++i)
            meta.Annotations.push_back(ReadAnnotation(annotations[i], i));
        parse.Meta = std::move(meta);
    } catch (const MetaError& error) {
        parse.Error = error.Text;
    } catch (const json::exception& e) {
        parse.Error = std::string("not read: ") + e.what();
    }
    return parse;
}
