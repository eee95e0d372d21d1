// Undo and redo of the edits: the states of the store before each edit, kept within a memory budget.
// An edit that rewrites the values keeps one copy of them; undo and redo exchange that copy with the
// store's values (no copy, no recomputation), so each kept state costs one copy of the store and
// moving between states costs nothing but the exchange. Edits of the recording's annotations take
// their place in the same sequence: they keep the annotations before them (a few bytes, not counted
// in the budget) and leave the store as it is.
#pragma once

#include "signal/Annotation.h"
#include "signal/SignalStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What an edit may change besides the values, and the revision that names the store's state.
struct StoreLayout {
    int32_t ValueCount = 0;
    uint16_t ChannelCount = 1;
    int32_t SampleRate = 48000;
    uint64_t Revision = 0;
};

// The recording's annotations and the number that names their state (a new one after each edit of
// them, the old one back on undo), as the owner keeps them.
struct AnnotationSet {
    std::vector<Annotation>& Items;
    uint64_t& Revision;
};

class EditHistory {
public:
    explicit EditHistory(std::size_t budgetBytes = 0) : budget_(budgetBytes) {}

    // The most the kept values may take, in bytes. Lowering it lets the oldest states go until the
    // rest fit.
    void SetBudget(std::size_t bytes);
    std::size_t Budget() const { return budget_; }
    // Bytes of values held by the kept states.
    std::size_t BytesHeld() const { return held_; }

    // Whether the state of `store` before an edit that rewrites its values fits the budget at all.
    bool Fits(const SignalStore& store) const;

    // Keeps the store's state before an edit named `name` (a copy of its values when the edit rewrites
    // them), after letting go of every redo state and as many of the oldest states as it takes to stay
    // within the budget. A state that does not fit, or whose copy cannot be allocated, is not kept:
    // the history is cleared and false returned (the edit cannot be undone, nor anything before it).
    bool Begin(std::string name, const SignalStore& store, bool rewritesValues);
    // Records the layout the edit begun last left (call it also when the edit stopped or failed).
    void End(const SignalStore& store);
    // Keeps the annotations before an edit of them named `name` (a copy), after letting go of every
    // redo state. The edit itself changes `annotations` afterwards; the store stays as it is.
    void KeepAnnotations(std::string name, const SignalStore& store, const AnnotationSet& annotations);

    // Undoes the last edit: the store (or, for an edit of annotations, `annotations`) becomes exactly
    // what it was before it. False when there is none.
    bool Undo(SignalStore& store, const AnnotationSet* annotations = nullptr);
    // Does the last undone edit again with the result it had. False when there is none.
    bool Redo(SignalStore& store, const AnnotationSet* annotations = nullptr);
    // Whether the edit Undo or Redo would act on changed the annotations only.
    bool UndoKeepsStore() const { return !undo_.empty() && undo_.back().ChangesAnnotations; }
    bool RedoKeepsStore() const { return !redo_.empty() && redo_.back().ChangesAnnotations; }

    // The name of the edit Undo or Redo would act on; empty when there is none.
    const std::string& UndoName() const;
    const std::string& RedoName() const;

    void Clear();

private:
    struct Step {
        std::string Name;
        StoreLayout Before;
        StoreLayout After;
        bool RewritesValues = false;
        bool ChangesAnnotations = false;
        // The annotations of the state the recording is not in, as Values (annotation edits only).
        std::vector<Annotation> Annotations;
        uint64_t AnnotationRevision = 0;
        SampleArray
            Values; // the values of the state the store is not in: before when undoable, after when redoable
    };

    static std::size_t BytesOf(const SampleArray& values) { return values.size() * sizeof(int16_t); }
    void DropOldest();
    void DropRedo();
    // Moves the newest step of `from` onto `to`, swapping its values with the store's and giving the store
    // the step's layout before (undo) or after (redo) the edit. False when `from` is empty.
    static bool MoveStep(std::vector<Step>& from, std::vector<Step>& to, SignalStore& store,
                         const AnnotationSet* annotations, bool undo);

    std::size_t budget_;
    std::size_t held_ = 0;
    std::vector<Step> undo_; // oldest first
    std::vector<Step> redo_; // most recently undone last
};

// The budget of a first start: a quarter of the machine's physical memory, at most 4 GiB.
std::size_t DefaultUndoBudget();
