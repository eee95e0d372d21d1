// The edit commands through the real window: each runs on the store, then the picture is computed
// again and the controls unlock; refusals and typed-number errors leave the store alone.
#include "AppTestSupport.h"
#include "hardening/AllocationFailure.h"

#include "app/TRulerPaintBox.h"
#include "ops/NormalizePeak.h"
#include "view/ToolkitColor.h"
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TImgView32.h"

#include <algorithm>

namespace {

using EditTest = WindowTest;

int PeakOf(const SignalStore& store) {
    return PeakMagnitude(store.Samples);
}

// What the window shows at the first moment a job runs: panel 3, the progress bar's background and
// whether "Stop Calculate" is offered.
struct JobLook {
    QString Text;
    TColor ProgressBack = 0;
    bool StopOffered = false;
};

JobLook FirstLookOfJob(TMainForm& form, QToolButton* button) {
    JobLook look;
    bool seen = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (!form.Busy() || seen) return;
        seen = true;
        look = {form.StatusText(3), form.ProgressBar->BackColor(), form.sbStopLoad->isEnabled()};
    });
    watcher.start(0);
    button->click();
    return look;
}

TEST_F(EditTest, AmpNormalisesAndTheSpectrogramFollows) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("a.wav", Tone(8000, 700, 8000), 8000, 1)));
    const TColor32* before = form.Session().Spectrogram().SpectrogramBitmap.Bits();
    Child<QToolButton>("sbNormAmp")->click();
    EXPECT_EQ(PeakOf(form.Session().Store()), 25000);
    EXPECT_NE(form.Session().Spectrogram().SpectrogramBitmap.Bits(), before); // computed again
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(Child<QWidget>("sbFade")->isEnabled());
    EXPECT_TRUE(Child<QWidget>("ComboFFTSize")->isEnabled());
}

TEST_F(EditTest, FadeAndInvertRewriteTheValues) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("f.wav", std::vector<int16_t>(4000, 1000), 8000, 1)));
    Child<QToolButton>("sbFade")->click();
    EXPECT_EQ(form.Session().Store().Samples[0], 0); // the curve starts at 0
    EXPECT_EQ(form.Session().Store().Samples[2000], 1000);
    Child<QToolButton>("sbInvertSpectr")->click();
    EXPECT_EQ(form.Session().Store().Samples[2000], -1000); // even positions negated
    EXPECT_EQ(form.Session().Store().Samples[2001], 1000);
}

TEST_F(EditTest, TheChannelInversionsNeedTwoChannels) {
    TMainForm& form = NewForm();
    form.show();
    std::vector<int16_t> values(4000);
    for (size_t i = 0; i < values.size(); ++i) values[i] = int16_t(i % 2 == 0 ? 100 : 200);
    form.LoadWavFile(QString::fromStdString(WriteWav("s.wav", values, 8000, 2)));
    ASSERT_TRUE(Child<QAction>("mnuInvertChannel1L")->isEnabled());
    Child<QAction>("mnuInvertChannel1L")->trigger();
    EXPECT_EQ(form.Session().Store().Samples[0], -100); // frame 0, channel 1
    EXPECT_EQ(form.Session().Store().Samples[1], 200);
    EXPECT_EQ(form.Session().Store().Samples[2], 100); // frame 1 is odd
    Child<QAction>("mnuInvertChannel2R")->trigger();
    EXPECT_EQ(form.Session().Store().Samples[1], -200);
    EXPECT_FALSE(form.Busy());
}

TEST_F(EditTest, IqToRealMakesOneChannelAtTwiceTheRate) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("iq.wav", Tone(8000, 700, 8000), 8000, 2)));
    ASSERT_TRUE(form.SrcImage->Overlays().CentreLineExists());
    const JobLook look = FirstLookOfJob(form, Child<QToolButton>("sbIQ2Real"));
    EXPECT_EQ(look.Text, " Converting I/Q...");
    EXPECT_EQ(look.ProgressBack, clWhite);
    EXPECT_TRUE(look.StopOffered);
    EXPECT_EQ(form.Session().Store().ChannelCount, 1);
    EXPECT_EQ(form.Session().Store().SampleRate, 16000);
    EXPECT_FLOAT_EQ(form.RulerPaintBox->SampleRate(), 16000);
    EXPECT_TRUE(Child<QAction>("mnu1Channel")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnu2Channels")->isChecked());
    EXPECT_FALSE(Child<QAction>("mnuInvertChannel1L")->isEnabled());
    EXPECT_FALSE(form.SrcImage->Overlays().CentreLineExists());
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 16000");
    EXPECT_FALSE(form.Busy());
}

