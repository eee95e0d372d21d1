// Jobs on worker threads: the window stays live, commands that test Busy do nothing, "Stop Calculate"
// ends a job, a failed job returns the window to idle, and the window cannot close while a job runs.
#include "AppTestSupport.h"

#include "app/JobSequence.h"

#include "ops/EditCommand.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TImgView32.h"

#include <QFile>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

using JobTest = WindowTest;

const std::vector<const char*> kLockedButtons = {
    "sbFade",   "sbNormAmp", "sbInvertSpectr", "sbIQ2Real",   "sbGenSin",       "sbGenCos",
    "sbReload", "sbASR",     "sbFFTHiCut",     "sbLPFFilter", "sbSavePicturea", "sbSaveSignal"};
const std::vector<const char*> kLockedLists = {"ComboFFTSize", "ComboXResolution", "ComboFFTWindow",
                                               "ComboImageGain"};

// A job that runs until the window asks it to stop.
std::function<void()> JobUntilStopped(TMainForm& form) {
    return [&form] {
        while (!form.Session().Job().Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
}

TEST_F(JobTest, ControlsAreLockedWhileAJobRunsAndCommandsDoNothing) {
    TMainForm& form = NewForm();
    form.show();
    const std::string first = WriteWav("first.wav", Tone(8000, 700, 8000), 8000, 1);
    const std::string other = WriteWav("other.wav", Tone(8000, 900, 16000), 16000, 2);
    form.LoadWavFile(QString::fromStdString(first));
    int openDialogs = 0;
    form.AskOpenFileName = [&] {
        ++openDialogs;
        return QString::fromStdString(other);
    };

    bool checkedInside = false;
    WhileJobRuns(form, [&] {
        checkedInside = true;
        EXPECT_TRUE(form.Busy());
        for (const char* name : kLockedButtons) EXPECT_FALSE(Child<QWidget>(name)->isEnabled()) << name;
        for (const char* name : kLockedLists) EXPECT_FALSE(Child<QWidget>(name)->isEnabled()) << name;
        EXPECT_FALSE(Child<QAction>("mnuFilterPanel")->isEnabled());
        EXPECT_FALSE(Child<QMenu>("mnuFormatInterpretator")->isEnabled());
        EXPECT_FALSE(Child<QAction>("mnuSave")->isEnabled());
        EXPECT_TRUE(Child<QAction>("mnuShiftPanel")->isEnabled());
        EXPECT_TRUE(Child<QAction>("mnuOpen")->isEnabled());
        EXPECT_TRUE(Child<QWidget>("sbImageMode")->isEnabled());

        // Every command that tests Busy is ignored.
        const TColor32* pixels = form.Session().Spectrogram().SpectrogramBitmap.Bits();
        Child<QAction>("mnuOpen")->trigger();
        form.ComboFFTSizeChange();
        form.ComboImageGainChange();
        form.sbReloadClick();
        form.mnu2ChannelsClick();
        form.FilesDropped({QUrl::fromLocalFile(QString::fromStdString(other))});
        form.sbSaveSignalClick();
        // The edits too, with numbers typed that each of them would accept.
        const std::vector<int16_t> values(form.Session().Store().Samples.begin(),
                                          form.Session().Store().Samples.end());
        Child<QLineEdit>("EditFrq")->setText("500");
        Child<QLineEdit>("EditLPF")->setText("1000");
        Child<QLineEdit>("EditFFTHiCut")->setText("2000");
        Child<QLineEdit>("EditASR")->setText("16000");
        for (void (TMainForm::*edit)() :
             {&TMainForm::sbFadeClick, &TMainForm::sbNormAmpClick, &TMainForm::sbInvertSpectrClick,
              &TMainForm::sbIQ2RealClick, &TMainForm::sbGenSinClick, &TMainForm::sbGenCosClick,
              &TMainForm::sbLPFFilterClick, &TMainForm::sbFFTHiCutClick, &TMainForm::sbASRClick,
              &TMainForm::mnuInvertChannel1LClick, &TMainForm::mnuInvertChannel2RClick})
            (form.*edit)();
        EXPECT_TRUE(std::equal(values.begin(), values.end(), form.Session().Store().Samples.begin()));
        EXPECT_EQ(form.Session().Store().SampleRate, 8000);
        EXPECT_TRUE(form.Busy());
        EXPECT_EQ(openDialogs, 0);
        EXPECT_EQ(form.Session().Store().FileName, first);
        EXPECT_EQ(form.Session().Store().ChannelCount, 1);
        EXPECT_EQ(form.Session().Spectrogram().SpectrogramBitmap.Bits(), pixels);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(PathIn("DemoSample.wav"))));

        // The panels, the zoom and the palettes stay live.
        Child<QAction>("mnuShiftPanel")->trigger();
        EXPECT_TRUE(Child<QWidget>("ShiftPanel")->isHidden());
        Child<QToolButton>("sbImageMode")->click();
        EXPECT_EQ(form.SrcImage->ScaleMode(), TScaleMode::smScale);
        form.PaletteActions[1]->trigger();
        EXPECT_TRUE(form.PaletteActions[1]->isChecked());

        Child<QToolButton>("sbStopLoad")->click();
    });
    EXPECT_TRUE(form.RunLongJob(JobUntilStopped(form), JobLook{nullptr, std::nullopt, true}));
    EXPECT_TRUE(checkedInside);
    EXPECT_TRUE(form.StopRequested());

    form.SetBusy(false);
    for (const char* name : kLockedButtons) EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;
    for (const char* name : kLockedLists) EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(Child<QAction>("mnuSavewavAs")->isEnabled());
}

