#include "view/TLayerCollection.h"

#include "view/TCustomLayer.h"

#include <algorithm>

TLayerCollection::TLayerCollection() = default;
TLayerCollection::~TLayerCollection() = default;

void TLayerCollection::Append(std::unique_ptr<TCustomLayer> layer) {
    layers_.push_back(std::move(layer));
    Changed();
}

void TLayerCollection::Delete(const TCustomLayer* layer) {
    const auto it =
        std::find_if(layers_.begin(), layers_.end(), [layer](const auto& l) { return l.get() == layer; });
    if (it == layers_.end()) return;
    layers_.erase(it);
    Changed();
}

int TLayerCollection::IndexOf(const TCustomLayer* layer) const {
    for (size_t i = 0; i < layers_.size(); ++i)
        if (layers_[i].get() == layer) return int(i);
    return -1;
}

void TLayerCollection::Paint(TBitmap32& buffer) const {
    for (const auto& layer : layers_)
        if (layer->Visible()) layer->Paint(buffer);
}

void TLayerCollection::Changed() const {
    if (onChange_) onChange_();
}

std::pair<double, double> TLayerCollection::ViewportScale() const {
    return scaleQuery_ ? scaleQuery_() : std::pair{1.0, 1.0};
}

std::pair<double, double> TLayerCollection::ViewportShift() const {
    return shiftQuery_ ? shiftQuery_() : std::pair{0.0, 0.0};
}
