// Expanding and collapsing items, their notifications, the expansion kept in the defaults, and the slide that shows
// rows opening and closing.

#include "platform/ui/tables/OutlineView.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/tables/detail/OutlineNode.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ui {

void OutlineView::postExpansionNotification(const fnd::String& name, const fnd::Value& item)
{
    fnd::Dictionary info;
    info.set(OutlineViewNotification::ItemKey, item);
    auto note = std::make_shared<fnd::Notification>(name, selfValue(), info);
    fnd::NotificationCenter::defaultCenter().postNotification(note);
    auto d = delegate();
    if (!d)
        return;
    if (name == OutlineViewNotification::ItemWillExpand)
        d->outlineViewItemWillExpand(*note);
    else if (name == OutlineViewNotification::ItemDidExpand)
        d->outlineViewItemDidExpand(*note);
    else if (name == OutlineViewNotification::ItemWillCollapse)
        d->outlineViewItemWillCollapse(*note);
    else if (name == OutlineViewNotification::ItemDidCollapse)
        d->outlineViewItemDidCollapse(*note);
}

void OutlineView::expandItem(const fnd::Value& item, bool expandChildren)
{
    auto self = shared_from_this();
    Node* node = nodeForItem(item);
    if (!node)
        return;
    if (node == m_root.get()) {
        // Every top-level item, each with its descendants when asked.
        if (!expandChildren)
            return;
        std::vector<fnd::Value> items;
        for (auto& child : node->children)
            items.push_back(child->item);
        for (const auto& child : items)
            expandItem(child, true);
        return;
    }
    expandNode(*node, expandChildren);
}

void OutlineView::expandNode(Node& node, bool expandChildren)
{
    if (!isExpandableNode(node))
        return;
    auto item = node.item;
    if (!node.expanded || !node.loaded) {
        if (auto d = delegate(); d && !d->outlineViewShouldExpandItem(*this, item))
            return;
        if (auto w = window(); w && currentEditor())
            w->endEditingFor(this);
        auto selected = selectedItems();
        postExpansionNotification(OutlineViewNotification::ItemWillExpand, item);
        // The node may have been replaced by what the notification's observers did.
        Node* current = nodeForItem(item);
        if (!current)
            return;
        const bool hadRows = unindexDescendants(*current);
        reloadSubtree(*current);
        current->expanded = true;
        nodeDidExpand(*current, hadRows, selected);
        if (current->row >= 0 && m_animatesExpansion) {
            long first = current->row + 1;
            long after = rowAfterDescendants(*current);
            if (after > first)
                startSlide(
                    rectOfRow(first).minY(), rectOfRow(after - 1).maxY() - rectOfRow(first).minY(), true, nullptr);
        }
        setNeedsDisplay(true);
        postExpansionNotification(OutlineViewNotification::ItemDidExpand, item);
        saveExpandedItems();
    }
    if (!expandChildren)
        return;
    Node* current = nodeForItem(item);
    if (!current)
        return;
    std::vector<fnd::Value> children;
    for (auto& child : current->children)
        children.push_back(child->item);
    for (const auto& child : children)
        if (Node* childNode = nodeForItem(child))
            expandNode(*childNode, true);
}

void OutlineView::collapseItem(const fnd::Value& item, bool collapseChildren)
{
    auto self = shared_from_this();
    Node* node = nodeForItem(item);
    if (!node)
        return;
    if (node == m_root.get()) {
        if (!collapseChildren)
            return;
        std::vector<fnd::Value> items;
        for (auto& child : node->children)
            items.push_back(child->item);
        for (const auto& child : items)
            collapseItem(child, true);
        return;
    }
    collapseNode(*node, collapseChildren);
}

