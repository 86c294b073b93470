#pragma once

#include "platform/ui/tables/OutlineView.h"
#include "platform/ui/tables/OutlineViewDelegate.h"

namespace ui {
class Menu;
}

// The further answers every outline view asks of its delegate once the framework is loaded (all optional; the defaults
// are what happens without).
class ZOROutlineViewDelegate : public ui::OutlineViewDelegate {
public:
    // Delete or forward delete: true when the delegate took the key.
    virtual bool outlineViewDidReceiveDelete(ui::OutlineView&, const ui::Event&) { return false; }
    // The context menu for a click on the item's cell in the column.
    virtual std::shared_ptr<ui::Menu> outlineViewMenuForTableColumn(
        ui::OutlineView&, ui::TableColumn*, const fnd::Value& /*item*/)
    {
        return nullptr;
    }
    virtual void outlineViewDraggingExited(ui::OutlineView&, ui::DraggingInfo&) { }
    virtual void outlineViewConcludeDragOperation(ui::OutlineView&, ui::DraggingInfo&) { }
};

// The framework's outline view. What it adds to outline views it adds to every outline view of the program, this
// one included, once the framework is loaded (ZOROutlineViewExtension below): Delete reaches the delegate, Left and
// Right collapse and expand the one selected item and nothing else, a right click asks the delegate for the clicked
// cell's menu (none below the last row), and Return ends an edit on the same row with the outline keeping the
// keyboard.
class ZOROutlineView : public ui::OutlineView {
    FND_OBJECT(ZOROutlineView)

public:
    ZOROutlineView() = default;
    static std::shared_ptr<ZOROutlineView> create(gfx::Rect frame = {});

protected:
    std::shared_ptr<ZOROutlineViewDelegate> extendedDelegate() const
    {
        return std::dynamic_pointer_cast<ZOROutlineViewDelegate>(delegate());
    }
};

// Selection by item, and the keys, menus, drops and edits above, for any outline view.
namespace ZOROutlineViewExtension {
// Installs the additions for every outline view; done when the framework loads, and once only however often called.
void install();
// The item of the selected row (nil without one).
fnd::Value selectedItem(const ui::OutlineView& outline);
// The items of the selected rows, in row order.
fnd::Array allSelectedItems(const ui::OutlineView& outline);
// Selects the rows of the items (items without a row are skipped; none selects nothing).
void selectItems(ui::OutlineView& outline, const fnd::Array& items, bool extendSelection);
}
