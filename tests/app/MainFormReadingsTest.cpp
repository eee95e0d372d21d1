// The window's readings on recordings whose content is known: the readout under the pointer (time,
// frequency per channel, level in dBFS, also from the worker for long frames and not during a job), the
// marker's extent and its place on the picture through resizes, panels and a new FFT size, the time
// scale, and the small things: the greyed "Reload", the wheel over lists, the caption, panel 4.
#include "AppTestSupport.h"
#include "spectrogram/SpectrogramTestSupport.h"

#include "app/TElidedPanel.h"
#include "app/TRulerPaintBox.h"
#include "spectral/SpectrogramReadout.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"
#include "view/qt/TTimeScaleLayer.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace {

constexpr int kFFT1024 = 6;
constexpr int kFFT2048 = 7;

// Two channels at 48000 Hz: 15000 Hz at full scale in channel 1, 3750 Hz at -20 dB in channel 2.
std::vector<int16_t> TwoTones(size_t frames) {
    std::vector<int16_t> values;
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / 48000;
        values.push_back(int16_t(std::lround(32767 * std::sin(2 * std::numbers::pi * 15000 * t))));
        values.push_back(int16_t(std::lround(3277 * std::sin(2 * std::numbers::pi * 3750 * t))));
    }
    return values;
}

