// Pixels of the progress bar, against values worked out by hand from the drawing rules: frame, trough
// with its dark inner edge, bar length, vertical shading, raised edge and separator.
#include "view/ProgressBarDrawing.h"
#include "view/TBitmap32.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor32 kFrame = 0xFF000000u;
constexpr TColor32 kBack = 0xFF808080u;
constexpr TColor32 kDark = 0xFF606060u;  // back lightened by -32
constexpr TColor32 kLight = 0xFFA0A0A0u; // dark lightened by +64
constexpr TColor32 kLime = 0xFF00FF00u;

TProgressBarLook Look(int position) {
    TProgressBarLook look;
    look.BackPixel = kBack;
    look.BarPixel = kLime;
    look.FramePixel = kFrame;
    look.Position = position;
    return look;
}

TBitmap32 Draw(const TProgressBarLook& look, int width = 102, int height = 17) {
    TBitmap32 buffer;
    buffer.SetSize(width, height);
    DrawProgressBar(buffer, look);
    return buffer;
}

} // namespace

TEST(ProgressBarDrawing, HalfBarOnFramedControl) {
    const TBitmap32 b = Draw(Look(50));
    // frame on the outermost pixels
    for (int x = 0; x < 102; ++x) {
        EXPECT_EQ(b.Pixel(x, 0), kFrame) << x;
        EXPECT_EQ(b.Pixel(x, 16), kFrame) << x;
    }
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(b.Pixel(0, y), kFrame) << y;
        EXPECT_EQ(b.Pixel(101, y), kFrame) << y;
    }
    // bar x = 1 .. 50, separator at 51, trough after it
    EXPECT_EQ(ProgressBarRect(Look(50), 102, 17), (TIntRect{1, 1, 51, 16}));
    for (int y = 1; y < 16; ++y) EXPECT_EQ(b.Pixel(51, y), kFrame) << y;
    EXPECT_EQ(b.Pixel(52, 1), kDark);
    EXPECT_EQ(b.Pixel(100, 1), kDark);
    EXPECT_EQ(b.Pixel(60, 8), kBack);
    EXPECT_EQ(b.Pixel(100, 15), kBack); // framed: no light edge
    // middle row (mid = 8) is the plain colour
    EXPECT_EQ(b.Pixel(10, 8), kLime);
    // row 3: lightened by (8 - 3) * 64 div 15 = 21
    EXPECT_EQ(b.Pixel(10, 3), Color32(21, 255, 21));
    // top row: lightened by 29, then white at alpha 163: (255*163 + 29*92 + 127) / 255 = 173
    EXPECT_EQ(b.Pixel(10, 1), Color32(173, 255, 173));
    EXPECT_EQ(b.Pixel(50, 1), Color32(173, 255, 173));
    // bottom row: darkened by 29 to 226, then black at alpha 81: (226*174 + 127) / 255 = 154
    EXPECT_EQ(b.Pixel(10, 15), Color32(0, 154, 0));
    EXPECT_EQ(b.Pixel(1, 15), Color32(0, 154, 0));
    // left column: white at alpha 163 over lime
    EXPECT_EQ(b.Pixel(1, 8), Color32(163, 255, 163));
    // right column: black at alpha 81 over lime
    EXPECT_EQ(b.Pixel(50, 8), Color32(0, 174, 0));
}

TEST(ProgressBarDrawing, BarLengthLimits) {
    // beyond Max: full inner width, separator on the frame column
    EXPECT_EQ(ProgressBarRect(Look(150), 102, 17), (TIntRect{1, 1, 101, 16}));
    const TBitmap32 full = Draw(Look(150));
    EXPECT_EQ(full.Pixel(99, 8), kLime);
    EXPECT_EQ(full.Pixel(100, 8), Color32(0, 174, 0));
    EXPECT_EQ(full.Pixel(101, 8), kFrame);

    // at Min, or with Max not above Min: no bar and no separator
    TProgressBarLook noRange = Look(5);
    noRange.Max = 0;
    for (const TProgressBarLook& look : {Look(0), noRange}) {
        EXPECT_TRUE(ProgressBarRect(look, 102, 17).Empty());
        const TBitmap32 b = Draw(look);
        EXPECT_EQ(b.Pixel(1, 1), kDark);
        EXPECT_EQ(b.Pixel(1, 8), kDark);
        EXPECT_EQ(b.Pixel(2, 8), kBack);
        EXPECT_EQ(b.Pixel(10, 8), kBack);
    }

    // a range away from zero: 25 of 20 .. 30 is half the inner width
    TProgressBarLook shifted = Look(25);
    shifted.Min = 20;
    shifted.Max = 30;
    EXPECT_EQ(ProgressBarRect(shifted, 102, 17).Right, 51);

    // extreme values neither overflow nor reach outside the control
    TProgressBarLook extreme = Look(2147483647);
    extreme.Min = -2147483647;
    extreme.Max = 2147483647;
    EXPECT_EQ(ProgressBarRect(extreme, 102, 17).Right, 101);
    extreme.Position = 0;
    EXPECT_EQ(ProgressBarRect(extreme, 102, 17).Right, 51);
}

TEST(ProgressBarDrawing, FlatBarWithoutContrast) {
    TProgressBarLook look = Look(50);
    look.Contrast = 0;
    const TBitmap32 b = Draw(look);
    for (int y = 2; y <= 14; ++y)
        for (int x = 2; x <= 49; ++x) ASSERT_EQ(b.Pixel(x, y), kLime) << x << "," << y;
    // the raised edge still applies: top row white at 163 over plain lime
    EXPECT_EQ(b.Pixel(10, 1), Color32(163, 255, 163));
}

TEST(ProgressBarDrawing, UnframedControlHasLightInnerEdgeAndNoSeparator) {
    TProgressBarLook look = Look(50);
    look.Framed = false;
    EXPECT_EQ(ProgressBarRect(look, 102, 17), (TIntRect{0, 0, 51, 17}));
    const TBitmap32 b = Draw(look);
    EXPECT_EQ(b.Pixel(60, 0), kDark);
    EXPECT_EQ(b.Pixel(101, 0), kDark);
    EXPECT_EQ(b.Pixel(60, 16), kLight);
    EXPECT_EQ(b.Pixel(101, 8), kLight);
    EXPECT_EQ(b.Pixel(51, 8), kBack);
    EXPECT_EQ(b.Pixel(52, 8), kBack);
    // n = 17, mid = 8: row 8 plain, row 4 lightened by 4 * 64 div 17 = 15
    EXPECT_EQ(b.Pixel(20, 8), kLime);
    EXPECT_EQ(b.Pixel(20, 4), Color32(15, 255, 15));
}

TEST(ProgressBarDrawing, TinyAndEmptyBuffersAreSafe) {
    TBitmap32 empty;
    DrawProgressBar(empty, Look(50));
    EXPECT_TRUE(empty.Empty());
    const TBitmap32 two = Draw(Look(50), 2, 2); // all frame, no room for a bar
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(two.Pixel(x, y), kFrame);
    // a one-pixel bar: its top row is also its bottom row, so white at 163 and then black at 81
    // apply: (163 * 174 + 127) / 255 = 111, (255 * 174 + 127) / 255 = 174
    const TBitmap32 three = Draw(Look(100), 3, 3);
    EXPECT_EQ(three.Pixel(1, 1), Color32(111, 174, 111));
}
