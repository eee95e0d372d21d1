// Finding one's way in zoom mode in the real window: the wheel and the keys zoom about the pointer or
// the view's centre and scroll, the ruler labels the frequencies in sight, a marker drawn in zoom mode
// reads as in normal mode, and "Zoom to Marker" shows the marker's rectangle.
#include "AppTestSupport.h"

#include "app/TElidedPanel.h"
#include "app/TRulerPaintBox.h"
#include "spectral/SpectrogramReadout.h"
#include "view/TRubberbandLayer.h"
#include "view/qt/TGaugeBar.h"
#include "view/qt/TImgView32.h"
#include "view/qt/TTimeScaleLayer.h"

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr double kNotch = 1.2589254117941673;

class ZoomNavigationTest : public WindowTest {
protected:
    // Two channels at 48000 Hz, N = 1024: two bands of 256 rows; 10 s make a picture wider than the view.
    TMainForm& ShownForm(size_t values = 960000) {
        TMainForm& form = NewForm();
        form.resize(800, 900);
        form.show();
        form.LoadWavFile(QString::fromStdString(WriteWav("z.wav", Tone(values, 3000, 48000), 48000, 2)));
        EXPECT_TRUE(form.ShownAxes().has_value());
        return form;
    }
    // Zoom mode at the sliders' position 60 on both axes (scale 3.98), the middle of the picture in sight.
    void ZoomIntoTheMiddle(TMainForm& form) {
        form.sbImageMode->click();
        form.gbPositionX->SetPosition(60);
        form.gbPositionY->SetPosition(60);
        const TViewPlacement p = form.SrcImage->Placement();
        const QWidget* viewport = form.SrcImage->viewport();
        form.SrcImage->SetOffset(-double(p.Width - viewport->width()) / 2,
                                 -double(p.Height - viewport->height()) / 2);
    }
    static void Wheel(TMainForm& form, QPoint at, int notches, Qt::KeyboardModifiers modifiers) {
        QWidget* viewport = form.SrcImage->viewport();
        QWheelEvent event(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
    static void RightDrag(TMainForm& form, QPoint from, QPoint to) {
        QTest::mousePress(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, from);
        QTest::mouseMove(form.SrcImage->viewport(), to);
        QTest::mouseRelease(form.SrcImage->viewport(), Qt::RightButton, Qt::NoModifier, to);
    }
    // The view point nearest the middle of picture pixel (column, row).
    static QPoint OverPixel(TMainForm& form, int column, int row) {
        const TViewPlacement p = form.SrcImage->Placement();
        return {int(std::lround(p.Left + (column + 0.5) * p.FactorX())),
                int(std::lround(p.Top + (row + 0.5) * p.FactorY()))};
    }
    static int SliderFor(float scale) { return int(std::lround(100 * std::log10(double(scale)))); }
};

struct WheelCase {
    bool Frequency;      // with Ctrl: the frequency axis
    double PointerShare; // where the pointer stands across the view
    int Notches;         // up zooms in
};

class WheelAboutThePointer : public ZoomNavigationTest, public ::testing::WithParamInterface<WheelCase> {};

} // namespace

TEST_P(WheelAboutThePointer, KeepsThePointUnderThePointerAndTheSlidersFollow) {
    const WheelCase c = GetParam();
    TMainForm& form = ShownForm();
    ZoomIntoTheMiddle(form);
    const ZoomView before = form.SrcImage->Zoom();
    const QPoint at(int(c.PointerShare * before.X.View), int(c.PointerShare * before.Y.View));
    Wheel(form, at, c.Notches, c.Frequency ? Qt::ControlModifier : Qt::NoModifier);

    const ZoomView after = form.SrcImage->Zoom();
    const ZoomAxis& zoomed = c.Frequency ? after.Y : after.X;
    const ZoomAxis& was = c.Frequency ? before.Y : before.X;
    const ZoomAxis& other = c.Frequency ? after.X : after.Y;
    const ZoomAxis& otherWas = c.Frequency ? before.X : before.Y;
    const int pointer = c.Frequency ? at.y() : at.x();
    EXPECT_NEAR(zoomed.Scale, was.Scale * std::pow(kNotch, c.Notches), 1e-4);
    // Each notch holds the offset to whole view pixels: the point moves by less than one per notch.
    EXPECT_NEAR(zoomed.ViewAt(was.PictureAt(pointer)), pointer, 0.5 * std::abs(c.Notches));
    EXPECT_EQ(other.Scale, otherWas.Scale);
    EXPECT_EQ(other.Offset, otherWas.Offset);
    EXPECT_EQ(form.gbPositionX->Position(), SliderFor(after.X.Scale));
    EXPECT_EQ(form.gbPositionY->Position(), SliderFor(after.Y.Scale));
}

INSTANTIATE_TEST_SUITE_P(PointersAndDirections, WheelAboutThePointer,
                         ::testing::Values(WheelCase{false, 0.1, 1}, WheelCase{false, 0.5, -1},
                                           WheelCase{false, 0.9, 2}, WheelCase{false, 0.3, -2},
                                           WheelCase{true, 0.1, -1}, WheelCase{true, 0.5, 1},
                                           WheelCase{true, 0.9, -2}, WheelCase{true, 0.7, 2}));

TEST_F(ZoomNavigationTest, ShiftWheelAndKeysScrollZoomAndFit) {
    TMainForm& form = ShownForm();
    QTest::keyClick(form.SrcImage, Qt::Key_Right); // outside zoom mode the keys leave the view alone
    EXPECT_EQ(form.SrcImage->Offset(), QPointF(0, 0));
    ZoomIntoTheMiddle(form);
    const ZoomView start = form.SrcImage->Zoom();
    const double tenthX = start.X.View / 10.0;
    const double tenthY = start.Y.View / 10.0;

    Wheel(form, {10, 10}, -1, Qt::ShiftModifier); // down: later times come into sight
    EXPECT_NEAR(form.SrcImage->Zoom().X.Offset, start.X.Offset - tenthX, 0.5);
    QTest::keyClick(form.SrcImage, Qt::Key_Left);
    EXPECT_NEAR(form.SrcImage->Zoom().X.Offset, start.X.Offset, 1.0);
    QTest::keyClick(form.SrcImage, Qt::Key_Down);
    EXPECT_NEAR(form.SrcImage->Zoom().Y.Offset, start.Y.Offset - tenthY, 0.5);
    QTest::keyClick(form.SrcImage, Qt::Key_Up);
    EXPECT_NEAR(form.SrcImage->Zoom().Y.Offset, start.Y.Offset, 1.0);

    // + and - about the view's centre; with Ctrl the frequency axis.
    const struct {
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        bool Frequency;
        double Factor;
    } zooms[] = {{Qt::Key_Plus, Qt::NoModifier, false, kNotch},
                 {Qt::Key_Minus, Qt::NoModifier, false, 1 / kNotch},
                 {Qt::Key_Plus, Qt::ControlModifier, true, kNotch},
                 {Qt::Key_Minus, Qt::ControlModifier, true, 1 / kNotch}};
    for (const auto& z : zooms) {
        const ZoomView before = form.SrcImage->Zoom();
        QTest::keyClick(form.SrcImage, z.Key, z.Modifiers);
        const ZoomView after = form.SrcImage->Zoom();
        const ZoomAxis& was = z.Frequency ? before.Y : before.X;
        const ZoomAxis& now = z.Frequency ? after.Y : after.X;
        EXPECT_NEAR(now.Scale, was.Scale * z.Factor, 1e-4) << z.Key;
        EXPECT_NEAR(now.ViewAt(was.PictureAt(was.View / 2.0)), was.View / 2.0, 0.5) << z.Key;
        EXPECT_EQ((z.Frequency ? after.X : after.Y).Scale, (z.Frequency ? before.X : before.Y).Scale);
    }

    QTest::keyClick(form.SrcImage, Qt::Key_0);
    const ZoomVisibleRect all = form.SrcImage->Zoom().Visible();
    EXPECT_EQ(all.Left, 0);
    EXPECT_EQ(all.Top, 0);
    EXPECT_EQ(all.Right, form.SrcImage->Bitmap().Width());
    EXPECT_EQ(all.Bottom, form.SrcImage->Bitmap().Height());
    EXPECT_LE(form.SrcImage->Placement().Width, form.SrcImage->viewport()->width());
}

TEST_F(ZoomNavigationTest, TheRulerAndTheTimeScaleShowWhatIsInSight) {
    TMainForm& form = ShownForm();
    EXPECT_TRUE(form.RulerPaintBox->VisibleRanges().empty()); // fitted: the whole bands, as always
    ASSERT_EQ(form.RulerPaintBox->CurrentLabels().size(), 46u);
    ZoomIntoTheMiddle(form);
    EXPECT_TRUE(form.Panellr->isVisible());
    const PictureAxes axes = *form.ShownAxes();
    const double bin = 93.75;

    for (int step = 0; step < 4; ++step) {
        SCOPED_TRACE(step);
        if (step == 1) Wheel(form, {100, 200}, 3, Qt::ControlModifier);
        if (step == 2) QTest::keyClick(form.SrcImage, Qt::Key_Up);
        if (step == 3) form.SrcImage->verticalScrollBar()->setValue(0);
        const ZoomAxis y = form.SrcImage->Zoom().Y;
        const std::vector<RulerBandRange> ranges = form.RulerPaintBox->VisibleRanges();
        ASSERT_FALSE(ranges.empty());
        const RowReading top = ReadRow(axes, int32_t(std::floor(y.PictureAt(0))));
        const RowReading bottom = ReadRow(axes, int32_t(std::floor(y.PictureAt(y.View) - 1e-9)));
        EXPECT_NEAR(ranges.front().TopHz, top.Hertz, bin / 2 + 1e-6);
        EXPECT_NEAR(ranges.back().BottomHz, bottom.Hertz, bin / 2 + 1e-6);
        EXPECT_EQ(ranges.size(), size_t(bottom.Band - top.Band + 1));

        // Every value label lies within its band's part in sight.
        size_t values = 0;
        for (const RulerLabel& label : form.RulerPaintBox->CurrentLabels()) {
            if (label.Text.rfind("- ", 0) != 0) continue;
            ++values;
            const double hertz = std::stod(label.Text.substr(2)) * 1000;
            const bool inSome = std::any_of(ranges.begin(), ranges.end(), [&](const RulerBandRange& r) {
                return hertz <= r.TopHz + 1e-6 && hertz >= r.BottomHz - 1e-6 && label.Y + 6 >= r.TopY - 1 &&
                       label.Y + 6 <= r.BottomY + 1;
            });
            EXPECT_TRUE(inSome) << label.Text << " at " << label.Y;
        }
        EXPECT_GE(values, 5u);

        // The time scale's labels are those of the columns in sight.
        const ZoomAxis x = form.SrcImage->Zoom().X;
        for (const TimeTick& tick : form.TimeScale()->TicksIn(x.View)) {
            EXPECT_GE(tick.Seconds, SecondsAtPictureX(axes, x.VisibleFrom()) - 1e-9);
            EXPECT_LE(tick.Seconds, SecondsAtPictureX(axes, x.VisibleTo()) + 1e-9);
        }
    }
}

TEST_F(ZoomNavigationTest, TheComplexPictureZoomedGivesRadioFrequencies) {
    TMainForm& form = ShownForm();
    form.mnuIQSpectrum->trigger();
    form.AskCentreFrequency = [](int64_t) { return std::optional<int64_t>(7050120); };
    form.findChild<QAction*>("mnuCentreFrequency")->trigger();
    ZoomIntoTheMiddle(form);
    const std::vector<RulerBandRange> ranges = form.RulerPaintBox->VisibleRanges();
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_GT(ranges[0].TopHz, 0); // the middle of the complex picture: either side of 0 Hz
    EXPECT_LT(ranges[0].BottomHz, 0);
    bool unit = false;
    size_t values = 0;
    for (const RulerLabel& label : form.RulerPaintBox->CurrentLabels()) {
        if (label.Text == "MHz") unit = true;
        if (label.Text.rfind("- ", 0) != 0) continue;
        ++values;
        const double hertz = std::stod(label.Text.substr(2)) * 1e6 - 7050120;
        EXPECT_LE(hertz, ranges[0].TopHz + 1e-3) << label.Text;
        EXPECT_GE(hertz, ranges[0].BottomHz - 1e-3) << label.Text;
    }
    EXPECT_TRUE(unit);
    EXPECT_GE(values, 5u);
}

// 240000 frames: a picture narrower than the view, so that in both modes a view pixel is at most a
// column, and a drag between the middles of two pixels marks those pixels.
TEST_F(ZoomNavigationTest, AMarkerDrawnInZoomModeReadsAsInNormalMode) {
    TMainForm& form = ShownForm(480000);
    ASSERT_LT(form.SrcImage->Bitmap().Width(), form.SrcImage->viewport()->width());
    ASSERT_GT(form.SrcImage->Bitmap().Width(), 200);
    const struct {
        int Left, Top, Right, Bottom;
    } rectangles[] = {{10, 40, 60, 120}, {3, 300, 150, 400}, {100, 20, 101, 150}};
    for (const auto& r : rectangles) {
        SCOPED_TRACE(r.Left);
        if (form.sbImageMode->isChecked()) form.sbImageMode->click();
        RightDrag(form, OverPixel(form, r.Left, r.Top), OverPixel(form, r.Right, r.Bottom));
        const QString normal = form.MarkerPanel->FullText();
        ASSERT_FALSE(normal.isEmpty());
        QTest::mouseClick(form.RulerPaintBox, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); // hides it
        ASSERT_TRUE(form.MarkerPanel->FullText().isEmpty());

        ZoomIntoTheMiddle(form);
        const ZoomView zoom = form.SrcImage->Zoom();
        form.SrcImage->SetOffset(-r.Left * zoom.X.Factor() + 20, -r.Top * zoom.Y.Factor() + 20);
        RightDrag(form, OverPixel(form, r.Left, r.Top), OverPixel(form, r.Right, r.Bottom));
        EXPECT_TRUE(form.RubberBand()->Visible());
        EXPECT_EQ(form.MarkerPanel->FullText(), normal);
        // It stays on the same part of the picture through a zoom and a scroll.
        const TFloatRect marked = form.RubberBand()->Location();
        Wheel(form, {50, 50}, 2, Qt::NoModifier);
        QTest::keyClick(form.SrcImage, Qt::Key_Down);
        EXPECT_EQ(form.RubberBand()->Location().Left, marked.Left);
        EXPECT_EQ(form.RubberBand()->Location().Bottom, marked.Bottom);
        EXPECT_EQ(form.MarkerPanel->FullText(), normal);
    }
}

TEST_F(ZoomNavigationTest, ZoomToMarkerShowsTheMarkersRectangle) {
    TMainForm& form = ShownForm();
    QAction* item = form.findChild<QAction*>("mnuZoomToMarker");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(Caption(item), "Zoom to Marker");
    EXPECT_FALSE(item->isEnabled()); // no marker yet
    RightDrag(form, {100, 80}, {300, 200});
    EXPECT_TRUE(item->isEnabled());
    QTest::mouseClick(form.RulerPaintBox, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(item->isEnabled());
    RightDrag(form, {100, 80}, {300, 200});
    const TFloatRect marker = form.RubberBand()->Location();

    item->trigger();
    EXPECT_TRUE(form.sbImageMode->isChecked());
    const ZoomView zoom = form.SrcImage->Zoom();
    const ZoomVisibleRect shown = zoom.Visible();
    // The offsets are whole view pixels: the edges are right to half a view pixel.
    EXPECT_NEAR(shown.Left, marker.Left, 0.5 / zoom.X.Factor() + 1e-6);
    EXPECT_NEAR(shown.Right, marker.Right, 0.5 / zoom.X.Factor() + 1e-6);
    EXPECT_NEAR(shown.Top, marker.Top, 0.5 / zoom.Y.Factor() + 1e-6);
    EXPECT_NEAR(shown.Bottom, marker.Bottom, 0.5 / zoom.Y.Factor() + 1e-6);
    EXPECT_EQ(form.gbPositionX->Position(), SliderFor(zoom.X.Scale));
    // The ruler gives the marker's frequencies, the marker reads as before.
    const PictureAxes axes = *form.ShownAxes();
    const std::vector<RulerBandRange> ranges = form.RulerPaintBox->VisibleRanges();
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_NEAR(ranges[0].TopHz, ReadRow(axes, int32_t(marker.Top)).Hertz, 93.75);
    EXPECT_NEAR(ranges[0].BottomHz, ReadRow(axes, int32_t(marker.Bottom)).Hertz, 93.75);
    EXPECT_TRUE(form.RubberBand()->Visible());
}
