// The sub-commands of orvane-cli. Each takes the arguments after its name and returns the exit code:
// 0 success, 1 a refused read or image, 2 bad usage or a number the window would reject.
#pragma once

#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;

int RunInfo(const CliArgs& args);
int RunEdit(const CliArgs& args);
int RunRender(const CliArgs& args);

// Raised for bad usage; main prints the message and the usage text and exits 2.
struct CliUsageError {
    std::string Message;
};

void PrintUsage();
