// Playback through the real PortAudio path into a sound server of the test's own: a PulseAudio
// daemon in user mode with a null sink, ALSA's default device routed to it, the sink's monitor
// recorded with parec. The recording must hold the played 1 kHz tone at its frequency, its level,
// without dropouts and to its end. Skips, saying why, where no such server can run.
#include "../audio/PlaybackEventLog.h"

#include "audio/Playback.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kRate = 48000;
constexpr double kToneHz = 1000.0;
constexpr double kAmplitude = 8000.0;
constexpr int kToneValues = 72000; // 1.5 s

// A temporary folder removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "orvane-sound-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// Sets environment variables for the test's lifetime and puts the old values back.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old != nullptr, old != nullptr ? old : ""});
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->Had)
                setenv(it->Name.c_str(), it->Value.c_str(), 1);
            else
                unsetenv(it->Name.c_str());
        }
    }

private:
    struct Saved {
        std::string Name;
        bool Had;
        std::string Value;
    };
    std::vector<Saved> saved_;
};

// A child process with its output sent to a file; killed and reaped when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments, const fs::path& output) {
        std::vector<char*> argv;
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    // Sends `signal` and waits up to `timeout` for the end; then kills it.
    void Stop(int signal, std::chrono::milliseconds timeout) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    bool Running() {
        if (pid_ <= 0) return false;
        if (waitpid(pid_, nullptr, WNOHANG) != pid_) return true;
        pid_ = -1;
        return false;
    }
    ~ChildProcess() { Stop(SIGTERM, 2000ms); }

private:
    pid_t pid_ = -1;
};

