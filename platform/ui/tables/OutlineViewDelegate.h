#pragma once

#include "platform/foundation/runtime/IndexSet.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/controls/Control.h"

#include <optional>

namespace ui {

class Cell;
class OutlineView;
class TableColumn;

// Optional answers of an outline view's delegate, by item; each default is what the outline does without one.
// The notification calls receive what the outline posts (the expansion ones name the item under "NSObject").
class OutlineViewDelegate : public ControlTextEditingDelegate {
public:
    virtual void outlineViewWillDisplayCell(OutlineView&, Cell&, TableColumn*, const fnd::Value& /*item*/) { }
    // The disclosure triangle's cell, before it draws.
    virtual void outlineViewWillDisplayOutlineCell(OutlineView&, Cell&, TableColumn*, const fnd::Value& /*item*/) { }
    virtual std::shared_ptr<Cell> outlineViewDataCellForTableColumn(OutlineView&, TableColumn*, const fnd::Value&)
    {
        return nullptr;
    }
    virtual std::optional<double> outlineViewHeightOfRowByItem(OutlineView&, const fnd::Value&) { return std::nullopt; }
    virtual bool outlineViewIsGroupItem(OutlineView&, const fnd::Value&) { return false; }
    virtual fnd::String outlineViewToolTipForCell(
        OutlineView&, Cell&, gfx::Rect& /*rect*/, TableColumn*, const fnd::Value& /*item*/, gfx::Point)
    {
        return {};
    }

    virtual bool outlineViewShouldExpandItem(OutlineView&, const fnd::Value&) { return true; }
    virtual bool outlineViewShouldCollapseItem(OutlineView&, const fnd::Value&) { return true; }
    virtual void outlineViewItemWillExpand(const fnd::Notification&) { }
    virtual void outlineViewItemDidExpand(const fnd::Notification&) { }
    virtual void outlineViewItemWillCollapse(const fnd::Notification&) { }
    virtual void outlineViewItemDidCollapse(const fnd::Notification&) { }

    virtual bool outlineViewShouldSelectItem(OutlineView&, const fnd::Value&) { return true; }
    virtual std::optional<fnd::IndexSet> outlineViewSelectionIndexesForProposedSelection(
        OutlineView&, const fnd::IndexSet& /*proposed*/)
    {
        return std::nullopt;
    }
    virtual bool selectionShouldChangeInOutlineView(OutlineView&) { return true; }
    virtual void outlineViewSelectionIsChanging(const fnd::Notification&) { }
    virtual void outlineViewSelectionDidChange(const fnd::Notification&) { }

    virtual bool outlineViewShouldEditTableColumn(OutlineView&, TableColumn*, const fnd::Value& /*item*/)
    {
        return true;
    }
    virtual std::optional<bool> outlineViewShouldTrackCell(OutlineView&, Cell&, TableColumn*, const fnd::Value&)
    {
        return std::nullopt;
    }

    virtual std::optional<fnd::String> outlineViewTypeSelectStringForTableColumn(
        OutlineView&, TableColumn*, const fnd::Value& /*item*/)
    {
        return std::nullopt;
    }
    virtual std::optional<long> outlineViewNextTypeSelectMatch(
        OutlineView&, long /*startRow*/, long /*endRow*/, const fnd::String& /*searchString*/)
    {
        return std::nullopt;
    }
    virtual bool outlineViewShouldTypeSelectForEvent(OutlineView&, const Event&, const fnd::String&) { return true; }

    virtual void outlineViewMouseDownInHeaderOfTableColumn(OutlineView&, TableColumn&) { }
    virtual void outlineViewDidClickTableColumn(OutlineView&, TableColumn&) { }
    virtual void outlineViewDidDragTableColumn(OutlineView&, TableColumn&) { }
    virtual bool outlineViewShouldReorderColumn(OutlineView&, long /*column*/, long /*toColumn*/) { return true; }
    virtual void outlineViewColumnDidMove(const fnd::Notification&) { }
    virtual void outlineViewColumnDidResize(const fnd::Notification&) { }
};

}
