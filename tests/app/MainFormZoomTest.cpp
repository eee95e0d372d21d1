// Zoom mode, the sliders, the wheel, the marker rectangle and the frequency readout in the real window.
#include "AppTestSupport.h"

#include "app/TRulerPaintBox.h"
#include "view/TRotLayer.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"

#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

class ZoomTest : public WindowTest {
protected:
    // A two-channel recording at 48000 Hz, shown with N = 1024: a picture of 512 rows.
    TMainForm& ShownForm() {
        TMainForm& form = NewForm();
        form.resize(800, 900);
        form.show();
        form.LoadWavFile(QString::fromStdString(WriteWav("z.wav", Tone(96000, 3000, 48000), 48000, 2)));
        return form;
    }

    void Wheel(TMainForm& form, int notches) {
        QWidget* viewport = form.SrcImage->viewport();
        const QPointF at(20, 20);
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }

    void Press(TMainForm& form, Qt::MouseButton button, QPoint at) {
        QTest::mousePress(form.SrcImage->viewport(), button, Qt::NoModifier, at);
    }
    void Release(TMainForm& form, Qt::MouseButton button, QPoint at) {
        QTest::mouseRelease(form.SrcImage->viewport(), button, Qt::NoModifier, at);
    }
    void Move(TMainForm& form, QPoint at) { QTest::mouseMove(form.SrcImage->viewport(), at); }
};

TEST_F(ZoomTest, ZoomModeSwitchesTheViewAndItsControls) {
    TMainForm& form = ShownForm();
    ASSERT_TRUE(form.SrcImage->Overlays().CentreLineExists());
    auto* mode = Child<QToolButton>("sbImageMode");
    mode->click();
    EXPECT_EQ(form.SrcImage->ScaleMode(), TScaleMode::smScale);
    EXPECT_EQ(form.SrcImage->ScrollBarVisibility(), TScrollBarVisibility::svAlways);
    EXPECT_FALSE(Child<QWidget>("Panellr")->isHidden()); // the ruler labels the frequencies in sight
    EXPECT_FALSE(form.SrcImage->Overlays().CentreLine()->Visible());
    for (const char* name : {"gbPositionX", "gbPositionY", "sbResetZoom", "LabelXZoom", "LabelYZoom"})
        EXPECT_TRUE(Child<QWidget>(name)->isEnabled()) << name;

    mode->click();
    EXPECT_EQ(form.SrcImage->ScaleMode(), TScaleMode::smStretch);
    EXPECT_EQ(form.SrcImage->ScrollBarVisibility(), TScrollBarVisibility::svHidden);
    EXPECT_FALSE(Child<QWidget>("Panellr")->isHidden());
    EXPECT_TRUE(form.SrcImage->Overlays().CentreLine()->Visible());
    EXPECT_FALSE(form.SrcImage->Overlays().PlayCursorExists()); // nothing has played
    for (const char* name : {"gbPositionX", "gbPositionY", "sbResetZoom", "LabelXZoom", "LabelYZoom"})
        EXPECT_FALSE(Child<QWidget>(name)->isEnabled()) << name;
}

