#include "platform/layers/Layer.h"

#include "platform/layers/LayerAnimation.h"
#include "platform/layers/Transaction.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>
#include <unordered_map>

// Adding and removing animations, and the presentation trees that show them.

namespace ui {

using detail::AnimationRecord;
using detail::LayerAccess;
using detail::lockLayers;

namespace {

const BasicAnimation* basicOf(const AnimationRecord& record)
{
    return dynamic_cast<const BasicAnimation*>(record.animation.get());
}

// What the record shows at the time over the model value; nullopt when it shows nothing then.
std::optional<fnd::Value> recordValue(const AnimationRecord& record, const fnd::Value& model, double now)
{
    auto* basic = basicOf(record);
    if (!basic)
        return std::nullopt;
    auto fraction = basic->fractionAt(now);
    if (!fraction)
        return std::nullopt;
    const fnd::Value& from = record.from.isNil() ? model : record.from;
    const fnd::Value& to = basic->toValue().isNil() ? model : basic->toValue();
    return detail::interpolateValues(from, to, *fraction);
}

bool changesWithTime(const LayerAnimation& animation, double now)
{
    return now < animation.beginTime() + animation.activeDuration();
}

// Offsets for a layer sliding in from (or out towards) a side given by the transition's subtype.
gfx::Size slide(const Transition& t, gfx::Size extent, double amount)
{
    const auto& s = t.subtype();
    if (s == TransitionSubtype::FromRight)
        return { extent.width * amount, 0 };
    if (s == TransitionSubtype::FromTop)
        return { 0, extent.height * amount };
    if (s == TransitionSubtype::FromBottom)
        return { 0, -extent.height * amount };
    return { -extent.width * amount, 0 };
}

void applyTransition(Layer& copy, const Transition& t, double f, bool appearing)
{
    auto& p = LayerAccess::properties(copy);
    gfx::Size offset;
    if (t.type() == TransitionType::Fade)
        p.opacity *= appearing ? f : 1 - f;
    else if (appearing && (t.type() == TransitionType::MoveIn || t.type() == TransitionType::Push))
        offset = slide(t, p.bounds.size, 1 - f);
    else if (!appearing && (t.type() == TransitionType::Reveal || t.type() == TransitionType::Push))
        offset = slide(t, p.bounds.size, -f);
    p.position.x += offset.width;
    p.position.y += offset.height;
}

std::shared_ptr<Layer> buildCopy(
    const Layer& model, const std::shared_ptr<Layer>& parent, double now, detail::PresentationCache& cache);

void applyAnimations(Layer& copy, const Layer& model, double now, detail::PresentationCache& cache)
{
    auto& records = LayerAccess::animations(const_cast<Layer&>(model));
    if (records.empty()) {
        LayerAccess::setAnimatingKeys(copy, {});
        return;
    }
    std::unordered_map<fnd::String, fnd::Value> modelValues;
    std::vector<fnd::String> keys;
    for (const auto& record : records) {
        const auto& animation = *record->animation;
        if (changesWithTime(animation, now) || animation.beginTime() > now)
            cache.timeDependent = true;
        if (auto* t = dynamic_cast<const Transition*>(&animation)) {
            if (auto f = t->fractionAt(now)) {
                applyTransition(copy, *t, *f, true);
                LayerAccess::transitioned(copy) = true;
            }
            continue;
        }
        auto* basic = basicOf(*record);
        if (!basic || basic->keyPath().isEmpty())
            continue;
        const auto& keyPath = basic->keyPath();
        auto known = modelValues.find(keyPath);
        if (known == modelValues.end())
            known = modelValues.emplace(keyPath, model.valueForKeyPath(keyPath)).first;
        if (auto value = recordValue(*record, known->second, now)) {
            copy.setValueForKeyPath(*value, keyPath);
            if (std::find(keys.begin(), keys.end(), keyPath) == keys.end())
                keys.push_back(keyPath);
        }
    }
    LayerAccess::setAnimatingKeys(copy, std::move(keys));
}

// A copy made from the model as it is now, with its animations at the time.
void presentModel(Layer& copy, const Layer& model, double now, detail::PresentationCache& cache)
{
    LayerAccess::transitioned(copy) = false;
    LayerAccess::makePresentation(copy, model);
    LayerAccess::madeFromChanges(copy) = LayerAccess::changes(model);
    applyAnimations(copy, model, now, cache);
}

// Whether a pass may leave the layer's copy a sketch: a hidden layer, with nothing running on it, in a pass that is not
// complete.
bool maySketch(const Layer& model, const detail::PresentationCache& cache)
{
    return !cache.complete && LayerAccess::properties(model).hidden
        && LayerAccess::animations(const_cast<Layer&>(model)).empty()
        && LayerAccess::departures(const_cast<Layer&>(model)).empty();
}

std::shared_ptr<Layer> buildCopy(
    const Layer& model, const std::shared_ptr<Layer>& parent, double now, detail::PresentationCache& cache)
{
    auto copy = model.makeBlankLayer();
    if (maySketch(model, cache)) {
        // Only what tells the walks to pass it by; it is not current, so asking for it makes the pass complete.
        LayerAccess::makeSketch(*copy, model);
        LayerAccess::setSuperlayer(*copy, parent);
        LayerAccess::notePresented(model, *copy);
        LayerAccess::presentationCopy(model) = copy;
        LayerAccess::presentationOwner(model) = &cache;
        return copy;
    }
    presentModel(*copy, model, now, cache);
    LayerAccess::setSuperlayer(*copy, parent);
    LayerAccess::presentationPass(*copy) = cache.pass;
    LayerAccess::notePresented(model, *copy);
    LayerAccess::presentationCopy(model) = copy;
    LayerAccess::presentationOwner(model) = &cache;

    // Unless the pass is complete, nothing below a hidden layer is copied: it is not drawn, and a copy asked for down
    // there makes the pass complete (a reload of thousands of hidden items copied each twice).
    if (LayerAccess::properties(model).hidden && !cache.complete)
        return copy;
    std::vector<std::shared_ptr<Layer>> children;
    for (const auto& sub : LayerAccess::sublayers(model))
        children.push_back(buildCopy(*sub, copy, now, cache));
    for (const auto& departure : LayerAccess::departures(const_cast<Layer&>(model))) {
        auto f = departure->transition->fractionAt(now);
        if (!f)
            continue;
        cache.timeDependent = true;
        auto leaving = buildCopy(*departure->layer, copy, now, cache);
        applyTransition(*leaving, *departure->transition, *f, false);
        LayerAccess::transitioned(*leaving) = true;
        children.insert(children.begin() + std::ptrdiff_t(std::min(departure->index, children.size())), leaving);
    }
    LayerAccess::setSublayers(*copy, std::move(children));
    return copy;
}

// The copy of model in the tree being brought up to date: the last pass's when only the tree holds it (the model
// and its superlayer's copy do), brought up to date in place; else a new one. A copy someone else holds keeps the
// moment it showed, and so does everything below it. Unless the pass is complete, a hidden layer that did not change
// and does not animate keeps its copy and everything below it as they were, unread: nothing there is drawn.
std::shared_ptr<Layer> updateCopy(const Layer& model, const std::shared_ptr<Layer>& parent, double now,
    detail::PresentationCache& cache, bool mayReuse)
{
    const auto& last = LayerAccess::presentationCopy(model);
    if (!last || !mayReuse || last.use_count() > 2 || LayerAccess::presentationOwner(model) != &cache)
        return buildCopy(model, parent, now, cache);
    std::shared_ptr<Layer> copy = last;
    if (LayerAccess::sketch(*copy)) {
        if (maySketch(model, cache)) {
            LayerAccess::madeFromChanges(*copy) = LayerAccess::changes(model);
            LayerAccess::notePresented(model, *copy);
            return copy;
        }
        LayerAccess::sketch(*copy) = false;
        presentModel(*copy, model, now, cache);
    }
    const bool animates = !LayerAccess::animations(const_cast<Layer&>(model)).empty();
    const bool animated = !LayerAccess::animatingKeys(*copy).empty();
    const bool unchanged = LayerAccess::madeFromChanges(*copy) == LayerAccess::changes(model);
    if (!unchanged || LayerAccess::transitioned(*copy) || (animated && !animates)) {
        presentModel(*copy, model, now, cache);
    } else if (animates) {
        // The model stands still: only what its animations showed goes back to the model's value before they
        // show the new moment.
        for (const auto& key : LayerAccess::animatingKeys(*copy))
            copy->setValueForKeyPath(model.valueForKeyPath(key), key);
        applyAnimations(*copy, model, now, cache);
    }
    if (!LayerAccess::hasSuperlayer(*copy, parent))
        LayerAccess::setSuperlayer(*copy, parent);
    LayerAccess::presentationPass(*copy) = cache.pass;
    LayerAccess::notePresented(model, *copy);
    // Below a hidden layer the copies stay as they were, unread, as below one that did not change.
    if (LayerAccess::properties(model).hidden && !cache.complete)
        return copy;

    const auto& modelSublayers = LayerAccess::sublayers(model);
    auto& departures = LayerAccess::departures(const_cast<Layer&>(model));
    const auto& previous = LayerAccess::sublayers(*copy);
    // The last pass's children stay in the copy's list while their places are decided, so none counts as held by
    // someone else; a new list is made only from the first child that differs.
    std::vector<std::shared_ptr<Layer>> children;
    bool differs = !departures.empty() || previous.size() != modelSublayers.size();
    if (differs)
        children.reserve(modelSublayers.size());
    for (std::size_t i = 0; i < modelSublayers.size(); ++i) {
        if (!differs && LayerAccess::keepsHiddenCopy(*modelSublayers[i], previous[i].get(), cache))
            continue;
        if (differs) {
            // Sublayers came or went: a hidden one that stayed keeps its copy all the same (a layer that leaves
            // loses its copy, so one this tree still owns stayed in this list).
            const auto& kept = LayerAccess::presentationCopy(*modelSublayers[i]);
            if (kept && LayerAccess::keepsHiddenCopy(*modelSublayers[i], kept.get(), cache)) {
                children.push_back(kept);
                continue;
            }
        }
        auto child = updateCopy(*modelSublayers[i], copy, now, cache, true);
        if (!differs && previous[i] == child)
            continue;
        if (!differs) {
            differs = true;
            children.reserve(modelSublayers.size());
            children.assign(previous.begin(), previous.begin() + std::ptrdiff_t(i));
        }
        children.push_back(std::move(child));
    }
    if (!differs)
        return copy;
    for (const auto& departure : departures) {
        auto f = departure->transition->fractionAt(now);
        if (!f)
            continue;
        cache.timeDependent = true;
        auto leaving = buildCopy(*departure->layer, copy, now, cache);
        applyTransition(*leaving, *departure->transition, *f, false);
        LayerAccess::transitioned(*leaving) = true;
        children.insert(children.begin() + std::ptrdiff_t(std::min(departure->index, children.size())), leaving);
    }
    // The copies of layers that left go with the old list: when thousands leave at once, on a worker thread.
    if (children != previous)
        Layer::release(LayerAccess::exchangeSublayers(*copy, std::move(children)));
    return copy;
}

}

// Layer's animation interface.

void Layer::addAnimation(const std::shared_ptr<LayerAnimation>& animation, const fnd::String& key)
{
    if (!animation || m_isPresentation)
        return;
    LayerAccess::addAnimation(*this, animation->copy(), key, false, {}, {});
}

std::shared_ptr<LayerAnimation> Layer::animationForKey(const fnd::String& key) const
{
    auto lock = lockLayers();
    for (const auto& record : m_animations)
        if (record->key == key && !key.isEmpty())
            return record->animation;
    return nullptr;
}

std::vector<fnd::String> Layer::animationKeys() const
{
    auto lock = lockLayers();
    std::vector<fnd::String> keys;
    for (const auto& record : m_animations)
        if (!record->key.isEmpty())
            keys.push_back(record->key);
    return keys;
}

void Layer::removeAnimationForKey(const fnd::String& key)
{
    std::vector<std::shared_ptr<AnimationRecord>> removed;
    {
        auto lock = lockLayers();
        for (auto it = m_animations.begin(); it != m_animations.end();) {
            if ((*it)->key == key) {
                removed.push_back(*it);
                it = m_animations.erase(it);
            } else
                ++it;
        }
    }
    if (removed.empty())
        return;
    LayerAccess::ended(std::move(removed), false);
    treeDidChange();
}

void Layer::removeAllAnimations()
{
    std::vector<std::shared_ptr<AnimationRecord>> removed;
    {
        auto lock = lockLayers();
        removed.swap(m_animations);
    }
    if (removed.empty())
        return;
    LayerAccess::ended(std::move(removed), false);
    treeDidChange();
}

namespace detail {

fnd::Value LayerAccess::presentedValue(Layer& layer, const fnd::String& key)
{
    auto lock = lockLayers();
    fnd::Value model = layer.valueForKeyPath(key);
    fnd::Value shown = model;
    const double now = currentMediaTime();
    for (const auto& record : layer.m_animations) {
        auto* basic = basicOf(*record);
        if (!basic || basic->keyPath() != key)
            continue;
        if (auto value = recordValue(*record, model, now))
            shown = *value;
    }
    return shown;
}

void LayerAccess::addAnimation(Layer& layer, std::shared_ptr<LayerAnimation> animation, const fnd::String& key,
    bool byAction, const fnd::String& actionKey, const fnd::Value& previous)
{
    if (layer.m_isPresentation || !animation)
        return;
    if (animation->beginTime() == 0)
        animation->setBeginTime(currentMediaTime());
    if (animation->duration() == 0)
        animation->setDuration(Transaction::animationDuration());
    if (byAction && !animation->timingFunction()) {
        auto function = Transaction::animationTimingFunction();
        animation->setTimingFunction(
            function ? function : MediaTimingFunction::functionWithName(MediaTimingFunctionName::Default));
    }
    auto record = std::make_shared<AnimationRecord>();
    record->key = key;
    record->animation = animation;
    record->byAction = byAction;
    record->actionKey = actionKey;
    if (auto* property = dynamic_cast<PropertyAnimation*>(animation.get()); property && property->keyPath().isEmpty())
        property->setKeyPath(key);
    if (auto* basic = dynamic_cast<BasicAnimation*>(animation.get())) {
        if (!basic->fromValue().isNil())
            record->from = basic->fromValue();
        else if (!previous.isNil())
            record->from = previous;
        else
            record->from = presentedValue(layer, basic->keyPath());
    }
    record->groups = openCompletionGroups();
    for (const auto& group : record->groups)
        group->join();
    std::vector<std::shared_ptr<AnimationRecord>> replaced;
    {
        auto lock = lockLayers();
        if (!key.isEmpty()) {
            for (auto it = layer.m_animations.begin(); it != layer.m_animations.end();) {
                if ((*it)->key == key) {
                    replaced.push_back(*it);
                    it = layer.m_animations.erase(it);
                } else
                    ++it;
            }
        }
        layer.m_animations.push_back(record);
    }
    if (!replaced.empty())
        ended(std::move(replaced), false);
    watchAnimations(std::static_pointer_cast<Layer>(layer.shared_from_this()));
    layer.treeDidChange();
}

void LayerAccess::cancelActionAnimations(Layer& layer, const fnd::String& key)
{
    std::vector<std::shared_ptr<AnimationRecord>> removed;
    {
        auto lock = lockLayers();
        for (auto it = layer.m_animations.begin(); it != layer.m_animations.end();) {
            if ((*it)->byAction && (*it)->actionKey == key) {
                removed.push_back(*it);
                it = layer.m_animations.erase(it);
            } else
                ++it;
        }
    }
    if (!removed.empty())
        ended(std::move(removed), false);
}

void LayerAccess::addDeparture(Layer& layer, std::shared_ptr<Transition> transition)
{
    auto former = layer.m_formerSuperlayer.lock();
    if (!former)
        return;
    if (transition->beginTime() == 0)
        transition->setBeginTime(currentMediaTime());
    if (transition->duration() == 0)
        transition->setDuration(Transaction::animationDuration());
    auto departure = std::make_shared<Departure>();
    departure->layer = std::static_pointer_cast<Layer>(layer.shared_from_this());
    departure->index = layer.m_formerIndex;
    departure->transition = std::move(transition);
    departure->groups = openCompletionGroups();
    for (const auto& group : departure->groups)
        group->join();
    {
        auto lock = lockLayers();
        former->m_departures.push_back(departure);
    }
    watchAnimations(former);
    former->treeDidChange();
}

void LayerAccess::ended(std::vector<std::shared_ptr<AnimationRecord>> records, bool finished)
{
    noteModelChanged();
    for (const auto& record : records) {
        if (auto delegate = record->animation->delegate()) {
            auto animation = record->animation;
            runOnMain([delegate, animation, finished] { delegate->animationDidStop(*animation, finished); });
        }
        for (const auto& group : record->groups)
            group->finishOne();
    }
}

std::shared_ptr<Layer> LayerAccess::presentationOf(const Layer& layer)
{
    if (layer.m_isPresentation)
        return std::const_pointer_cast<Layer>(std::static_pointer_cast<const Layer>(layer.shared_from_this()));
    auto lock = lockLayers();
    const Layer* root = &layer;
    // The root keeps the tree alive while it is copied.
    std::shared_ptr<Layer> holdRoot;
    while (auto super = root->m_superlayer.lock()) {
        holdRoot = super;
        root = super.get();
    }
    const double now = currentMediaTime();
    const auto generation = modelGeneration();
    auto& cache = root->m_presentation;
    if (!cache)
        cache = std::make_shared<PresentationCache>();
    if (!cache->root || cache->generation != generation || (cache->timeDependent && cache->time != now)) {
        cache->generation = generation;
        cache->time = now;
        updatePresentation(*root, now, *cache, false);
    }
    auto current = [&] {
        const auto& copy = layer.m_presentationCopy;
        return copy && layer.m_presentationOwner == cache.get() && copy->m_presentationPass == cache->pass;
    };
    // A layer below a hidden one that the last pass left as it was: the whole tree this time.
    if (!current() && !cache->complete)
        updatePresentation(*root, now, *cache, true);
    return current() ? layer.m_presentationCopy : nullptr;
}

void LayerAccess::updatePresentation(const Layer& root, double now, PresentationCache& cache, bool complete)
{
    cache.timeDependent = false;
    cache.complete = complete;
    ++cache.pass;
    // The root's copy is held twice (by the root and the cache), as every other copy is (by its model and in its
    // superlayer's copy's list).
    cache.root = updateCopy(root, nullptr, now, cache, true);
}

void LayerAccess::makeSketch(Layer& copy, const Layer& model)
{
    copy.m_isPresentation = true;
    copy.m_sketch = true;
    copy.m_model = std::const_pointer_cast<Layer>(std::static_pointer_cast<const Layer>(model.weak_from_this().lock()));
    copy.m_p.hidden = true;
    copy.m_madeFromChanges = model.m_changes;
}

void LayerAccess::makePresentation(Layer& copy, const Layer& model)
{
    copy.m_isPresentation = true;
    copy.m_model = std::const_pointer_cast<Layer>(std::static_pointer_cast<const Layer>(model.weak_from_this().lock()));
    copy.initWithLayer(model);
    copy.m_delegate = model.m_delegate;
    copy.m_layoutManager = model.m_layoutManager;
}

}

}
