// The time scale over the image view: labels in seconds along the bottom edge of the picture, placed
// through the view's picture scale and shift so that they follow zoom and scroll. They sit on a
// darkened strip (the picture shows through it) with white text, readable over every palette, and the
// strip ends above the picture's last row, the marker line, which stays in sight.
#pragma once

#include "view/TCustomLayer.h"
#include "view/TimeScaleTicks.h"

#include <QFont>

#include <cstdint>
#include <optional>
#include <vector>

// The picture's time axis: column x (covering x .. x + 1) is at SecondsAtLeft + x * SecondsPerColumn.
struct TTimeScaleAxis {
    double SecondsAtLeft = 0;
    double SecondsPerColumn = 0; // > 0; a picture whose columns all show one time has no scale
    int32_t PictureWidth = 0;
    int32_t PictureHeight = 0;
};

class TTimeScaleLayer : public TCustomLayer {
public:
    explicit TTimeScaleLayer(TLayerCollection& owner);

    // The axis of the picture shown, or none (nothing is drawn).
    void SetAxis(const std::optional<TTimeScaleAxis>& axis);
    const std::optional<TTimeScaleAxis>& Axis() const { return axis_; }
    void SetFont(const QFont& font);

    // Where the strip lies in a view buffer `bufferHeight` pixels tall: rows Top .. Bottom - 1; empty
    // when there is no axis or no room.
    struct Strip {
        int Top = 0;
        int Bottom = 0;
        bool Empty() const { return Bottom <= Top; }
    };
    Strip StripIn(int bufferHeight) const;
    // The labels drawn in a view buffer `bufferWidth` pixels wide, from time 0 to the picture's end.
    std::vector<TimeTick> TicksIn(int bufferWidth) const;

    void Paint(TBitmap32& buffer) override;

private:
    TimeAxisPlacement Placement() const;

    std::optional<TTimeScaleAxis> axis_;
    QFont font_;
};