TEST_F(EditTest, ShiftsAndFiltersShowTheirJobAndEndUnlocked) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("l.wav", Tone(40000, 700, 8000), 8000, 1)));
    const std::vector<int16_t> original(form.Session().Store().Samples.begin(),
                                        form.Session().Store().Samples.end());
    struct Case {
        const char* button;
        const char* jobText;
        TColor progressBack;
    };
    for (const Case& c :
         {Case{"sbGenSin", " Sin Shift...", clWhite}, Case{"sbGenCos", " Cos Shift...", clWhite},
          Case{"sbLPFFilter", " LPF Filtring...", clWhite}, Case{"sbFFTHiCut", " FFT Filtring...", clRed}}) {
        Child<QLineEdit>("EditFrq")->setText("500");
        Child<QLineEdit>("EditLPF")->setText("1000");
        Child<QLineEdit>("EditFFTHiCut")->setText("2000");
        const JobLook look = FirstLookOfJob(form, Child<QToolButton>(c.button));
        EXPECT_EQ(look.Text, c.jobText) << c.button;
        EXPECT_EQ(look.ProgressBack, c.progressBack) << c.button;
        EXPECT_TRUE(look.StopOffered) << c.button;
        EXPECT_EQ(form.ProgressBar->BackColor(), clBtnShadow) << c.button;
        EXPECT_FALSE(form.Busy()) << c.button;
        EXPECT_TRUE(Child<QWidget>(c.button)->isEnabled()) << c.button;
        EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled()) << c.button;
        EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 8000") << c.button;
    }
    EXPECT_FALSE(std::equal(original.begin(), original.end(), form.Session().Store().Samples.begin()));
}

TEST_F(EditTest, ATypedNumberThatIsNoNumberIsReportedAndChangesNothing) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("t.wav", Tone(8000, 700, 8000), 8000, 1)));
    const std::vector<int16_t> original(form.Session().Store().Samples.begin(),
                                        form.Session().Store().Samples.end());
    Child<QLineEdit>("EditLPF")->setText("12a");
    Child<QToolButton>("sbLPFFilter")->click();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors.front().contains("'12a'")) << Errors.front().toStdString();
    EXPECT_TRUE(std::equal(original.begin(), original.end(), form.Session().Store().Samples.begin()));
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(Child<QWidget>("sbLPFFilter")->isEnabled());

    // Out of range: refused without a message.
    Child<QLineEdit>("EditFrq")->setText("9000"); // above the sample rate
    Child<QToolButton>("sbGenSin")->click();
    EXPECT_EQ(Errors.size(), 1);
    EXPECT_TRUE(std::equal(original.begin(), original.end(), form.Session().Store().Samples.begin()));
}

TEST_F(EditTest, AnEditThatRunsOutOfMemoryLeavesTheWindowIdleAndReportsIt) {
    if (!FailAllocationsFrom::Available()) GTEST_SKIP() << "operator new is not replaced in this build";
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("m.wav", Tone(40000, 700, 8000), 8000, 1)));
    const std::vector<int16_t> original(form.Session().Store().Samples.begin(),
                                        form.Session().Store().Samples.end());
    Child<QLineEdit>("EditFFTHiCut")->setText("2000");
    {
        // The filter's frames of 16384 complex values cannot be had.
        FailAllocationsFrom failing(64 * 1024);
        Child<QToolButton>("sbFFTHiCut")->click();
    }
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_FALSE(Errors.front().isEmpty());
    EXPECT_TRUE(std::equal(original.begin(), original.end(), form.Session().Store().Samples.begin()));
    EXPECT_FALSE(form.Busy());
    for (const char* name : {"sbFFTHiCut", "sbFade", "sbLPFFilter", "ComboFFTSize", "sbSaveSignal"})
        EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;
    EXPECT_FALSE(Child<QWidget>("sbStopLoad")->isEnabled());
    EXPECT_EQ(form.ProgressBar->BackColor(), clBtnShadow);
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 8000");

    // The next edit runs as usual.
    Child<QToolButton>("sbFFTHiCut")->click();
    EXPECT_EQ(Errors.size(), 1);
    EXPECT_FALSE(std::equal(original.begin(), original.end(), form.Session().Store().Samples.begin()));
    EXPECT_FALSE(form.Busy());
}

TEST_F(EditTest, AsrRelabelsTheRateWithoutANewPicture) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("r.wav", Tone(8000, 700, 8000), 8000, 1)));
    const TColor32* pixels = form.Session().Spectrogram().SpectrogramBitmap.Bits();
    Child<QLineEdit>("EditASR")->setText("22050");
    Child<QToolButton>("sbASR")->click();
    EXPECT_EQ(form.Session().Store().SampleRate, 22050);
    EXPECT_FLOAT_EQ(form.RulerPaintBox->SampleRate(), 22050);
    EXPECT_EQ(form.StatusText(3), "  Channels: 1  SmpleRate: 22050");
    EXPECT_EQ(form.Session().Spectrogram().SpectrogramBitmap.Bits(), pixels);
    Child<QLineEdit>("EditASR")->setText("4k");
    Child<QToolButton>("sbASR")->click();
    EXPECT_EQ(form.Session().Store().SampleRate, 22050);
    EXPECT_EQ(Errors.size(), 1);
}

