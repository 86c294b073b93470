// A layer's place in its tree: the superlayer, the list of sublayers, and layers coming into and leaving that list,
// one at a time or many at once.

#include "platform/layers/Layer.h"

#include "platform/foundation/runtime/DispatchQueue.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/layers/Transaction.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>

namespace ui {

using detail::LayerAccess;
using detail::lockLayers;

namespace {

// Under the layer lock: whether the layer is the superlayer or one of its ancestors (it cannot go below itself).
bool isSelfOrAncestor(const Layer& layer, const Layer& superlayer)
{
    for (const Layer* l = &superlayer; l; l = LayerAccess::superlayer(*l).get())
        if (l == &layer)
            return true;
    return false;
}

bool refusesSublayer(const Layer& layer, const Layer& superlayer)
{
    auto lock = lockLayers();
    if (!isSelfOrAncestor(layer, superlayer))
        return false;
    fnd::log(fnd::LogLevel::Warning, "A layer cannot become a sublayer of itself or of one of its sublayers.");
    return true;
}

}

std::shared_ptr<Layer> Layer::superlayer() const
{
    auto lock = lockLayers();
    return m_superlayer.lock();
}

std::vector<std::shared_ptr<Layer>> Layer::sublayers() const
{
    auto lock = lockLayers();
    return m_sublayers;
}

void Layer::setSublayers(std::vector<std::shared_ptr<Layer>> layers)
{
    // From the last: each leaves from the end of the list (taking the first each time moved all the others, for
    // every one), and each leaves from the place it had.
    auto old = sublayers();
    for (auto layer = old.rbegin(); layer != old.rend(); ++layer)
        (*layer)->removeFromSuperlayer();
    for (const auto& layer : layers)
        addSublayer(layer);
}

void Layer::addSublayer(const std::shared_ptr<Layer>& layer)
{
    insertAt(layer, SIZE_MAX);
}

void Layer::insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index)
{
    insertAt(layer, index);
}

void Layer::insertSublayerBelow(const std::shared_ptr<Layer>& layer, const Layer* sibling)
{
    if (layer && layer->superlayer().get() == this && layer.get() != sibling)
        layer->detachFromSuperlayer();
    std::size_t index = 0;
    {
        auto lock = lockLayers();
        auto it
            = std::find_if(m_sublayers.begin(), m_sublayers.end(), [&](const auto& l) { return l.get() == sibling; });
        index = it == m_sublayers.end() ? 0 : std::size_t(it - m_sublayers.begin());
    }
    insertAt(layer, index);
}

void Layer::insertSublayerAbove(const std::shared_ptr<Layer>& layer, const Layer* sibling)
{
    // Out of the list first, so the sibling's index is the one the layer goes next to.
    if (layer && layer->superlayer().get() == this && layer.get() != sibling)
        layer->detachFromSuperlayer();
    std::size_t index = SIZE_MAX;
    {
        auto lock = lockLayers();
        auto it
            = std::find_if(m_sublayers.begin(), m_sublayers.end(), [&](const auto& l) { return l.get() == sibling; });
        if (it != m_sublayers.end())
            index = std::size_t(it - m_sublayers.begin()) + 1;
    }
    insertAt(layer, index);
}

void Layer::replaceSublayer(const Layer& old, const std::shared_ptr<Layer>& replacement)
{
    std::shared_ptr<Layer> oldLayer;
    std::size_t index = 0;
    {
        auto lock = lockLayers();
        auto it = std::find_if(m_sublayers.begin(), m_sublayers.end(), [&](const auto& l) { return l.get() == &old; });
        if (it == m_sublayers.end())
            return;
        oldLayer = *it;
        index = std::size_t(it - m_sublayers.begin());
    }
    oldLayer->removeFromSuperlayer();
    if (replacement)
        insertAt(replacement, index);
}

void Layer::adoptSublayer(
    Layer& layer, const std::shared_ptr<Layer>& self, std::vector<std::shared_ptr<detail::Departure>>* ended)
{
    layer.m_superlayer = self;
    // Its earlier order-out transition ends here.
    if (auto former = layer.m_formerSuperlayer.lock(); former && ended) {
        auto& departures = former->m_departures;
        for (auto it = departures.begin(); it != departures.end();) {
            if ((*it)->layer.get() == &layer) {
                ended->push_back(*it);
                it = departures.erase(it);
            } else
                ++it;
        }
    }
    LayerAccess::setModelTreeCommitted(layer, false);
    if (layer.m_needsLayout || layer.m_sublayerNeedsLayout)
        noteSublayerNeedsLayout();
}

