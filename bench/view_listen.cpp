// The time from pressing "Listen" to the first audio buffer handed to the output device, in the real
// main window on a recording of 500000000 bytes (two channels taken as I/Q, 16 bits, 48000 Hz): a click
// on the picture picks a frequency and a time, "Listen" demodulates from there to the recording's end
// (AM, 10 kHz), and the clock stops when the playback thread writes its first buffer. Repeated at
// several times across the recording, first from silence, then each start ending a "Play" of the recording;
// the median, the fastest and the slowest of each are printed with the load average. The device is the test
// stand-in playing at the real rate, so the time holds everything but the sound card's own start.
//
//   bench_view_listen [STARTS] [FILE.wav]      (default 9 starts on a file written for the run)
//
// Target: median under 300 ms. The verdict is printed; the exit status is 0 unless a start fails.
#include "BenchFigures.h"
#include "BenchWindow.h"
#include "HugeRecording.h"
#include "WindowBenchFolder.h"

#include "audio/WaveOutDevice.h"
#include "view/qt/TImgView32.h"

#include <QComboBox>
#include <QFrame>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// An output device that plays nothing at the real rate and notes when the first buffer after each open
// arrives.
class FirstBufferClock final : public WaveOutDevice {
public:
    std::optional<std::string> ProductName() override { return "Bench Output"; }
    bool SupportsFormat(const WaveFormat&) override { return true; }
    bool Open(const WaveFormat& format) override {
        std::lock_guard lock(mutex_);
        rate_ = format.SamplesPerSec * format.Channels;
        playedUntil_ = Clock::now();
        awaiting_ = armed_;
        armed_ = false;
        return true;
    }
    bool Write(std::span<const int16_t> values) override {
        std::unique_lock lock(mutex_);
        if (awaiting_) {
            first_ = Clock::now();
            awaiting_ = false;
            arrived_.notify_all();
        }
        const Clock::time_point previousEnd = std::max(playedUntil_, Clock::now());
        playedUntil_ = previousEnd + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(double(values.size()) / rate_));
        lock.unlock();
        std::this_thread::sleep_until(previousEnd);
        return true;
    }
    void Reset() override {}
    void Close() override {}

    // Forgets the last first buffer: the first one after the next open is waited for (a playback still
    // writing from an earlier open is not counted).
    void Arm() {
        std::lock_guard lock(mutex_);
        first_.reset();
        armed_ = true;
    }
    // When the first buffer after the open that followed Arm arrived; nothing after 10 s.
    std::optional<Clock::time_point> FirstBuffer() {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return first_.has_value(); });
        return first_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::optional<Clock::time_point> first_;
    bool armed_ = false;    // Arm was called and no open has come since
    bool awaiting_ = false; // the device was opened after Arm and has not been written to since
    Clock::time_point playedUntil_;
    double rate_ = 48000;
};

// Clicks the picture `share` of the way across, halfway up, presses Listen and waits for the first
// buffer of the playback it starts; nothing when none comes within 10 s.
std::optional<double> ListenOnce(TMainForm& form, FirstBufferClock& device, double share) {
    const TViewPlacement placement = form.SrcImage->Placement();
    form.SrcImageMouseDown(Qt::LeftButton, int(placement.Left + placement.Width * share),
                           int(placement.Top + placement.Height / 2));
    form.SrcImageMouseUp(Qt::LeftButton);
    device.Arm();
    const Clock::time_point start = Clock::now();
    form.sbListen->click();
    const std::optional<Clock::time_point> first = device.FirstBuffer();
    if (!first) return std::nullopt;
    QCoreApplication::processEvents();
    return std::chrono::duration<double, std::milli>(*first - start).count();
}

// Ends what plays and waits until the window is idle again.
void StopAndWait(TMainForm& form) {
    form.sbStopPlay->click();
    while (!form.Player.PlaybackIdle()) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Presses "Play" and waits until the recording is heard.
void PlayTheRecording(TMainForm& form) {
    form.sbPlayMemory->click();
    while (form.Player.PlaybackIdle()) QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

} // namespace

int main(int argc, char** argv) {
    const WindowBenchFolder folder;
    if (!folder.Valid()) return 2;
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::string path = argc > 2 ? std::string(argv[2]) : folder.FilePath("huge.wav").toStdString();
    if (argc <= 2 && !bench::WriteHugeRecording(path)) return 2;

    bench::BenchWindow window(argv, path);
    TMainForm& form = window.Form;
    form.mnuOpen->trigger();
    while (form.Busy()) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    if (window.Errors != 0 || !form.ShownAxes()) {
        std::printf("the recording was not shown\n");
        return 1;
    }
    auto owned = std::make_unique<FirstBufferClock>();
    FirstBufferClock& device = *owned;
    form.Player.SetDevice(std::move(owned));
    form.mnuListenPanel->trigger();

    std::printf("%d Listen starts on %s (%d values, AM 10 kHz to the end); load average before: %s\n", starts,
                path.c_str(), form.Session().Store().ValueCount, bench::LoadAverage().c_str());
    // First each start from silence, then each start while "Play" plays the recording (it is ended first).
    double worst = 0;
    for (const bool fromSilence : {true, false}) {
        std::vector<double> times;
        for (int i = 0; i < starts; ++i) {
            StopAndWait(form);
            if (!fromSilence) PlayTheRecording(form);
            const std::optional<double> ms = ListenOnce(form, device, (i + 0.5) / starts);
            if (!ms) {
                std::printf("no audio buffer within 10 s: %s\n", form.StatusText(0).toStdString().c_str());
                return 1;
            }
            times.push_back(*ms);
        }
        std::sort(times.begin(), times.end());
        const double median = bench::Median(times);
        worst = std::max(worst, median);
        std::printf("Listen to first audio buffer, %s: median %.1f ms, fastest %.1f ms, slowest %.1f ms\n",
                    fromSilence ? "from silence" : "while the recording plays", median, times.front(),
                    times.back());
    }
    StopAndWait(form);
    std::printf("load average after: %s\n", bench::LoadAverage().c_str());
    std::printf("target (median < 300 ms): %s, %.3fx the target\n", worst < 300 ? "met" : "NOT met",
                worst / 300);
    form.close();
    return 0;
}
