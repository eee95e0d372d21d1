// The two overlays of the image view, each a TRotLayer placed in view pixels:
// - the play cursor: a 1-pixel wide, screen-tall white line blended at master alpha 128, created on
//   the first play and kept for the rest of the run; shown only while playing outside zoom mode;
// - the centre line: a 1-pixel tall white line twice the screen width wide, drawn opaque at half the
//   view's height while the recording has two channels.
// Both stay put when the picture is zoomed or scrolled, which is why the callers hide them in zoom
// mode.
#pragma once

#include <cstdint>

class TLayerCollection;
class TRotLayer;

// The cursor's x for a play position (index of the next value queued) over a copy of `copySize`
// values shown in a view `viewWidth` pixels wide: position / (copySize / viewWidth). 0 when the copy
// is empty.
float PlayCursorX(int64_t position, int64_t copySize, int32_t viewWidth);

class TOverlays {
public:
    explicit TOverlays(TLayerCollection& layers) : layers_(layers) {}
    TOverlays(const TOverlays&) = delete;
    TOverlays& operator=(const TOverlays&) = delete;

    // Creates the play cursor (hidden, at (0, 0)) unless it exists.
    void CreatePlayCursor(int32_t screenHeight);
    // Creates the centre line at (0, viewHeight / 2) unless it exists; it is visible when created.
    void CreateCentreLine(int32_t screenWidth, int32_t viewHeight);
    // Destroys the centre line when it exists.
    void RemoveCentreLine();

    bool PlayCursorExists() const { return playCursor_ != nullptr; }
    bool CentreLineExists() const { return centreLine_ != nullptr; }
    TRotLayer* PlayCursor() const { return playCursor_; }
    TRotLayer* CentreLine() const { return centreLine_; }

    // Each does nothing when its overlay does not exist.
    void SetPlayCursorVisible(bool visible);
    void SetCentreLineVisible(bool visible);
    void MovePlayCursor(int64_t position, int64_t copySize, int32_t viewWidth);
    // Puts the centre line at (0, viewHeight / 2), the height divided as a float.
    void PlaceCentreLine(int32_t viewHeight);

private:
    TLayerCollection& layers_;
    TRotLayer* playCursor_ = nullptr;
    TRotLayer* centreLine_ = nullptr;
};
