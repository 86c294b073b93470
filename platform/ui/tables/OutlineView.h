#pragma once

#include "platform/ui/tables/OutlineViewDataSource.h"
#include "platform/ui/tables/OutlineViewDelegate.h"
#include "platform/ui/tables/TableView.h"

#include <unordered_map>

namespace fnd {
class Timer;
}

namespace gfx {
class BitmapImageRep;
}

namespace ui {

class ButtonCell;
namespace detail {
class OutlineViewAdapter;
}

// Names of the notifications an outline view posts (object: the outline view); the expansion ones carry the item
// under "NSObject".
namespace OutlineViewNotification {
inline const fnd::String SelectionDidChange = "NSOutlineViewSelectionDidChangeNotification";
inline const fnd::String SelectionIsChanging = "NSOutlineViewSelectionIsChangingNotification";
inline const fnd::String ColumnDidMove = "NSOutlineViewColumnDidMoveNotification";
inline const fnd::String ColumnDidResize = "NSOutlineViewColumnDidResizeNotification";
inline const fnd::String ItemWillExpand = "NSOutlineViewItemWillExpandNotification";
inline const fnd::String ItemDidExpand = "NSOutlineViewItemDidExpandNotification";
inline const fnd::String ItemWillCollapse = "NSOutlineViewItemWillCollapseNotification";
inline const fnd::String ItemDidCollapse = "NSOutlineViewItemDidCollapseNotification";
inline const fnd::String ItemKey = "NSObject";
}

// The child index of a drop on an item itself.
constexpr long OutlineViewDropOnItemIndex = -1;

// A table whose rows are the visible items of a tree the data source describes: the top-level items, and the
// children of every expanded item below it, indented by level in the outline column, with a disclosure triangle
// before each expandable item. Items are values (objects by identity); the nil item is the invisible root.
//
// Expanding and collapsing (by the triangle, the Right and Left keys, or in code; Alt with the triangle or key does
// all descendants too) ask the delegate, post will/did notifications, and keep the selected items selected where
// they still show; an item keeps the expansion of its children while it is collapsed. With autosaveExpandedItems
// and an autosave name, the expanded items are kept in the defaults as the data source's persistent objects
// ("NSOutlineView Items <name>") and expanded again when the outline is loaded. Drops land on an item or between
// its children.
//
// The outline is the table's data source and delegate itself (through an adapter) and forwards, by item, to its own.
class OutlineView : public TableView {
    FND_OBJECT(OutlineView)
    static void describeClass(fnd::ClassBuilder<OutlineView>& c);

public:
    static constexpr double DefaultIndentationPerLevel = 16;
    // The room the disclosure triangle takes left of an item's cell.
    static constexpr double OutlineCellWidth = 16;
    static constexpr double ExpansionAnimationDuration = 0.2;

    OutlineView();
    ~OutlineView() override;
    static std::shared_ptr<OutlineView> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;

    std::shared_ptr<OutlineViewDataSource> dataSource() const { return m_outlineDataSource.lock(); }
    void setDataSource(const std::shared_ptr<OutlineViewDataSource>& dataSource);
    std::shared_ptr<OutlineViewDelegate> delegate() const { return m_outlineDelegate.lock(); }
    void setDelegate(const std::shared_ptr<OutlineViewDelegate>& delegate);

    // Items and rows.
    fnd::Value itemAtRow(long row) const;
    // -1 when the item is not shown (unknown, or inside a collapsed item).
    long rowForItem(const fnd::Value& item) const;
    // The nil value for top-level items and for items the outline does not know.
    fnd::Value parentForItem(const fnd::Value& item) const;
    long levelForRow(long row) const;
    // -1 for items the outline does not know.
    long levelForItem(const fnd::Value& item) const;
    bool isExpandable(const fnd::Value& item);
    bool isItemExpanded(const fnd::Value& item) const;
    // The children the outline holds for an item (the nil item: the top level), as last asked.
    long numberOfChildrenOfItem(const fnd::Value& item) const;
    fnd::Value childOfItem(long index, const fnd::Value& item) const;

    // Asks for the whole tree again, keeping which items are expanded.
    void reloadData() override;
    // Redraws the item's row; with children, asks for its children again too (keeping their expansion).
    void reloadItem(const fnd::Value& item, bool reloadChildren = false);

    // Expansion. The nil item with children expands (collapses) every top-level item.
    virtual void expandItem(const fnd::Value& item, bool expandChildren = false);
    virtual void collapseItem(const fnd::Value& item, bool collapseChildren = false);
    // The rows below slide open and closed when the expansion changes.
    bool animatesExpansion() const { return m_animatesExpansion; }
    void setAnimatesExpansion(bool flag) { m_animatesExpansion = flag; }

