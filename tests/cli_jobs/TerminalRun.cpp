#include "TerminalRun.h"

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace clitest {

namespace {

[[noreturn]] void RunChild(const std::vector<std::string>& args) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDOUT_FILENO);
    std::vector<char*> argv;
    std::string program = ORVANE_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

TerminalRun RunOnTerminal(const std::vector<std::string>& args,
                          const std::function<bool(const std::string& screen)>& stopWhen,
                          std::chrono::seconds limit, int stopSignal) {
    TerminalRun run;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) return run;
    if (pid == 0) RunChild(args);

    const auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[4096];
    for (;;) {
        if (std::chrono::steady_clock::now() > deadline) {
            run.TimedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        pollfd wait{master, POLLIN, 0};
        if (::poll(&wait, 1, 100) <= 0) continue;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) break; // the program has ended and closed the terminal
        run.Screen.append(buffer, size_t(n));
        if (!run.SignalSent && stopWhen && stopWhen(run.Screen))
            run.SignalSent =
                stopSignal == SIGINT ? ::write(master, "\x03", 1) == 1 : ::kill(pid, stopSignal) == 0;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(master);
    run.ExitCode = ExitCodeOf(status);
    run.Killed = WIFSIGNALED(status);
    return run;
}

// Each drawing ends in "] ", blanks, the number and "%".
std::vector<int> ShownPercentages(const std::string& screen) {
    std::vector<int> shown;
    for (size_t at = screen.find("] "); at != std::string::npos; at = screen.find("] ", at + 1)) {
        const size_t digits = screen.find_first_not_of(' ', at + 1);
        const size_t end = screen.find_first_not_of("0123456789", digits);
        if (digits == std::string::npos || end == std::string::npos || end == digits || screen[end] != '%')
            continue;
        shown.push_back(std::stoi(screen.substr(digits, end - digits)));
    }
    return shown;
}

} // namespace clitest
