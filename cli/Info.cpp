// orvane-cli info [--largest-file BYTES] [--json] [--rate R] [--centre HZ] [--type T] FILE...: what the
// reader makes of each file.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/InputOptions.h"
#include "session/RecordingSession.h"
#include "signal/CaptureType.h"
#include "signal/SigMFMeta.h"

#include <nlohmann/json.hpp>

#include <cstdio>

namespace {

// The recording's length: its values over the channels it is read as, at its rate; nothing without a
// rate.
std::optional<double> Seconds(const SignalStore& store) {
    if (store.SampleRate < 1) return std::nullopt;
    return double(store.ValueCount) / (store.TwoChannels() ? 2 : 1) / store.SampleRate;
}

// The lines of one file: status, then (when read) channels, rate, bits, values, a known centre and a
// SigMF recording's datatype, datetime and annotation count, or a capture's type.
void PrintLines(const RecordingSession& session, const ReadOutcome& read) {
    std::printf("status:%s\n", read.Status.c_str());
    if (!read.Opened) return;
    const SignalStore& store = session.Store();
    std::printf("channels: %u\nrate: %d\nbits: %u\nvalues: %d\n", unsigned{store.ChannelCount},
                store.SampleRate, unsigned{store.BitsPerSample}, store.ValueCount);
    if (const int64_t centre = session.Description().CentreFrequency; centre != 0)
        std::printf("centre: %lld\n", static_cast<long long>(centre));
    const RecordingDescription& description = session.Description();
    if (description.Capture) std::printf("type: %s\n", CaptureTypeName(*description.Capture->Type).c_str());
    if (!description.SigMF) return;
    std::printf("datatype: %s\n", SigMFDatatypeName(description.SigMF->Datatype).c_str());
    if (!description.DateTime.empty()) std::printf("datetime: %s\n", description.DateTime.c_str());
    std::printf("annotations: %zu\n", description.Annotations.size());
}

// A SigMF recording's own fields: its datatype, the time of its first sample, its annotations.
void AddSigMFFields(nlohmann::ordered_json& object, const RecordingDescription& description) {
    object["format"] = "sigmf";
    object["datatype"] = SigMFDatatypeName(description.SigMF->Datatype);
    if (!description.DateTime.empty()) object["datetime"] = description.DateTime;
    object["annotations"] = description.Annotations.size();
}

// One JSON object on one line: file and status, then the reader's values, or the error.
void PrintJson(const std::string& file, const RecordingSession& session, const ReadOutcome& read) {
    nlohmann::ordered_json object = {{"file", file}, {"status", read.Status}};
    if (read.Opened) {
        const SignalStore& store = session.Store();
        const RecordingDescription& description = session.Description();
        object["channels"] = store.ChannelCount;
        object["rate"] = store.SampleRate;
        object["bits"] = store.BitsPerSample;
        object["values"] = store.ValueCount;
        const std::optional<double> seconds = Seconds(store);
        object["seconds"] = seconds ? nlohmann::ordered_json(*seconds) : nlohmann::ordered_json();
        object["format"] = SourceFormatName(description.SourceFormat);
        if (description.CentreFrequency != 0) object["centre"] = description.CentreFrequency;
        if (description.SigMF) AddSigMFFields(object, description);
        if (description.Capture) {
            object["format"] = "capture";
            object["type"] = CaptureTypeName(*description.Capture->Type);
        }
    } else {
        object["error"] = read.Reason;
    }
    // File names need not be UTF-8: bytes that are not come out as U+FFFD.
    const std::string text = object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}

} // namespace

int RunInfo(const CliArgs& args) {
    const CommandLine line = ParseCommandLine(OptionSet::Info, args);
    const bool several = line.Words.size() > 1;
    // The capture options are checked against every file before any is read.
    std::vector<ReadOptions> readOptions;
    for (const std::string& file : line.Words) readOptions.push_back(InputReadOptions(line.Options, file));
    int exitCode = kExitDone;
    for (size_t i = 0; i < line.Words.size(); ++i) {
        const std::string& file = line.Words[i];
        RecordingSession session;
        const ReadOutcome read = session.Open(file, readOptions[i]);
        if (line.Options.Json) {
            PrintJson(file, session, read);
        } else {
            // Several files: each block starts with its name, after a blank line between blocks.
            if (several) std::printf("%sfile: %s\n", i > 0 ? "\n" : "", file.c_str());
            PrintLines(session, read);
        }
        // A file opened as raw data has a reason too: its WAV samples were not decoded.
        if (!read.Reason.empty() || !read.Opened) {
            std::fflush(stdout);
            std::fprintf(stderr, "orvane-cli: %s: %s\n", file.c_str(), read.Reason.c_str());
        }
        if (!read.Opened) exitCode = kExitFailed;
    }
    return exitCode;
}