    // The column that shows the tree (the first one unless set).
    std::shared_ptr<TableColumn> outlineTableColumn() const;
    void setOutlineTableColumn(const std::shared_ptr<TableColumn>& column);
    double indentationPerLevel() const { return m_indentationPerLevel; }
    void setIndentationPerLevel(double indentation);
    // The triangle's place in the row; empty for items that cannot expand.
    virtual gfx::Rect frameOfOutlineCellAtRow(long row) const;
    gfx::Rect frameOfCellAtColumn(long column, long row) const override;
    // The cell the triangles draw with.
    const std::shared_ptr<ButtonCell>& outlineCell() const { return m_outlineCell; }

    // Saved expansion.
    bool autosaveExpandedItems() const { return m_autosaveExpandedItems; }
    void setAutosaveExpandedItems(bool flag);
    void setAutosaveName(const fnd::String& name) override;
    // The defaults key the expanded items are kept under.
    static fnd::String expandedItemsDefaultsKey(const fnd::String& autosaveName);

    // Drops: while validating, the data source may retarget the drop (an item and a child index, -1 for on it).
    void setDropItem(const fnd::Value& item, long childIndex);
    const fnd::Value& dropItem() const { return m_dropItem; }
    long dropChildIndex() const { return m_dropChildIndex; }

    // View.
    void drawRect(gfx::Rect dirtyRect) override;
    void drawRow(long row, gfx::Rect clipRect) override;
    void mouseDown(const Event& event) override;
    void keyDown(const Event& event) override;

protected:
    fnd::String notificationName(Notice notice) const override;
    DragOperation validateDropAtPoint(DraggingInfo& info, gfx::Point point) override;
    bool acceptValidatedDrop(DraggingInfo& info) override;

private:
    struct Node;
    friend class detail::OutlineViewAdapter;

    void keyDownInOutline(const Event& event);
    Node* nodeForItem(const fnd::Value& item) const;
    long outlineColumnIndex() const;
    // Asks for the node's children again, reusing the nodes of items still there (with their expansion).
    void loadChildren(Node& node);
    // The same for the node's expanded descendants; collapsed ones ask again when they expand.
    void reloadSubtree(Node& node);
    // Lays the visible nodes out as rows and indexes every node by item.
    void rebuildRows();
    // After a change of the tree: the rows again, with the selected items still selected (announced only when
    // the selected items changed).
    void treeDidChange(const fnd::Array& selectedItems);
    // The same after one node opened or closed: only its descendants' rows come or go, and only its descendants are
    // indexed again, so expanding many items one after another does not lay every row out again each time.
    // Before its children are asked for again, unindexDescendants takes them out of the index (and tells whether
    // any had a row); after, nodeDidExpand puts them back and their rows in. nodeDidCollapse is given the rows its
    // descendants had.
    bool unindexDescendants(Node& node);
    void nodeDidExpand(Node& node, bool descendantsHadRows, const fnd::Array& selectedItems);
    void nodeDidCollapse(Node& node, long firstRow, long afterRows, const fnd::Array& selectedItems);
    // The selected items selected again in their rows, and the table told of the new row count.
    void rowsDidChange(const fnd::Array& selectedItems);
    fnd::Array selectedItems() const;
    bool isExpandableNode(const Node& node);
    void expandNode(Node& node, bool expandChildren);
    void collapseNode(Node& node, bool collapseChildren);
    void postExpansionNotification(const fnd::String& name, const fnd::Value& item);
    void saveExpandedItems();
    void restoreExpandedItems();
    // The rows below `top` slide; `height` is the height of the rows shown or hidden.
    void startSlide(double top, double height, bool opening, std::shared_ptr<gfx::BitmapImageRep> snapshot);
    void stopSlide();
    // The row after the last visible descendant of the node (where a drop after its last child shows).
    long rowAfterDescendants(const Node& node) const;

    std::shared_ptr<detail::OutlineViewAdapter> m_adapter;
    std::weak_ptr<OutlineViewDataSource> m_outlineDataSource;
    std::weak_ptr<OutlineViewDelegate> m_outlineDelegate;
    std::unique_ptr<Node> m_root;
    std::vector<Node*> m_rows;
    std::unordered_multimap<std::size_t, Node*> m_nodesByItem;
    std::weak_ptr<TableColumn> m_outlineColumn;
    std::shared_ptr<ButtonCell> m_outlineCell;
    double m_indentationPerLevel { DefaultIndentationPerLevel };
    bool m_animatesExpansion { false };
    bool m_autosaveExpandedItems { false };
    bool m_expansionRestored { false };
    bool m_restoringExpansion { false };
    fnd::Value m_dropItem;
    long m_dropChildIndex { OutlineViewDropOnItemIndex };

    struct Slide {
        double top { 0 };
        double height { 0 };
        bool opening { true };
        fnd::Date start;
        std::shared_ptr<gfx::BitmapImageRep> snapshot;
    };
    std::optional<Slide> m_slide;
    std::shared_ptr<fnd::Timer> m_slideTimer;
};

}
