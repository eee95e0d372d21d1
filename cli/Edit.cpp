// orvane-cli edit IN OUT.wav|OUT.sigmf-data [OPTIONS] OP [ARG...] ...: read, apply the operations in order,
// save.
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/Outputs.h"
#include "cli/ProgressReporter.h"
#include "session/RecordingWriter.h"
#include "signal/WavWriter.h"

#include <cstdio>

namespace {

// Runs the steps in order; a step the window's command refuses is said on standard error and the
// next one follows, as in the window.
void ApplySteps(EditSession& session, const std::vector<EditStep>& steps) {
    JobControl& job = session.Session.Job();
    const ProgressReporter progress(job, ProgressWanted(session.Options.Quiet));
    for (const EditStep& step : steps) {
        if (InterruptGuard::Interrupted()) return;
        job.SetProgress(0);
        const std::string refusal = ApplyEditStep(session, step);
        if (!refusal.empty())
            std::fprintf(stderr, "orvane-cli: %s: refused: %s\n", StepWords(step).c_str(), refusal.c_str());
    }
    // The short edits report no progress of their own.
    if (!InterruptGuard::Interrupted()) job.SetProgress(100);
}

// Writes the recording; a save a signal gave up says so and gives 128 + its number.
int SaveRecording(EditSession& session, const std::string& input, const std::string& output,
                  const InterruptGuard& interrupt) {
    RecordingSession& recording = session.Session;
    SaveOutcome saved;
    try {
        saved = recording.Save(output);
    } catch (const EFCreateError& e) {
        if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
        throw SaveFailure(output, e);
    }
    if (saved.Result != kWavWriteOk) {
        if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
        throw FileError(output, saved.Reason);
    }
    if (saved.FormatNote)
        std::fprintf(stderr, "orvane-cli: %s: written as %s (%s had %s samples)\n", output.c_str(),
                     WrittenFormatWords(recording.Store(), output).c_str(), input.c_str(),
                     SourceWords(recording.Description()).c_str());
    return kExitDone;
}

} // namespace

int RunEdit(const CliArgs& args) {
    const CommandLine line = ParseCommandLine(OptionSet::Edit, args);
    const std::string& input = line.Words[0];
    const std::string& output = line.Words[1];
    const std::vector<EditStep> steps = PlanEditSteps(CliArgs(line.Words.begin() + 2, line.Words.end()));
    CheckStepNumbers(steps);
    CheckWavOutput(output);
    EditSession session(line.Options);
    const InterruptGuard interrupt(session.Session.Job());

    OpenRecording(session, input);
    RefreshAfterCommand(session);
    ApplySteps(session, steps);
    if (interrupt.NothingWritten(output)) return InterruptGuard::ExitCode();
    return SaveRecording(session, input, output, interrupt);
}
