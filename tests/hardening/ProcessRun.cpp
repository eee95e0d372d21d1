#include "ProcessRun.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

// The test program's environment with `overrides` put in by name.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& overrides) {
    std::vector<std::string> merged;
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& o : overrides) replaced = replaced || nameOf(o) == nameOf(entry);
        if (!replaced) merged.push_back(entry);
    }
    merged.insert(merged.end(), overrides.begin(), overrides.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (auto& w : words) pointers.push_back(w.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadAll(FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    return text;
}

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void BecomeProgram(char* const* argv, char* const* envp, int errorFd, unsigned cpuSeconds) {
    const rlimit cpu{cpuSeconds, cpuSeconds + 1};
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CPU, &cpu);
    ::setrlimit(RLIMIT_CORE, &noCore);
    const int nothing = ::open("/dev/null", O_RDWR);
    ::dup2(nothing, 0);
    ::dup2(nothing, 1);
    ::dup2(errorFd, 2);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

// Waits until the child `pid` has ended (without reaping it) or `seconds` have passed. A descriptor of
// the process wakes the wait at once; where the system has none, the child is looked at every few
// milliseconds.
bool EndsWithin(pid_t pid, unsigned seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
    siginfo_t info{};
    for (;;) {
        info.si_pid = 0;
        if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (fd >= 0) {
            pollfd ready{fd, POLLIN, 0};
            ::poll(&ready, 1, int(left.count()));
        } else {
            std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(5)));
        }
    }
    if (fd >= 0) ::close(fd);
    return info.si_pid == pid;
}

} // namespace

ProcessEnd RunProcess(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, unsigned cpuSeconds,
                      unsigned wallSeconds) {
    std::vector<std::string> words = {program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<std::string> env = MergedEnvironment(environment);
    const std::vector<char*> argv = Pointers(words);
    const std::vector<char*> envp = Pointers(env);

    ProcessEnd end;
    FILE* errors = std::tmpfile();
    if (errors == nullptr) return end;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) BecomeProgram(argv.data(), envp.data(), ::fileno(errors), cpuSeconds);

    int status = 0;
    if (pid > 0 && !EndsWithin(pid, wallSeconds)) {
        ::kill(pid, SIGKILL);
        end.TimedOut = true;
    }
    if (pid > 0) ::waitpid(pid, &status, 0);
    if (pid > 0 && WIFEXITED(status)) end.ExitCode = WEXITSTATUS(status);
    if (pid > 0 && WIFSIGNALED(status)) end.Signal = WTERMSIG(status);
    end.TimedOut = end.TimedOut || end.Signal == SIGXCPU;
    end.Errors = ReadAll(errors);
    std::fclose(errors);
    return end;
}
