#include "view/TAffineTransformation.h"

#include <algorithm>
#include <cmath>

void TAffineTransformation::Clear() {
    a_ = 1;
    b_ = 0;
    c_ = 0;
    d_ = 1;
    e_ = 0;
    f_ = 0;
}

void TAffineTransformation::Scale(double sx, double sy) {
    a_ *= sx;
    c_ *= sx;
    e_ *= sx;
    b_ *= sy;
    d_ *= sy;
    f_ *= sy;
}

void TAffineTransformation::Translate(double dx, double dy) {
    e_ += dx;
    f_ += dy;
}

TFloatPoint TAffineTransformation::Transform(TFloatPoint p) const {
    return {a_ * p.X + c_ * p.Y + e_, b_ * p.X + d_ * p.Y + f_};
}

std::optional<TFloatPoint> TAffineTransformation::ReverseTransform(TFloatPoint p) const {
    const double det = a_ * d_ - b_ * c_;
    if (det == 0 || !std::isfinite(det)) return std::nullopt;
    const double x = p.X - e_;
    const double y = p.Y - f_;
    return TFloatPoint{(d_ * x - c_ * y) / det, (a_ * y - b_ * x) / det};
}

TFloatRect TAffineTransformation::TransformedBounds() const {
    const TFloatPoint corners[4] = {
        Transform({SrcRect.Left, SrcRect.Top}), Transform({SrcRect.Right, SrcRect.Top}),
        Transform({SrcRect.Left, SrcRect.Bottom}), Transform({SrcRect.Right, SrcRect.Bottom})};
    double l = corners[0].X, r = corners[0].X, t = corners[0].Y, b = corners[0].Y;
    for (const TFloatPoint& c : corners) {
        l = std::min(l, c.X);
        r = std::max(r, c.X);
        t = std::min(t, c.Y);
        b = std::max(b, c.Y);
    }
    return {float(l), float(t), float(r), float(b)};
}
