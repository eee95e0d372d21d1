// How far a stopped picture got, read from its drawn columns, and the text panel 2 shows for it.
#include "spectral/StoppedPictureText.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr TColor32 kDrawn = 0xFF203040u;

// A picture `width` columns wide whose band rows [top, top + rows) are drawn in columns [0, drawn).
void Draw(TBitmap32& picture, int32_t top, int32_t rows, int32_t drawn) {
    for (int32_t y = top; y < top + rows; ++y)
        for (int32_t x = 0; x < drawn; ++x) picture.SetPixelClipped(x, y, kDrawn);
}

PictureAxes Axes(uint16_t channels, bool complex, int32_t width) {
    PictureAxes axes;
    axes.FFTSize = 16;
    axes.Hop = 16;
    axes.SampleRate = 1000;
    axes.ChannelCount = channels;
    axes.Complex = complex;
    axes.Width = width;
    axes.Height = complex ? 16 : 8;
    return axes;
}

TEST(StoppedPicture, TheDrawnColumnsAreThoseOfTheBandBeingDrawn) {
    struct Case {
        uint16_t Channels;
        bool Complex;
        int32_t UpperDrawn; // columns drawn in the upper band (the whole picture with one band)
        int32_t LowerDrawn; // in the lower band of two channels
        int64_t Expected;
    };
    for (const Case c : {Case{1, false, 37, 0, 37}, Case{1, false, 0, 0, 0}, Case{1, false, 100, 0, 100},
                         Case{2, false, 100, 12, 12}, Case{2, false, 5, 0, 5}, Case{2, true, 63, 0, 63}}) {
        const PictureAxes axes = Axes(c.Channels, c.Complex, 100);
        TBitmap32 picture;
        picture.SetSize(100, axes.Height);
        const bool twoBands = c.Channels == 2 && !c.Complex;
        const int32_t bandRows = twoBands ? axes.Height / 2 : axes.Height;
        Draw(picture, 0, bandRows, c.UpperDrawn);
        if (twoBands) Draw(picture, bandRows, bandRows, c.LowerDrawn);
        EXPECT_EQ(DrawnColumns(picture, axes), c.Expected) << c.Channels << " " << c.UpperDrawn;
    }
    EXPECT_EQ(DrawnColumns(TBitmap32(), Axes(1, false, 0)), 0);
}

TEST(StoppedPicture, TheTextSaysTheTimeReachedOfTheWholeAndKeepsTheComputationsTime) {
    const PictureAxes axes = Axes(1, false, 100);
    char reached[32];
    std::snprintf(reached, sizeof reached, "%.1f", ColumnSeconds(axes, 36));
    EXPECT_EQ(StoppedPictureText(axes, 37, 1.6, " 6310 ms"),
              std::string(" Stopped at ") + reached + " s of 1.6 s (6310 ms)");
    EXPECT_EQ(StoppedPictureText(axes, 0, 60, " 12 ms"), " Stopped at 0.0 s of 60.0 s (12 ms)");
    // Never beyond the recording's end.
    EXPECT_EQ(StoppedPictureText(axes, 100000, 1.5, " 1 ms"), " Stopped at 1.5 s of 1.5 s (1 ms)");
}

} // namespace
