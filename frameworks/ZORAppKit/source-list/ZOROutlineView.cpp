#include "frameworks/ZORAppKit/source-list/ZOROutlineView.h"

#include "platform/ui/controls/TextViewDelegate.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

FND_REGISTER_CLASS(ZOROutlineView, ui::OutlineView)

std::shared_ptr<ZOROutlineView> ZOROutlineView::create(gfx::Rect frame)
{
    return ui::makeView<ZOROutlineView>(frame);
}

void ZOROutlineView::keyDown(const ui::Event& event)
{
    auto self = shared_from_this();
    const auto& keys = event.charactersIgnoringModifiers();
    if (keys.isEmpty()) {
        OutlineView::keyDown(event);
        return;
    }
    const char16_t key = keys.units()[0];
    if (key == 0x7F || key == ui::FunctionKey::Delete) {
        if (auto d = extendedDelegate(); d && d->outlineViewDidReceiveDelete(*this, event))
            return;
        OutlineView::keyDown(event);
        return;
    }
    if (key == ui::FunctionKey::LeftArrow || key == ui::FunctionKey::RightArrow) {
        // Only the one selected item opens or closes; the key goes no further either way.
        if (numberOfSelectedRows() != 1)
            return;
        auto item = itemAtRow(selectedRowIndexes().firstIndex());
        if (!isExpandable(item))
            return;
        if (key == ui::FunctionKey::LeftArrow) {
            if (isItemExpanded(item))
                collapseItem(item);
        } else {
            expandItem(item);
        }
        return;
    }
    OutlineView::keyDown(event);
}

std::shared_ptr<ui::Menu> ZOROutlineView::menuForEvent(const ui::Event& event)
{
    const auto p = convertPointFromView(event.locationInWindow(), nullptr);
    const long column = columnAtPoint(p), row = rowAtPoint(p);
    if (column < 0 || row < 0)
        return nullptr;
    auto d = extendedDelegate();
    if (!d)
        return nullptr;
    return d->outlineViewMenuForTableColumn(*this, tableColumns()[std::size_t(column)].get(), itemAtRow(row));
}

void ZOROutlineView::draggingExited(ui::DraggingInfo& info)
{
    OutlineView::draggingExited(info);
    if (auto d = extendedDelegate())
        d->outlineViewDraggingExited(*this, info);
}

void ZOROutlineView::concludeDragOperation(ui::DraggingInfo& info)
{
    OutlineView::concludeDragOperation(info);
    if (auto d = extendedDelegate())
        d->outlineViewConcludeDragOperation(*this, info);
}

void ZOROutlineView::textDidEndEditing(const fnd::Notification& notification)
{
    const auto movement = notification.userInfo().get(ui::TextNotification::MovementKey);
    if (movement.integerValue() != ui::TextMovement::Return || movement.isNil()) {
        OutlineView::textDidEndEditing(notification);
        return;
    }
    auto self = std::static_pointer_cast<ZOROutlineView>(shared_from_this());
    // Return ends the edit where it is: no move to the next row, and the outline keeps the keyboard.
    auto info = notification.userInfo();
    info.set(ui::TextNotification::MovementKey, fnd::Value(ui::TextMovement::Other));
    OutlineView::textDidEndEditing(fnd::Notification(notification.name(), notification.object(), info));
    if (auto w = window())
        w->makeFirstResponder(self);
}

namespace ZOROutlineViewExtension {

fnd::Value selectedItem(const ui::OutlineView& outline)
{
    const long row = outline.selectedRow();
    return row < 0 ? fnd::Value {} : outline.itemAtRow(row);
}

fnd::Array allSelectedItems(const ui::OutlineView& outline)
{
    fnd::Array items;
    for (auto row : outline.selectedRowIndexes().indexes()) {
        auto item = outline.itemAtRow(long(row));
        if (!item.isNil())
            items.push_back(item);
    }
    return items;
}

void selectItems(ui::OutlineView& outline, const fnd::Array& items, bool extendSelection)
{
    fnd::IndexSet rows;
    for (const auto& item : items)
        if (long row = outline.rowForItem(item); row >= 0)
            rows.add(row);
    outline.selectRowIndexes(rows, extendSelection);
}

}