void OutlineView::collapseNode(Node& node, bool collapseChildren)
{
    auto item = node.item;
    if (collapseChildren && node.loaded) {
        // The descendants first, while they still show.
        std::vector<fnd::Value> children;
        for (auto& child : node.children)
            children.push_back(child->item);
        for (const auto& child : children)
            if (Node* childNode = nodeForItem(child))
                collapseNode(*childNode, true);
    }
    Node* current = nodeForItem(item);
    if (!current || !current->expanded)
        return;
    if (auto d = delegate(); d && !d->outlineViewShouldCollapseItem(*this, item))
        return;
    if (auto w = window(); w && currentEditor())
        w->endEditingFor(this);
    auto selected = selectedItems();
    postExpansionNotification(OutlineViewNotification::ItemWillCollapse, item);
    current = nodeForItem(item);
    if (!current)
        return;
    // What the closing rows look like, for the slide.
    std::shared_ptr<gfx::BitmapImageRep> snapshot;
    double top = 0, height = 0;
    if (m_animatesExpansion && current->row >= 0 && window()) {
        long first = current->row + 1;
        long after = rowAfterDescendants(*current);
        if (after > first) {
            top = rectOfRow(first).minY();
            height = rectOfRow(after - 1).maxY() - top;
            auto visible = visibleRowsRect();
            gfx::Rect shown { visible.minX(), top, visible.width(), height };
            shown = gfx::intersectionRect(shown, visible);
            if (!shown.isEmpty() && (snapshot = bitmapImageRepForCachingDisplayInRect(shown)))
                cacheDisplayInRect(shown, *snapshot);
            height = shown.isEmpty() ? 0 : shown.maxY() - top;
        }
    }
    const long firstRow = current->row + 1, afterRows = current->row >= 0 ? rowAfterDescendants(*current) : 0;
    current->expanded = false;
    nodeDidCollapse(*current, firstRow, afterRows, selected);
    if (snapshot && height > 0)
        startSlide(top, height, false, snapshot);
    setNeedsDisplay(true);
    postExpansionNotification(OutlineViewNotification::ItemDidCollapse, item);
    saveExpandedItems();
}

// Saved expansion.

fnd::String OutlineView::expandedItemsDefaultsKey(const fnd::String& autosaveName)
{
    return fnd::String("NSOutlineView Items ") + autosaveName;
}

void OutlineView::setAutosaveExpandedItems(bool flag)
{
    if (flag == m_autosaveExpandedItems)
        return;
    m_autosaveExpandedItems = flag;
    m_expansionRestored = false;
    if (flag && !autosaveName().isEmpty() && dataSource())
        restoreExpandedItems();
}

void OutlineView::setAutosaveName(const fnd::String& name)
{
    if (name == autosaveName())
        return;
    TableView::setAutosaveName(name);
    m_expansionRestored = false;
    if (m_autosaveExpandedItems && !name.isEmpty() && dataSource())
        restoreExpandedItems();
}

void OutlineView::saveExpandedItems()
{
    if (!m_autosaveExpandedItems || autosaveName().isEmpty() || m_restoringExpansion)
        return;
    auto source = dataSource();
    if (!source)
        return;
    // Parents before their children, so that restoring expands them in an order that finds every item.
    fnd::Array objects;
    auto walk = [&](auto&& self, const Node& node) -> void {
        for (const auto& child : node.children) {
            if (!child->expanded)
                continue;
            auto object = source->outlineViewPersistentObjectForItem(*this, child->item);
            if (!object.isNil() && !object.isNull())
                objects.push_back(object);
            self(self, *child);
        }
    };
    walk(walk, *m_root);
    fnd::UserDefaults::standardUserDefaults().setObject(fnd::Value(objects), expandedItemsDefaultsKey(autosaveName()));
}

