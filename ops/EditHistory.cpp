#include "ops/EditHistory.h"

#include <algorithm>
#include <new>
#include <unistd.h>

namespace {

StoreLayout LayoutOf(const SignalStore& store) {
    return {store.ValueCount, store.ChannelCount, store.SampleRate, store.Revision};
}

void Apply(const StoreLayout& layout, SignalStore& store) {
    store.ValueCount = layout.ValueCount;
    store.ChannelCount = layout.ChannelCount;
    store.SampleRate = layout.SampleRate;
    store.Revision = layout.Revision;
}

const std::string kNoName;

} // namespace

void EditHistory::SetBudget(std::size_t bytes) {
    budget_ = bytes;
    while (held_ > budget_ && !redo_.empty()) DropRedo();
    while (held_ > budget_ && !undo_.empty()) DropOldest();
}

bool EditHistory::Fits(const SignalStore& store) const {
    return BytesOf(store.Samples) <= budget_;
}

bool EditHistory::Begin(std::string name, const SignalStore& store, bool rewritesValues) {
    while (!redo_.empty()) DropRedo();
    const std::size_t needed = rewritesValues ? BytesOf(store.Samples) : 0;
    if (needed > budget_) {
        Clear();
        return false;
    }
    while (held_ + needed > budget_) DropOldest();
    Step step;
    step.Name = std::move(name);
    step.Before = LayoutOf(store);
    step.After = step.Before;
    step.RewritesValues = rewritesValues;
    try {
        if (rewritesValues) step.Values.assign(store.Samples.begin(), store.Samples.end());
        undo_.push_back(std::move(step));
    } catch (const std::bad_alloc&) {
        Clear();
        return false;
    }
    held_ += needed;
    return true;
}

void EditHistory::End(const SignalStore& store) {
    if (!undo_.empty()) undo_.back().After = LayoutOf(store);
}

void EditHistory::KeepAnnotations(std::string name, const SignalStore& store,
                                  const AnnotationSet& annotations) {
    while (!redo_.empty()) DropRedo();
    Step step;
    step.Name = std::move(name);
    step.Before = LayoutOf(store);
    step.After = step.Before;
    step.ChangesAnnotations = true;
    step.Annotations = annotations.Items;
    step.AnnotationRevision = annotations.Revision;
    undo_.push_back(std::move(step));
}

bool EditHistory::Undo(SignalStore& store, const AnnotationSet* annotations) {
    return MoveStep(undo_, redo_, store, annotations, true);
}

bool EditHistory::Redo(SignalStore& store, const AnnotationSet* annotations) {
    return MoveStep(redo_, undo_, store, annotations, false);
}

bool EditHistory::MoveStep(std::vector<Step>& from, std::vector<Step>& to, SignalStore& store,
                           const AnnotationSet* annotations, bool undo) {
    if (from.empty()) return false;
    Step step = std::move(from.back());
    from.pop_back();
    if (step.RewritesValues) step.Values.swap(store.Samples);
    if (step.ChangesAnnotations && annotations != nullptr) {
        step.Annotations.swap(annotations->Items);
        std::swap(step.AnnotationRevision, annotations->Revision);
    }
    Apply(undo ? step.Before : step.After, store);
    to.push_back(std::move(step));
    return true;
}

const std::string& EditHistory::UndoName() const {
    return undo_.empty() ? kNoName : undo_.back().Name;
}

const std::string& EditHistory::RedoName() const {
    return redo_.empty() ? kNoName : redo_.back().Name;
}

void EditHistory::Clear() {
    undo_.clear();
    redo_.clear();
    held_ = 0;
}

void EditHistory::DropOldest() {
    held_ -= BytesOf(undo_.front().Values);
    undo_.erase(undo_.begin());
}

// The redo state farthest from the store goes first: the others stay reachable in order.
void EditHistory::DropRedo() {
    held_ -= BytesOf(redo_.front().Values);
    redo_.erase(redo_.begin());
}

std::size_t DefaultUndoBudget() {
    constexpr std::size_t kMost = std::size_t{4} << 30;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return kMost;
    return std::min(kMost, static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize) / 4);
}
