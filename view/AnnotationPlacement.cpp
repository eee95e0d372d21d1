#include "view/AnnotationPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// The annotation's samples in seconds: first and end.
std::pair<double, double> SecondsOf(const Annotation& annotation, int32_t sampleRate, int64_t frames) {
    const int64_t end = annotation.SampleCount ? annotation.SampleStart + *annotation.SampleCount : frames;
    return {double(annotation.SampleStart) / sampleRate,
            double(std::max(end, annotation.SampleStart)) / sampleRate};
}

// A radio frequency of the annotation as the picture's baseband frequency.
double BasebandHertz(const PictureAxes& axes, double hertz) {
    return hertz - double(axes.CentreHertz);
}

} // namespace

std::vector<PictureRect> AnnotationPictureRects(const PictureAxes& axes, const Annotation& annotation,
                                                int64_t frames) {
    if (!axes.Valid() || axes.SampleRate <= 0) return {};
    const auto [from, to] = SecondsOf(annotation, axes.SampleRate, frames);
    const double left = PictureXAtSeconds(axes, from);
    const double right = PictureXAtSeconds(axes, to);
    std::vector<PictureRect> rects;
    for (int32_t band = 0; band < PictureBandCount(axes); ++band) {
        const double bandTop = PictureYAtHertz(axes, band, std::numeric_limits<double>::infinity());
        const double bandBottom = PictureYAtHertz(axes, band, -std::numeric_limits<double>::infinity());
        const double top = annotation.UpperEdgeHz
                               ? PictureYAtHertz(axes, band, BasebandHertz(axes, *annotation.UpperEdgeHz))
                               : bandTop;
        const double bottom = annotation.LowerEdgeHz
                                  ? PictureYAtHertz(axes, band, BasebandHertz(axes, *annotation.LowerEdgeHz))
                                  : bandBottom;
        rects.push_back({left, std::min(top, bottom), right, std::max(top, bottom)});
    }
    return rects;
}

PictureRect MarkerRectOfAnnotation(const PictureAxes& axes, const Annotation& annotation, int64_t frames) {
    const std::vector<PictureRect> rects = AnnotationPictureRects(axes, annotation, frames);
    if (rects.empty()) return {};
    // The marker's edges are inclusive: its right and bottom edges stand on the last column and row
    // covered, not on the first ones past them.
    constexpr double kInside = 0.25;
    const PictureRect& r = rects.front();
    return {r.Left, r.Top, std::max(r.Left, r.Right - kInside), std::max(r.Top, r.Bottom - kInside)};
}

Annotation AnnotationOfBand(const ExtractRequest& band, int32_t sampleRate, int64_t centreHertz,
                            std::string label, std::string comment, std::string generator) {
    Annotation annotation;
    const auto start = std::max<int64_t>(0, std::llround(band.FromSeconds * sampleRate));
    const auto end = std::llround(band.ToSeconds * sampleRate);
    annotation.SampleStart = start;
    annotation.SampleCount = std::max<int64_t>(1, end - start);
    annotation.LowerEdgeHz = std::min(band.LowHz, band.HighHz) + double(centreHertz);
    annotation.UpperEdgeHz = std::max(band.LowHz, band.HighHz) + double(centreHertz);
    annotation.Label = std::move(label);
    annotation.Comment = std::move(comment);
    annotation.Generator = std::move(generator);
    return annotation;
}
