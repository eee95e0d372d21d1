// orvane-cli edit IN OUT.wav [OPTIONS] OP [ARG...] ...: read, apply the operations in order, save.
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/ProgressReporter.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <cstdio>

int RunEdit(const CliArgs& args) {
    EditSession session;
    const CliArgs rest = ParseOptions(args, session.Options, OptionSet::Edit);
    if (rest.size() < 2) throw CliUsageError{"edit needs IN and OUT.wav"};
    const std::vector<EditStep> steps = PlanEditSteps(CliArgs(rest.begin() + 2, rest.end()));
    InterruptGuard interrupt(session.Job);

    session.Spectrogram.CurrentFFTSize = session.Options.Spectrogram.FFTSize;
    const WavReadResult read = ReadWavFile(session.Store, rest[0], {}, session.Options.LargestFile);
    if (!read.StoreReplaced) throw CliUsageError{"cannot read " + rest[0] + ":" + read.Status};
    if (session.Options.Channels != 0) SetChannelInterpretation(session, session.Options.Channels);
    RefreshAfterCommand(session);

    {
        const ProgressReporter progress(session.Job, ProgressWanted(session.Options.Quiet));
        for (const EditStep& step : steps) {
            if (InterruptGuard::Interrupted()) break;
            session.Job.SetProgress(0);
            ApplyEditStep(session, step);
        }
        // The short edits report no progress of their own.
        if (!InterruptGuard::Interrupted()) session.Job.SetProgress(100);
    }
    if (interrupt.NothingWritten(rest[1])) return kInterruptedExitCode;

    const uint16_t result = SaveSignal(session.Store, rest[1], ".", [](const std::string&) {});
    if (result != kWavWriteOk) {
        std::fprintf(stderr, "orvane-cli: %s: ERROR: Stream Error.\n", rest[1].c_str());
        return 1;
    }
    return 0;
}