TEST_F(ZoomTest, SlidersWheelAndResetSetTheScales) {
    TMainForm& form = ShownForm();
    auto* x = Child<TGaugeBar>("gbPositionX");
    auto* y = Child<TGaugeBar>("gbPositionY");
    Wheel(form, 3); // outside zoom mode the wheel does nothing
    EXPECT_EQ(x->Position(), 0);

    // A notch zooms by 10^(1/10), ten positions of the slider.
    Child<QToolButton>("sbImageMode")->click();
    Wheel(form, 5);
    EXPECT_EQ(x->Position(), 50);
    EXPECT_NEAR(form.SrcImage->ScaleX(), 3.1622777, 1e-5);
    EXPECT_FLOAT_EQ(form.SrcImage->ScaleY(), 1.0f); // the plain wheel never changes the vertical scale
    Wheel(form, -7);
    EXPECT_EQ(x->Position(), -20);

    // The slider stops at its end; on this narrow picture (it fits at a scale above 8) the wheel goes on
    // towards ten times the fitted scale.
    x->SetPosition(99);
    Wheel(form, 3);
    EXPECT_EQ(x->Position(), 100);
    EXPECT_NEAR(form.SrcImage->ScaleX(), std::pow(10.0, 1.29), 1e-4);
    y->SetPosition(-50);
    EXPECT_NEAR(form.SrcImage->ScaleY(), 0.3162278, 1e-6);
    x->SetPosition(-100);
    EXPECT_NEAR(form.SrcImage->ScaleX(), 0.1, 1e-7);

    Child<QToolButton>("sbResetZoom")->click();
    EXPECT_EQ(x->Position(), 0);
    EXPECT_EQ(y->Position(), 0);
    EXPECT_FLOAT_EQ(form.SrcImage->ScaleX(), 1.0f);
    EXPECT_FLOAT_EQ(form.SrcImage->ScaleY(), 1.0f);

    // The scales stay across mode changes.
    x->SetPosition(30);
    Child<QToolButton>("sbImageMode")->click();
    Child<QToolButton>("sbImageMode")->click();
    EXPECT_EQ(x->Position(), 30);
    EXPECT_NEAR(form.SrcImage->ScaleX(), std::pow(10.0, 0.3), 1e-6);
}

// Two channels at 48000 Hz, N = 1024: two bands of 256 rows, each bin 2 * 48000 / 1024 = 93.75 Hz wide.
// A click writes the centre frequency of the bin of its row within the band it falls in.
TEST_F(ZoomTest, AClickReadsTheFrequencyOfItsRowWithinItsBand) {
    TMainForm& form = ShownForm();
    ASSERT_EQ(form.SrcImage->Bitmap().Height(), 512);
    Child<QToolButton>("sbImageMode")->click(); // scale 1: view row = bitmap row
    ASSERT_GT(form.SrcImage->viewport()->height(), 512);
    auto* frequency = Child<QLineEdit>("EditFrq");
    const auto clickRow = [&](int row) {
        QTest::mouseClick(form.SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, row));
        return frequency->text();
    };
    EXPECT_EQ(clickRow(0), "23906");   // bin 255 of channel 1: 23906.25
    EXPECT_EQ(clickRow(128), "11906"); // bin 127
    EXPECT_EQ(clickRow(255), "0");     // channel 1's marker row, bin 0
    EXPECT_EQ(clickRow(256), "23906"); // bin 255 of channel 2
    EXPECT_EQ(clickRow(511), "0");
    // Below the picture nothing is written.
    EXPECT_EQ(clickRow(600), "0");
    clickRow(100);
    EXPECT_EQ(clickRow(600), "14531"); // still what row 100 wrote: bin 155
    // Left clicks start no marker drag, in zoom mode as in normal mode.
    EXPECT_FALSE(form.Dragging());

    // In stretch mode the row under the pointer counts, for every button.
    Child<QToolButton>("sbImageMode")->click();
    const int height = form.SrcImage->viewport()->height();
    QTest::mouseClick(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, height / 4));
    const int row = form.SrcImage->ControlToBitmap(10, height / 4).Y;
    ASSERT_LT(row, 255);
    EXPECT_EQ(frequency->text(), QString::number(std::llrint((255 - row) * 93.75)));
}

