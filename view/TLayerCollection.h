// The ordered set of overlay layers of one image view. Layers join at the end when created through
// Add and are painted in that order. The collection owns them; Delete destroys one. It also answers
// the layers' questions about the view: the picture's scale and shift (1, 1 and 0, 0 when the view
// supplies none).
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TBitmap32;
class TCustomLayer;

class TLayerCollection {
public:
    using ChangeHandler = std::function<void()>;
    using PairQuery = std::function<std::pair<double, double>()>;

    TLayerCollection();
    ~TLayerCollection();
    TLayerCollection(const TLayerCollection&) = delete;
    TLayerCollection& operator=(const TLayerCollection&) = delete;

    // Creates a layer of type L at the end of the collection: L's constructor takes the collection
    // first, then `args`.
    template <class L, class... Args> L* Add(Args&&... args) {
        auto layer = std::make_unique<L>(*this, std::forward<Args>(args)...);
        L* raw = layer.get();
        Append(std::move(layer));
        return raw;
    }
    // Destroys `layer` (ignored when it is not a member) and asks the view to repaint.
    void Delete(const TCustomLayer* layer);

    int Count() const { return int(layers_.size()); }
    TCustomLayer* Items(int index) const { return layers_.at(size_t(index)).get(); }
    int IndexOf(const TCustomLayer* layer) const;

    // Paints every visible layer, in collection order, into the view's drawing buffer.
    void Paint(TBitmap32& buffer) const;

    // The view connects these: a repaint request, and its picture scale and shift.
    void SetOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }
    void SetViewportScaleQuery(PairQuery query) { scaleQuery_ = std::move(query); }
    void SetViewportShiftQuery(PairQuery query) { shiftQuery_ = std::move(query); }

    // Asks the view to repaint (called by the layers when they change).
    void Changed() const;
    std::pair<double, double> ViewportScale() const;
    std::pair<double, double> ViewportShift() const;

private:
    void Append(std::unique_ptr<TCustomLayer> layer);

    std::vector<std::unique_ptr<TCustomLayer>> layers_;
    ChangeHandler onChange_;
    PairQuery scaleQuery_;
    PairQuery shiftQuery_;
};
