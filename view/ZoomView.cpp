#include "view/ZoomView.h"

#include "view/ViewPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

float HeldScale(double scale, const ZoomScaleLimits& limits) {
    const double held = std::clamp(scale, double(limits.Lowest), double(limits.Highest));
    return ClampViewScale(float(held));
}

} // namespace

double ZoomAxis::Factor() const {
    if (Picture <= 0) return 0.0;
    return double(ScaledExtent(Picture, Scale)) / Picture;
}

double ZoomAxis::PictureAt(double viewPosition) const {
    const double factor = Factor();
    return factor > 0 ? (viewPosition - Offset) / factor : 0.0;
}

double ZoomAxis::ViewAt(double picturePosition) const {
    return Offset + picturePosition * Factor();
}

double ZoomAxis::VisibleFrom() const {
    return std::clamp(PictureAt(0), 0.0, double(std::max(Picture, 0)));
}

double ZoomAxis::VisibleTo() const {
    return std::clamp(PictureAt(View), 0.0, double(std::max(Picture, 0)));
}

double ZoomAxis::FitScale() const {
    return Picture > 0 ? double(View) / Picture : 1.0;
}

ZoomAxis ZoomAxis::Clamped() const {
    ZoomAxis axis = *this;
    if (Picture <= 0) return axis;
    const double extent = double(ScaledExtent(Picture, Scale));
    const double lowest = std::min(0.0, double(View) - extent);
    axis.Offset = std::clamp(std::round(Offset), lowest, 0.0);
    return axis;
}

ZoomAxis ZoomAxis::ScaledAbout(float scale, double viewPosition, const ZoomScaleLimits& limits) const {
    const double kept = PictureAt(viewPosition);
    ZoomAxis axis = *this;
    axis.Scale = HeldScale(scale, limits);
    axis.Offset = viewPosition - kept * axis.Factor();
    return axis.Clamped();
}

ZoomAxis ZoomAxis::ZoomedAbout(double factor, double viewPosition, const ZoomScaleLimits& limits) const {
    return ScaledAbout(float(double(Scale) * factor), viewPosition, limits);
}

ZoomAxis ZoomAxis::ScrolledBy(double viewPixels) const {
    ZoomAxis axis = *this;
    axis.Offset -= viewPixels;
    return axis.Clamped();
}

ZoomAxis ZoomAxis::Fitted(const ZoomScaleLimits& limits) const {
    ZoomAxis axis = *this;
    axis.Scale = HeldScale(FitScale(), limits);
    // A scale rounded up to the float above could draw the picture a pixel wider than the view.
    while (axis.Picture > 0 && ScaledExtent(axis.Picture, axis.Scale) > axis.View &&
           axis.Scale > limits.Lowest)
        axis.Scale = std::nextafter(axis.Scale, 0.0f);
    axis.Offset = 0;
    return axis.Clamped();
}

ZoomAxis ZoomAxis::Showing(double from, double to, const ZoomScaleLimits& limits) const {
    if (to < from) std::swap(from, to);
    if (!(to > from) || View <= 0) return *this;
    ZoomAxis axis = *this;
    axis.Scale = HeldScale(double(View) / (to - from), limits);
    axis.Offset = View / 2.0 - (from + to) / 2.0 * axis.Factor();
    return axis.Clamped();
}

ZoomScaleLimits WindowZoomLimits(const ZoomAxis& axis) {
    ZoomScaleLimits limits;
    const float fit = float(axis.FitScale());
    limits.Lowest = std::min(limits.Lowest, fit);
    limits.Highest = std::max(limits.Highest, 10 * fit);
    return limits;
}
