// orvane-cli: the program's reader, spectrogram, palettes, edits and writer on files, without a window.
#include "ProgramInfo.h"
#include "cli/Commands.h"
#include "cli/HelpText.h"

#include <cstdio>
#include <exception>
#include <map>

void PrintUsage() {
    std::fputs(UsageText().c_str(), stderr);
}

int main(int argc, char** argv) {
    const std::map<std::string, int (*)(const CliArgs&)> commands = {
        {"info", RunInfo},
        {"edit", RunEdit},
        {"render", RunRender},
    };
    const InfoRequest info = argc == 2 ? InfoRequestOf(argv[1]) : InfoRequest::None;
    if (info != InfoRequest::None) {
        const std::string text = info == InfoRequest::Help ? HelpText() : VersionLine("orvane-cli") + "\n";
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    if (argc < 2 || !commands.contains(argv[1])) {
        PrintUsage();
        return 2;
    }
    try {
        return commands.at(argv[1])(CliArgs(argv + 2, argv + argc));
    } catch (const CliUsageError& e) {
        if (!e.Message.empty()) std::fprintf(stderr, "orvane-cli: %s\n", e.Message.c_str());
        PrintUsage();
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvane-cli: %s\n", e.what());
        return 2;
    }
}
