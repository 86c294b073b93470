#pragma once

// Private to the layers module: the state behind layers, animations and transactions.

#include "platform/layers/Layer.h"
#include "platform/layers/LayerAnimation.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ui::detail {

std::recursive_mutex& layerMutex();

// How many model layers need layout or display: while none does, a frame skips the walk that serves them.
std::atomic<std::int64_t>& pendingModelWork();

// Counts changes of any layer, so cached presentation trees know when they are stale.
std::uint64_t modelGeneration();
void noteModelChanged();

// Runs the work on the main thread: now when called there, else posted to the main run loop.
void runOnMain(std::function<void()> work);

// A transaction's completion: runs once, on the main thread, after the transaction has committed and every
// animation added while it was open has ended or been removed.
struct CompletionGroup {
    std::mutex mutex;
    std::function<void()> block;
    int pending { 0 };
    bool committed { false };
    bool ran { false };

    void join();
    void finishOne();
    void commit();

private:
    void runIfDone(std::unique_lock<std::mutex>& lock);
};

// The groups of the transactions open on this thread (an implicit one is opened when none is).
std::vector<std::shared_ptr<CompletionGroup>> openCompletionGroups();
// Layers inserted into a tree in the open transaction: committed (so later changes animate) when it ends.
void noteInserted(const std::shared_ptr<Layer>& layer);
// Layers whose layout is out of date, laid out when the outermost transaction commits on the main thread.
void noteNeedsLayout(const std::shared_ptr<Layer>& layer);
void layoutPendingLayers();

// An animation added to a layer.
struct AnimationRecord {
    fnd::String key;
    std::shared_ptr<LayerAnimation> animation;
    // A basic animation's resolved start value.
    fnd::Value from;
    // Added by the action of a changed key: a later set of that key without an action cancels it.
    bool byAction { false };
    fnd::String actionKey;
    bool started { false };
    bool finished { false };
    std::vector<std::shared_ptr<CompletionGroup>> groups;
};

// A layer that left its superlayer and stays drawn while its order-out transition runs.
struct Departure {
    std::shared_ptr<Layer> layer;
    std::size_t index { 0 };
    std::shared_ptr<Transition> transition;
    std::vector<std::shared_ptr<CompletionGroup>> groups;
};

// A presentation tree built for a root at one moment.
struct PresentationCache {
    std::uint64_t generation { 0 };
    double time { 0 };
    bool timeDependent { false };
    // Counts the passes that brought the tree up to date; each copy remembers the last one that placed it.
    std::uint64_t pass { 0 };
    // Whether the last pass went below hidden layers too. A frame leaves a hidden layer that did not change (and does
    // not animate) as it was, with everything below it, until someone asks for a copy down there.
    bool complete { false };
    std::shared_ptr<Layer> root;
};

// Tells the main run loop's animation timer to watch a layer with animations.
void watchAnimations(const std::shared_ptr<Layer>& layer);

// The blend of two values of one kind a fraction of the way; values that cannot be blended switch halfway.
fnd::Value interpolateValues(const fnd::Value& from, const fnd::Value& to, double fraction);