TEST_F(EditTest, StopEndsAnEditEarlyAndThePictureIsComputedCompletely) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(
        QString::fromStdString(WriteWav("big.wav", Tone(size_t(1) << 22, 700, 48000), 48000, 1)));
    const int16_t lastBefore = form.Session().Store().Samples.back();
    bool stopped = false;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (stopped || form.StatusText(3) != " LPF Filtring...") return;
        stopped = true;
        form.sbStopLoadClick();
    });
    stopper.start(0);
    Child<QLineEdit>("EditLPF")->setText("1000");
    Child<QToolButton>("sbLPFFilter")->click();
    stopper.stop();
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(form.Busy());
    EXPECT_FALSE(form.StopRequested()); // the recomputation cleared it and ran to its end
    const TBitmap32& shown = form.SrcImage->Bitmap();
    EXPECT_NE(shown.Pixel(shown.Width() - 1, 0), 0u);
    // The values not reached kept their 0.9-scaled level, then the level was restored.
    EXPECT_NEAR(form.Session().Store().Samples.back(), lastBefore, 2);
}

// With nothing loaded every edit does nothing: no job, no lock, no error.
TEST_F(EditTest, AnEditBeforeAnyFileDoesNothing) {
    TMainForm& form = NewForm();
    form.show();
    Child<QLineEdit>("EditFrq")->setText("500");
    Child<QLineEdit>("EditLPF")->setText("1000");
    Child<QLineEdit>("EditASR")->setText("16000");
    for (void (TMainForm::*edit)() :
         {&TMainForm::sbFadeClick, &TMainForm::sbNormAmpClick, &TMainForm::sbInvertSpectrClick,
          &TMainForm::sbIQ2RealClick, &TMainForm::sbGenSinClick, &TMainForm::sbGenCosClick,
          &TMainForm::sbLPFFilterClick, &TMainForm::sbFFTHiCutClick, &TMainForm::sbASRClick,
          &TMainForm::mnuInvertChannel1LClick, &TMainForm::mnuInvertChannel2RClick,
          &TMainForm::mnu1ChannelClick, &TMainForm::mnu2ChannelsClick}) {
        (form.*edit)();
        EXPECT_FALSE(form.Busy());
        EXPECT_TRUE(Child<QWidget>("sbFade")->isEnabled());
        EXPECT_EQ(form.Session().Store().SampleRate, 48000);
        EXPECT_EQ(form.Session().Store().ChannelCount, 1);
        EXPECT_EQ(form.StatusText(3), "");
    }
    EXPECT_TRUE(Errors.isEmpty());
    form.LoadWavFile(QString::fromStdString(WriteWav("n.wav", Tone(8000, 700, 8000), 8000, 1)));
    EXPECT_TRUE(Child<QWidget>("sbFade")->isEnabled());
}

} // namespace

TEST_F(EditTest, TuneIsOfferedForTwoChannelsAndRunsAsALongJob) {
    TMainForm& form = NewForm();
    form.show();
    form.LoadWavFile(QString::fromStdString(WriteWav("mono.wav", Tone(8000, 700, 8000), 8000, 1)));
    EXPECT_FALSE(Child<QWidget>("sbTune")->isEnabled());
    form.LoadWavFile(QString::fromStdString(WriteWav("iq.wav", Tone(40000, 700, 8000), 8000, 2)));
    ASSERT_TRUE(Child<QWidget>("sbTune")->isEnabled());
    const std::vector<int16_t> original(form.Session().Store().Samples.begin(),
                                        form.Session().Store().Samples.end());
    Child<QLineEdit>("EditFrq")->setText("-500"); // what a click below 0 Hz in the I/Q view writes
    const auto look = FirstLookOfJob(form, Child<QToolButton>("sbTune"));
    EXPECT_EQ(look.Text, " Tune...");
    EXPECT_EQ(look.ProgressBack, clWhite);
    EXPECT_TRUE(look.StopOffered);
    EXPECT_FALSE(form.Busy());
    EXPECT_TRUE(Child<QWidget>("sbTune")->isEnabled());
    EXPECT_FALSE(std::equal(original.begin(), original.end(), form.Session().Store().Samples.begin()));
    EXPECT_EQ(form.Session().History().UndoName(), "Tune");
}
