// The bound content's insertions, removals and replacements, applied to the items they name and to those items'
// layers and accessibility elements only. Each list (items, layers, the scroll layer's sublayers, the elements) is
// changed in one pass however many items change: k of n items cost O(n + k log k), where changing them one at a time
// searched and shifted every list for each (removing half of 200,000 items took 25 seconds).

#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/QFFlowView/QFLayerAccessibilityHelper.h"

#include "platform/layers/Transaction.h"

#include <algorithm>
#include <utility>

namespace {

// Elements of the content are the same when they are the same object, or equal values.
bool QFFlowViewSameItem(const fnd::Value& a, const fnd::Value& b)
{
    if (a.isObject() || b.isObject())
        return a.objectPointer() == b.objectPointer();
    return a == b;
}

// Whether the values a change reports for its indexes are the items there.
bool QFFlowViewItemsAt(const fnd::Array& items, const std::vector<std::size_t>& indexes, const fnd::Value& values)
{
    const auto* array = values.array();
    if (!array || array->size() != indexes.size())
        return false;
    for (std::size_t i = 0; i < indexes.size(); ++i)
        if (!QFFlowViewSameItem(items[indexes[i]], (*array)[i]))
            return false;
    return true;
}

// Takes the elements at the indexes (ascending, in range) out of the list in one pass, handing each to `take` in
// order.
template <typename T, typename Take>
void QFFlowViewRemoveAt(std::vector<T>& list, const std::vector<std::size_t>& indexes, Take&& take)
{
    std::size_t next = 0, to = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (next < indexes.size() && indexes[next] == i) {
            take(std::move(list[i]));
            ++next;
        } else if (to++ != i) {
            list[to - 1] = std::move(list[i]);
        }
    }
    list.resize(to);
}

// Puts the values at the indexes (ascending, places in the list they make) in one pass.
template <typename T>
void QFFlowViewInsertAt(std::vector<T>& list, std::vector<T> values, const std::vector<std::size_t>& indexes)
{
    std::vector<T> merged;
    merged.reserve(list.size() + values.size());
    std::size_t next = 0, kept = 0;
    for (std::size_t i = 0; i < list.size() + values.size(); ++i)
        merged.push_back(
            next < values.size() && indexes[next] == i ? std::move(values[next++]) : std::move(list[kept++]));
    list = std::move(merged);
}

// Indexes (ascending) after the items at `inserted` (ascending, places in the new content) came, in one pass: an
// index moves past each inserted place at or before where it has got to so far.
void QFFlowViewIndexesAfterInsertion(std::vector<std::size_t>& indexes, const std::vector<std::size_t>& inserted)
{
    std::size_t next = 0;
    for (auto& index : indexes) {
        index += next;
        while (next < inserted.size() && inserted[next] <= index) {
            ++next;
            ++index;
        }
    }
}

}

std::optional<fnd::KeyValueChange> QFFlowView::removalLeaving(const fnd::Array& next) const
{
    // The items the next content keeps, in order, matched with the earliest fit: what is left over was removed.
    const auto& items = m_observedItems;
    if (next.size() >= items.size())
        return std::nullopt;
    fnd::KeyValueChange change;
    change.kind = fnd::KeyValueChangeKind::Removal;
    fnd::IndexSet gone;
    fnd::Array removed;
    removed.reserve(items.size() - next.size());
    std::size_t kept = 0, runStart = 0, runLength = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (kept < next.size() && QFFlowViewSameItem(items[i], next[kept])) {
            ++kept;
            continue;
        }
        // More items to find than there are left: not a removal.
        if (next.size() - kept > items.size() - i - 1)
            return std::nullopt;
        if (runLength > 0 && runStart + runLength == i) {
            ++runLength;
        } else {
            if (runLength > 0)
                gone.add(fnd::Range { fnd::Index(runStart), fnd::Index(runLength) });
            runStart = i;
            runLength = 1;
        }
        removed.push_back(items[i]);
    }
    if (kept != next.size())
        return std::nullopt;
    if (runLength > 0)
        gone.add(fnd::Range { fnd::Index(runStart), fnd::Index(runLength) });
    change.indexes = std::move(gone);
    change.oldValue = fnd::Value(std::move(removed));
    return change;
}