double NumberBefore(const QString& text, const QString& unit) {
    const QRegularExpression pattern(QStringLiteral("(-?[0-9]+(\\.[0-9]+)?) ") +
                                     QRegularExpression::escape(unit));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

class ReadingsTest : public WindowTest {
protected:
    TMainForm& Shown(const std::vector<int16_t>& values, int32_t rate, uint16_t channels, int fftIndex,
                     int gainIndex = 12) {
        StoredSettings().setValue("FFTSize", QString::number(fftIndex));
        StoredSettings().setValue("ImageGain", QString::number(gainIndex));
        TMainForm& form = NewForm();
        form.resize(1000, 800);
        form.show();
        form.LoadWavFile(QString::fromStdString(WriteWav("r.wav", values, rate, channels)));
        EXPECT_TRUE(form.ShownAxes().has_value());
        return form;
    }
    // The view point over the middle column of the picture and bitmap row `row`. When the stretched
    // picture has more rows than the view, zoom mode shows it; in zoom mode the picture is scrolled so
    // that the row stands near the top.
    static QPoint OverRow(TMainForm& form, int row) {
        if (form.SrcImage->Bitmap().Height() > form.SrcImage->viewport()->height() &&
            !form.sbImageMode->isChecked())
            form.sbImageMode->click();
        if (form.sbImageMode->isChecked())
            form.SrcImage->SetOffset(0, 50.0 - row * form.SrcImage->Placement().FactorY());
        const TViewPlacement placement = form.SrcImage->Placement();
        const int x = int(placement.Left + placement.Width / 2);
        for (int y = 0; y < form.SrcImage->viewport()->height(); ++y)
            if (form.SrcImage->ControlToBitmap(x, y).Y == row) return {x, y};
        ADD_FAILURE() << "no view row shows bitmap row " << row;
        return {x, 0};
    }
    // Moves the pointer to `at` (by way of the view's corner: a move to where it stands is no move).
    static void Hover(TMainForm& form, QPoint at) {
        QTest::mouseMove(form.SrcImage->viewport(), QPoint(0, 0));
        QTest::mouseMove(form.SrcImage->viewport(), at);
    }
    static QString Readout(TMainForm& form) { return form.ReadoutPanel->FullText(); }
    static QString Marker(TMainForm& form) { return form.MarkerPanel->FullText(); }
};

struct ReadoutSize {
    int FFTIndex;
    int32_t FFTSize;
    const char* Frequency[2]; // the texts the two tones' rows read
};

// The sizes read one after the other on the same window: a readout worker must not keep the window
// table of an earlier size.
struct ReadoutCase {
    std::vector<ReadoutSize> Sizes;
};

class PointerReadoutTest : public ReadingsTest, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(PointerReadoutTest, TimeFrequencyChannelAndLevelOfTheBinUnderThePointer) {
    const std::vector<ReadoutSize>& sizes = GetParam().Sizes;
    TMainForm& form = Shown(TwoTones(size_t(6) * sizes.front().FFTSize), 48000, 2, sizes.front().FFTIndex);
    for (const ReadoutSize& c : sizes) {
        SCOPED_TRACE(c.FFTSize);
        if (c.FFTIndex != form.ComboFFTSize->currentIndex()) ChooseItem(form.ComboFFTSize, c.FFTIndex);
        const PictureAxes axes = *form.ShownAxes();
        ASSERT_EQ(axes.FFTSize, c.FFTSize);
        const int32_t bandRows = c.FFTSize / 4;
        const double binHertz = 96000.0 / c.FFTSize;
        const int32_t bins[2] = {int32_t(15000 / binHertz), int32_t(3750 / binHertz)};
        const double levels[2] = {0.0, -20.0};
        const QString generator = form.EditFrq->text();
        for (int band = 0; band < 2; ++band) {
            const QPoint at = OverRow(form, band * bandRows + bandRows - 1 - bins[band]);
            const uint64_t delivered = form.LevelsDelivered();
            Hover(form, at);
            // Long frames are read on the worker; the readout then shows the level when it is ready.
            if (c.FFTSize > 65536) {
                ASSERT_TRUE(ProcessUntil([&] { return form.LevelsDelivered() > delivered; }));
            }
            ASSERT_TRUE(ProcessUntil([&] { return !std::isnan(NumberBefore(Readout(form), "dBFS")); }))
                << Readout(form).toStdString();
            const QString text = Readout(form);
            EXPECT_TRUE(text.contains(QString(c.Frequency[band]) + " Hz ch " + QString::number(band + 1)))
                << text.toStdString();
            EXPECT_NEAR(NumberBefore(text, "dBFS"), levels[band], 0.5) << text.toStdString();
            // The frame's centre: column x stands for position x * N - N/2 of the values at 96000 a
            // second, shown to a tenth of a column's step at the least.
            const int column = form.SrcImage->ControlToBitmap(at.x(), at.y()).X;
            EXPECT_NEAR(NumberBefore(text, "s"), (double(column) * c.FFTSize - c.FFTSize / 2) / 96000.0,
                        c.FFTSize / 96000.0 / 20);
        }
        EXPECT_EQ(form.EditFrq->text(), generator); // only a click writes the generator frequency
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form.SrcImage->viewport(), &leave);
    EXPECT_TRUE(Readout(form).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, PointerReadoutTest,
                         ::testing::Values(ReadoutCase{{{kFFT1024, 1024, {"15000", "3750"}}}},
                                           ReadoutCase{{{13, 131072, {"15000.00", "3750.00"}},
                                                        {14, 262144, {"15000.00", "3750.00"}}}}));

// A click on a tone's row, found lit in the picture, writes the tone's frequency: one channel and two,
// N = 16, 32 and 1024, the picture stretched over the view or zoomed.
struct ClickCase {
    uint16_t Channels;
    int32_t Rate;
    int FFTIndex;
    double Hertz;     // the tone, in channel 1, exactly at a bin
    int GainIndex;    // a gain that keeps the tone's level on the blue-to-green part of the colour ramp
    bool Zoomed;      // zoom mode, vertical scale 10^0.5
    const char* Text; // what EditFrq then reads
};

class ClickTest : public ReadingsTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickTest, AClickOnTheTonesRowWritesItsFrequency) {
    const ClickCase c = GetParam();
    const std::vector<int16_t> tone = Tone(size_t(c.Rate), c.Hertz, c.Rate);
    const std::vector<int16_t> values =
        c.Channels == 1 ? tone : spectest::Interleave(tone, std::vector<int16_t>(tone.size(), 0));
    TMainForm& form = Shown(values, c.Rate, c.Channels, c.FFTIndex, c.GainIndex);
    // The brightest row of the middle column (on that part of the ramp, blue and then green grow with
    // the level), the bands' last rows, their marker lines, left out.
    const TBitmap32& picture = form.SrcImage->Bitmap();
    const int bandRows = picture.Height() / c.Channels;
    const auto brightness = [&](int y) {
        const TColor32 pixel = picture.Pixel(picture.Width() / 2, y);
        return qRed(pixel) + qGreen(pixel) + qBlue(pixel);
    };
    int lit = 0;
    for (int y = 1; y < picture.Height(); ++y)
        if ((y + 1) % bandRows != 0 && brightness(y) > brightness(lit)) lit = y;
    if (c.Zoomed) {
        form.sbImageMode->click();
        Child<TGaugeBar>("gbPositionY")->SetPosition(50);
    }
    form.EditFrq->setText("-");
    QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, OverRow(form, lit));
    EXPECT_EQ(form.EditFrq->text(), c.Text);
}

