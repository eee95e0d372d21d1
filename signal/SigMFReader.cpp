#include "signal/SigMFReader.h"

#include "signal/CentreFrequency.h"
#include "signal/FileCursor.h"
#include "signal/FileNames.h"
#include "signal/SigMFData.h"
#include "signal/SigMFFiles.h"

#include <cmath>
#include <system_error>

namespace {

SigMFReadResult Refused(std::string status, std::string reason) {
    SigMFReadResult result;
    result.Status = std::move(status);
    result.FailureReason = std::move(reason);
    return result;
}

} // namespace

SigMFMetaText ReadSigMFMetaText(const std::string& metaFile) {
    FileCursor file(metaFile);
    if (!file.Open())
        return {{}, "cannot read " + metaFile + ": " + std::generic_category().message(file.OpenError())};
    if (file.Size() > kMaxSigMFMetaBytes)
        return {{},
                metaFile + " has " + std::to_string(file.Size()) +
                    " bytes, more than a meta file may have (" + std::to_string(kMaxSigMFMetaBytes) + ")"};
    SigMFMetaText meta;
    meta.Text.resize(static_cast<size_t>(file.Size()));
    meta.Text.resize(static_cast<size_t>(file.Read(meta.Text.data(), file.Size())));
    return meta;
}

namespace {

// The file of the samples: the dataset the meta file names (a name in its folder), else NAME.sigmf-data.
std::optional<std::string> DataFileOf(const SigMFPair& pair, const SigMFMeta& meta) {
    if (meta.Dataset.empty()) return pair.Data;
    if (meta.Dataset.find('/') != std::string::npos || meta.Dataset == "." || meta.Dataset == "..")
        return std::nullopt;
    return DatasetPath(pair.Meta, meta.Dataset);
}

std::string StatusOf(const SigMFDataRead& data, const SigMFMeta& meta) {
    std::string status =
        " Bytes : " + std::to_string(data.BytesRead) + " " + SigMFDatatypeName(meta.Datatype) + " SigMF Data";
    if (!meta.DateTime.empty()) status += " " + meta.DateTime;
    return status;
}

} // namespace

SigMFReadResult ReadSigMFRecording(SignalStore& store, const std::string& fileName,
                                   const std::function<void(const std::string&)>& setStatus,
                                   int64_t largestFile) {
    store.FileName = fileName;
    if (setStatus) setStatus(" Read SigMF File...");
    const SigMFPair pair = SigMFPairOf(fileName);
    // A fault of the meta file is said with its name when the data file was the one opened.
    const std::string metaWords = fileName == pair.Meta ? "" : FileNameWithoutFolder(pair.Meta) + ": ";

    const SigMFMetaText text = ReadSigMFMetaText(pair.Meta);
    if (!text.Problem.empty()) return Refused(" ERROR: File Access.", text.Problem);
    SigMFMetaParse parse = ParseSigMFMeta(text.Text);
    if (!parse.Meta) return Refused(" ERROR: SigMF Meta.", metaWords + parse.Error);
    SigMFMeta& meta = *parse.Meta;
    if (meta.NumChannels != 1)
        return Refused(" ERROR: It Is Too Much Channels.",
                       metaWords + "core:num_channels " + std::to_string(meta.NumChannels) +
                           " is not supported: a recording holds one complex or one real channel");
    const std::optional<std::string> dataFile = DataFileOf(pair, meta);
    if (!dataFile)
        return Refused(" ERROR: SigMF Meta.", metaWords + "core:dataset '" + meta.Dataset +
                                                  "' is not a file name in the meta file's folder");

    // The data's refusals come before it touches the store.
    const SigMFDataRead data = ReadSigMFData(store, *dataFile, meta.Datatype, meta.HeaderBytes, largestFile);
    if (!data.StoreReplaced) {
        const bool access = data.Status == " ERROR: File Access.";
        return Refused(data.Status, access ? "cannot read " + *dataFile + ": " + data.FailureReason
                                           : FileNameWithoutFolder(*dataFile) + ": " + data.FailureReason);
    }
    store.SampleRate = static_cast<int32_t>(std::llround(meta.SampleRate));

    SigMFReadResult result;
    result.StoreReplaced = true;
    result.BytesRead = data.BytesRead;
    result.Status = StatusOf(data, meta);
    result.CentreFrequency = meta.Frequency ? std::llround(*meta.Frequency)
                                            : CentreFrequencyFromFileName(fileName, store.SampleRate);
    result.Meta = std::move(meta);
    return result;
}
