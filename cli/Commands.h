// The sub-commands of orvane-cli. Each takes the arguments after its name and returns the exit code,
// or throws CliError or CliHelp, which main turns into the exit code and the texts.
#pragma once

#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

// Exit codes. A signal that stops a job gives 128 + its number (see cli/Interrupt.h).
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1; // a file could not be read or written, or the picture was refused
inline constexpr int kExitUsage = 2;  // bad usage, a number the window rejects, an output not allowed

int RunInfo(const CliArgs& args);
int RunEdit(const CliArgs& args);
int RunRender(const CliArgs& args);
int RunDemod(const CliArgs& args);
int RunExtract(const CliArgs& args);

// An error that ends a command: main prints "orvane-cli: " + Message as one line on standard error,
// followed by the usage text when ShowUsage, and exits with ExitCode.
struct CliError {
    std::string Message; // "WHAT: REASON", e.g. "missing.wav: No such file or directory"
    int ExitCode = kExitUsage;
    bool ShowUsage = false;
};

// Bad usage: the form of the command line is wrong; the usage follows the message.
inline CliError UsageError(std::string message) {
    return CliError{std::move(message), kExitUsage, true};
}

// A file that cannot be read or written: "NAME: REASON", exit 1.
inline CliError FileError(const std::string& fileName, const std::string& reason) {
    return CliError{fileName + ": " + reason, kExitFailed, false};
}

// --help or -h of a command: main prints Text on standard output and exits 0.
struct CliHelp {
    std::string Text;
};

void PrintUsage();