std::string ReadText(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

// Waits for `file` to appear while `process` runs.
bool WaitForFile(const fs::path& file, ChildProcess& process, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!fs::exists(file)) {
        if (!process.Running()) return false;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::vector<int16_t> ReadRaw(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<int16_t> values(bytes.size() / 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = int16_t(uint16_t(uint8_t(bytes[2 * i])) | uint16_t(uint8_t(bytes[2 * i + 1])) << 8);
    return values;
}

SignalStore Tone() {
    SignalStore store;
    store.Samples.resize(kToneValues);
    for (int i = 0; i < kToneValues; ++i)
        store.Samples[size_t(i)] =
            int16_t(std::lrint(kAmplitude * std::sin(2.0 * M_PI * kToneHz * i / kRate)));
    store.ValueCount = kToneValues;
    store.ChannelCount = 1;
    store.SampleRate = kRate;
    store.FileName = "tone.wav";
    return store;
}

// Frequency from the rising zero crossings of `x`, interpolated between samples.
double MeasuredFrequency(const std::vector<int16_t>& x, size_t from, size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double t = double(i - 1) + double(-x[i - 1]) / double(x[i] - x[i - 1]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * kRate / (last - first) : 0.0;
}

double Rms(const std::vector<int16_t>& x, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(x[i]) * double(x[i]);
    return std::sqrt(sum / double(to - from));
}

// ALSA loads its plugins (and the libraries they use) while PortAudio looks for devices and unloads
// them afterwards, and some of them allocate in their start-up code what only their own globals point
// to: once unloaded, a leak checker counts those blocks as lost. Loading every plugin for the rest of
// the process keeps those globals, so that a sanitizer build sees only our own allocations. False when
// ALSA's pulse plugin (libasound2-plugins) is not installed.
bool KeepAlsaPluginsLoaded() {
    bool pulse = false;
    for (const char* folder :
         {"/usr/lib/x86_64-linux-gnu/alsa-lib", "/usr/lib/aarch64-linux-gnu/alsa-lib", "/usr/lib/alsa-lib"}) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("libasound_module_", 0) != 0 || entry.path().extension() != ".so") continue;
            const bool loaded = dlopen(entry.path().c_str(), RTLD_NOW | RTLD_NODELETE) != nullptr;
            pulse = pulse || (loaded && name == "libasound_module_pcm_pulse.so");
        }
    }
    return pulse;
}

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        if (end > start && access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

TEST(RealSoundServer, PlaysA1kHzToneThroughPortAudioAtItsFrequencyAndLevel) {
    if (!KeepAlsaPluginsLoaded()) GTEST_SKIP() << "ALSA's pulse plugin (libasound2-plugins) is not installed";
    for (const char* program : {"pulseaudio", "parec"})
        if (!OnPath(program)) GTEST_SKIP() << program << " is not installed (pulseaudio, pulseaudio-utils)";

    TempFolder temp;
    ASSERT_FALSE(temp.Path().empty());
    const fs::path runtime = temp.Path() / "run";
    const fs::path home = temp.Path() / "home";
    fs::create_directories(runtime / "pulse");
    fs::create_directories(home / ".config" / "pulse");
    chmod(runtime.c_str(), 0700);
    WriteText(temp.Path() / "test.pa",
              "load-module module-null-sink sink_name=testsink rate=48000 channels=2 "
              "norewinds=1\n"
              "set-default-sink testsink\n"
              "load-module module-native-protocol-unix auth-anonymous=1\n");
    WriteText(home / ".asoundrc", "pcm.!default { type pulse }\nctl.!default { type pulse }\n");
    WriteText(home / ".config" / "pulse" / "client.conf", "autospawn = no\n");

    ScopedEnvironment environment;
    environment.Set("HOME", home.string());
    environment.Set("XDG_RUNTIME_DIR", runtime.string());
    environment.Set("PULSE_RUNTIME_PATH", (runtime / "pulse").string());
    environment.Set("PULSE_SERVER", "unix:" + (runtime / "pulse" / "native").string());

    ChildProcess server({"pulseaudio", "-n", "-F", (temp.Path() / "test.pa").string(), "--daemonize=no",
                         "--system=false", "--exit-idle-time=-1", "--use-pid-file=no", "--log-target=stderr"},
                        temp.Path() / "server.log");
    if (!WaitForFile(runtime / "pulse" / "native", server, 10s) || !server.Running())
        GTEST_SKIP() << "no PulseAudio server could start here; its log:\n"
                     << ReadText(temp.Path() / "server.log");

    const fs::path recording = temp.Path() / "rec.raw";
    ChildProcess recorder({"parec", "--latency-msec=20", "-d", "testsink.monitor", "--rate=48000",
                           "--channels=1", "--format=s16le", "--raw"},
                          recording);
    std::this_thread::sleep_for(500ms); // parec connects and starts streaming
    ASSERT_TRUE(recorder.Running()) << ReadText(recording);

    PlaybackEventLog log;
    {
        Playback player; // the PortAudio device
        player.SetEvents(&log);
        player.RefreshCopy(Tone());
        player.StartPlayback(1, kRate);
        ASSERT_FALSE(player.DeviceError()) << "PortAudio found no default device through the server";
        const auto end = std::chrono::steady_clock::now() + 15s;
        while (!player.PlaybackIdle() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(player.PlaybackIdle()) << "playback did not end";
    }
    std::this_thread::sleep_for(300ms);
    recorder.Stop(SIGINT, 3000ms);
    server.Stop(SIGTERM, 3000ms);

    const std::vector<std::string> entries = log.Entries();
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries.front().rfind("status: Playing ", 0), 0u) << entries.front();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "status: Stopped"), entries.end());

    const std::vector<int16_t> heard = ReadRaw(recording);
    size_t first = heard.size(), last = 0;
    for (size_t i = 0; i < heard.size(); ++i) {
        if (std::abs(heard[i]) > kAmplitude / 2) {
            first = std::min(first, i);
            last = i;
        }
    }
    ASSERT_LT(first, last) << "the recording holds no tone (" << heard.size() << " values)";
    const double seconds = double(last - first) / kRate;
    // The whole copy is heard: its end is neither left unwritten nor cut off by the device's stop.
    // (1.5 s less the quarter of the 250-value fades that stays below half the amplitude.)
    EXPECT_GT(seconds, 1.49);
    EXPECT_LT(seconds, 1.51);
    RecordProperty("ToneSeconds", std::to_string(seconds));

    const size_t from = first + kRate / 10, to = last - kRate / 10;
    EXPECT_NEAR(MeasuredFrequency(heard, from, to), kToneHz, 0.5);
    EXPECT_NEAR(Rms(heard, from, to), kAmplitude / std::sqrt(2.0), kAmplitude * 0.03);
    // No dropouts: every millisecond of the steady part reaches near the full amplitude.
    for (size_t at = from; at + 48 <= to; at += 48) {
        int peak = 0;
        for (size_t i = at; i < at + 48; ++i) peak = std::max(peak, std::abs(int(heard[i])));
        ASSERT_GT(peak, kAmplitude * 0.9) << "dropout at " << double(at - first) / kRate << " s";
    }
}
