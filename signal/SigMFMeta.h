// The meta file of a SigMF recording (`NAME.sigmf-meta`, JSON): what the reader needs of it, and the
// whole document, kept so that a rewrite carries on every key this program does not read.
#pragma once

#include "signal/Annotation.h"
#include "signal/SigMFDatatype.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SigMFMeta {
    SigMFDatatype Datatype;          // global core:datatype
    double SampleRate = 0;           // global core:sample_rate, Hz: positive, within the store's rate
    int64_t NumChannels = 1;         // global core:num_channels (1 when not given)
    std::string Version;             // global core:version
    std::string Dataset;             // global core:dataset: the samples' file; empty: NAME.sigmf-data
    std::optional<double> Frequency; // the first capture's core:frequency, Hz
    std::string DateTime;            // the first capture's core:datetime; empty: not given
    int64_t HeaderBytes = 0;         // the first capture's core:header_bytes
    std::vector<Annotation> Annotations;
    nlohmann::json Document; // the whole meta file
};

// A meta file's text read, or why it cannot be, in words naming the field: "core:sample_rate is not
// a number", "annotations[2]: core:sample_start is missing", "not JSON: ...".
struct SigMFMetaParse {
    std::optional<SigMFMeta> Meta;
    std::string Error; // when there is no Meta
};

// Reads a meta file's text. Never throws on any text: a damaged, partial or wrongly typed document
// gives its error. Documents nested deeper than kMaxSigMFDepth are refused.
SigMFMetaParse ParseSigMFMeta(std::string_view text);

inline constexpr int kMaxSigMFDepth = 64;

// What a SigMF save writes into the meta file, besides the keys it carries on.
struct SigMFMetaFacts {
    SigMFDatatype Datatype;
    int32_t SampleRate = 0;
    int64_t CentreFrequency = 0; // Hz; 0: none, the capture gets no core:frequency
    std::string DateTime;        // empty: none
    std::vector<Annotation> Annotations;
    std::string Recorder; // core:recorder, e.g. "Orvane+ 1.0.0"
    // A dataset other than NAME.sigmf-data (a WAV file's name, in the meta file's folder), written as
    // core:dataset with HeaderBytes, the bytes before its first sample, as the first capture's
    // core:header_bytes; empty: none.
    std::string Dataset;
    int64_t HeaderBytes = 0;
};

// The meta file of a recording: `kept` (the document read, or nullptr for a new recording) with its
// global, first capture and annotations rewritten from `facts`: one channel of the datatype, the
// capture at sample 0. Keys that describe the file read and would be wrong for the new one
// (core:dataset, core:header_bytes, core:sha512, core:metadata_only, core:trailing_bytes) go; every
// other key stays. A rate or centre frequency that only lost its fraction in the store keeps the
// document's value. Later captures keep their place, their centre frequencies moved as the first's
// moved. The text is sorted by key and indented by 4 spaces, with a final newline. A Dataset in `facts`
// is written after the old keys went.
std::string WriteSigMFMeta(const nlohmann::json* kept, const SigMFMetaFacts& facts);

// The meta file `kept` with only its annotations replaced: every other key, the datatype, dataset and
// captures included, stays as it was (for a save that leaves the samples' file alone). The text is
// laid out as WriteSigMFMeta lays it out.
std::string ReplaceSigMFAnnotations(const nlohmann::json& kept, const std::vector<Annotation>& annotations);
