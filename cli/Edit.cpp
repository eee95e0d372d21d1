// orvane-cli edit IN OUT.wav [OPTIONS] OP [ARG...] ...: read, apply the operations in order, save.
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/ProgressReporter.h"
#include "signal/WavWriter.h"

#include <cstdio>

int RunEdit(const CliArgs& args) {
    CliOptions options;
    const CliArgs rest = ParseOptions(args, options, OptionSet::Edit);
    if (rest.size() < 2) throw CliUsageError{"edit needs IN and OUT.wav"};
    const std::vector<EditStep> steps = PlanEditSteps(CliArgs(rest.begin() + 2, rest.end()));
    EditSession session(options);
    RecordingSession& recording = session.Session;
    InterruptGuard interrupt(recording.Job());

    const ReadOutcome read = recording.Open(rest[0], ReadOptions{options.LargestFile});
    if (!read.Opened) throw CliUsageError{"cannot read " + rest[0] + ":" + read.Status};
    if (options.Channels != 0) SetChannelInterpretation(session, options.Channels);
    RefreshAfterCommand(session);

    {
        const ProgressReporter progress(recording.Job(), ProgressWanted(options.Quiet));
        for (const EditStep& step : steps) {
            if (InterruptGuard::Interrupted()) break;
            recording.Job().SetProgress(0);
            const std::string refusal = ApplyEditStep(session, step);
            if (!refusal.empty())
                std::fprintf(stderr, "orvane-cli: %s: refused: %s\n", StepWords(step).c_str(),
                             refusal.c_str());
        }
        // The short edits report no progress of their own.
        if (!InterruptGuard::Interrupted()) recording.Job().SetProgress(100);
    }
    if (interrupt.NothingWritten(rest[1])) return kInterruptedExitCode;

    const SaveOutcome saved = recording.Save(rest[1]);
    if (saved.Result != kWavWriteOk) {
        std::fprintf(stderr, "orvane-cli: %s: ERROR: Stream Error.\n", rest[1].c_str());
        return 1;
    }
    if (saved.FormatNote)
        std::fprintf(stderr, "orvane-cli: %s: written as 16-bit PCM (%s had %s samples)\n", rest[1].c_str(),
                     rest[0].c_str(), SourceFormatWords(recording.Description().SourceFormat).c_str());
    return 0;
}
