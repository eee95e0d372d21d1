#include "ChildProcess.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

std::string RunInChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) return "fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        std::string answer;
        try {
            answer = body();
        } catch (const std::exception& e) {
            answer = std::string("uncaught exception: ") + e.what();
        }
        size_t done = 0;
        while (done < answer.size()) {
            const ssize_t n = ::write(fds[1], answer.data() + done, answer.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::_exit(0); // no destructors, atexit handlers or sanitizer reports of the copied test program
    }
    ::close(fds[1]);
    std::string answer;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) return "child killed by signal " + std::to_string(WTERMSIG(status));
    return answer;
}

std::string RunAsOrdinaryUser(const std::function<std::string()>& body) {
    return RunInChild([&] {
        // Root's own supplementary groups go first, so that no group right of root's is left.
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobodyGid) != 0 || ::setuid(kNobodyUid) != 0))
            return std::string(kNoOrdinaryUser);
        return body();
    });
}

bool LimitAddressSpace(size_t headroomBytes) {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    if (!(statm >> pages)) return false;
    const auto size = pages * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = size + headroomBytes;
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

bool SanitizerBuild() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}
