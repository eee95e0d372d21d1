// A signal that arrives while render or edit is writing its output: the write is given up, its hidden
// temporary file removed, the target left as it was (for an edit in place, the recording itself), and
// the program exits with 128 + the signal's number. The program is caught in the middle of its save
// deterministically: it is stopped (SIGSTOP) as soon as the temporary file appears, the file is seen
// to be still there, and only then is the signal sent and the program let go on.
#include "../signal/WavBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr auto kLimit = std::chrono::seconds(600);

struct SaveRun {
    bool CaughtSaving = false; // stopped while its temporary file was there
    bool Exited = false;
    int ExitCode = -1;
    std::string Errors; // standard error
};

std::vector<std::string> HiddenFilesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().starts_with(".")) names.push_back(entry.path().filename());
    return names;
}

pid_t Start(const std::vector<std::string>& args, const std::string& errors) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(err, STDERR_FILENO);
    ::dup2(null, STDOUT_FILENO);
    std::vector<std::string> copies = args;
    std::string program = ORVANE_CLI_PATH;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

// Runs orvane-cli with `args`, which write into `dir`; the moment a hidden file is created there, the
// program is stopped, checked to be still saving, sent `signal` and continued.
SaveRun SignalWhileSaving(const fs::path& dir, const std::vector<std::string>& args, int signal,
                          const std::string& errors) {
    SaveRun run;
    const int watch = ::inotify_init1(IN_CLOEXEC);
    if (watch < 0 || ::inotify_add_watch(watch, dir.c_str(), IN_CREATE) < 0) return run;
    const pid_t pid = Start(args, errors);
    const auto deadline = std::chrono::steady_clock::now() + kLimit;
    int status = 0;
    bool ended = false;
    while (!run.CaughtSaving && !ended && std::chrono::steady_clock::now() < deadline) {
        pollfd wait{watch, POLLIN, 0};
        if (::poll(&wait, 1, 100) > 0) {
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = ::read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && event->name[0] == '.' && !run.CaughtSaving) {
                    ::kill(pid, SIGSTOP);
                    ::waitpid(pid, &status, WUNTRACED);
                    run.CaughtSaving = WIFSTOPPED(status) && fs::exists(dir / event->name);
                    ::kill(pid, signal);
                    ::kill(pid, SIGCONT);
                }
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        ended = !run.CaughtSaving && ::waitpid(pid, &status, WNOHANG) == pid;
    }
    if (!ended) {
        if (!run.CaughtSaving) ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ::close(watch);
    run.Exited = WIFEXITED(status);
    run.ExitCode = run.Exited ? WEXITSTATUS(status) : -1;
    std::ifstream in(errors);
    run.Errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

// Noise read as raw 16-bit values (not a RIFF file).
void WriteNoise(const std::string& path, size_t bytes) {
    std::vector<uint32_t> words(bytes / 4);
    uint32_t state = 7;
    for (uint32_t& word : words) word = state = state * 1664525u + 1013904223u;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(words.data()), std::streamsize(words.size() * 4));
}

struct SavingJob {
    const char* Name;
    size_t InputBytes;
    // The arguments, reading `in` and writing `out` (the input itself for an edit in place).
    std::vector<std::string> (*Args)(const std::string& in, const std::string& out);
    bool InPlace;
    int Signal;
    const char* SignalName;
};

void PrintTo(const SavingJob& job, std::ostream* out) {
    *out << job.Name;
}

class CliSaveSignal : public ::testing::TestWithParam<SavingJob> {};

} // namespace

TEST_P(CliSaveSignal, GivesUpTheSaveAndKeepsTheTarget) {
    const SavingJob& job = GetParam();
    wavtest::TempDir dir;
    const std::string in = dir.File("in.raw");
    WriteNoise(in, job.InputBytes);
    const std::string out = job.InPlace ? in : dir.File("out.png");
    const wavtest::Bytes before = wavtest::ReadFile(in);
    struct stat original {};
    ASSERT_EQ(::stat(in.c_str(), &original), 0);
    const std::string errors =
        (fs::temp_directory_path() / ("orvane-save-signal-" + std::to_string(::getpid()))).string();

    const SaveRun run = SignalWhileSaving(dir.Path(), job.Args(in, out), job.Signal, errors);
    fs::remove(errors);
    ASSERT_TRUE(run.CaughtSaving) << "the save was not caught while its temporary file was there: "
                                  << run.Errors;
    ASSERT_TRUE(run.Exited) << "the program did not handle " << job.SignalName;
    EXPECT_EQ(run.ExitCode, 128 + job.Signal) << run.Errors;
    EXPECT_EQ(run.Errors, "orvane-cli: " + out + ": not written: stopped by " + job.SignalName + "\n");
    EXPECT_EQ(HiddenFilesIn(dir.Path()), std::vector<std::string>{});
    struct stat after {};
    ASSERT_EQ(::stat(in.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, original.st_ino);
    EXPECT_TRUE(wavtest::ReadFile(in) == before) << "the input changed";
    EXPECT_EQ(fs::exists(out), job.InPlace);
}

INSTANTIATE_TEST_SUITE_P(
    , CliSaveSignal,
    ::testing::Values(
        // 200000 values at N = 1024, "X / 1024": a picture of about 200000 x 512 pixels, 300 MB as PNG.
        SavingJob{"RenderPngSigterm", 400'000,
                  [](const std::string& in, const std::string& out) {
                      return std::vector<std::string>{"render", in, out, "--image-width", "1024", "--quiet"};
                  },
                  false, SIGTERM, "SIGTERM"},
        // 200 MB rewritten over itself as a WAV file.
        SavingJob{"EditInPlaceSighup", 200'000'000,
                  [](const std::string& in, const std::string& out) {
                      return std::vector<std::string>{"edit", in, out, "--quiet"};
                  },
                  true, SIGHUP, "SIGHUP"}),
    [](const auto& info) { return std::string(info.param.Name); });