INSTANTIATE_TEST_SUITE_P(
    Tones, ClickTest,
    ::testing::Values(ClickCase{1, 8000, 1, 1000, 21, false, "1000"}, // N = 32: bin 4
                      ClickCase{1, 8000, 1, 1000, 21, true, "1000"},
                      ClickCase{1, 48000, 0, 9000, 12, false, "9000"},  // N = 16: bin 3
                      ClickCase{2, 48000, 0, 12000, 12, true, "12000"}, // N = 16: bin 2 of 4
                      ClickCase{2, 48000, 1, 9000, 21, false, "9000"},  // N = 32: bin 3 of 8
                      ClickCase{2, 48000, kFFT1024, 15000, 24, false, "15000"},
                      ClickCase{2, 48000, kFFT1024, 15000, 24, true, "15000"}));

// "ASR" relabels the rate without a new picture: the readings follow the new rate at once.
TEST_F(ReadingsTest, TheReadingsFollowARelabelledRate) {
    TMainForm& form = Shown(TwoTones(size_t(6) * 1024), 48000, 2, kFFT1024);
    const QPoint at = OverRow(form, 256 - 1 - 160); // channel 1's tone: bin 160 of 93.75 Hz
    Hover(form, at);
    ASSERT_TRUE(Readout(form).contains("15000 Hz ch 1")) << Readout(form).toStdString();
    form.EditASR->setText("24000");
    form.sbASRClick();
    ASSERT_EQ(form.StatusText(3), "  Channels: 2  SmpleRate: 24000");
    Hover(form, at);
    EXPECT_TRUE(Readout(form).contains("7500 Hz ch 1")) << Readout(form).toStdString();
    EXPECT_EQ(form.ShownAxes()->SampleRate, 24000);
}

TEST_F(ReadingsTest, NoLevelIsReadWhileAJobMayChangeTheSamples) {
    TMainForm& form = Shown(TwoTones(6 * 131072), 48000, 2, 13);
    const QPoint at = OverRow(form, 100);
    QString duringJob;
    WhileJobRuns(form, [&] {
        Hover(form, at);
        duringJob = Readout(form);
    });
    ChooseItem(Child<QComboBox>("ComboImageGain"), 3); // a new picture, computed as a job
    EXPECT_TRUE(duringJob.contains("dBFS after the job")) << duringJob.toStdString();
    // Once the job has ended the readout reads the level where the pointer stands.
    ASSERT_TRUE(ProcessUntil([&] { return !std::isnan(NumberBefore(Readout(form), "dBFS")); }));
}

