#include "cli/InputOptions.h"

#include "cli/Commands.h"

namespace {

CaptureOptions CaptureOptionsOf(const CliOptions& options) {
    CaptureOptions capture;
    capture.SampleRate = *options.CaptureRate;
    capture.CentreFrequency = options.CaptureCentre;
    capture.Type = options.CaptureType;
    return capture;
}

} // namespace

ReadOptions InputReadOptions(const CliOptions& options, const std::string& fileName) {
    CaptureOptions typed;
    typed.Type = options.CaptureType;
    if (!ReadsAsCapture(fileName, typed)) {
        if (options.CaptureRate)
            throw UsageError("--rate: " + fileName + " is not a capture: its sample rate is in the file");
        if (options.CaptureCentre)
            throw UsageError("--centre: " + fileName + " is not a capture: --centre is for captures");
        return ReadOptions{options.LargestFile};
    }
    if (!options.CaptureRate)
        throw UsageError(fileName + ": --rate is missing: a capture's sample rate is not in the file");
    return ReadOptions{options.LargestFile, CaptureOptionsOf(options)};
}
