// libFuzzer target for the SigMF meta reader. Each input is a meta file's text. ParseSigMFMeta must
// never throw; what it reads must be written back by WriteSigMFMeta into a text that reads again,
// with the same annotations (in the order of their first samples), the facts written, and every other
// key of the global object kept.
#include "signal/SigMFMeta.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "SigMFMetaFuzz: %s (%s)\n", what, detail.c_str());
    std::abort();
}

SigMFMetaFacts FactsOf(const SigMFMeta& meta) {
    SigMFMetaFacts facts;
    facts.Datatype = meta.Datatype;
    facts.SampleRate = static_cast<int32_t>(meta.SampleRate + 0.5);
    facts.CentreFrequency = meta.Frequency ? static_cast<int64_t>(*meta.Frequency) : 0;
    facts.DateTime = meta.DateTime;
    facts.Annotations = meta.Annotations;
    facts.Recorder = "Orvane+ fuzz";
    return facts;
}

// The global keys a rewrite sets or drops; every other one must stay as it was.
bool RewrittenKey(const std::string& key) {
    for (const char* rewritten :
         {"core:datatype", "core:sample_rate", "core:num_channels", "core:version", "core:recorder",
          "core:dataset", "core:sha512", "core:metadata_only", "core:trailing_bytes"})
        if (key == rewritten) return true;
    return false;
}

void CheckRewrite(const SigMFMeta& meta) {
    const SigMFMetaFacts facts = FactsOf(meta);
    const std::string text = WriteSigMFMeta(&meta.Document, facts);
    const SigMFMetaParse again = ParseSigMFMeta(text);
    if (!again.Meta) Fail("a rewritten meta file does not read", again.Error + "\n" + text);
    if (!(again.Meta->Datatype == facts.Datatype)) Fail("the datatype changed", text);
    if (again.Meta->DateTime != facts.DateTime) Fail("the datetime changed", text);
    std::vector<Annotation> sorted = meta.Annotations;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Annotation& a, const Annotation& b) { return a.SampleStart < b.SampleStart; });
    if (again.Meta->Annotations != sorted) Fail("the annotations changed", text);
    for (const auto& [key, value] : meta.Document["global"].items()) {
        if (RewrittenKey(key)) continue;
        const auto kept = again.Meta->Document["global"].find(key);
        if (kept == again.Meta->Document["global"].end() || *kept != value)
            Fail("a global key was lost", key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SigMFMetaParse parse;
    try {
        parse = ParseSigMFMeta(text);
    } catch (...) {
        Fail("ParseSigMFMeta threw", "");
    }
    if (parse.Meta && !parse.Error.empty()) Fail("a meta file read with an error", parse.Error);
    if (!parse.Meta && parse.Error.empty()) Fail("a meta file refused without a reason", "");
    if (parse.Meta) CheckRewrite(*parse.Meta);
    return 0;
}