bool QFFlowView::applyContentChange(const fnd::KeyValueChange& change)
{
    using Kind = fnd::KeyValueChangeKind;
    if (change.kind == Kind::Setting || !change.indexes || change.indexes->isEmpty() || !m_scrollLayer
        || m_numberOfItems != m_observedItems.size())
        return false;
    std::vector<std::size_t> indexes;
    indexes.reserve(std::size_t(change.indexes->count()));
    for (const auto& range : change.indexes->ranges())
        for (auto i = range.location; i < range.max(); ++i)
            indexes.push_back(std::size_t(i));
    // The change is applied to the items as the last notification left them, with the values it reports; a change
    // that does not fit them (a notification missed) reloads the content instead.
    // The items that come and go are read where the change holds them: copying a list of many objects touches
    // each object's count twice more.
    auto& items = m_observedItems;
    static const fnd::Array none;
    const fnd::Array* joining = &none;
    const fnd::Array* leaving = &none;
    switch (change.kind) {
    case Kind::Insertion: {
        const auto* added = change.newValue.array();
        if (!added || added->size() != indexes.size() || indexes.back() >= items.size() + indexes.size())
            return false;
        joining = added;
        QFFlowViewInsertAt(items, *added, indexes);
        break;
    }
    case Kind::Removal:
        if (indexes.back() >= items.size() || !QFFlowViewItemsAt(items, indexes, change.oldValue))
            return false;
        leaving = change.oldValue.array();
        QFFlowViewRemoveAt(items, indexes, [](fnd::Value&&) {});
        break;
    case Kind::Replacement: {
        const auto* added = change.newValue.array();
        if (!added || indexes.back() >= items.size() || !QFFlowViewItemsAt(items, indexes, change.oldValue)
            || added->size() != indexes.size())
            return false;
        leaving = change.oldValue.array();
        joining = added;
        for (std::size_t i = 0; i < indexes.size(); ++i)
            items[indexes[i]] = (*added)[i];
        break;
    }
    case Kind::Setting:
        return false;
    }

    observeItems(*joining);
    forgetItems(*leaving);
    m_numberOfItems = m_observedItems.size();
    auto selectedLayer = itemLayerAtIndex(m_selectedIndex);
    {
        ui::TransactionScope transaction;
        ui::Transaction::setDisableActions(true);
        if (change.kind == Kind::Replacement)
            replaceItemLayers(indexes, *change.indexes);
        else if (change.kind == Kind::Removal)
            removeItemLayers(indexes, *change.indexes);
        else
            insertItemLayers(indexes, *change.indexes);
    }
    // The selection keeps its index, as a reload keeps it; an item that leaves it loses its selection marks.
    if (selectedLayer && itemLayerAtIndex(m_selectedIndex) != selectedLayer)
        if (auto content = selectedLayer->sublayers().front()) {
            ui::TransactionScope transaction;
            ui::Transaction::setDisableActions(true);
            for (const auto& sub : content->sublayers())
                sub->removeFromSuperlayer();
        }
    finishContentChange();
    return true;
}

void QFFlowView::replaceItemLayers(const std::vector<std::size_t>& indexes, const fnd::IndexSet& changed)
{
    auto visibleSize = itemSizeForRect(m_scrollLayer->visibleRect());
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> elements;
    elements.reserve(indexes.size());
    for (auto index : indexes) {
        const auto& layer = m_itemLayers[index];
        const auto& item = m_observedItems[index];
        auto uid = imageUIDForItem(item);
        // A value replaced by its changed copy keeps its identifier: the picture cached for the item that left, or
        // on its way, is out of date (as a changed object's is).
        if (auto key = cacheKey(layer->valueForKey(QFFlowViewLayerKey::UID))) {
            m_imageCache.removeObjectForKey(*key);
            forgetOutdatedPictureLoads(*key);
        }
        m_itemUIDsMayBeObjects |= uid.isObject();
        layer->setValueForKey(uid, QFFlowViewLayerKey::UID);
        auto content = layer->sublayers().front();
        for (const auto& sub : content->sublayers())
            sub->removeFromSuperlayer();
        content->setValueForKey(fnd::Value(), QFFlowViewLayerKey::Overlay);
        releaseHeldLayersOf(*layer);
        elements.push_back(setAttributesForItemContentLayer(content, index, item, uid));
    }
    if (m_backgroundElement)
        m_backgroundElement->replaceChildrenAtIndexes(changed, elements);
    // A shown item shows the new item's picture as far as it is known; the refresh after the layout asks for the
    // rest.
    for (auto index : indexes)
        if (isItemShown(index))
            setKeptImageAtIndex(index, visibleSize);
}