TEST_F(ReadingsTest, TheMarkerShowsItsExtentAndStaysOnTheSignal) {
    TMainForm& form = Shown(TwoTones(48000), 48000, 2, kFFT1024);
    const QPoint from = OverRow(form, 60);
    const QPoint to(from.x() + 120, OverRow(form, 140).y());
    QTest::mousePress(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, from);
    QTest::mouseMove(form.SrcImage->viewport(), to);
    QTest::mouseRelease(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, to);
    const QString text = Marker(form);
    ASSERT_TRUE(text.startsWith(QString::fromUtf8(" \u25AD "))) << text.toStdString();
    // Rows 60 and 140 of channel 1's band: bins 195 and 115 of 93.75 Hz.
    EXPECT_TRUE(text.contains(QString::fromUtf8("10781\u202618281 Hz ch 1"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("\u0394f 7500 Hz"))) << text.toStdString();
    const int columns =
        form.SrcImage->ControlToBitmap(to.x(), 0).X - form.SrcImage->ControlToBitmap(from.x(), 0).X;
    const QRegularExpression delta(QString::fromUtf8("\u0394t ([0-9.]+) s"));
    EXPECT_NEAR(delta.match(text).captured(1).toDouble(), columns * 1024 / 96000.0, 1e-3);

    // Resized, a panel hidden: the same picture rectangle, drawn where the picture now shows it.
    const TFloatRect onPicture = form.RubberBand()->Location();
    form.resize(1300, 950);
    form.mnuFilterPanel->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form.RubberBand()->Location().Left, onPicture.Left);
    EXPECT_EQ(form.RubberBand()->Location().Bottom, onPicture.Bottom);
    const TFloatRect drawn = form.RubberBand()->AdjustedLocation();
    const TViewPlacement placement = form.SrcImage->Placement();
    EXPECT_NEAR((drawn.Left - placement.Left) / placement.FactorX(), onPicture.Left, 1e-3);
    EXPECT_NEAR((drawn.Bottom - placement.Top) / placement.FactorY(), onPicture.Bottom, 1e-3);
    EXPECT_EQ(Marker(form), text);

    // A picture of another N: the marker covers the same times and frequencies, to a bin and a column.
    ChooseItem(Child<QComboBox>("ComboFFTSize"), kFFT2048);
    const QString again = Marker(form);
    const QRegularExpression low(QString::fromUtf8("([0-9]+)\u2026"));
    EXPECT_NEAR(low.match(again).captured(1).toDouble(), 10781, 2 * 93.75) << again.toStdString();
    EXPECT_NEAR(NumberBefore(again, "Hz ch 1"), 18281, 2 * 93.75) << again.toStdString();

    // Hidden by a click on the ruler, and in zoom mode: no extent is shown.
    QTest::mouseClick(form.RulerPaintBox, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_TRUE(Marker(form).isEmpty());
}

TEST_F(ReadingsTest, TheTimeScaleFollowsZoomAndScrollAndIsKept) {
    TMainForm& form = Shown(TwoTones(96000), 48000, 2, kFFT1024);
    TTimeScaleLayer* scale = form.TimeScale();
    ASSERT_TRUE(form.mnuTimeScale->isChecked());
    ASSERT_TRUE(scale->Visible());
    const PictureAxes axes = *form.ShownAxes();
    const auto checkTicks = [&] {
        const TViewPlacement placement = form.SrcImage->Placement();
        const std::vector<TimeTick> ticks = scale->TicksIn(form.SrcImage->viewport()->width());
        EXPECT_GE(ticks.size(), 2u);
        for (const TimeTick& tick : ticks) {
            const double pictureX = (tick.X - placement.Left) / placement.FactorX();
            EXPECT_NEAR(SecondsAtPictureX(axes, pictureX), tick.Seconds, 1e-9) << tick.Text;
        }
    };
    checkTicks();
    Child<QToolButton>("sbImageMode")->click();
    Child<TGaugeBar>("gbPositionX")->SetPosition(100);
    form.SrcImage->horizontalScrollBar()->setValue(300);
    checkTicks();
    EXPECT_TRUE(scale->Visible()); // shown in zoom mode too
    Child<QToolButton>("sbImageMode")->click();

    // The picture's last row, the marker line, stays in sight below the strip.
    const QImage with = form.SrcImage->viewport()->grab().toImage();
    form.mnuTimeScale->trigger();
    EXPECT_FALSE(scale->Visible());
    const QImage without = form.SrcImage->viewport()->grab().toImage();
    const TTimeScaleLayer::Strip strip = scale->StripIn(with.height());
    ASSERT_FALSE(strip.Empty());
    const TViewPlacement placement = form.SrcImage->Placement();
    bool markerInSight = false;
    for (int y = strip.Bottom; y < with.height(); ++y)
        markerInSight |= int((y + 0.5 - placement.Top) / placement.FactorY()) == axes.Height - 1;
    EXPECT_TRUE(markerInSight);
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) {
                ++changed;
                EXPECT_TRUE(y >= strip.Top && y < strip.Bottom) << x << ", " << y;
            }
    EXPECT_GT(changed, 100);

    form.close();
    EXPECT_FALSE(NewForm().mnuTimeScale->isChecked());
    EXPECT_FALSE(Form().TimeScale()->Visible());
}

