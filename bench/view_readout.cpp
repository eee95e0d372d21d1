// How fast the window's readout follows the pointer, measured on the real main window.
//
//   bench_view_readout [MOVES]
//
// 1. A recording of 500000000 bytes (two channels, 16 bits, 48000 Hz: a tone in each channel over a
//    little noise) is put in the store and its picture computed at N = 1024. Then, for MOVES pointer
//    positions spread over the whole picture (default 20000):
//    - the core's work per move (row, time, the level from the samples, the text), and
//    - the window's whole handling of a mouse move sent to the picture (the same work, the marker's
//      extent, the status panels), each timed apart.
// 2. A recording of 60000000 bytes at N = 8388608, where the level of a frame is read on the readout's
//    worker: the window's handling of a move, the time until the level arrives, and a sweep of 200
//    moves 2 ms apart (how many levels were computed, how many abandoned for newer positions, and the
//    longest time the window spent on one event meanwhile).
// Every figure is printed as median, 99th percentile and maximum over its repetitions.
#include "WindowBenchFolder.h"
#include "app/OrvaneApplication.h"
#include "app/ReadoutText.h"
#include "app/TElidedPanel.h"
#include "app/TMainForm.h"
#include "signal/WavWriter.h"
#include "spectral/SpectrogramReadout.h"
#include "view/qt/TImgView32.h"

#include <QComboBox>
#include <QMouseEvent>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFFT1024Index = 6;
constexpr int kFFT8388608Index = 19;

double Microseconds(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void Report(const char* what, std::vector<double> us) {
    if (us.empty()) return;
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[std::min(us.size() - 1, size_t(q * double(us.size())))]; };
    std::printf("%-58s n=%-6zu median %9.2f us   p99 %9.2f us   max %9.2f us\n", what, us.size(), at(0.5),
                at(0.99), us.back());
}

// Two channels of `frames` frames: 1500 Hz in channel 1 and 7000 Hz in channel 2, with a little noise.
void FillStore(SignalStore& store, int64_t frames) {
    store.Samples.resize(size_t(2 * frames));
    std::minstd_rand noise(7);
    const double step1 = 2 * std::numbers::pi * 1500 / 48000, step2 = 2 * std::numbers::pi * 7000 / 48000;
    for (int64_t i = 0; i < frames; ++i) {
        const int jitter = int(noise() % 201) - 100;
        store.Samples[size_t(2 * i)] =
            int16_t(std::lround(12000 * std::sin(step1 * double(i % 32000))) + jitter);
        store.Samples[size_t(2 * i + 1)] =
            int16_t(std::lround(9000 * std::sin(step2 * double(i % 48000))) - jitter);
    }
    store.ValueCount = int32_t(2 * frames);
    store.ChannelCount = 2;
    store.SampleRate = 48000;
    store.FileName = "memory.wav";
}

// Writes the recording into the benchmark's folder and opens it in the window, which computes its picture.
void ShowRecording(TMainForm& form, const WindowBenchFolder& folder, int64_t frames, int fftIndex) {
    form.ComboFFTSize->setCurrentIndex(fftIndex);
    SignalStore store;
    FillStore(store, frames);
    WavFormatRecord record;
    record.ChannelCount = store.ChannelCount;
    record.SampleRate = store.SampleRate;
    record.Data = std::span<const int16_t>(store.Samples.data(), store.Samples.size());
    const QString file = folder.FilePath("readout.wav");
    if (WriteWavFile(file.toStdString(), record) != kWavWriteOk) std::abort();
    store = SignalStore();
    const auto start = Clock::now();
    form.LoadWavFile(file);
    std::printf("%lld values, N = %s: picture %dx%d in %.1f s\n", static_cast<long long>(2 * frames),
                qPrintable(form.ComboFFTSize->currentText()), form.SrcImage->Bitmap().Width(),
                form.SrcImage->Bitmap().Height(),
                std::chrono::duration<double>(Clock::now() - start).count());
}

// The time the window takes to handle one mouse move over the picture.
double Move(TMainForm& form, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), form.SrcImage->viewport()->mapToGlobal(QPointF(at)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    const auto start = Clock::now();
    QApplication::sendEvent(form.SrcImage->viewport(), &move);
    return Microseconds(Clock::now() - start);
}