void QFFlowView::removeItemLayers(const std::vector<std::size_t>& indexes, const fnd::IndexSet& changed)
{
    // The item layers that hold the layers last hit or marked for a drop, found once rather than for each that leaves.
    auto selectedItem = itemLayerHolding(m_selectedLayer), highlightedItem = itemLayerHolding(m_highlightedLayer);
    std::vector<std::shared_ptr<ui::ReplicatorLayer>> leavingLayers;
    leavingLayers.reserve(indexes.size());
    QFFlowViewRemoveAt(m_itemLayers, indexes, [&](auto&& layer) { leavingLayers.push_back(std::move(layer)); });
    m_scrollLayer->removeSublayers({ leavingLayers.begin(), leavingLayers.end() });
    // What the layers hold that lives on the main thread (the items' elements and identifiers) is let go there, after
    // the layers themselves, which many at once are let go of on a worker thread.
    std::vector<fnd::Value> mainThreadValues;
    mainThreadValues.reserve(leavingLayers.size() * 2);
    if (m_backgroundElement) {
        for (auto& element : m_backgroundElement->removeChildrenAtIndexes(changed))
            mainThreadValues.emplace_back(std::static_pointer_cast<fnd::Object>(std::move(element)));
    }
    std::vector<std::shared_ptr<ui::Layer>> released;
    released.reserve(leavingLayers.size());
    for (auto& layer : leavingLayers) {
        if (layer.get() == selectedItem) {
            m_selectedLayer->setValueForKey(false, "highlighted");
            m_selectedLayer.reset();
        }
        if (layer.get() == highlightedItem)
            setHighlightedLayer(nullptr);
        if (m_layerQueue.size() < MaxQueuedItemLayers) {
            recycleItemLayer(layer);
            continue;
        }
        if (!m_backgroundElement && !layer->sublayers().empty())
            mainThreadValues.push_back(
                layer->sublayers().front()->valueForKey(QFFlowViewLayerKey::AccessibilityElement));
        // Reading the identifier back costs a look-up in each layer's values: only done while some may be objects.
        if (m_itemUIDsMayBeObjects)
            if (auto uid = layer->valueForKey(QFFlowViewLayerKey::UID); uid.isObject())
                mainThreadValues.push_back(std::move(uid));
        released.push_back(std::move(layer));
    }
    ui::Layer::release(std::move(released), std::move(mainThreadValues));
    // The shown items that stay, under their new indexes.
    std::vector<std::size_t> shown;
    std::size_t gone = 0;
    for (auto index : m_shownItems) {
        while (gone < indexes.size() && indexes[gone] < index)
            ++gone;
        if (gone < indexes.size() && indexes[gone] == index)
            continue;
        shown.push_back(index - gone);
    }
    m_shownItems = std::move(shown);
    if (m_laidOutSelection != NotFound) {
        auto below
            = std::size_t(std::lower_bound(indexes.begin(), indexes.end(), m_laidOutSelection) - indexes.begin());
        m_laidOutSelection -= below;
    }
    renumberItemLayers(indexes.front());
}

void QFFlowView::insertItemLayers(const std::vector<std::size_t>& indexes, const fnd::IndexSet& changed)
{
    std::vector<std::shared_ptr<QFLayerAccessibilityHelper>> elements;
    std::vector<std::shared_ptr<ui::ReplicatorLayer>> coming;
    elements.reserve(indexes.size());
    coming.reserve(indexes.size());
    for (auto index : indexes)
        coming.push_back(itemLayerForItem(index, m_observedItems[index], elements));
    m_scrollLayer->insertSublayers({ coming.begin(), coming.end() }, indexes);
    QFFlowViewInsertAt(m_itemLayers, std::move(coming), indexes);
    if (m_backgroundElement)
        m_backgroundElement->insertChildren(elements, changed);
    QFFlowViewIndexesAfterInsertion(m_shownItems, indexes);
    if (m_laidOutSelection != NotFound) {
        std::vector<std::size_t> selection { m_laidOutSelection };
        QFFlowViewIndexesAfterInsertion(selection, indexes);
        m_laidOutSelection = selection.front();
    }
    renumberItemLayers(indexes.front());
}

const ui::Layer* QFFlowView::itemLayerHolding(const std::shared_ptr<ui::Layer>& layer) const
{
    for (auto l = layer; l; l = l->superlayer())
        if (l->superlayer() == m_scrollLayer)
            return l.get();
    return nullptr;
}

void QFFlowView::releaseHeldLayersOf(const ui::Layer& itemLayer)
{
    // The layers last hit or marked for a drop belong to the item that leaves.
    if (m_selectedLayer && itemLayerHolding(m_selectedLayer) == &itemLayer) {
        m_selectedLayer->setValueForKey(false, "highlighted");
        m_selectedLayer.reset();
    }
    if (m_highlightedLayer && itemLayerHolding(m_highlightedLayer) == &itemLayer)
        setHighlightedLayer(nullptr);
}

void QFFlowView::recycleItemLayer(const std::shared_ptr<ui::ReplicatorLayer>& layer)
{
    // A few wait for items to come; the others go, with what they showed.
    if (m_layerQueue.size() >= MaxQueuedItemLayers)
        return;
    clearItemLayer(*layer);
    m_layerQueue.push_back(layer);
}

void QFFlowView::clearItemLayer(ui::ReplicatorLayer& layer)
{
    // Nothing of the item it showed stays with it: not its picture, identifier or element.
    layer.setValueForKey(fnd::Value(), QFFlowViewLayerKey::UID);
    if (layer.sublayers().empty())
        return;
    auto content = layer.sublayers().front();
    for (const auto& sub : content->sublayers())
        sub->removeFromSuperlayer();
    content->setValueForKey(fnd::Value(), QFFlowViewLayerKey::Overlay);
    content->setValueForKey(fnd::Value(), QFFlowViewLayerKey::UID);
    content->setValueForKey(fnd::Value(), QFFlowViewLayerKey::AccessibilityElement);
    content->setContents(nullptr);
}
