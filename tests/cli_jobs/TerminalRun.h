// Runs the built orvane-cli with its standard error on a new pseudo-terminal, as in a terminal window,
// and reads what it shows there. Standard output goes to /dev/null, so the screen holds only what the
// program writes to standard error (and the terminal's echo of typed keys).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace clitest {

struct TerminalRun {
    std::string Screen;
    int ExitCode = -1;     // 128 + the signal when the program was killed by one
    bool TimedOut = false; // killed after the time limit
    bool CtrlCTyped = false;
};

// Starts orvane-cli with `args`. After every read, `typeCtrlCWhen` (if given) sees the screen so far;
// the first time it returns true, Ctrl+C is typed on the terminal, which sends SIGINT to the program
// as a terminal does. A program still running after `limit` is killed.
TerminalRun RunOnTerminal(const std::vector<std::string>& args,
                          const std::function<bool(const std::string& screen)>& typeCtrlCWhen,
                          std::chrono::seconds limit);

// The percentages the progress bar showed, in the order drawn.
std::vector<int> ShownPercentages(const std::string& screen);

} // namespace clitest
