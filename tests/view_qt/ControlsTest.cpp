// The gauge bar and the progress bar widget: position range and change events, synchronous
// redraw on a new position only, colours resolved from the widget's palette.
#include "view/qt/TG32_ProgressBar.h"
#include "view/qt/TGaugeBar.h"

#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

TEST(TGaugeBar, PositionStaysInRangeAndEveryChangeIsReported) {
    TGaugeBar bar;
    EXPECT_EQ(bar.Min(), -100);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    int changes = 0;
    QObject::connect(&bar, &TGaugeBar::Change, [&changes] { ++changes; });
    bar.SetPosition(5);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(5);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(150);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(changes, 2);
    bar.SetPosition(101);
    EXPECT_EQ(changes, 2); // still 100: no change
    bar.SetPosition(-1000);
    EXPECT_EQ(bar.Position(), -100);
    EXPECT_EQ(changes, 3);
    bar.SetRange(0, 10); // the position moves into the new range
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(changes, 4);
}

TEST(TG32_ProgressBar, DefaultsAndSynchronousRedrawOnNewPositionOnly) {
    TG32_ProgressBar bar;
    EXPECT_EQ(bar.width(), 150);
    EXPECT_EQ(bar.height(), 16);
    EXPECT_EQ(bar.BackColor(), clBtnShadow);
    EXPECT_EQ(bar.Contrast(), 64);
    EXPECT_TRUE(bar.Framed());
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.BorderStyle(), TBorderStyle::bsNone);

    bar.resize(102, 17);
    bar.SetColor(clLime);
    bar.show();
    const int before = bar.BufferPaintCount();
    bar.SetPosition(50);
    EXPECT_EQ(bar.BufferPaintCount(), before + 1); // drawn at once, without an event loop
    EXPECT_EQ(bar.Buffer().Pixel(10, 8), 0xFF00FF00u);
    EXPECT_EQ(bar.Buffer().Pixel(51, 8), ColorToPixel(bar.SystemColor(6), nullptr));
    bar.SetPosition(50);
    EXPECT_EQ(bar.BufferPaintCount(), before + 1); // unchanged position: no redraw

    // what reaches the screen is the buffer
    const QImage shown = bar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int x : {0, 10, 50, 51, 60, 101}) EXPECT_EQ(shown.pixel(x, 8), bar.Buffer().Pixel(x, 8)) << x;
}

TEST(TG32_ProgressBar, ColoursComeFromPropertiesAndPalette) {
    TG32_ProgressBar bar;
    bar.resize(102, 17);
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Dark, QColor(10, 20, 30)); // button shadow
    palette.setColor(QPalette::Shadow, QColor(1, 2, 3));  // window frame
    bar.setPalette(palette);
    EXPECT_EQ(bar.SystemColor(16), 0x001E140Au);
    EXPECT_EQ(bar.Buffer().Pixel(60, 8), Color32(10, 20, 30)); // default BackColor: button shadow
    EXPECT_EQ(bar.Buffer().Pixel(0, 0), Color32(1, 2, 3));
    bar.SetBackColor(clWhite);
    EXPECT_EQ(bar.Buffer().Pixel(60, 8), 0xFFFFFFFFu);
    bar.SetBackColor(clRed);
    EXPECT_EQ(bar.Buffer().Pixel(60, 8), 0xFFFF0000u);
    bar.SetBackColor(clBlack);
    EXPECT_EQ(bar.Buffer().Pixel(60, 8), 0xFF000000u);
    bar.SetFramed(false);
    EXPECT_EQ(bar.Buffer().Pixel(0, 8), Color32(0, 0, 0));      // dark edge of black is black
    EXPECT_EQ(bar.Buffer().Pixel(101, 8), Color32(64, 64, 64)); // light edge: dark + 64
}
