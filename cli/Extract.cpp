// orvane-cli extract IN OUT.wav --from S --to S --band LO HI: read, and write a time range and band of
// the recording as a two-channel recording of its own (RecordingSession::Extract).
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/Outputs.h"
#include "cli/ProgressReporter.h"
#include "signal/FileErrors.h"
#include "signal/WavWriter.h"

#include <cstdio>
#include <cstring>

namespace {

// The band as the session takes it: given as radio frequencies when the recording has a centre
// frequency, as baseband frequencies otherwise.
ExtractRequest BasebandRequest(ExtractRequest request, int64_t centreFrequency) {
    request.LowHz -= static_cast<double>(centreFrequency);
    request.HighHz -= static_cast<double>(centreFrequency);
    return request;
}

} // namespace

int RunExtract(const CliArgs& args) {
    const CommandLine line = ParseCommandLine(OptionSet::Extract, args);
    const std::string& input = line.Words[0];
    const std::string& output = line.Words[1];
    CheckNewRecordingOutput(output, input, "extract");
    EditSession session(line.Options);
    RecordingSession& recording = session.Session;
    const InterruptGuard interrupt(recording.Job());

    OpenRecording(session, input);
    const ExtractRequest request =
        BasebandRequest(line.Options.Extract, recording.Description().CentreFrequency);
    ExtractOutcome outcome;
    try {
        const ProgressReporter progress(recording.Job(), ProgressWanted(line.Options.Quiet));
        outcome = recording.Extract(request, output);
    } catch (const EFCreateError& e) {
        if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
        throw SaveFailure(output, e);
    }
    if (!outcome.Refusal.empty()) throw CliError{"extract: refused: " + outcome.Refusal, kExitUsage};
    if (outcome.Stopped || interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
    if (outcome.Saved.Result != kWavWriteOk)
        throw FileError(output, outcome.Saved.Reason.empty() ? "cannot be written" : outcome.Saved.Reason);
    std::printf("band: %lld frames, %d Hz, 2 channels (I/Q)\n", static_cast<long long>(outcome.Frames),
                outcome.Rate);
    if (outcome.CentreFrequency != 0)
        std::printf("centre: %lld\n", static_cast<long long>(outcome.CentreFrequency));
    std::fflush(stdout);
    return kExitDone;
}
