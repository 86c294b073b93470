#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "platform/ui/dragging/Dragging.h"

#include <optional>

class ZOROutlineSourceList;

namespace ui {
class Cell;
class Menu;
class Pasteboard;
}

// What a source list asks of the object holding its items. The first four answers are required; the others are
// optional, and their defaults (std::nullopt where the list falls back) are what the list does without them.
class ZOROutlineSourceListDataSource {
public:
    virtual ~ZOROutlineSourceListDataSource() = default;

    // The nil item is the invisible root: its children are the groups.
    virtual fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) = 0;
    virtual fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) = 0;
    virtual fnd::Value sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item) = 0;
    virtual bool sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item) = 0;

    virtual void sourceListSetObjectValue(
        ZOROutlineSourceList&, const fnd::Value& /*value*/, const fnd::Value& /*item*/)
    {
    }
    virtual bool sourceListItemHasBadge(ZOROutlineSourceList&, const fnd::Value&) { return false; }
    virtual std::optional<std::int64_t> sourceListBadgeValueForItem(ZOROutlineSourceList&, const fnd::Value&)
    {
        return std::nullopt;
    }
    virtual gfx::ColorPtr sourceListBadgeTextColorForItem(ZOROutlineSourceList&, const fnd::Value&) { return nullptr; }
    virtual gfx::ColorPtr sourceListBadgeBackgroundColorForItem(ZOROutlineSourceList&, const fnd::Value&)
    {
        return nullptr;
    }
    virtual bool sourceListItemHasIcon(ZOROutlineSourceList&, const fnd::Value&) { return false; }
    virtual std::shared_ptr<gfx::Image> sourceListIconForItem(ZOROutlineSourceList&, const fnd::Value&)
    {
        return nullptr;
    }
    // Saved expansion.
    virtual fnd::Value sourceListItemForPersistentObject(ZOROutlineSourceList&, const fnd::Value&) { return {}; }
    virtual fnd::Value sourceListPersistentObjectForItem(ZOROutlineSourceList&, const fnd::Value&) { return {}; }
    // Dragging items out and dropping on an item (child index -1) or between its children.
    virtual bool sourceListWriteItems(ZOROutlineSourceList&, const fnd::Array& /*items*/, ui::Pasteboard&)
    {
        return false;
    }
    virtual ui::DragOperation sourceListValidateDrop(
        ZOROutlineSourceList&, ui::DraggingInfo&, const fnd::Value& /*item*/, fnd::Index /*childIndex*/)
    {
        return ui::DragOperations::None;
    }
    virtual bool sourceListAcceptDrop(
        ZOROutlineSourceList&, ui::DraggingInfo&, const fnd::Value& /*item*/, fnd::Index /*childIndex*/)
    {
        return false;
    }
    // A drag over the list ended, dropped or not.
    virtual void sourceListDraggingEnded(ZOROutlineSourceList&, ui::DraggingInfo&) { }
    // Items written as promised files were dropped where files go: write them into the folder (a file URL) and
    // answer the names written.
    virtual std::vector<fnd::String> sourceListNamesOfPromisedFilesDroppedAtDestination(
        ZOROutlineSourceList&, const fnd::String& /*dropDestination*/, const fnd::Array& /*items*/)
    {
        return {};
    }
};

// What a source list lets its delegate decide (all optional) and the notifications it passes on to it: the seven
// observer calls are subscribed for as long as the object is the list's delegate.
class ZOROutlineSourceListDelegate {
public:
    virtual ~ZOROutlineSourceListDelegate() = default;

    // Asked for groups only.
    virtual bool sourceListIsGroupAlwaysExpanded(ZOROutlineSourceList&, const fnd::Value& /*group*/) { return false; }
    virtual bool sourceListShouldExpandItem(ZOROutlineSourceList&, const fnd::Value&) { return true; }
    virtual bool sourceListShouldCollapseItem(ZOROutlineSourceList&, const fnd::Value&) { return true; }
    // nullptr: the first column's data cell.
    virtual std::shared_ptr<ui::Cell> sourceListDataCellForItem(ZOROutlineSourceList&, const fnd::Value&)
    {
        return nullptr;
    }
    virtual void sourceListWillDisplayCell(ZOROutlineSourceList&, ui::Cell&, const fnd::Value& /*item*/) { }
    virtual bool sourceListShouldSelectItem(ZOROutlineSourceList&, const fnd::Value&) { return true; }
    virtual std::optional<fnd::IndexSet> sourceListSelectionIndexesForProposedSelection(
        ZOROutlineSourceList&, const fnd::IndexSet& /*proposed*/)
    {
        return std::nullopt;
    }
    virtual bool sourceListShouldEditItem(ZOROutlineSourceList&, const fnd::Value&) { return true; }
    virtual bool sourceListShouldTrackCell(ZOROutlineSourceList&, ui::Cell&, const fnd::Value&) { return false; }
    virtual std::optional<double> sourceListHeightOfRowByItem(ZOROutlineSourceList&, const fnd::Value&)
    {
        return std::nullopt;
    }
    // nullptr: the list's own menu.
    virtual std::shared_ptr<ui::Menu> sourceListMenuForEvent(
        ZOROutlineSourceList&, const ui::Event&, const fnd::Value& /*item*/)
    {
        return nullptr;
    }

    virtual void sourceListSelectionIsChanging(const fnd::Notification&) { }
    virtual void sourceListSelectionDidChange(const fnd::Notification&) { }
    virtual void sourceListItemWillExpand(const fnd::Notification&) { }
    virtual void sourceListItemDidExpand(const fnd::Notification&) { }
    virtual void sourceListItemWillCollapse(const fnd::Notification&) { }
    virtual void sourceListItemDidCollapse(const fnd::Notification&) { }
    virtual void sourceListDeleteKeyPressedOnRows(const fnd::Notification&) { }
};