TEST_F(ReadingsTest, ReloadLooksDisabledWhenLocked) {
    TMainForm& form = Shown(TwoTones(4800), 48000, 2, kFFT1024);
    const auto maroonPixels = [&] {
        const QImage image = Child<QToolButton>("sbReload")->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 90 && c.green() < 40 && c.blue() < 40;
            }
        return count;
    };
    EXPECT_GT(maroonPixels(), 5);
    form.SetBusy(true);
    EXPECT_EQ(maroonPixels(), 0);
    form.SetBusy(false);
    EXPECT_GT(maroonPixels(), 5);
}

TEST_F(ReadingsTest, TheWheelChangesAListOnlyWhenItHasTheFocus) {
    TMainForm& form = Shown(TwoTones(4800), 48000, 2, kFFT1024);
    auto* list = Child<QComboBox>("ComboFFTSize");
    const auto turn = [&](int notches) {
        const QPointF at(5, 5);
        QWheelEvent wheel(at, list->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
    };
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.SrcImage->setFocus();
    ASSERT_FALSE(list->hasFocus());
    turn(2);
    EXPECT_EQ(list->currentIndex(), kFFT1024);
    EXPECT_EQ(form.ShownAxes()->FFTSize, 1024); // nothing was computed
    list->setFocus();
    ASSERT_TRUE(list->hasFocus());
    turn(1);
    EXPECT_EQ(list->currentIndex(), kFFT2048);
    ASSERT_TRUE(ProcessUntil([&] { return !form.Busy(); }));
    EXPECT_EQ(form.ShownAxes()->FFTSize, 2048);
}

TEST_F(ReadingsTest, TheCaptionIsTheWindowsOwnAndPanelFourHoldsItsTexts) {
    // No display name: the toolkit appends nothing to the caption (a display name, once set, would
    // no longer follow the application's name).
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QCoreApplication::setApplicationName(name);

    TMainForm& form = NewForm();
    form.resize(800, 400);
    form.show();
    EXPECT_EQ(form.windowTitle(), "  Orvane+  Demo version 02");
    QLabel* panel = form.StatusPanels[4];
    for (const char* text : {" Device Error", " Stopped", " Can Not Play"}) {
        form.SetStatus(4, text);
        QApplication::processEvents();
        EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(text)) << text;
    }
    form.resize(1200, 400);
    form.SetStatus(4, " Playing Test Output Device");
    QApplication::processEvents();
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(panel->text()));
}

} // namespace