TEST_F(JobTest, TheLpfButtonIsLeftAloneWhileTheFilterPanelIsHidden) {
    TMainForm& form = NewForm();
    form.show();
    Child<QAction>("mnuFilterPanel")->trigger();
    ASSERT_TRUE(Child<QWidget>("FilterPanel")->isHidden());
    form.SetBusy(true);
    EXPECT_TRUE(Child<QWidget>("sbLPFFilter")->isEnabled());
    EXPECT_FALSE(Child<QAction>("mnuFilterPanel")->isEnabled());
    form.SetBusy(false);
}

TEST_F(JobTest, AFailedJobReturnsTheWindowToIdleAndIsReported) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("x.wav", Tone(8000, 700, 8000), 8000, 1)));
    bool ended = true;
    {
        const JobSequence sequence(form);
        ended = form.RunLongJob(
            [&form] {
                form.Session().Job().SetProgress(40);
                throw std::runtime_error("Out of sample memory");
            },
            JobLook{nullptr, std::nullopt, true});
    }
    EXPECT_FALSE(ended);
    EXPECT_FALSE(form.Busy());
    EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled());
    for (const char* name : kLockedButtons) EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;
    EXPECT_EQ(form.ProgressBar->Position(), 0);
    EXPECT_EQ(form.ProgressBar->BackColor(), clBtnShadow);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors.front(), "Out of sample memory");

    // The window works on: the next command runs normally.
    ChooseItem(Child<QComboBox>("ComboFFTSize"), 4);
    EXPECT_EQ(form.SrcImage->Bitmap().Height(), 128);
}

TEST_F(JobTest, ProgressReachesTheBarWhileTheJobRuns) {
    TMainForm& form = NewForm();
    form.show();
    std::atomic<bool> seen{false};
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (form.ProgressBar->Position() == 37) {
            seen = true;
            form.sbStopLoadClick();
        }
    });
    watcher.start(5);
    form.RunLongJob([&form] {
        form.Session().Job().SetProgress(37);
        for (int i = 0; i < 5000 && !form.Session().Job().Stopping(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_TRUE(seen);
}

// A stop pressed during an edit whose new picture is then refused is not left over for the next job:
// the next edit runs to its end, exactly as the same edit of the core with nothing stopped.
class LeftoverStopTest : public WindowTest, public ::testing::WithParamInterface<EditCommand> {};

TEST_P(LeftoverStopTest, TheNextEditRunsToItsEnd) {
    TMainForm& form = NewForm();
    form.show();
    std::vector<int16_t> iq(400000);
    for (size_t i = 0; i < iq.size(); ++i) iq[i] = int16_t((i * 7919) % 20000 - 10000);
    form.LoadWavFile(QString::fromStdString(WriteWav("iq.wav", iq, 48000, 2)));
    // N = 8388608 at "X / 4096": the new picture of every edit is refused.
    Child<QComboBox>("ComboFFTSize")->setCurrentIndex(19);
    Child<QComboBox>("ComboXResolution")->setCurrentIndex(12);

    Child<QLineEdit>("EditFrq")->setText("3000");
    WhileJobRuns(form, [&form] { form.sbStopLoadClick(); });
    form.sbGenSinClick();
    EXPECT_EQ(form.StatusText(0), " Sin stopped: the recording is changed in part.");
    ASSERT_TRUE(form.StatusText(1).startsWith(" ERRR!")) << form.StatusText(1).toStdString();
    ASSERT_FALSE(form.Busy());

    SignalStore expected;
    expected.Samples = form.Session().Store().Samples;
    expected.ValueCount = form.Session().Store().ValueCount;
    expected.ChannelCount = form.Session().Store().ChannelCount;
    expected.SampleRate = form.Session().Store().SampleRate;
    expected.FileName = form.Session().Store().FileName;
    JobControl nothingStopped;
    EditCommandInput input;
    input.Text = "5000";
    Child<QLineEdit>("EditLPF")->setText("5000");
    RunEdit(*PrepareEdit(GetParam(), input, expected, form.Session().Spectrogram().CurrentFFTSize).Edit,
            expected, form.Session().Spectrogram(), nothingStopped);

    (GetParam() == EditCommand::LPF ? form.sbLPFFilterClick() : form.sbIQ2RealClick());
    EXPECT_TRUE(
        std::equal(expected.Samples.begin(), expected.Samples.end(), form.Session().Store().Samples.begin()));
    EXPECT_EQ(form.Session().Store().ChannelCount, expected.ChannelCount);
    EXPECT_EQ(form.Session().Store().SampleRate, expected.SampleRate);
}

INSTANTIATE_TEST_SUITE_P(Edits, LeftoverStopTest, ::testing::Values(EditCommand::LPF, EditCommand::IQToReal));

// The read of a file is a job like every other: the controls are locked, a confirmed save says it was
// not made, and what works during a job (the mouse readout, the channel items, the saves) never reads
// the store the read is writing (ThreadSanitizer sees it otherwise).
TEST_F(JobTest, AFileReadLocksTheControlsAndNothingReadsTheStoreMeanwhile) {
    TMainForm& form = NewForm();
    form.show();
    const std::string first = WriteWav("first.wav", Tone(8000, 700, 8000), 8000, 1);
    const std::string second = WriteWav("second.wav", Tone(200000, 900, 16000), 16000, 2);
    form.LoadWavFile(QString::fromStdString(first));
    Child<QLineEdit>("EditFrq")->setText("1");
    form.AskSaveFileName = [this](const QString&) { return QString::fromStdString(PathIn("as.wav")); };
    bool checkedInside = false;
    WhileJobRuns(form, [&] {
        checkedInside = true;
        EXPECT_TRUE(form.Busy());
        for (const char* name : kLockedButtons) EXPECT_FALSE(Child<QWidget>(name)->isEnabled()) << name;
        EXPECT_FALSE(Child<QMenu>("mnuFormatInterpretator")->isEnabled());
        EXPECT_FALSE(Child<QAction>("mnuSavewavAs")->isEnabled());
        EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled()); // a read cannot be stopped
        form.mnuSavewavAsClick();
        EXPECT_EQ(form.StatusText(0), " ERROR: Not Saved, A Job Is Running.");
        form.mnuSaveClick();
        form.sbSaveSignalClick();
        form.sbSavePictureaClick();
        form.SrcImageMouseDown(Qt::LeftButton, 5, 5);
        form.mnu2ChannelsClick();
        // The readout belongs to the picture shown, the first file's (8000 Hz).
        EXPECT_LE(Child<QLineEdit>("EditFrq")->text().toInt(), 4000);
    });
    form.LoadWavFile(QString::fromStdString(second));
    EXPECT_TRUE(checkedInside);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathIn("as.wav"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PathIn("DemoSample.wav"))));
    EXPECT_EQ(form.Session().Store().ChannelCount, 2);
    EXPECT_TRUE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_FALSE(form.Busy());
}

