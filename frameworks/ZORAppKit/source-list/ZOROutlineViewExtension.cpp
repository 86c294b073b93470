// What the framework adds to every outline view of the program: installed as the library loads, so outline views
// made by anyone (and the framework's own subclasses) handle keys, menus, drops and edits alike.
#include "frameworks/ZORAppKit/source-list/ZOROutlineView.h"

#include "platform/ui/controls/TextViewDelegate.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableViewExtensions.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <mutex>

namespace {

using OutlineViewExtensionHooks = ui::TableViewExtension;

std::shared_ptr<ZOROutlineViewDelegate> extendedOutlineDelegate(ui::OutlineView& outline)
{
    return std::dynamic_pointer_cast<ZOROutlineViewDelegate>(outline.delegate());
}

void extendedOutlineKeyDown(
    ui::TableView& table, const ui::Event& event, const OutlineViewExtensionHooks::Next<const ui::Event&>& next)
{
    auto& outline = static_cast<ui::OutlineView&>(table);
    const auto& keys = event.charactersIgnoringModifiers();
    if (keys.isEmpty()) {
        next(event);
        return;
    }
    const char16_t key = keys.units()[0];
    if (key == 0x7F || key == ui::FunctionKey::Delete) {
        if (auto d = extendedOutlineDelegate(outline); d && d->outlineViewDidReceiveDelete(outline, event))
            return;
        next(event);
        return;
    }
    if (key == ui::FunctionKey::LeftArrow || key == ui::FunctionKey::RightArrow) {
        // Only the one selected item opens or closes; the key goes no further either way.
        if (outline.numberOfSelectedRows() != 1)
            return;
        auto item = outline.itemAtRow(outline.selectedRowIndexes().firstIndex());
        if (!outline.isExpandable(item))
            return;
        if (key == ui::FunctionKey::LeftArrow) {
            if (outline.isItemExpanded(item))
                outline.collapseItem(item);
        } else {
            outline.expandItem(item);
        }
        return;
    }
    next(event);
}

// The delegate's menu for the clicked cell; none elsewhere, and none from the view itself.
std::shared_ptr<ui::Menu> extendedOutlineMenu(
    ui::TableView& table, const ui::Event& event, const OutlineViewExtensionHooks::MenuNext&)
{
    auto& outline = static_cast<ui::OutlineView&>(table);
    const auto p = outline.convertPointFromView(event.locationInWindow(), nullptr);
    const long column = outline.columnAtPoint(p), row = outline.rowAtPoint(p);
    if (column < 0 || row < 0)
        return nullptr;
    auto d = extendedOutlineDelegate(outline);
    if (!d)
        return nullptr;
    return d->outlineViewMenuForTableColumn(
        outline, outline.tableColumns()[std::size_t(column)].get(), outline.itemAtRow(row));
}

void extendedOutlineDraggingExited(
    ui::TableView& table, ui::DraggingInfo& info, const OutlineViewExtensionHooks::Next<ui::DraggingInfo&>& next)
{
    auto& outline = static_cast<ui::OutlineView&>(table);
    next(info);
    if (auto d = extendedOutlineDelegate(outline))
        d->outlineViewDraggingExited(outline, info);
}

void extendedOutlineConcludeDrag(
    ui::TableView& table, ui::DraggingInfo& info, const OutlineViewExtensionHooks::Next<ui::DraggingInfo&>& next)
{
    auto& outline = static_cast<ui::OutlineView&>(table);
    next(info);
    if (auto d = extendedOutlineDelegate(outline))
        d->outlineViewConcludeDragOperation(outline, info);
}

void extendedOutlineTextDidEndEditing(ui::TableView& table, const fnd::Notification& notification,
    const OutlineViewExtensionHooks::Next<const fnd::Notification&>& next)
{
    const auto movement = notification.userInfo().get(ui::TextNotification::MovementKey);
    if (movement.isNil() || movement.integerValue() != ui::TextMovement::Return) {
        next(notification);
        return;
    }
    auto self = std::static_pointer_cast<ui::TableView>(table.shared_from_this());
    // Return ends the edit where it is: no move to the next row, and the outline keeps the keyboard.
    auto info = notification.userInfo();
    info.set(ui::TextNotification::MovementKey, fnd::Value(ui::TextMovement::Other));
    next(fnd::Notification(notification.name(), notification.object(), info));
    if (auto w = table.window())
        w->makeFirstResponder(self);
}

[[maybe_unused]] const bool outlineViewExtensionInstalledAtLoad = (ZOROutlineViewExtension::install(), true);

}

namespace ZOROutlineViewExtension {

void install()
{
    static std::once_flag once;
    std::call_once(once, [] {
        OutlineViewExtensionHooks extension;
        extension.scope = OutlineViewExtensionHooks::Scope::OutlineViews;
        extension.keyDown = extendedOutlineKeyDown;
        extension.menuForEvent = extendedOutlineMenu;
        extension.draggingExited = extendedOutlineDraggingExited;
        extension.concludeDragOperation = extendedOutlineConcludeDrag;
        extension.textDidEndEditing = extendedOutlineTextDidEndEditing;
        ui::installTableViewExtension(std::move(extension));
    });
}

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
