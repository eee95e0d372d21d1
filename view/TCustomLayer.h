// The base of every overlay drawn over an image view's picture. A layer belongs to one
// TLayerCollection for its whole life; it is visible when created.
#pragma once

class TBitmap32;
class TLayerCollection;

class TCustomLayer {
public:
    explicit TCustomLayer(TLayerCollection& owner) : owner_(owner) {}
    virtual ~TCustomLayer() = default;
    TCustomLayer(const TCustomLayer&) = delete;
    TCustomLayer& operator=(const TCustomLayer&) = delete;

    TLayerCollection& LayerCollection() const { return owner_; }

    bool Visible() const { return visible_; }
    // Hides or shows the layer; a change asks the view to repaint.
    void SetVisible(bool visible);

    // Asks the view to repaint.
    void Changed();

    // Draws the layer into the view's drawing buffer (view pixels). Called on every paint of the
    // view while the layer is visible.
    virtual void Paint(TBitmap32& buffer);

private:
    TLayerCollection& owner_;
    bool visible_ = true;
};