void OutlineView::restoreExpandedItems()
{
    auto source = dataSource();
    if (!source)
        return;
    m_expansionRestored = true;
    auto saved = fnd::UserDefaults::standardUserDefaults().objectForKey(expandedItemsDefaultsKey(autosaveName()));
    const auto* objects = saved.array();
    if (!objects)
        return;
    m_restoringExpansion = true;
    const bool animates = m_animatesExpansion;
    m_animatesExpansion = false;
    for (const auto& object : *objects) {
        auto item = source->outlineViewItemForPersistentObject(*this, object);
        if (!item.isNil())
            expandItem(item, false);
    }
    m_animatesExpansion = animates;
    m_restoringExpansion = false;
}

// The slide.

void OutlineView::startSlide(double top, double height, bool opening, std::shared_ptr<gfx::BitmapImageRep> snapshot)
{
    if (height <= 0 || !window())
        return;
    stopSlide();
    m_slide = Slide { top, height, opening, fnd::Clock::current()->now(), std::move(snapshot) };
    std::weak_ptr<OutlineView> weak = std::static_pointer_cast<OutlineView>(shared_from_this());
    m_slideTimer = fnd::Timer::create(1.0 / 60, true, [weak](fnd::Timer&) {
        auto self = weak.lock();
        if (!self || !self->m_slide)
            return;
        double elapsed = fnd::Clock::current()->now().timeIntervalSince(self->m_slide->start);
        if (elapsed >= ExpansionAnimationDuration)
            self->stopSlide();
        else
            self->setNeedsDisplayInRect(self->visibleRowsRect());
    });
    fnd::RunLoop::main().addTimer(m_slideTimer, fnd::RunLoopMode::Common);
}

void OutlineView::stopSlide()
{
    if (m_slideTimer) {
        m_slideTimer->invalidate();
        m_slideTimer.reset();
    }
    if (m_slide) {
        m_slide.reset();
        setNeedsDisplay(true);
    }
}

void OutlineView::drawRect(gfx::Rect dirtyRect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!m_slide || !context) {
        TableView::drawRect(dirtyRect);
        return;
    }
    // How far the slide has come, easing out.
    double t = std::clamp(
        fnd::Clock::current()->now().timeIntervalSince(m_slide->start) / ExpansionAnimationDuration, 0.0, 1.0);
    double eased = 1 - (1 - t) * (1 - t);
    const double top = m_slide->top, height = m_slide->height;
    // The part of the changed rows still (or already) in sight, and how far the rows below are from their place.
    const double shown = m_slide->opening ? eased * height : (1 - eased) * height;
    const double shift = m_slide->opening ? shown - height : shown;
    const double maxY = std::max(dirtyRect.maxY(), visibleRowsRect().maxY());

    auto drawPart = [&](gfx::Rect area, double dy) {
        area = gfx::intersectionRect(area, { dirtyRect.minX(), dirtyRect.minY(), dirtyRect.width(), maxY });
        if (area.isEmpty())
            return;
        context->saveGraphicsState();
        context->clipToRect(area);
        context->translateCTM(0, dy);
        TableView::drawRect(gfx::offsetRect(area, 0, -dy));
        context->restoreGraphicsState();
    };
    drawPart({ dirtyRect.minX(), dirtyRect.minY(), dirtyRect.width(), std::max(0.0, top - dirtyRect.minY()) }, 0);
    gfx::Rect block { dirtyRect.minX(), top, dirtyRect.width(), shown };
    if (m_slide->opening) {
        drawPart(block, 0);
    } else if (m_slide->snapshot && !gfx::intersectionRect(block, dirtyRect).isEmpty()) {
        // The closing rows as they were, their lower part going under the rows below.
        context->saveGraphicsState();
        context->clipToRect(gfx::intersectionRect(block, dirtyRect));
        auto size = m_slide->snapshot->size();
        gfx::Image::imageWithRepresentation(m_slide->snapshot)
            ->drawInRect({ visibleRowsRect().minX(), top, size.width, size.height });
        context->restoreGraphicsState();
    }
    drawPart({ dirtyRect.minX(), top + shown, dirtyRect.width(), maxY - top - shown }, shift);
}

}
