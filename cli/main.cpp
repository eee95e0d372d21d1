// orvane-cli: the program's reader, spectrogram, palettes, edits and writer on files, without a window.
#include "ProgramInfo.h"
#include "cli/Commands.h"
#include "cli/HelpText.h"

#include <cstdio>
#include <exception>
#include <map>
#include <new>

void PrintUsage() {
    std::fputs(UsageText().c_str(), stderr);
}

namespace {

int Fail(const CliError& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "orvane-cli: %s\n", error.Message.c_str());
    if (error.ShowUsage) PrintUsage();
    return error.ExitCode;
}

// The command named by the first argument, run on the rest.
int RunCommand(const std::string& name, const CliArgs& args) {
    const std::map<std::string, int (*)(const CliArgs&)> commands = {
        {"info", RunInfo},   {"edit", RunEdit},       {"render", RunRender},
        {"demod", RunDemod}, {"extract", RunExtract},
    };
    if (InfoRequestOf(name) != InfoRequest::None)
        throw UsageError(name + ": stands alone, or after a command: orvane-cli COMMAND --help");
    if (!commands.contains(name))
        throw UsageError(name + (name.starts_with("-") ? ": unknown option" : ": unknown command"));
    return commands.at(name)(args);
}

} // namespace

int main(int argc, char** argv) {
    const InfoRequest info = argc == 2 ? InfoRequestOf(argv[1]) : InfoRequest::None;
    if (info != InfoRequest::None) {
        const std::string text = info == InfoRequest::Help ? HelpText() : VersionLine("orvane-cli") + "\n";
        std::fputs(text.c_str(), stdout);
        return kExitDone;
    }
    try {
        if (argc < 2) throw UsageError("a command is needed");
        return RunCommand(argv[1], CliArgs(argv + 2, argv + argc));
    } catch (const CliHelp& help) {
        std::fputs(help.Text.c_str(), stdout);
        return kExitDone;
    } catch (const CliError& error) {
        return Fail(error);
    } catch (const std::bad_alloc&) {
        return Fail(CliError{"not enough memory", kExitFailed});
    } catch (const std::exception& e) {
        return Fail(CliError{e.what(), kExitFailed});
    }
}
