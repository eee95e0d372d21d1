// The geometry of the zoomed picture view, without a widget: on each axis a picture of Picture pixels
// drawn at Scale view pixels per picture pixel in a view of View pixels, its first pixel at view
// position Offset (0 or less once scrolled). From it follow the part of the picture in sight, a zoom
// that keeps one point of the picture under the same view position, a scroll, a fit of the whole
// picture, the view filled with a part of it, and the clamp that keeps the picture covering the view.
// The image view keeps its state in these terms (view/qt/TImgView32.h), and the window's wheel, keys
// and "Zoom to Marker" work through them.
#pragma once

#include <cstdint>

// The scales one axis may take.
struct ZoomScaleLimits {
    float Lowest = 0.1f;
    float Highest = 10.0f;
};

class ZoomAxis {
public:
    int32_t Picture = 0; // picture pixels
    int32_t View = 0;    // view pixels
    float Scale = 1.0f;  // as the view stores it (at least kMinViewScale)
    double Offset = 0;   // view position of the picture's first pixel

    // View pixels per picture pixel as drawn: the drawn extent (rounded to whole pixels) over the
    // picture's size; 0 for an empty picture.
    double Factor() const;
    // The picture position (in pixels, fractional) at a view position, and back.
    double PictureAt(double viewPosition) const;
    double ViewAt(double picturePosition) const;
    // The picture positions at the view's first and far edge, within 0 .. Picture.
    double VisibleFrom() const;
    double VisibleTo() const;
    // The scale at which the whole picture fills the view.
    double FitScale() const;

    // The offset rounded to whole view pixels and held so that a picture larger than the view leaves no
    // gap at its far edge and a smaller one starts at the view's first pixel.
    ZoomAxis Clamped() const;
    // The scale set to `scale` (held within `limits`) with the picture point at `viewPosition` kept there.
    ZoomAxis ScaledAbout(float scale, double viewPosition, const ZoomScaleLimits& limits) const;
    // The scale multiplied by `factor`, about `viewPosition`.
    ZoomAxis ZoomedAbout(double factor, double viewPosition, const ZoomScaleLimits& limits) const;
    // The picture moved by `viewPixels` towards its start (positive: later parts come into sight).
    ZoomAxis ScrolledBy(double viewPixels) const;
    // The whole picture in the view, at the lowest scale allowed when it cannot fit.
    ZoomAxis Fitted(const ZoomScaleLimits& limits) const;
    // Picture positions `from` .. `to` filling the view; centred in it when the scale limit stops short.
    ZoomAxis Showing(double from, double to, const ZoomScaleLimits& limits) const;
};

// The rectangle of the picture in sight, in picture pixels (fractional).
struct ZoomVisibleRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

struct ZoomView {
    ZoomAxis X;
    ZoomAxis Y;
    ZoomVisibleRect Visible() const {
        return {X.VisibleFrom(), Y.VisibleFrom(), X.VisibleTo(), Y.VisibleTo()};
    }
};

// The limits of a zoom axis in the window: the sliders' 0.1 .. 10, widened so that the whole picture
// always fits and so that one can always zoom in to ten times the fitted picture (a narrow picture in a
// wide view fits at a scale near 10 already).
ZoomScaleLimits WindowZoomLimits(const ZoomAxis& axis);