// Access to the private parts of layers for the module's own code.
struct LayerAccess {
    using Properties = Layer::Properties;
    static Layer::Properties& properties(Layer& l) { return l.m_p; }
    static const Layer::Properties& properties(const Layer& l) { return l.m_p; }
    static const std::vector<std::shared_ptr<Layer>>& sublayers(const Layer& l) { return l.m_sublayers; }
    static std::shared_ptr<Layer> superlayer(const Layer& l) { return l.m_superlayer.lock(); }
    static std::vector<std::shared_ptr<AnimationRecord>>& animations(Layer& l) { return l.m_animations; }
    static std::vector<std::shared_ptr<Departure>>& departures(Layer& l) { return l.m_departures; }
    static bool& needsDisplay(Layer& l) { return l.m_needsDisplay; }
    static bool& needsLayout(Layer& l) { return l.m_needsLayout; }
    static bool& committed(Layer& l) { return l.m_committed; }
    static bool isCommitted(const Layer& l)
    {
        auto lock = lockLayers();
        return l.m_committed;
    }
    static std::shared_ptr<LayerHost> host(const Layer& l) { return l.m_host.lock(); }
    static std::weak_ptr<Layer> formerSuperlayer(const Layer& l) { return l.m_formerSuperlayer; }
    static std::size_t formerIndex(const Layer& l) { return l.m_formerIndex; }
    static const std::vector<fnd::String>& animatingKeys(const Layer& l) { return l.m_animatingKeys; }
    static void setAnimatingKeys(Layer& l, std::vector<fnd::String> keys) { l.m_animatingKeys = std::move(keys); }
    static std::uint64_t changes(const Layer& l) { return l.m_changes; }
    static std::uint64_t& madeFromChanges(Layer& l) { return l.m_madeFromChanges; }
    static std::uint64_t& presentationPass(Layer& l) { return l.m_presentationPass; }
    // The model remembers what its copy was made from (see Layer::m_presentedChanges).
    static void notePresented(const Layer& model, const Layer& copy)
    {
        auto& m = const_cast<Layer&>(model);
        m.m_presentedChanges = copy.m_madeFromChanges;
        m.m_presentedStill = copy.m_animatingKeys.empty() && !copy.m_transitioned;
    }
    // Whether the pass may keep the model's copy (last, in its superlayer's copy) and everything below it unread: a
    // hidden layer that did not change since and does not animate.
    static bool keepsHiddenCopy(const Layer& model, const Layer* last, const PresentationCache& cache)
    {
        return !cache.complete && model.m_p.hidden && model.m_presentedStill
            && model.m_presentedChanges == model.m_changes && model.m_animations.empty() && model.m_departures.empty()
            && model.m_presentationOwner == &cache && model.m_presentationCopy.get() == last;
    }
    static bool& transitioned(Layer& l) { return l.m_transitioned; }
    static std::shared_ptr<Layer> modelOf(const Layer& copy) { return copy.m_model.lock(); }
    // A model layer's copy in the presentation tree that last placed it, and which tree that was.
    static std::shared_ptr<Layer>& presentationCopy(const Layer& model)
    {
        return const_cast<Layer&>(model).m_presentationCopy;
    }
    static const PresentationCache*& presentationOwner(const Layer& model)
    {
        return const_cast<Layer&>(model).m_presentationOwner;
    }
    static void setSuperlayer(Layer& l, const std::shared_ptr<Layer>& s) { l.m_superlayer = s; }
    static bool hasSuperlayer(const Layer& l, const std::shared_ptr<Layer>& s)
    {
        return !l.m_superlayer.owner_before(s) && !s.owner_before(l.m_superlayer);
    }
    static void setSublayers(Layer& l, std::vector<std::shared_ptr<Layer>> s) { l.m_sublayers = std::move(s); }
    static std::vector<std::shared_ptr<Layer>> exchangeSublayers(Layer& l, std::vector<std::shared_ptr<Layer>> s)
    {
        return std::exchange(l.m_sublayers, std::move(s));
    }
    static void treeDidChange(Layer& l) { l.treeDidChange(); }
    // Lays out the layer if it needs it, not its sublayers.
    static void layoutSelfIfNeeded(Layer& l)
    {
        {
            auto lock = lockLayers();
            if (!l.m_needsLayout)
                return;
            l.m_needsLayout = false;
            --pendingModelWork();
        }
        l.layoutSublayers();
    }
    static void treeNeedsRedraw(Layer& l) { l.treeNeedsRedraw(); }
    // The tree is being drawn: later changes tell its host again.
    static void treeIsDrawn(Layer& root) { root.m_redrawRequested = false; }

    // The value shown now for a key: the model value with the key's animations applied.
    static fnd::Value presentedValue(Layer& layer, const fnd::String& key);
    // Adds an animation (already copied) with its resolved start value.
    static void addAnimation(Layer& layer, std::shared_ptr<LayerAnimation> animation, const fnd::String& key,
        bool byAction, const fnd::String& actionKey, const fnd::Value& previous);
    static void cancelActionAnimations(Layer& layer, const fnd::String& key);
    static void addDeparture(Layer& layer, std::shared_ptr<Transition> transition);
    // Removes records and tells their delegates and transactions (finished or not).
    static void ended(std::vector<std::shared_ptr<AnimationRecord>> records, bool finished);
    // Builds (or reuses) the presentation tree of the layer's root and answers the copy of the layer.
    static std::shared_ptr<Layer> presentationOf(const Layer& layer);
    static void makePresentation(Layer& copy, const Layer& model);
    static bool& sketch(Layer& copy) { return copy.m_sketch; }
    // A copy of a hidden layer with nothing of the layer but that it is hidden.
    static void makeSketch(Layer& copy, const Layer& model);
    // Brings the presentation tree of a root up to date at the time: copies of layers that did not change and do
    // not animate are kept as they are, animating ones are updated in place, and only new layers (or copies that
    // someone else still holds, which stay as they were) are made afresh.
    static void updatePresentation(const Layer& root, double now, PresentationCache& cache, bool complete);
    static bool flattensSublayers(const Layer& l) { return !l.preservesSublayerDepth(); }
    static void setModelTreeCommitted(Layer& layer, bool committed);
};

}
