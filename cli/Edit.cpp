// orvane-cli edit IN OUT.wav [OPTIONS] OP [ARG...] ...: read, apply the operations in order, save.
#include "cli/Commands.h"
#include "cli/EditOps.h"
#include "cli/Interrupt.h"
#include "cli/ProgressReporter.h"
#include "signal/WavReader.h"
#include "signal/WavWriter.h"

#include <algorithm>
#include <cstdio>

namespace {

const EditOp& FindOp(const std::string& name) {
    const auto ops = EditOps();
    const auto it = std::find_if(ops.begin(), ops.end(), [&](const EditOp& op) { return op.Name == name; });
    if (it == ops.end()) throw CliUsageError{"unknown operation " + name};
    return *it;
}

// Splits the operation words into (op, its arguments) steps, checking names and counts up front so
// that bad usage is reported before anything is read or written.
std::vector<std::pair<const EditOp*, CliArgs>> PlanSteps(const CliArgs& words) {
    std::vector<std::pair<const EditOp*, CliArgs>> steps;
    for (size_t i = 0; i < words.size();) {
        const EditOp& op = FindOp(words[i]);
        if (i + 1 + op.ArgCount > words.size()) throw CliUsageError{"missing argument for " + words[i]};
        steps.emplace_back(&op, CliArgs(words.begin() + i + 1, words.begin() + i + 1 + op.ArgCount));
        i += 1 + op.ArgCount;
    }
    return steps;
}

} // namespace

int RunEdit(const CliArgs& args) {
    EditSession session;
    const CliArgs rest = ParseOptions(args, session.Options, false);
    if (rest.size() < 2) throw CliUsageError{"edit needs IN and OUT.wav"};
    const auto steps = PlanSteps(CliArgs(rest.begin() + 2, rest.end()));
    InterruptGuard interrupt(session.Job);

    session.Spectrogram.CurrentFFTSize = session.Options.Spectrogram.FFTSize;
    const WavReadResult read = ReadWavFile(session.Store, rest[0]);
    if (!read.StoreReplaced) throw CliUsageError{"cannot read " + rest[0] + ":" + read.Status};
    if (session.Options.Channels != 0) SetChannelInterpretation(session, session.Options.Channels);
    RefreshAfterCommand(session);

    {
        const ProgressReporter progress(session.Job, ProgressWanted(session.Options.Quiet));
        for (const auto& [op, opArgs] : steps) {
            if (InterruptGuard::Interrupted()) break;
            session.Job.SetProgress(0);
            op->Apply(session, opArgs);
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