void Layer::insertAt(const std::shared_ptr<Layer>& layer, std::size_t index)
{
    if (!layer || m_isPresentation || refusesSublayer(*layer, *this))
        return;
    if (layer->superlayer())
        layer->detachFromSuperlayer();
    auto self = std::static_pointer_cast<Layer>(shared_from_this());
    bool runsOrderIn = false;
    std::vector<std::shared_ptr<detail::Departure>> ended;
    {
        auto lock = lockLayers();
        index = std::min(index, m_sublayers.size());
        m_sublayers.insert(m_sublayers.begin() + std::ptrdiff_t(index), layer);
        adoptSublayer(*layer, self, &ended);
        runsOrderIn = m_committed && !Transaction::disableActions();
    }
    for (const auto& departure : ended)
        for (const auto& group : departure->groups)
            group->finishOne();
    detail::noteInserted(layer);
    setNeedsLayout();
    if (runsOrderIn) {
        if (auto action = layer->actionForKey(LayerActionKey::OnOrderIn))
            action->runActionForKey(LayerActionKey::OnOrderIn, *layer, {});
    }
    treeDidChange();
}

void Layer::insertSublayers(const std::vector<std::shared_ptr<Layer>>& layers, const std::vector<std::size_t>& indexes)
{
    if (m_isPresentation)
        return;
    // Each layer that can come, once (marks find the ones given twice without a table), in the order of its place.
    std::vector<std::pair<std::size_t, std::shared_ptr<Layer>>> coming;
    for (std::size_t i = 0; i < std::min(layers.size(), indexes.size()); ++i) {
        const auto& layer = layers[i];
        if (!layer || refusesSublayer(*layer, *this))
            continue;
        auto lock = lockLayers();
        if (std::exchange(layer->m_marked, true))
            continue;
        coming.emplace_back(indexes[i], layer);
    }
    if (coming.empty())
        return;
    std::stable_sort(coming.begin(), coming.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

    // Out of the lists they are in: this one's in one pass (their places are those of the list without them).
    std::size_t ours = 0;
    {
        auto lock = lockLayers();
        for (const auto& [index, layer] : coming)
            if (layer->m_superlayer.lock().get() != this)
                layer->m_marked = false;
            else
                ++ours;
    }
    for (const auto& [index, layer] : coming)
        if (layer->superlayer().get() != this)
            layer->detachFromSuperlayer();
    if (ours > 0)
        detachMarkedSublayers(ours);

    auto self = std::static_pointer_cast<Layer>(shared_from_this());
    bool runsOrderIn = false;
    std::vector<std::shared_ptr<detail::Departure>> ended;
    {
        auto lock = lockLayers();
        std::vector<std::shared_ptr<Layer>> merged;
        merged.reserve(m_sublayers.size() + coming.size());
        std::size_t from = 0;
        for (const auto& [index, layer] : coming) {
            while (merged.size() < index && from < m_sublayers.size())
                merged.push_back(std::move(m_sublayers[from++]));
            merged.push_back(layer);
        }
        for (; from < m_sublayers.size(); ++from)
            merged.push_back(std::move(m_sublayers[from]));
        m_sublayers = std::move(merged);
        // Order-out transitions of the layers that come back end here: one pass over each former superlayer's.
        std::vector<Layer*> formers;
        for (const auto& [index, layer] : coming) {
            layer->m_marked = true;
            if (auto former = layer->m_formerSuperlayer.lock(); former && !former->m_departures.empty()
                && std::find(formers.begin(), formers.end(), former.get()) == formers.end())
                formers.push_back(former.get());
        }
        for (auto* former : formers)
            std::erase_if(former->m_departures, [&](const auto& departure) {
                if (!departure->layer->m_marked)
                    return false;
                ended.push_back(departure);
                return true;
            });
        for (const auto& [index, layer] : coming) {
            layer->m_marked = false;
            adoptSublayer(*layer, self, nullptr);
        }
        runsOrderIn = m_committed && !Transaction::disableActions();
    }
    for (const auto& departure : ended)
        for (const auto& group : departure->groups)
            group->finishOne();
    for (const auto& [index, layer] : coming)
        detail::noteInserted(layer);
    setNeedsLayout();
    if (runsOrderIn)
        for (const auto& [index, layer] : coming)
            if (auto action = layer->actionForKey(LayerActionKey::OnOrderIn))
                action->runActionForKey(LayerActionKey::OnOrderIn, *layer, {});
    treeDidChange();
}

void Layer::detachFromSuperlayer()
{
    std::shared_ptr<Layer> parent;
    {
        auto lock = lockLayers();
        parent = m_superlayer.lock();
        if (!parent)
            return;
        auto& list = parent->m_sublayers;
        // Searched from the end, where a list taken apart from its end finds each at once.
        auto it = std::find_if(list.rbegin(), list.rend(), [&](const auto& l) { return l.get() == this; });
        if (it != list.rend()) {
            m_formerIndex = std::size_t(list.rend() - it - 1);
            list.erase(std::next(it).base());
        }
        leftSuperlayer(parent);
    }
    parent->setNeedsLayout();
    parent->treeDidChange();
}

void Layer::leftSuperlayer(const std::shared_ptr<Layer>& parent)
{
    m_formerSuperlayer = parent;
    m_superlayer.reset();
    // Its copy belongs to the tree it left.
    m_presentationCopy.reset();
    m_presentationOwner = nullptr;
}

std::vector<std::shared_ptr<Layer>> Layer::detachMarkedSublayers(std::size_t count)
{
    std::vector<std::shared_ptr<Layer>> removed;
    removed.reserve(count);
    auto self = std::static_pointer_cast<Layer>(shared_from_this());
    {
        auto lock = lockLayers();
        std::size_t to = 0;
        for (std::size_t from = 0; from < m_sublayers.size(); ++from) {
            auto& layer = m_sublayers[from];
            if (layer->m_marked) {
                layer->m_marked = false;
                // The place it had before any of them left, which is where its order-out transition shows it, as
                // the transitions of the ones before it put them back first.
                layer->m_formerIndex = from;
                layer->leftSuperlayer(self);
                removed.push_back(std::move(layer));
            } else if (to++ != from) {
                m_sublayers[to - 1] = std::move(layer);
            }
        }
        m_sublayers.resize(to);
    }
    if (!removed.empty()) {
        setNeedsLayout();
        treeDidChange();
    }
    return removed;
}

void Layer::removeFromSuperlayer()
{
    if (m_isPresentation)
        return;
    bool runsOrderOut = false;
    {
        auto lock = lockLayers();
        if (!m_superlayer.lock())
            return;
        runsOrderOut = m_committed && !Transaction::disableActions();
    }
    auto keepAlive = shared_from_this();
    std::shared_ptr<LayerAction> action;
    if (runsOrderOut)
        action = actionForKey(LayerActionKey::OnOrderOut);
    detachFromSuperlayer();
    if (action)
        action->runActionForKey(LayerActionKey::OnOrderOut, *this, {});
}

void Layer::removeSublayers(const std::vector<std::shared_ptr<Layer>>& layers)
{
    if (m_isPresentation || layers.empty())
        return;
    auto keepAlive = shared_from_this();
    // Each of this layer's sublayers is marked once (marks find the ones given twice without a table), with the
    // order-out action it finds before it leaves, as removeFromSuperlayer finds it.
    const bool actionsRun = !Transaction::disableActions();
    std::vector<std::shared_ptr<Layer>> committed;
    std::size_t count = 0;
    {
        auto lock = lockLayers();
        for (const auto& layer : layers) {
            if (!layer || layer->m_marked || layer->m_superlayer.lock().get() != this)
                continue;
            layer->m_marked = true;
            ++count;
            if (actionsRun && layer->m_committed)
                committed.push_back(layer);
        }
    }
    if (count == 0)
        return;
    std::vector<std::pair<std::shared_ptr<Layer>, std::shared_ptr<LayerAction>>> actions;
    for (auto& layer : committed)
        if (auto action = layer->actionForKey(LayerActionKey::OnOrderOut))
            actions.emplace_back(std::move(layer), std::move(action));
    auto removed = detachMarkedSublayers(count);
    // In list order, so that each order-out transition goes back to its place after those before it.
    std::sort(actions.begin(), actions.end(),
        [](const auto& a, const auto& b) { return a.first->m_formerIndex < b.first->m_formerIndex; });
    for (const auto& [layer, action] : actions)
        action->runActionForKey(LayerActionKey::OnOrderOut, *layer, {});
    // An override lets go of what it holds when it leaves; the base finds the layer out already.
    for (const auto& layer : removed)
        layer->removeFromSuperlayer();
}

void Layer::release(std::vector<std::shared_ptr<Layer>> layers, std::vector<fnd::Value> mainThreadValues)
{
    if (layers.size() < ReleasedAtOnce)
        return;
    fnd::DispatchQueue::global().async([layers = std::move(layers), values = std::move(mainThreadValues)]() mutable {
        layers.clear();
        if (!values.empty())
            fnd::RunLoop::main().post([values = std::move(values)] {});
    });
}

}
