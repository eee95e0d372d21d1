#include "view/Overlays.h"

#include "view/TLayerCollection.h"
#include "view/TRotLayer.h"

#include <algorithm>

namespace {

constexpr uint8_t kPlayCursorAlpha = 128;

// A temporary all-white surface of the given size.
TBitmap32 WhiteLine(int32_t width, int32_t height) {
    TBitmap32 line;
    line.SetSize(std::max(width, 1), std::max(height, 1));
    line.FillRect(0, 0, line.Width(), line.Height(), kOpaqueWhite);
    return line;
}

} // namespace

float PlayCursorX(int64_t position, int64_t copySize, int32_t viewWidth) {
    if (copySize <= 0) return 0.0f;
    return float(double(position) / (double(copySize) / double(viewWidth)));
}

void TOverlays::CreatePlayCursor(int32_t screenHeight) {
    if (playCursor_ != nullptr) return;
    TRotLayer* cursor = layers_.Add<TRotLayer>();
    cursor->SetVisible(false);
    cursor->SetBitmap(WhiteLine(1, screenHeight));
    cursor->Bitmap().SetDrawMode(TDrawMode::dmBlend);
    cursor->Bitmap().SetMasterAlpha(kPlayCursorAlpha);
    cursor->SetPosition(0, 0);
    cursor->SetScaled(false);
    playCursor_ = cursor;
}

void TOverlays::CreateCentreLine(int32_t screenWidth, int32_t viewHeight) {
    if (centreLine_ != nullptr) return;
    TRotLayer* line = layers_.Add<TRotLayer>();
    line->SetBitmap(WhiteLine(2 * std::max(screenWidth, 1), 1));
    centreLine_ = line;
    PlaceCentreLine(viewHeight);
}

void TOverlays::RemoveCentreLine() {
    if (centreLine_ == nullptr) return;
    layers_.Delete(centreLine_);
    centreLine_ = nullptr;
}

void TOverlays::SetPlayCursorVisible(bool visible) {
    if (playCursor_ != nullptr) playCursor_->SetVisible(visible);
}

void TOverlays::SetCentreLineVisible(bool visible) {
    if (centreLine_ != nullptr) centreLine_->SetVisible(visible);
}

void TOverlays::MovePlayCursor(int64_t position, int64_t copySize, int32_t viewWidth) {
    if (playCursor_ != nullptr) playCursor_->SetPosition(PlayCursorX(position, copySize, viewWidth), 0);
}

void TOverlays::PlaceCentreLine(int32_t viewHeight) {
    if (centreLine_ != nullptr) centreLine_->SetPosition(0, float(viewHeight) / 2.0f);
}
