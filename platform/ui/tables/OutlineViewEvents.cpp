// An outline view's disclosure triangles, its keys and its drops on items.

#include "platform/ui/tables/OutlineView.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/tables/TableViewExtensions.h"
#include "platform/ui/tables/detail/OutlineNode.h"

#include <algorithm>

namespace ui {

void OutlineView::drawRow(long row, gfx::Rect clipRect)
{
    TableView::drawRow(row, clipRect);
    auto frame = frameOfOutlineCellAtRow(row);
    if (frame.isEmpty() || !gfx::intersectsRect(frame, clipRect) || !m_outlineCell)
        return;
    auto item = itemAtRow(row);
    m_outlineCell->setState(isItemExpanded(item) ? ControlStateValue::On : ControlStateValue::Off);
    m_outlineCell->setHighlighted(false);
    if (auto d = delegate())
        d->outlineViewWillDisplayOutlineCell(*this, *m_outlineCell, outlineTableColumn().get(), item);
    m_outlineCell->drawWithFrame(frame, *this);
}

void OutlineView::mouseDown(const Event& event)
{
    if (!isEnabled())
        return;
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    long row = rowAtPoint(point);
    auto frame = frameOfOutlineCellAtRow(row);
    if (row >= 0 && !frame.isEmpty() && gfx::pointInRect(point, frame)) {
        // The triangle opens or closes the item (with Alt, every item below it too); the selection stays.
        auto self = shared_from_this();
        auto item = itemAtRow(row);
        const bool all = (event.modifierFlags() & ModifierFlags::Alternate) != 0;
        if (isItemExpanded(item))
            collapseItem(item, all);
        else
            expandItem(item, all);
        return;
    }
    TableView::mouseDown(event);
}

void OutlineView::keyDown(const Event& event)
{
    auto self = shared_from_this();
    detail::keyDownThroughExtensions(*this, event, [this](const Event& e) { keyDownInOutline(e); });
}

void OutlineView::keyDownInOutline(const Event& event)
{
    const auto& keys = event.charactersIgnoringModifiers();
    const char16_t key = keys.isEmpty() ? 0 : keys.units()[0];
    if (key != FunctionKey::RightArrow && key != FunctionKey::LeftArrow) {
        keyDownInTable(event);
        return;
    }
    auto self = shared_from_this();
    const bool all = (event.modifierFlags() & ModifierFlags::Alternate) != 0;
    auto items = selectedItems();
    if (key == FunctionKey::RightArrow) {
        for (const auto& item : items)
            if (isExpandable(item))
                expandItem(item, all);
        return;
    }
    // Left closes the selected items; on one that is closed already it goes to the parent.
    if (items.size() == 1 && (!isExpandable(items.front()) || !isItemExpanded(items.front()))) {
        auto parent = parentForItem(items.front());
        if (long row = rowForItem(parent); row >= 0) {
            selectRowsByUser(fnd::IndexSet { row });
            scrollRowToVisible(row);
        }
        return;
    }
    for (const auto& item : items)
        if (isItemExpanded(item))
            collapseItem(item, all);
}

// Drops.

void OutlineView::setDropItem(const fnd::Value& item, long childIndex)
{
    m_dropItem = item;
    m_dropChildIndex = childIndex;
    setNeedsDisplayInRect(visibleRowsRect());
}

DragOperation OutlineView::validateDropAtPoint(DraggingInfo& info, gfx::Point point)
{
    auto self = shared_from_this();
    // On a row's middle half: on its item. Above its middle: before it among its siblings. Below: after it, or
    // before the first child of an open item.
    const long count = static_cast<long>(m_rows.size());
    long row = rowAtPoint({ std::clamp(point.x, 0.0, std::max(0.0, bounds().width() - 1)), point.y });
    auto indexInParent = [](const Node& node) {
        const auto& siblings = node.parent->children;
        for (std::size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i].get() == &node)
                return static_cast<long>(i);
        return 0L;
    };
    fnd::Value item;
    long childIndex = 0;
    if (point.y < 0 || count == 0) {
        childIndex = 0;
    } else if (row < 0) {
        childIndex = static_cast<long>(m_root->children.size());
    } else {
        Node& node = *m_rows[static_cast<std::size_t>(row)];
        auto rect = rectOfRow(row);
        double part = (point.y - rect.minY()) / std::max(1.0, rect.height());
        if (part >= 0.25 && part <= 0.75 && isExpandableNode(node)) {
            item = node.item;
            childIndex = OutlineViewDropOnItemIndex;
        } else if (part >= 0.5 && node.expanded && node.loaded && !node.children.empty()) {
            item = node.item;
            childIndex = 0;
        } else {
            item = node.parent == m_root.get() ? fnd::Value() : node.parent->item;
            childIndex = indexInParent(node) + (part >= 0.5 ? 1 : 0);
        }
    }
    m_dropItem = item;
    m_dropChildIndex = childIndex;
    auto source = dataSource();
    DragOperation result
        = source ? source->outlineViewValidateDrop(*this, info, item, childIndex) : DragOperations::None;
    if (result == DragOperations::None) {
        clearDropHighlight();
        return result;
    }
    // Shown as the table shows drops: on the item's row (the whole outline for the root), or in the gap where the
    // child would go.
    Node* target = nodeForItem(m_dropItem);
    if (m_dropChildIndex == OutlineViewDropOnItemIndex) {
        setDropRow(target && target != m_root.get() ? target->row : -1, TableViewDropOperation::On);
    } else if (target) {
        long gap = rowAfterDescendants(*target);
        if (target->expanded && target->loaded && m_dropChildIndex < static_cast<long>(target->children.size())
            && m_dropChildIndex >= 0 && target->children[static_cast<std::size_t>(m_dropChildIndex)]->row >= 0)
            gap = target->children[static_cast<std::size_t>(m_dropChildIndex)]->row;
        setDropRow(gap, TableViewDropOperation::Above);
    }
    m_dropHighlightShown = true;
    setNeedsDisplayInRect(visibleRowsRect());
    return result;
}

bool OutlineView::acceptValidatedDrop(DraggingInfo& info)
{
    auto source = dataSource();
    return source && source->outlineViewAcceptDrop(*this, info, m_dropItem, m_dropChildIndex);
}

}
