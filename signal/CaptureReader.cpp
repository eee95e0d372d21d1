#include "signal/CaptureReader.h"

#include "signal/CaptureType.h"
#include "signal/CentreFrequency.h"
#include "signal/NumberText.h"
#include "signal/SigMFData.h"

namespace {

std::optional<int64_t> WholeNumberIn(std::string_view text, int64_t lowest, int64_t highest) {
    try {
        const int64_t value = StrToInt64(text);
        if (value >= lowest && value <= highest) return value;
    } catch (const EConvertError&) {
    }
    return std::nullopt;
}

// Built by appending: GCC's -O3 takes a sum starting with a literal for an overlapping copy (-Wrestrict).
std::string NotWholeHertz(std::string_view text, int64_t lowest, int64_t highest) {
    std::string words(1, '\'');
    words.append(text);
    words +=
        "' is not a whole number of hertz from " + std::to_string(lowest) + " to " + std::to_string(highest);
    return words;
}

CaptureReadResult Refused(std::string status, std::string reason) {
    CaptureReadResult result;
    result.Status = std::move(status);
    result.FailureReason = std::move(reason);
    return result;
}

} // namespace

std::optional<int64_t> ParseCaptureRate(std::string_view text) {
    return WholeNumberIn(text, 1, kMaxCaptureRate);
}

std::string CaptureRateRefusal(std::string_view text) {
    return NotWholeHertz(text, 1, kMaxCaptureRate);
}

std::optional<int64_t> ParseCaptureCentre(std::string_view text) {
    return WholeNumberIn(text, 0, kMaxCentreFrequency);
}

std::string CaptureCentreRefusal(std::string_view text) {
    return NotWholeHertz(text, 0, kMaxCentreFrequency);
}

bool ReadsAsCapture(const std::string& fileName, const std::optional<CaptureOptions>& options) {
    return (options && options->Type) || IsCaptureName(fileName);
}

CaptureReadResult ReadCapture(SignalStore& store, const std::string& fileName, const CaptureOptions& options,
                              const std::function<void(const std::string&)>& setStatus, int64_t largestFile) {
    store.FileName = fileName;
    if (setStatus) setStatus(" Read Capture File...");
    const std::optional<SigMFDatatype> type = options.Type ? options.Type : CaptureTypeOfFile(fileName);
    if (!type) return Refused(" ERROR: File Format Not Supported.", "the capture's sample type is not known");
    if (options.SampleRate < 1 || options.SampleRate > kMaxCaptureRate)
        return Refused(" ERROR: Sample Rate.", CaptureRateRefusal(std::to_string(options.SampleRate)));
    const int64_t givenCentre = options.CentreFrequency.value_or(0);
    if (givenCentre < 0 || givenCentre > kMaxCentreFrequency)
        return Refused(" ERROR: Centre Frequency.", CaptureCentreRefusal(std::to_string(givenCentre)));

    // A capture has no header: its samples are those of a SigMF data file of the same datatype.
    const SigMFDataRead data = ReadSigMFData(store, fileName, *type, 0, largestFile);
    if (!data.StoreReplaced) return Refused(data.Status, data.FailureReason);
    store.SampleRate = static_cast<int32_t>(options.SampleRate);

    CaptureReadResult result;
    result.StoreReplaced = true;
    result.BytesRead = data.BytesRead;
    result.Type = *type;
    result.Status = " Bytes : " + std::to_string(data.BytesRead) + " " + CaptureTypeName(*type) + " Capture";
    result.CentreFrequency = options.CentreFrequency
                                 ? *options.CentreFrequency
                                 : CentreFrequencyFromFileName(fileName, options.SampleRate);
    return result;
}