TEST_F(JobTest, StopEndsASpectrogramEarlyAndUnlocksTheControls) {
    TMainForm& form = NewForm();
    form.show();
    // 2^21 values with N = 1048576 and "X / 16": about fifty columns of a million-point transform.
    const std::string path = WriteWav("long.wav", Tone(size_t(1) << 21, 1000, 48000), 48000, 1);
    Child<QComboBox>("ComboFFTSize")->setCurrentIndex(16);
    Child<QComboBox>("ComboXResolution")->setCurrentIndex(4);
    // Stop as soon as the spectrogram runs (the file's read is a job of its own before it).
    // "Stop Calculate" is offered from the start of the job, and a stop while the image is still
    // being prepared (its size not yet shown) is honoured.
    bool stopped = false;
    bool progressBlackDuringJob = false;
    QString imageSizeAtStop;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (stopped || !Child<QWidget>("sbStopLoad")->isEnabled()) return;
        progressBlackDuringJob = form.ProgressBar->BackColor() == clBlack;
        imageSizeAtStop = form.StatusText(1);
        stopped = true;
        Child<QToolButton>("sbStopLoad")->click();
    });
    stopper.start(1);
    form.LoadWavFile(QString::fromStdString(path));
    stopper.stop();
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(progressBlackDuringJob);
    EXPECT_EQ(imageSizeAtStop, "");
    EXPECT_FALSE(form.Busy());
    EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled());
    EXPECT_TRUE(Child<QWidget>("sbReload")->isEnabled());
    EXPECT_EQ(form.ProgressBar->Position(), 0);
    // The last column was never reached: its pixels are still those of a new image.
    const TBitmap32& shown = form.SrcImage->Bitmap();
    ASSERT_GT(shown.Width(), 40);
    EXPECT_EQ(shown.Pixel(shown.Width() - 1, 0), 0u);
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 48000");
}

TEST_F(JobTest, TheWindowDoesNotCloseWhileAJobRuns) {
    TMainForm& form = NewForm();
    form.show();
    bool closed = true;
    form.SetBusy(true);
    WhileJobRuns(form, [&] { closed = form.close(); });
    form.RunLongJob(JobUntilStopped(form)); // the refused close asks the job to stop
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(StoredSettings().contains("FFTSize")); // nothing written by the refused close
    form.SetBusy(false);
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(StoredSettings().contains("FFTSize"));
}

} // namespace