// Options > "I/Q Spectrum" on a recording of two complex tones, +6000 Hz at -6 dBFS and -12000 Hz at
// -20 dBFS (N = 1024 at 48000 Hz: bins +128 and -256 of 46.875 Hz): one band of N rows, each tone in
// the row of its signed frequency, which the readout, the click and the ruler give signed, and as
// radio frequencies once a centre frequency is known (the click still writes baseband). The choice is
// kept in the settings; off, the two bands come back.
TEST_F(ReadingsTest, TheIQSpectrumShowsSignedAndRadioFrequencies) {
    std::vector<int16_t> values;
    for (int t = 0; t < 6 * 1024; ++t) {
        const double a = 2 * std::numbers::pi * t / 1024;
        values.push_back(int16_t(std::lround(16384 * std::cos(128 * a) + 3277 * std::cos(-256 * a))));
        values.push_back(int16_t(std::lround(16384 * std::sin(128 * a) + 3277 * std::sin(-256 * a))));
    }
    TMainForm& form = Shown(values, 48000, 2, kFFT1024);
    QAction* iq = Child<QAction>("mnuIQSpectrum");
    EXPECT_EQ(Caption(iq), "I/Q Spectrum");
    EXPECT_FALSE(iq->isChecked());
    iq->trigger();
    ASSERT_TRUE(form.ShownAxes().has_value());
    EXPECT_TRUE(form.ShownAxes()->Complex);
    EXPECT_EQ(form.SrcImage->Bitmap().Height(), 1024);
    ASSERT_TRUE(form.RulerPaintBox->Complex());
    const auto rulerTexts = [&] {
        QStringList texts;
        for (const RulerLabel& label : form.RulerPaintBox->CurrentLabels())
            texts << QString::fromStdString(label.Text);
        return texts;
    };
    EXPECT_TRUE(rulerTexts().contains("- 0.0") && rulerTexts().contains("- -22.0") &&
                rulerTexts().contains("kHz"))
        << rulerTexts().join('|').toStdString();

    const struct {
        int Row;
        const char* Hertz;
        const char* Radio;
        double Dbfs;
    } tones[2] = {{511 - 128, "6000 Hz", "7.056120 MHz", -6.02},
                  {511 + 256, "-12000 Hz", "7.038120 MHz", -20.0}};
    for (const auto& tone : tones) {
        Hover(form, OverRow(form, tone.Row));
        ASSERT_TRUE(ProcessUntil([&] { return !std::isnan(NumberBefore(Readout(form), "dBFS")); }));
        EXPECT_TRUE(Readout(form).contains(QString("  ") + tone.Hertz + "  ")) << Readout(form).toStdString();
        EXPECT_NEAR(NumberBefore(Readout(form), "dBFS"), tone.Dbfs, 0.1) << Readout(form).toStdString();
    }
    QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, OverRow(form, 767));
    EXPECT_EQ(form.EditFrq->text(), "-12000");

    form.AskCentreFrequency = [](int64_t) { return std::optional<int64_t>(7050120); };
    Child<QAction>("mnuCentreFrequency")->trigger();
    // The fitted picture's ruler (zoomed, it labels round frequencies in sight instead).
    if (form.sbImageMode->isChecked()) form.sbImageMode->click();
    // Bins of 46.875 Hz: five decimals of MHz, so that the 120 Hz off the round number shows.
    EXPECT_TRUE(rulerTexts().contains("MHz") && rulerTexts().contains("- 7.05012") &&
                rulerTexts().contains("- 7.02812"))
        << rulerTexts().join('|').toStdString();
    for (const auto& tone : tones) {
        Hover(form, OverRow(form, tone.Row));
        EXPECT_TRUE(Readout(form).contains(tone.Radio)) << Readout(form).toStdString();
    }
    form.EditFrq->setText("0");
    QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, OverRow(form, 383));
    EXPECT_EQ(form.EditFrq->text(), "6000");

    ASSERT_TRUE(form.close());
    EXPECT_TRUE(NewForm().findChild<QAction*>("mnuIQSpectrum")->isChecked());
    TMainForm& again = Shown(values, 48000, 2, kFFT1024);
    EXPECT_TRUE(again.ShownAxes()->Complex);
    Child<QAction>("mnuIQSpectrum")->trigger();
    EXPECT_FALSE(again.ShownAxes()->Complex);
    EXPECT_EQ(again.SrcImage->Bitmap().Height(), 512);
    EXPECT_FALSE(again.RulerPaintBox->Complex());
}

// File > "Extract Marked Band...": nothing without a marker; with one, the marked range and band become
// a file of their own at the smallest whole rate with room for the band, opened when wanted.
TEST_F(ReadingsTest, TheMarkedBandIsExtractedAndOpened) {
    TMainForm& form = Shown(TwoTones(48000), 48000, 2, kFFT1024);
    const std::string target = Folder() + "/band.wav";
    form.AskExtractFileName = [&](const QString&) { return QString::fromStdString(target); };
    QString asked;
    form.AskOpenExtracted = [&](const QString& name) {
        asked = name;
        return true;
    };
    Child<QAction>("mnuExtract")->trigger();
    EXPECT_EQ(form.StatusText(0), " Extract: mark a time range and a band first.");
    EXPECT_FALSE(std::filesystem::exists(target));

    const QPoint from = OverRow(form, 60);
    const QPoint to(from.x() + 120, OverRow(form, 140).y());
    QTest::mousePress(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, from);
    QTest::mouseMove(form.SrcImage->viewport(), to);
    QTest::mouseRelease(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, to);
    Child<QAction>("mnuExtract")->trigger();
    // 10781 ... 18281 Hz: 7500 Hz wide, so 48000 / 5 = 9600 Hz holds 1.25 times the band.
    EXPECT_EQ(asked.toStdString(), target);
    EXPECT_EQ(form.Session().Store().FileName, target);
    EXPECT_EQ(form.Session().Store().SampleRate, 9600);
    EXPECT_EQ(form.Session().Store().ChannelCount, 2);
    EXPECT_FALSE(form.Busy());
}
