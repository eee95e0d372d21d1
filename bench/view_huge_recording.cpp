// Drives the real main window through a recording of 500000000 bytes (two channels, 16 bits,
// 48000 Hz) and prints, for every step, its time and the peak resident memory of the process while it
// ran (the high-water mark is reset before each step through /proc/self/clear_refs).
//
//   bench_view_huge_recording [FILE.wav | --bytes N]
//
// Without FILE a recording of that size (or of N bytes) is written into a temporary folder first and
// removed at the end. A FILE longer than the window's "Largest File..." setting (default 500000000 bytes)
// raises the setting to the file's size first, through the menu item. The steps: open (the spectrogram at N =
// 1024), N = 8388608 (refused by the image limit), back to 1024, play start and stop (through a silent device
// paced like a real one), every edit, "Save", "Save Bitmap", a palette and a recomputation under it, and
// "Reload". Each row also shows the memory the window is allowed to hold at once: the store, one playback
// copy, the states kept for undo, the spectrogram image and the view's copy of it, plus the image being
// replaced while a new one is computed. When the picture at one column per frame is refused (a recording of
// more than about 263 million values), the steps after the open choose the first of the wide image widths ("X
// * 2" ...) whose picture is admitted, for the two bands and for the complex I/Q picture.
#include "BenchWindow.h"
#include "HugeRecording.h"
#include "WindowBenchFolder.h"

#include "app/ErrorReport.h"
#include "app/OrvaneApplication.h"
#include "app/TMainForm.h"
#include "signal/WavWriter.h"
#include "spectral/Palettes.h"
#include "spectral/SpectrogramSettings.h"
#include "support/TestWaveOutDevice.h"
#include "view/qt/TImgView32.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr uint64_t kFileBytes = bench::kHugeFileBytes;
constexpr int kFFT1024Index = 6;
constexpr int kFFT8388608Index = 19;
constexpr double kMiB = 1024.0 * 1024.0;
// Allowance beyond the listed arrays: the frame buffers and tiles of the spectrogram workers, an
// edit's block buffers, the reader's and writer's buffers and the allocator's slack.
constexpr double kSlackMiB = 96.0;

// The process's "VmHWM" or "VmRSS" line of /proc/self/status, in MiB.
double StatusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::strtod(line.c_str() + prefix.size(), nullptr) / 1024.0;
    return -1;
}

void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void ProcessUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (!done() && Clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(2ms);
    }
    QCoreApplication::processEvents();
}

double BitmapMiB(const TBitmap32& bitmap) {
    return double(bitmap.PixelCount()) * 4 / kMiB;
}

class HugeRecordingRun {
public:
    HugeRecordingRun(TMainForm& form, double baselineMiB) : form_(form), baseline_(baselineMiB) {
        std::printf("%-26s %9s %9s %9s %8s %8s %8s %8s %8s %9s  %s\n", "step", "time ms", "peak MiB",
                    "rss MiB", "store", "copy", "undo", "image", "view", "bound", "panels 0 | 1 | 3 | 4");
    }

    // Runs `action` (which returns when the window is idle again) and prints its row.
    void Step(const char* name, const std::function<void()>& action) {
        const double imageBefore = BitmapMiB(form_.Session().Spectrogram().SpectrogramBitmap);
        const std::size_t undoBefore = form_.Session().History().BytesHeld();
        ResetPeak();
        const auto start = Clock::now();
        action();
        ProcessUntil([&] { return !form_.Busy(); }, 600s);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        const double peak = StatusMiB("VmHWM");

        const double store = double(form_.Session().Store().Samples.capacity()) * 2 / kMiB;
        const double copy = double(form_.Player.PlaybackCopy().capacity()) * 2 / kMiB;
        // An edit holds its copy for undo beside the store it rewrites; the peak may also see the copy
        // of the step before, let go to make room.
        const double undo = double(std::max(form_.Session().History().BytesHeld(), undoBefore)) / kMiB;
        const double image = BitmapMiB(form_.Session().Spectrogram().SpectrogramBitmap);
        const TBitmap32& shown = form_.SrcImage->Bitmap();
        const bool shared = shown.SharesPixelsWith(form_.Session().Spectrogram().SpectrogramBitmap);
        const double view = shared ? 0.0 : BitmapMiB(shown);
        // While a new image is computed the previous one is still shown: both count once.
        const double bound = baseline_ + store + copy + undo + std::max(image, imageBefore) +
                             std::max(view, imageBefore) + kSlackMiB;
        const bool over = peak > bound;
        worst_ = over ? true : worst_;
        std::printf("%-26s %9lld %9.1f %9.1f %8.1f %8.1f %8.1f %8.1f %8s %9.1f%s |%s|%s|%s|%s|\n", name,
                    static_cast<long long>(ms), peak, StatusMiB("VmRSS"), store, copy, undo, image,
                    shared ? "shared" : std::to_string(int(view)).c_str(), bound, over ? " OVER" : "",
                    qPrintable(form_.StatusText(0)), qPrintable(form_.StatusText(1)),
                    qPrintable(form_.StatusText(3)), qPrintable(form_.StatusText(4)));
        std::fflush(stdout);
    }

    bool AnyOver() const { return worst_; }

private:
    TMainForm& form_;
    double baseline_;
    bool worst_ = false;
};

void Choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void TypeAndClick(QLineEdit* edit, const char* text, QToolButton* button) {
    edit->setText(QString::fromLatin1(text));
    button->click();
}

