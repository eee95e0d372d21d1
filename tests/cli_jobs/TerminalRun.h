// Runs the built orvane-cli with its standard error on a new pseudo-terminal, as in a terminal window,
// and reads what it shows there. Standard output goes to /dev/null, so the screen holds only what the
// program writes to standard error (and the terminal's echo of typed keys).
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

namespace clitest {

struct TerminalRun {
    std::string Screen;
    int ExitCode = -1;       // 128 + the signal when the program was killed by one
    bool Killed = false;     // the program ended by a signal rather than by exiting
    bool TimedOut = false;   // killed after the time limit
    bool SignalSent = false; // Ctrl+C typed, or the signal sent
};

// Starts orvane-cli with `args`. After every read, `stopWhen` (if given) sees the screen so far; the
// first time it returns true, `stopSignal` goes to the program: for SIGINT Ctrl+C is typed on the
// terminal, which sends SIGINT as a terminal does; any other signal is sent with kill, as `kill`,
// `timeout` or a service manager sends it. A program still running after `limit` is killed.
TerminalRun RunOnTerminal(const std::vector<std::string>& args,
                          const std::function<bool(const std::string& screen)>& stopWhen,
                          std::chrono::seconds limit, int stopSignal = SIGINT);

// The percentages the progress bar showed, in the order drawn.
std::vector<int> ShownPercentages(const std::string& screen);

} // namespace clitest
