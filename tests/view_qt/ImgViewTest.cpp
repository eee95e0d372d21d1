// The image view widget: painted pixels against the bitmap, both modes, resampling, scroll ranges
// that reach every part of the scaled picture, control-to-bitmap after scrolling, the overlays and
// the forwarded mouse, wheel and resize events.
#include "view/TRotLayer.h"
#include "view/qt/TImgView32.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr TColor32 kBackground = 0xFF102030u;

TBitmap32 Pattern(int w, int h) {
    TBitmap32 b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixelClipped(x, y,
                              Color32(uint8_t(x * 13 + y), uint8_t(y * 29 + x * 3), uint8_t(x ^ y), 255));
    return b;
}

QImage Shown(TImgView32& view) {
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

uint32_t Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

struct ViewFixture : ::testing::Test {
    TImgView32 view;
    void SetUp() override {
        view.resize(200, 100);
        view.SetBackgroundColor(kBackground);
        view.show();
        QApplication::processEvents();
    }
    void ZoomMode() {
        view.SetScaleMode(TScaleMode::smScale);
        view.SetScrollBarVisibility(TScrollBarVisibility::svAlways);
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(ViewFixture, InitialState) {
    EXPECT_EQ(view.ScaleMode(), TScaleMode::smStretch);
    EXPECT_FLOAT_EQ(view.ScaleX(), 1.0f);
    EXPECT_FLOAT_EQ(view.ScaleY(), 1.0f);
    EXPECT_EQ(view.ScrollBarVisibility(), TScrollBarVisibility::svHidden);
    EXPECT_EQ(view.Bitmap().ResamplerClassName(), "TNearestResampler");
    EXPECT_TRUE(view.Bitmap().Empty());
    EXPECT_EQ(view.viewport()->width(), 200); // no scroll bars in normal mode
    EXPECT_EQ(Rgb(Shown(view), 100, 50), kBackground & 0xFFFFFFu);
}

TEST_F(ViewFixture, ScaleOnePaintsTheBitmapsPixels) {
    const TBitmap32 source = Pattern(50, 40);
    view.SetBitmap(source);
    ZoomMode();
    const QImage shown = Shown(view);
    for (int y = 0; y < view.viewport()->height(); ++y)
        for (int x = 0; x < view.viewport()->width(); ++x) {
            const TColor32 want = x < 50 && y < 40 ? source.Pixel(x, y) : kBackground;
            ASSERT_EQ(Rgb(shown, x, y), want & 0xFFFFFFu) << x << "," << y;
        }
}

TEST_F(ViewFixture, SetBitmapCopiesAndDirectChangesRepaint) {
    TBitmap32 source = Pattern(20, 10);
    view.SetBitmap(source);
    source.Clear(0xFFFFFFFFu); // the view keeps its own copy
    ZoomMode();
    EXPECT_EQ(Rgb(Shown(view), 3, 4), Pattern(20, 10).Pixel(3, 4) & 0xFFFFFFu);
    view.Bitmap().Clear(0xFF00FF00u); // the view's own bitmap, changed directly
    EXPECT_EQ(Rgb(Shown(view), 3, 4), 0x00FF00u);
    view.Bitmap().SetSize(0, 0);
    EXPECT_EQ(Rgb(Shown(view), 3, 4), kBackground & 0xFFFFFFu);
}

TEST_F(ViewFixture, StretchModeResamplesNearestAndLinear) {
    const TBitmap32 source = Pattern(40, 25); // 200 x 100 view: 5 x 4 magnification
    view.SetBitmap(source);
    QImage shown = Shown(view);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(Rgb(shown, x, y), source.Pixel(x / 5, y / 4) & 0xFFFFFFu);
    const TBitmapPoint p = view.ControlToBitmap(102, 51);
    EXPECT_EQ(p.X, 20);
    EXPECT_EQ(p.Y, 12);

    view.SetResamplerClassName("TLinearResampler");
    shown = Shown(view);
    // the centre of view pixel 14 is source x 2.9, 0.4 of the way from column 2's centre to column
    // 3's; the centre of view row 1 lies above row 0's centre, which is used alone
    const TColor32 a = source.Pixel(2, 0), b = source.Pixel(3, 0);
    const double wantRed = RedOf(a) * 0.6 + RedOf(b) * 0.4;
    EXPECT_NEAR(int((shown.pixel(14, 1) >> 16) & 0xFF), wantRed, 1.0);
    EXPECT_EQ(Rgb(shown, 12, 1), source.Pixel(2, 0) & 0xFFFFFFu); // on a source pixel's centre
    int blended = 0;
    for (int x = 0; x < 200; ++x) blended += Rgb(shown, x, 50) != (source.Pixel(x / 5, 12) & 0xFFFFFFu);
    EXPECT_GT(blended, 100);
}

TEST_F(ViewFixture, ScaleFloorAndScaledSize) {
    view.SetBitmap(Pattern(49, 511));
    ZoomMode();
    view.SetScaleX(2.0f);
    view.SetScaleY(0.5f);
    TViewPlacement p = view.Placement();
    EXPECT_EQ(p.Width, 98);
    EXPECT_EQ(p.Height, 256);
    view.SetScaleX(0.0005f);
    EXPECT_FLOAT_EQ(view.ScaleX(), 0.001f);
    EXPECT_EQ(view.Placement().Width, 0); // 0.049 pixels
    EXPECT_EQ(Rgb(Shown(view), 0, 0), kBackground & 0xFFFFFFu);
}

TEST_F(ViewFixture, ScrollBarsReachTheWholeScaledPicture) {
    const TBitmap32 source = Pattern(400, 300);
    view.SetBitmap(source);
    ZoomMode();
    view.SetScaleX(2.0f);
    view.SetScaleY(0.5f);
    QApplication::processEvents();
    const int vw = view.viewport()->width(), vh = view.viewport()->height();
    QScrollBar* h = view.horizontalScrollBar();
    QScrollBar* v = view.verticalScrollBar();
    EXPECT_EQ(h->minimum(), 0);
    EXPECT_EQ(h->maximum() + vw, 800);
    EXPECT_EQ(v->maximum() + vh, 150);
    EXPECT_EQ(h->pageStep(), vw);

    h->setValue(h->maximum());
    v->setValue(v->maximum());
    QApplication::processEvents();
    // the last bitmap column and row are under the view's last pixels (at half height, the last
    // view row covers bitmap rows 298 and 299; its corner maps to 298, its centre to 299)
    EXPECT_EQ(view.ControlToBitmap(vw - 1, vh - 1).X, 399);
    EXPECT_EQ(view.ControlToBitmap(vw - 1, vh - 1).Y, 298);
    QImage shown = Shown(view);
    EXPECT_EQ(Rgb(shown, vw - 1, vh - 1), source.Pixel(399, 299) & 0xFFFFFFu);

    h->setValue(100);
    v->setValue(0);
    QApplication::processEvents();
    EXPECT_EQ(view.Offset().x(), -100.0);
    EXPECT_EQ(view.ControlToBitmap(0, 0).X, 50);
    EXPECT_EQ(view.ControlToBitmap(0, 0).Y, 0);
    shown = Shown(view);
    // nearest by pixel centre: x (0.5 + 100) / 2, y 0.5 * 2
    EXPECT_EQ(Rgb(shown, 0, 0), source.Pixel(50, 1) & 0xFFFFFFu);
    EXPECT_EQ(Rgb(shown, 3, 5), source.Pixel(51, 11) & 0xFFFFFFu);

    // a picture smaller than the view needs no scrolling and sits at the corner
    view.SetScaleX(0.1f);
    view.SetScaleY(0.1f);
    EXPECT_EQ(h->maximum(), 0);
    EXPECT_EQ(v->maximum(), 0);
    EXPECT_EQ(view.Placement().Left, 0);
    EXPECT_EQ(view.Placement().Top, 0);
}

TEST_F(ViewFixture, ZoomKeepsTheCentreAndNormalModeIgnoresScrolling) {
    view.SetBitmap(Pattern(400, 300));
    ZoomMode();
    view.SetScaleX(4.0f);
    const int vw = view.viewport()->width();
    view.horizontalScrollBar()->setValue(600);
    QApplication::processEvents();
    const int before = view.ControlToBitmap(vw / 2, 0).X;
    view.SetScaleX(2.0f);
    EXPECT_NEAR(view.ControlToBitmap(vw / 2, 0).X, before, 1);

    view.SetScaleMode(TScaleMode::smStretch);
    view.SetScrollBarVisibility(TScrollBarVisibility::svHidden);
    EXPECT_EQ(view.Placement().Left, 0);
    EXPECT_EQ(view.ControlToBitmap(0, 0).X, 0);
    EXPECT_EQ(view.Placement().Width, 200);
}

TEST_F(ViewFixture, OverlaysAndLayerOrder) {
    view.SetBitmap(Pattern(40, 25));
    view.CreateCentreLine();
    view.CreateCentreLine();
    EXPECT_EQ(view.Layers().Count(), 1);
    QImage shown = Shown(view);
    EXPECT_EQ(Rgb(shown, 0, 50), 0xFFFFFFu);
    EXPECT_EQ(Rgb(shown, 199, 50), 0xFFFFFFu);
    EXPECT_NE(Rgb(shown, 100, 49), 0xFFFFFFu);

    view.resize(200, 60); // the line follows half the new height
    QApplication::processEvents();
    EXPECT_FLOAT_EQ(float(view.Overlays().CentreLine()->Position().Y), 30.0f);
    shown = Shown(view);
    EXPECT_EQ(Rgb(shown, 10, 30), 0xFFFFFFu);

    // a layer created later is painted over the centre line
    TRotLayer* marker = view.Layers().Add<TRotLayer>();
    TBitmap32 red;
    red.SetSize(5, 5);
    red.Clear(0xFFFF0000u);
    marker->SetBitmap(red);
    marker->SetPosition(10, 28);
    shown = Shown(view);
    EXPECT_EQ(Rgb(shown, 10, 30), 0xFF0000u);
    EXPECT_EQ(Rgb(shown, 20, 30), 0xFFFFFFu);

    view.RemoveCentreLine();
    shown = Shown(view);
    EXPECT_NE(Rgb(shown, 20, 30), 0xFFFFFFu);
}

TEST_F(ViewFixture, PlayCursorMovesFromAnotherThread) {
    view.resize(800, 100);
    QApplication::processEvents();
    view.CreatePlayCursor();
    view.CreatePlayCursor();
    EXPECT_EQ(view.Layers().Count(), 1);
    TRotLayer* cursor = view.Overlays().PlayCursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_FALSE(cursor->Visible());
    std::thread player([this] {
        view.PostPlayCursorVisible(true);
        view.PostPlayCursorPosition(48000, 96000);
    });
    player.join();
    EXPECT_FALSE(cursor->Visible()); // nothing applied before the user-interface thread runs it
    QApplication::processEvents();
    EXPECT_TRUE(cursor->Visible());
    EXPECT_FLOAT_EQ(float(cursor->Position().X), 400.0f);
    const QImage shown = Shown(view);
    // white at alpha 128 over the background 0x102030: (255 * 128 + c * 127 + 127) / 255 per channel
    EXPECT_EQ(Rgb(shown, 400, 10), (136u << 16) | (144u << 8) | 152u);
    EXPECT_EQ(Rgb(shown, 399, 10), kBackground & 0xFFFFFFu);
    EXPECT_EQ(Rgb(shown, 401, 99), kBackground & 0xFFFFFFu);
}

TEST_F(ViewFixture, MouseWheelAndResizeAreForwarded) {
    QSignalSpy down(&view, &TImgView32::MouseDown);
    QSignalSpy move(&view, &TImgView32::MouseMove);
    QSignalSpy up(&view, &TImgView32::MouseUp);
    QSignalSpy wheelUp(&view, &TImgView32::MouseWheelUp);
    QSignalSpy wheelDown(&view, &TImgView32::MouseWheelDown);
    QSignalSpy resized(&view, &TImgView32::Resize);

    QTest::mousePress(view.viewport(), Qt::RightButton, Qt::ShiftModifier, QPoint(100, 80));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(down[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(down[0][2].toInt(), 100);
    EXPECT_EQ(down[0][3].toInt(), 80);
    QTest::mouseMove(view.viewport(), QPoint(40, 90));
    ASSERT_GE(move.count(), 1);
    EXPECT_EQ(move.last()[1].toInt(), 40);
    EXPECT_EQ(move.last()[2].toInt(), 90);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(40, 90));
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up[0][0].value<Qt::MouseButton>(), Qt::RightButton);

    const auto wheel = [this](int delta) {
        QWheelEvent event(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    };
    wheel(240); // two notches up
    EXPECT_EQ(wheelUp.count(), 2);
    wheel(60); // half notches add up
    wheel(60);
    EXPECT_EQ(wheelUp.count(), 3);
    wheel(-120);
    EXPECT_EQ(wheelDown.count(), 1);
    EXPECT_EQ(wheelDown[0][1].toPoint(), QPoint(50, 50));
    // the wheel never scrolls the view by itself
    view.SetBitmap(Pattern(400, 300));
    ZoomMode();
    view.SetScaleY(3.0f);
    const int before = view.verticalScrollBar()->value();
    wheel(-120);
    EXPECT_EQ(view.verticalScrollBar()->value(), before);

    const int resizesBefore = int(resized.count());
    view.resize(300, 150);
    QApplication::processEvents();
    EXPECT_GT(resized.count(), resizesBefore);
}