TEST_F(ZoomTest, NoFrequencyIsReadFromAnEmptyPicture) {
    NewForm().show();
    QTest::mouseClick(Form().SrcImage->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(Child<QLineEdit>("EditFrq")->text(), "0");
}

TEST_F(ZoomTest, TheRightButtonDrawsTheMarkerRectangle) {
    TMainForm& form = ShownForm();
    EXPECT_EQ(form.RubberBand(), nullptr);
    Press(form, Qt::RightButton, {100, 80});
    ASSERT_NE(form.RubberBand(), nullptr);
    EXPECT_TRUE(form.Dragging());
    Move(form, {40, 120});
    const TFloatRect rect = form.RubberBand()->AdjustedLocation();
    EXPECT_NEAR(rect.Left, 40, 1e-3);
    EXPECT_NEAR(rect.Top, 80, 1e-3);
    EXPECT_NEAR(rect.Right, 100, 1e-3);
    EXPECT_NEAR(rect.Bottom, 120, 1e-3);
    EXPECT_TRUE(form.RubberBand()->Visible());
    Release(form, Qt::RightButton, {40, 120});
    EXPECT_FALSE(form.Dragging());

    // A left click moves the anchor but starts no drag: a following move changes nothing.
    Press(form, Qt::LeftButton, {200, 50});
    Move(form, {220, 60});
    Release(form, Qt::LeftButton, {220, 60});
    EXPECT_NEAR(form.RubberBand()->AdjustedLocation().Left, 40, 1e-3);
    EXPECT_NEAR(form.RubberBand()->AdjustedLocation().Bottom, 120, 1e-3);
    EXPECT_EQ(form.SrcImage->Layers().IndexOf(form.RubberBand()), form.SrcImage->Layers().Count() - 1);

    // A click on the ruler hides it, and the mode switches leave it hidden; in zoom mode the right
    // button draws it as in normal mode, and it stays when normal mode returns.
    QTest::mouseClick(form.RulerPaintBox, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(form.RubberBand()->Visible());
    Child<QToolButton>("sbImageMode")->click();
    EXPECT_FALSE(form.RubberBand()->Visible());
    Press(form, Qt::RightButton, {10, 10});
    EXPECT_TRUE(form.Dragging());
    Move(form, {60, 70});
    Release(form, Qt::RightButton, {60, 70});
    EXPECT_TRUE(form.RubberBand()->Visible());
    Child<QToolButton>("sbImageMode")->click();
    EXPECT_TRUE(form.RubberBand()->Visible());
}

TEST_F(ZoomTest, TheRulerShowsTheRateOfTheRecordingForEachChannel) {
    TMainForm& form = ShownForm();
    const std::vector<RulerLabel> labels = form.RulerPaintBox->CurrentLabels();
    ASSERT_EQ(labels.size(), 46u); // 22 values and "kHz" for each band
    for (size_t band : {0u, 23u}) {
        EXPECT_EQ(labels[band].Text, "- 22.0");
        EXPECT_EQ(labels[band + 21].Text, "- 1.0");
        EXPECT_EQ(labels[band + 22].Text, "kHz");
    }
    EXPECT_EQ(form.RulerPaintBox->width(), 28);
    // Light text on the ruler's grey.
    const QImage ruler = form.RulerPaintBox->grab().toImage();
    EXPECT_EQ(ruler.pixel(ruler.width() - 1, ruler.height() - 1) & 0xFFFFFFu, 0x515151u);
    int lightPixels = 0;
    for (int y = 0; y < ruler.height(); ++y)
        for (int x = 0; x < ruler.width(); ++x)
            if (qGray(ruler.pixel(x, y)) > 0xA0) ++lightPixels;
    EXPECT_GT(lightPixels, 100);
}

TEST_F(ZoomTest, TheRulersContextMenuIsThePaletteMenu) {
    TMainForm& form = ShownForm();
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = form.SrcViewPopupMenu->isVisible();
        form.SrcViewPopupMenu->close();
    });
    emit form.RulerPaintBox->customContextMenuRequested(QPoint(5, 5));
    QApplication::processEvents();
    EXPECT_TRUE(shown);
    EXPECT_EQ(form.SrcViewPopupMenu->actions().size(), 5);
    EXPECT_EQ(Caption(form.SrcViewPopupMenu->actions()[1]), "Grayscale");
}

} // namespace
