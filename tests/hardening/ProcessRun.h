// Runs a program with its arguments (no shell), its standard error kept, under a processor-time limit
// and a wall-clock limit, and tells how it ended.
#pragma once

#include <string>
#include <vector>

struct ProcessEnd {
    int ExitCode = -1; // when it exited
    int Signal = 0;    // when a signal ended it
    bool TimedOut = false;
    std::string Errors; // what it wrote on standard error
};

// Runs `program` with `args` and `environment` (NAME=VALUE entries added to, or replacing, the test
// program's own), standard input empty and standard output discarded. A run that uses more than
// `cpuSeconds` of processor time, or takes longer than `wallSeconds`, is killed and reported as timed out.
ProcessEnd RunProcess(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, unsigned cpuSeconds, unsigned wallSeconds);