void MeasureShortFrames(TMainForm& form, const WindowBenchFolder& folder, int moves) {
    // Just within the largest file read by default (500000000 bytes).
    ShowRecording(form, folder, 124999000, kFFT1024Index);
    const PictureAxes axes = *form.ShownAxes();
    std::mt19937 random(1);
    const SampleSpan samples{form.Session().Store().Samples.data(), form.Session().Store().ValueCount};
    const ReadoutWindow window = MakeReadoutWindow(axes.WindowIndex, axes.FFTSize);
    std::vector<double> core;
    for (int i = 0; i < moves; ++i) {
        const int64_t column = int64_t(random() % uint32_t(axes.Width));
        const int32_t rowIndex = int32_t(random() % uint32_t(axes.Height));
        const auto start = Clock::now();
        const RowReading row = ReadRow(axes, rowIndex);
        const std::optional<double> level = BinLevelDbfs(samples, axes, window, column, row);
        const std::string text = PointerReadoutText(axes, column, row, LevelState::Ready, level);
        core.push_back(Microseconds(Clock::now() - start));
        if (text.empty()) std::abort();
    }
    Report("N = 1024, 500 MB: core work per move", core);

    const QSize view = form.SrcImage->viewport()->size();
    std::vector<double> window1024;
    for (int i = 0; i < moves; ++i)
        window1024.push_back(Move(
            form, QPoint(int(random() % uint32_t(view.width())), int(random() % uint32_t(view.height())))));
    Report("N = 1024, 500 MB: window's handling of a move", window1024);
}

bool ProcessUntil(const std::function<bool()>& done, std::vector<double>* longestEvent = nullptr) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!done() && Clock::now() < end) {
        const auto start = Clock::now();
        QApplication::processEvents();
        if (longestEvent) longestEvent->push_back(Microseconds(Clock::now() - start));
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return done();
}

void MeasureLongFrames(TMainForm& form, const WindowBenchFolder& folder) {
    ShowRecording(form, folder, 15000000, kFFT8388608Index);
    const QSize view = form.SrcImage->viewport()->size();
    std::mt19937 random(2);
    const auto somewhere = [&] {
        return QPoint(int(random() % uint32_t(view.width())), int(random() % uint32_t(view.height())));
    };
    std::vector<double> handling, arrival;
    for (int i = 0; i < 20; ++i) {
        const uint64_t before = form.LevelsDelivered();
        const auto start = Clock::now();
        handling.push_back(Move(form, somewhere()));
        if (!ProcessUntil([&] {
                return form.LevelsDelivered() > before && form.ReadoutPanel->FullText().contains("dBFS") &&
                       !form.ReadoutPanel->FullText().contains("...");
            }))
            std::printf("a level did not arrive\n");
        arrival.push_back(Microseconds(Clock::now() - start));
    }
    Report("N = 8388608: window's handling of a move", handling);
    Report("N = 8388608: from the move to the level shown", arrival);

    const uint64_t deliveredBefore = form.LevelsDelivered(), abandonedBefore = form.LevelsAbandoned();
    std::vector<double> sweep, events;
    for (int i = 0; i < 200; ++i) {
        sweep.push_back(Move(form, somewhere()));
        const auto until = Clock::now() + std::chrono::milliseconds(2);
        ProcessUntil([&] { return Clock::now() >= until; }, &events);
    }
    ProcessUntil([&] { return !form.ReadoutPanel->FullText().contains("..."); }, &events);
    Report("N = 8388608, sweep of 200 moves: window's handling of a move", sweep);
    Report("N = 8388608, sweep: any event processed meanwhile", events);
    std::printf("sweep: %llu levels computed, %llu abandoned for newer positions\n",
                static_cast<unsigned long long>(form.LevelsDelivered() - deliveredBefore),
                static_cast<unsigned long long>(form.LevelsAbandoned() - abandonedBefore));
}

} // namespace

int main(int argc, char** argv) {
    const WindowBenchFolder folder;
    if (!folder.Valid()) return 2;
    const int moves = argc > 1 ? std::max(100, std::atoi(argv[1])) : 20000;
    int qtArgc = 1;
    OrvaneApplication application(qtArgc, argv);
    {
        TMainForm form;
        form.resize(1280, 800);
        form.show();
        MeasureShortFrames(form, folder, moves);
    }
    {
        TMainForm form;
        form.resize(1280, 800);
        form.show();
        MeasureLongFrames(form, folder);
    }
    return 0;
}
