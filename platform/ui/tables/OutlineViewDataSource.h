#pragma once

#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/ui/dragging/Dragging.h"

namespace ui {

class OutlineView;
class Pasteboard;
class TableColumn;

// What an outline view asks of the object that holds its tree. Items are any values: objects are told apart by
// identity, other values by equality; the nil item stands for the invisible root. Every answer has a default.
class OutlineViewDataSource {
public:
    virtual ~OutlineViewDataSource() = default;

    virtual long outlineViewNumberOfChildrenOfItem(OutlineView&, const fnd::Value& /*item*/) { return 0; }
    virtual fnd::Value outlineViewChildOfItem(OutlineView&, long /*index*/, const fnd::Value& /*item*/) { return {}; }
    virtual bool outlineViewIsItemExpandable(OutlineView&, const fnd::Value& /*item*/) { return false; }
    virtual fnd::Value outlineViewObjectValueForTableColumn(OutlineView&, TableColumn*, const fnd::Value& /*item*/)
    {
        return {};
    }
    virtual void outlineViewSetObjectValue(OutlineView&, const fnd::Value&, TableColumn*, const fnd::Value& /*item*/) {
    }
    virtual void outlineViewSortDescriptorsDidChange(OutlineView&, const fnd::SortDescriptors& /*oldDescriptors*/) { }

    // Saved expansion: an item stands in the defaults as its persistent object (a property-list value); nil
    // answers leave the item out.
    virtual fnd::Value outlineViewItemForPersistentObject(OutlineView&, const fnd::Value& /*object*/) { return {}; }
    virtual fnd::Value outlineViewPersistentObjectForItem(OutlineView&, const fnd::Value& /*item*/) { return {}; }

    // Dragging items out, and drops on an item (childIndex -1) or between its children (the nil item: the top
    // level); the data source may move the target with OutlineView::setDropItem.
    virtual bool outlineViewWriteItems(OutlineView&, const fnd::Array& /*items*/, Pasteboard&) { return false; }
    // Items that went out as promised files were dropped where files go: write them into the folder (a file URL)
    // and answer the names written.
    virtual std::vector<fnd::String> outlineViewNamesOfPromisedFilesDroppedAtDestination(
        OutlineView&, const fnd::String& /*dropDestination*/, const fnd::Array& /*items*/)
    {
        return {};
    }
    virtual DragOperation outlineViewValidateDrop(
        OutlineView&, DraggingInfo&, const fnd::Value& /*item*/, long /*childIndex*/)
    {
        return DragOperations::None;
    }
    virtual bool outlineViewAcceptDrop(OutlineView&, DraggingInfo&, const fnd::Value& /*item*/, long /*childIndex*/)
    {
        return false;
    }
};

}
