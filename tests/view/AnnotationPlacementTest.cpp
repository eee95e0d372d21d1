// Annotations on the picture: each lies where the marker rectangle lies for the same times and band,
// in the one-band, two-band and complex pictures, with and without a centre frequency.
#include "view/AnnotationPlacement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace {

struct PictureCase {
    const char* Name;
    uint16_t Channels;
    bool Complex;
    int64_t Centre;
};

void PrintTo(const PictureCase& c, std::ostream* out) {
    *out << c.Name;
}

constexpr int32_t kRate = 48000;
constexpr int32_t kFFT = 256;
constexpr int64_t kFrames = 48000; // one second

PictureAxes AxesOf(const PictureCase& c) {
    PictureAxes axes;
    axes.FFTSize = kFFT;
    axes.Hop = 200;
    axes.ChannelCount = c.Channels;
    axes.SampleRate = kRate;
    axes.Complex = c.Complex;
    axes.Height = c.Complex ? kFFT : kFFT / 2;
    axes.Width = int32_t(kFrames * c.Channels / axes.Hop);
    axes.CentreHertz = c.Centre;
    return axes;
}

class AnnotationOnPicture : public ::testing::TestWithParam<PictureCase> {};

// An annotation read back through the marker's reading gives its own times and band, to a column and a
// bin, in every band of the picture.
TEST_P(AnnotationOnPicture, ReadsBackAsTheMarkerReadsItsRectangle) {
    const PictureAxes axes = AxesOf(GetParam());
    Annotation annotation;
    annotation.SampleStart = 12000;
    annotation.SampleCount = 9600;
    annotation.LowerEdgeHz = double(GetParam().Centre) + 3000;
    annotation.UpperEdgeHz = double(GetParam().Centre) + 9000;
    const std::vector<PictureRect> rects = AnnotationPictureRects(axes, annotation, kFrames);
    ASSERT_EQ(int32_t(rects.size()), PictureBandCount(axes));
    const double column = SecondsPerColumn(axes);
    const double bin = BinHertz(axes);
    for (size_t band = 0; band < rects.size(); ++band) {
        SCOPED_TRACE(band);
        // The marker's edges are inclusive: its right and bottom edges stand on the last column and row.
        const PictureRect& r = rects[band];
        const MarkerReading m = ReadMarker(axes, {r.Left, r.Top, r.Right, r.Bottom - 1e-9});
        EXPECT_NEAR(m.StartSeconds, 0.25, column);
        EXPECT_NEAR(m.StartSeconds + m.DeltaSeconds, 0.45, column);
        EXPECT_TRUE(m.OneBand);
        EXPECT_EQ(m.Low.Band, int32_t(band));
        EXPECT_NEAR(m.Low.Hertz, 3000, bin);
        EXPECT_NEAR(m.High.Hertz, 9000, bin);
    }
}

// A band the marker marks becomes an annotation that lies over the marker's rectangle again.
TEST_P(AnnotationOnPicture, AMarkedBandMakesAnAnnotationOverTheMarker) {
    const PictureAxes axes = AxesOf(GetParam());
    const PictureRect marker{40.0, 20.0, 90.0, 60.0};
    const MarkerReading m = ReadMarker(axes, marker);
    const ExtractRequest band{m.StartSeconds, m.StartSeconds + m.DeltaSeconds, m.Low.Hertz, m.High.Hertz};
    const Annotation annotation = AnnotationOfBand(band, kRate, GetParam().Centre, "l", "c", "g");
    EXPECT_EQ(annotation.LowerEdgeHz, m.Low.Hertz + double(GetParam().Centre));
    EXPECT_EQ(annotation.Generator, "g");
    const std::vector<PictureRect> rects = AnnotationPictureRects(axes, annotation, kFrames);
    ASSERT_FALSE(rects.empty());
    // Column and row centres: the marker's edges stood within the columns and rows these cover.
    EXPECT_NEAR(rects[0].Left, 40.5, 1.0);
    EXPECT_NEAR(rects[0].Right, 90.5, 1.0);
    EXPECT_NEAR(rects[0].Top, 20.5, 1.0);
    EXPECT_NEAR(rects[0].Bottom, 60.5, 1.0);
}

// Without a band it covers the picture's whole height, band by band; without a count it runs to the
// recording's end. As the marker it reads as one band and the time it covers.
TEST_P(AnnotationOnPicture, MissingBandAndCountCoverTheHeightAndTheRest) {
    const PictureAxes axes = AxesOf(GetParam());
    Annotation annotation;
    annotation.SampleStart = 24000;
    const std::vector<PictureRect> rects = AnnotationPictureRects(axes, annotation, kFrames);
    ASSERT_EQ(int32_t(rects.size()), PictureBandCount(axes));
    EXPECT_EQ(rects.front().Top, 0.0);
    EXPECT_EQ(rects.back().Bottom, double(axes.Height));
    for (size_t band = 1; band < rects.size(); ++band) EXPECT_EQ(rects[band].Top, rects[band - 1].Bottom);
    EXPECT_DOUBLE_EQ(rects[0].Left, PictureXAtSeconds(axes, 0.5));
    EXPECT_DOUBLE_EQ(rects[0].Right, PictureXAtSeconds(axes, 1.0));

    const MarkerReading m = ReadMarker(axes, MarkerRectOfAnnotation(axes, annotation, kFrames));
    EXPECT_TRUE(m.OneBand);
    EXPECT_EQ(m.High.Band, 0);
    EXPECT_NEAR(m.StartSeconds, 0.5, SecondsPerColumn(axes));
    // The marker reads no further than the picture's last column.
    EXPECT_NEAR(m.StartSeconds + m.DeltaSeconds, ColumnSeconds(axes, axes.Width - 1), 1e-9);
    EXPECT_NEAR(m.High.Hertz - m.Low.Hertz, axes.Complex ? kRate : kRate / 2, 2 * BinHertz(axes));
}

INSTANTIATE_TEST_SUITE_P(Pictures, AnnotationOnPicture,
                         ::testing::Values(PictureCase{"OneBand", 1, false, 0},
                                           PictureCase{"TwoBands", 2, false, 0},
                                           PictureCase{"TwoBandsTuned", 2, false, 7000000},
                                           PictureCase{"Complex", 2, true, 0},
                                           PictureCase{"ComplexTuned", 2, true, 433920000}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
