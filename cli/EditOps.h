// The operations of orvane-cli edit: the command-line words of each edit command, and the session
// they work on. What each command does, refuses and refreshes is the core's (ops/EditCommand.h,
// session/RecordingSession.h), the same the window's handlers use.
#pragma once

#include "cli/Options.h"
#include "ops/EditCommand.h"
#include "session/RecordingSession.h"

// A run of render or edit: the recording session and the options it was given. The long edits run
// on the calling thread.
struct EditSession {
    explicit EditSession(const CliOptions& options)
        : Options(options), Session(options.Spectrogram.FFTSize) {}

    CliOptions Options;
    RecordingSession Session;
};

// Reads `fileName` into the session (a capture with --rate, --centre and --type) and reinterprets its
// channels as --channels asks. Throws CliError (exit 1, with the reason) when the file cannot be read,
// and a usage error when the capture options do not fit it (cli/InputOptions.h).
void OpenRecording(EditSession& session, const std::string& fileName);

// One operation of the chain: the command and what its words say.
struct EditStep {
    EditCommand Command = EditCommand::Fade;
    EditCommandInput Input;
};

// Splits the operation words into steps, checking names, counts and the words that are not numbers
// (channels 1|2, the filter quality 1 ... 9) up front, so that bad usage is reported before anything
// is read or written. Throws a usage error (CliError).
std::vector<EditStep> PlanEditSteps(const CliArgs& words);

// Reads the numbers of every step as its command will, so that a text the window's field would reject
// is reported before anything is read: throws CliError (exit 2) naming the step, e.g.
// "sin abc: 'abc' is not a valid floating point value".
void CheckStepNumbers(const std::vector<EditStep>& steps);

// Applies a step to the session exactly as the window's command does after a file has been shown,
// including its refusals and what the picture's recomputation refreshes afterwards. Returns the reason
// of a refusal (the recording is then as it was), empty when the step ran. A number the field would
// reject throws CliError as CheckStepNumbers does.
std::string ApplyEditStep(EditSession& session, const EditStep& step);

// The state the window's spectrogram recomputation refreshes after a read: the FFT size in use and
// the Fade edit's curve (both kept when the image would be refused).
void RefreshAfterCommand(EditSession& session);

// Reinterprets the store as one or two channels after reading (the --channels option), as the channel
// items do.
void SetChannelInterpretation(EditSession& session, int channels);

// The words of a step as the command line gave them, e.g. "lpf 999999", for messages.
std::string StepWords(const EditStep& step);
