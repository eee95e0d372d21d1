// Runs the built orvane-cli (or another command) and captures what it prints and its exit code.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace clitest {

struct CliRun {
    std::string Out; // standard output (standard error goes to Err)
    std::string Err;
    int ExitCode = -1;
};

inline std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a shell command line with its standard error going to `errFile`.
inline CliRun RunCommand(const std::string& commandLine, const std::string& errFile) {
    CliRun run;
    const std::string command = commandLine + " 2>" + Quote(errFile);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.Out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = std::fopen(errFile.c_str(), "r")) {
        while ((n = std::fread(buffer.data(), 1, buffer.size(), err)) > 0) run.Err.append(buffer.data(), n);
        std::fclose(err);
    }
    return run;
}

inline CliRun RunCli(const std::string& args, const std::string& errFile) {
    return RunCommand(std::string(ORVANE_CLI_PATH) + " " + args, errFile);
}

} // namespace clitest