bool Refused(TMainForm& form) {
    return form.StatusText(1).startsWith(" ERRR!");
}

// Steps through the wide image widths after the list's own items until the picture is admitted.
void ChooseAdmittedWidth(HugeRecordingRun& run, TMainForm& form, const char* view) {
    const int own = int(kXResolutionItems.size());
    for (int index = own; index < form.ComboXResolution->count() && Refused(form); ++index) {
        const std::string name =
            std::string(view) + ", " + form.ComboXResolution->itemText(index).toStdString();
        run.Step(name.c_str(), [&] { Choose(form.ComboXResolution, index); });
    }
}

} // namespace

int main(int argc, char** argv) {
    const WindowBenchFolder folder;
    if (!folder.Valid()) return 2;
    // The window's start directory ("Save Bitmap" writes there) is the folder too.
    if (chdir(folder.Path().toLocal8Bit().constData()) != 0) return 2;

    const bool generated = argc < 2 || std::string(argv[1]) == "--bytes";
    const uint64_t bytes = argc > 2 && generated ? std::strtoull(argv[2], nullptr, 10) : kFileBytes;
    std::string path = generated ? std::string() : std::string(argv[1]);
    if (generated) {
        path = folder.FilePath("huge.wav").toStdString();
        std::printf("writing %s (%llu bytes)\n", path.c_str(), static_cast<unsigned long long>(bytes));
        if (bytes < 48 || bytes > (uint64_t{1} << 32) || !bench::WriteHugeRecording(path, bytes)) return 2;
    } else if (path.front() != '/') {
        path = std::string(std::getenv("PWD") ? std::getenv("PWD") : ".") + "/" + path;
    }

    bench::BenchWindow window(argv, path);
    TMainForm& form = window.Form;
    TestWaveOutDevice::Options device;
    device.WritePace = TestWaveOutDevice::Pace::RealTime;
    form.Player.SetDevice(std::make_unique<TestWaveOutDevice>(device));
    const auto fileSize = int64_t(std::filesystem::file_size(path));
    if (fileSize > form.LargestFile()) {
        form.AskLargestFile = [&](int64_t) { return std::optional<int64_t>(fileSize); };
        form.mnuLargestFile->trigger();
        std::printf("largest file raised to %lld bytes\n", static_cast<long long>(form.LargestFile()));
    }
    QCoreApplication::processEvents();

    const double baseline = StatusMiB("VmRSS");
    std::printf("file %s, %u hardware threads, resident before opening: %.1f MiB\n", path.c_str(),
                std::thread::hardware_concurrency(), baseline);
    HugeRecordingRun run(form, baseline);

    run.Step("open (N = 1024)", [&] { form.mnuOpen->trigger(); });
    run.Step("N = 8388608", [&] { Choose(form.ComboFFTSize, kFFT8388608Index); });
    run.Step("N = 1024 again", [&] { Choose(form.ComboFFTSize, kFFT1024Index); });
    if (Refused(form)) ChooseAdmittedWidth(run, form, "two bands");
    run.Step("I/Q Spectrum", [&] { form.mnuIQSpectrum->trigger(); });
    if (Refused(form)) ChooseAdmittedWidth(run, form, "I/Q");
    run.Step("I/Q Spectrum off", [&] { form.mnuIQSpectrum->trigger(); });
    run.Step("play start (+1 s)", [&] {
        form.sbPlayMemory->click();
        ProcessUntil([&] { return form.StatusText(4).startsWith(" Playing"); }, 10s);
        ProcessUntil([] { return false; }, 1s);
    });
    run.Step("play stop", [&] {
        form.sbStopPlay->click();
        ProcessUntil([&] { return form.Player.PlaybackIdle(); }, 10s);
    });
    run.Step("Fade", [&] { form.sbFade->click(); });
    run.Step("Amp", [&] { form.sbNormAmp->click(); });
    run.Step("Invert", [&] { form.sbInvertSpectr->click(); });
    run.Step("Invert Channel 1 (L)", [&] { form.mnuInvertChannel1L->trigger(); });
    run.Step("I/Q2R", [&] { form.sbIQ2Real->click(); });
    run.Step("Sin 1000 Hz", [&] { TypeAndClick(form.EditFrq, "1000", form.sbGenSin); });
    run.Step("Cos 1000 Hz", [&] { TypeAndClick(form.EditFrq, "1000", form.sbGenCos); });
    run.Step("FFT_F 300..15000 Hz", [&] {
        form.EditFFTLoCut->setText("300");
        TypeAndClick(form.EditFFTHiCut, "15000", form.sbFFTHiCut);
    });
    run.Step("LPF 12000 Hz", [&] { TypeAndClick(form.EditLPF, "12000", form.sbLPFFilter); });
    run.Step("ASR 48000", [&] { TypeAndClick(form.EditASR, "48000", form.sbASR); });
    run.Step("Save", [&] { form.mnuSave->trigger(); });
    run.Step("Save Bitmap", [&] { form.sbSavePicturea->click(); });
    run.Step("Grayscale palette", [&] { form.Spectrum1Click(PaletteItem::Grayscale); });
    run.Step("recompute under Grayscale", [&] { Choose(form.ComboImageGain, 11); });
    run.Step("Reload", [&] { form.sbReload->click(); });

    std::printf("error reports: %d; %s\n", window.Errors,
                run.AnyOver() ? "some step held more than the allowed arrays"
                              : "every step within the bound");
    form.close();
    return run.AnyOver() ? 1 : 0;
}
