#pragma once

#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/foundation/runtime/IndexSet.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableViewDataSource.h"
#include "platform/ui/tables/TableViewDelegate.h"

#include <optional>
#include <vector>

namespace gfx {
class Image;
}

namespace ui {

class TableHeaderView;

// Names of the notifications a table posts (object: the table) and the keys of their userInfo.
namespace TableViewNotification {
inline const fnd::String SelectionDidChange = "NSTableViewSelectionDidChangeNotification";
inline const fnd::String SelectionIsChanging = "NSTableViewSelectionIsChangingNotification";
inline const fnd::String ColumnDidMove = "NSTableViewColumnDidMoveNotification";
inline const fnd::String ColumnDidResize = "NSTableViewColumnDidResizeNotification";
inline const fnd::String OldColumnKey = "NSOldColumn";
inline const fnd::String NewColumnKey = "NSNewColumn";
inline const fnd::String TableColumnKey = "NSTableColumn";
inline const fnd::String OldWidthKey = "NSOldWidth";
}

// Grid lines, with the platform's bits.
namespace TableViewGridLine {
constexpr unsigned None = 0;
constexpr unsigned SolidVerticalGridLineMask = 1;
constexpr unsigned SolidHorizontalGridLineMask = 2;
constexpr unsigned DashedHorizontalGridLineMask = 8;
}

// How selected rows look, with the platform's values: a filled band, the sidebar look (a light background, a
// gradient band and headings for group rows), or nothing.
enum class TableViewSelectionHighlightStyle { None = -1, Regular = 0, SourceList = 1 };

// Which columns take a change of the table's width, with the platform's values.
enum class TableViewColumnAutoresizingStyle {
    None = 0,
    Uniform = 1,
    Sequential = 2,
    ReverseSequential = 3,
    LastColumnOnly = 4,
    FirstColumnOnly = 5,
};

// A list of rows in columns, drawn with cells: each visible cell is prepared for its row (preparedCellAtColumn:
// the column's data cell, or the delegate's, given the row's value from the data source or the column's binding)
// and drawn in frameOfCellAtColumn. Only the rows that meet the rect being drawn are asked for, so a table of any
// length scrolls at the cost of what it shows. Flipped; it lives in a scroll view, which puts the header view above
// the rows and the corner view above the vertical scroller.
//
// Selection: the person selects with clicks (Shift extends from the anchor, Ctrl adds or removes a row), drags, the
// arrow, page, Home and End keys and select-all; those choices pass the delegate's filters and end in
// selectRowIndexes, which a subclass overrides to restrict what may be selected. Typing finds a row by the start of
// its text (type-select). A double click edits an editable cell in place with the window's field editor (Return
// goes on to the next row, Tab and Shift-Tab to the next and previous editable cell; Escape cancels), otherwise
// sends the double action. Rows can be dragged out (the data source writes them) and drops land on a row or between
// rows.
//
// Bindings: a column bound to "arrangedObjects.<key>" of an array controller binds the table's "content",
// "selectionIndexes" and "sortDescriptors" to the same controller, unless they are bound already.
class TableView : public Control, public DraggingSource, public DraggingDestination {
    FND_OBJECT(TableView)
    static void describeClass(fnd::ClassBuilder<TableView>& c);

public:
    static constexpr double DefaultRowHeight = 17;
    static constexpr gfx::Size DefaultIntercellSpacing { 3, 2 };
    // Type-select starts over after this pause between keys (seconds).
    static constexpr double TypeSelectTimeout = 1.0;

    TableView() = default;
    ~TableView() override;
    static std::shared_ptr<TableView> create(gfx::Rect frame = {});
    // Gives the table its header and corner views.
    void initWithFrame(gfx::Rect frame) override;

    // Data source and delegate, not kept alive. Setting either reloads.
    std::shared_ptr<TableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource);
    std::shared_ptr<TableViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TableViewDelegate>& delegate);

    // Columns, left to right; hidden columns keep their place but take no room.
    const std::vector<std::shared_ptr<TableColumn>>& tableColumns() const { return m_columns; }
    long numberOfColumns() const { return static_cast<long>(m_columns.size()); }
    void addTableColumn(const std::shared_ptr<TableColumn>& column);
    void removeTableColumn(const std::shared_ptr<TableColumn>& column);
    // Moves a column (the person drags headers through it); posts ColumnDidMove.
    virtual void moveColumn(long column, long toColumn);
    long columnWithIdentifier(const fnd::String& identifier) const;
    std::shared_ptr<TableColumn> tableColumnWithIdentifier(const fnd::String& identifier) const;
    bool allowsColumnReordering() const { return m_allowsColumnReordering; }
    void setAllowsColumnReordering(bool flag) { m_allowsColumnReordering = flag; }
    bool allowsColumnResizing() const { return m_allowsColumnResizing; }
    void setAllowsColumnResizing(bool flag) { m_allowsColumnResizing = flag; }
    TableViewColumnAutoresizingStyle columnAutoresizingStyle() const { return m_columnAutoresizingStyle; }
    void setColumnAutoresizingStyle(TableViewColumnAutoresizingStyle style) { m_columnAutoresizingStyle = style; }
    // Columns resize (by the autoresizing style) so that they fill the visible width exactly.
    void sizeToFit() override;
    // The last column takes what is left of the visible width (within its limits).
    void sizeLastColumnToFit();
    // Called by a column whose width or visibility changed.
    void columnDidChangeWidth(TableColumn& column, double oldWidth);

    // Header and corner; nullptr for none (the scroll view then shows the rows at the top).
    const std::shared_ptr<TableHeaderView>& headerView() const { return m_headerView; }
    void setHeaderView(const std::shared_ptr<TableHeaderView>& headerView);
    const std::shared_ptr<View>& cornerView() const { return m_cornerView; }
    // The table itself or one of its ancestors raises InvalidArgument.
    void setCornerView(const std::shared_ptr<View>& cornerView);

    // Rows.
    long numberOfRows() const;
    // Asks for the number of rows again and redraws everything.
    virtual void reloadData();
    // Asks for the number of rows again (rows were added or removed at the end).
    virtual void noteNumberOfRowsChanged();
    // The delegate's heights of these rows changed.
    void noteHeightOfRowsWithIndexesChanged(const fnd::IndexSet& rows);
    // Redraws these cells with values asked for again.
    void reloadDataForRowIndexes(const fnd::IndexSet& rows, const fnd::IndexSet& columns);
    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height);
    gfx::Size intercellSpacing() const { return m_intercellSpacing; }
    void setIntercellSpacing(gfx::Size spacing);

    // Geometry, in the table's (flipped) coordinates.
    gfx::Rect rectOfRow(long row) const;
    gfx::Rect rectOfColumn(long column) const;
    // The rows that meet the rect (location: the first; length 0 when none).
    fnd::Range rowsInRect(gfx::Rect rect) const;
    // The visible columns that meet the rect.
    fnd::IndexSet columnIndexesInRect(gfx::Rect rect) const;
    // -1 outside every row or column.
    long rowAtPoint(gfx::Point point) const;
    long columnAtPoint(gfx::Point point) const;
    // Where a cell draws: its column and row less the spacing between cells; a group row's cell spans the row.
    virtual gfx::Rect frameOfCellAtColumn(long column, long row) const;
    // Scrolls the enclosing clip view as little as needed to show the row (the column).
    void scrollRowToVisible(long row);
    void scrollColumnToVisible(long column);
    // Lays the table out: its frame covers its rows and columns and at least the visible area; the header view
    // takes the same width.
    // The size is the rows' and columns' (and at least the clip view's): a frame set from outside keeps only its
    // origin, as the next change of the rows or columns would, and as a decoded table does.
    void setFrame(gfx::Rect frame) override;
    virtual void tile();

    // The cell of (column, row), ready to draw: the data cell with the row's value, its selected look and the
    // delegate's last changes. The same cell object serves every row of a column.
    virtual std::shared_ptr<Cell> preparedCellAtColumn(long column, long row);
    // The value the row shows in the column: the column's binding, else the data source.
    fnd::Value objectValueForColumn(long column, long row);
    bool isGroupRow(long row);

    // Drawing; each step is overridable.
    void drawRect(gfx::Rect dirtyRect) override;
    virtual void drawBackgroundInClipRect(gfx::Rect clipRect);
    virtual void highlightSelectionInClipRect(gfx::Rect clipRect);
    virtual void drawGridInClipRect(gfx::Rect clipRect);
    virtual void drawRow(long row, gfx::Rect clipRect);
    gfx::ColorPtr backgroundColor() const;
    void setBackgroundColor(gfx::ColorPtr color);
    bool usesAlternatingRowBackgroundColors() const { return m_usesAlternatingRowBackgroundColors; }
    void setUsesAlternatingRowBackgroundColors(bool flag);
    unsigned gridStyleMask() const { return m_gridStyleMask; }
    void setGridStyleMask(unsigned mask);
    gfx::ColorPtr gridColor() const;
    void setGridColor(gfx::ColorPtr color);
    TableViewSelectionHighlightStyle selectionHighlightStyle() const { return m_highlightStyle; }
    void setSelectionHighlightStyle(TableViewSelectionHighlightStyle style);

    // Selection.
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool flag) { m_allowsMultipleSelection = flag; }
    bool allowsEmptySelection() const { return m_allowsEmptySelection; }
    void setAllowsEmptySelection(bool flag) { m_allowsEmptySelection = flag; }
    const fnd::IndexSet& selectedRowIndexes() const { return m_selectedRows; }
    // The row selected last (the end the keyboard moves from); -1 without a selection.
    long selectedRow() const;
    long numberOfSelectedRows() const { return static_cast<long>(m_selectedRows.count()); }
    bool isRowSelected(long row) const { return m_selectedRows.contains(row); }
    // Selects the rows (added to the selection when extending), without asking the delegate; rows past the end
    // are dropped, and a table without multiple selection keeps the last one. Posts SelectionDidChange when the
    // selection changed. Every selection the person makes ends here, so a subclass may filter it.
    virtual void selectRowIndexes(const fnd::IndexSet& rows, bool extend);
    void deselectRow(long row);
    void deselectAll(const fnd::Value& sender = {});
    void selectAll(const fnd::Value& sender = {});
    bool allowsTypeSelect() const { return m_allowsTypeSelect; }
    void setAllowsTypeSelect(bool flag) { m_allowsTypeSelect = flag; }

    // Clicks: the single-click action is the control's; the row and column of the last click (-1 for none) are
    // valid during actions and context menus.
    fnd::Selector doubleAction() const { return m_doubleAction; }
    void setDoubleAction(fnd::Selector action) { m_doubleAction = action; }
    long clickedRow() const { return m_clickedRow; }
    long clickedColumn() const { return m_clickedColumn; }

    // Editing in place.
    // Edits the cell with the window's field editor (selecting its whole text when `select`); the row becomes
    // visible. Nothing happens for a row or column outside the table.
    virtual void editColumn(long column, long row, const Event* event, bool select);
    long editedRow() const { return m_editedRow; }
    long editedColumn() const { return m_editedColumn; }
    std::shared_ptr<View> currentEditor() const override;
    bool abortEditing() override;
    void validateEditing() override;
    // Ends the edit under way as a click elsewhere does, writing what was typed; the keyboard stays with the table
    // when the editor had it. For when the program takes the edited cell's column, row or object away.
    void endEditingKeepingTyped();

    // Sorting: a click on a header with a prototype makes it the first descriptor (or reverses it); the data
    // source hears of every change.
    const fnd::SortDescriptors& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const fnd::SortDescriptors& descriptors);
    // Sent by the header view: the click on a column's title.
    virtual void didClickTableColumn(TableColumn& column);

    // Dragging rows out.
    void setDraggingSourceOperationMask(DragOperation mask, bool forLocal);
    bool verticalMotionCanBeginDrag() const { return m_verticalMotionCanBeginDrag; }
    void setVerticalMotionCanBeginDrag(bool flag) { m_verticalMotionCanBeginDrag = flag; }
    virtual bool canDragRowsWithIndexes(const fnd::IndexSet& rows, gfx::Point mouseDownPoint);
    // A picture of the rows' visible cells, as they are drawn (offset: from the mouse to the picture's origin).
    virtual std::shared_ptr<gfx::Image> dragImageForRowsWithIndexes(
        const fnd::IndexSet& rows, const Event& event, gfx::Point& origin);
    // Dropping: while validating, the data source may retarget the drop; row -1 highlights the whole table.
    void setDropRow(long row, TableViewDropOperation operation);
    long dropRow() const { return m_dropRow; }
    TableViewDropOperation dropOperation() const { return m_dropOperation; }

    // The delegate's tool tip for the cell under the point, and the rect it holds for; empty for none.
    fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr) override;

    // Names the defaults entries tables keep (an outline's expanded items).
    const fnd::String& autosaveName() const { return m_autosaveName; }
    virtual void setAutosaveName(const fnd::String& name) { m_autosaveName = name; }

    // View and control.
    bool isFlipped() const override { return true; }
    bool isOpaque() const override;
    bool acceptsFirstResponder() const override { return true; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    void mouseDown(const Event& event) override;
    void keyDown(const Event& event) override;
    std::shared_ptr<Menu> menuForEvent(const Event& event) override;
    bool performKeyEquivalent(const Event& event) override;
    void viewDidMoveToSuperview() override;
    void viewDidMoveToWindow() override;
    void updateCell(Cell& cell) override;
    void updateCellInside(Cell& cell) override;
    FocusRingType focusRingType() const override { return FocusRingType::None; }

    // The field editor's delegate while a cell is edited.
    bool textShouldBeginEditing(TextView& fieldEditor) override;
    bool textShouldEndEditing(TextView& fieldEditor) override;
    void textDidBeginEditing(const fnd::Notification& notification) override;
    void textDidChange(const fnd::Notification& notification) override;
    void textDidEndEditing(const fnd::Notification& notification) override;
    bool textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector) override;

    // Bindings: "content" (the rows), "selectionIndexes", "sortDescriptors".
    void unbind(const fnd::String& binding) override;
    // Called by a column when its "value" binding was made.
    void columnValueWasBound(TableColumn& column);

    // Dragging source and destination.
    DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    // The data source writes the rows being dragged.
    std::vector<fnd::String> namesOfPromisedFilesDroppedAtDestination(const fnd::String& dropDestination) override;
    DragOperation draggingEntered(DraggingInfo& info) override;
    std::optional<DragOperation> draggingUpdated(DraggingInfo& info) override;
    void draggingExited(DraggingInfo& info) override;
    bool performDragOperation(DraggingInfo& info) override;
    void concludeDragOperation(DraggingInfo& info) override;
    void draggingEnded(DraggingInfo& info) override;

    // Accessibility (TableAccessibility.cpp): a table (an outline) whose children are its rows; each row is an
    // element of its cells' elements, selectable through the rows attributes, expandable in an outline.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override;
    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override;
    std::vector<fnd::String> accessibilityActionNames() const override { return {}; }
    void accessibilityPerformAction(const fnd::String&) override { }
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    // The element standing for a row; the same one while the row exists.
    fnd::Value accessibilityRowElement(long row) const;
    // A row's name and description as people hear them (empty: none), for a table that draws what names a row
    // itself (a source list's titles and badges). Asked only for rows that exist.
    virtual fnd::String accessibilityTitleOfRow(long row) { return (void)row, fnd::String(); }
    virtual fnd::String accessibilityDescriptionOfRow(long row) { return (void)row, fnd::String(); }

protected:
    void takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options) override;

    // The table's own handling of a key and of the end of an edit, after the installed extensions
    // (TableViewExtensions.h) had their say.
    void keyDownInTable(const Event& event);
    void endEditingCell(const fnd::Notification& notification);

    // Which notification a table of this kind posts; an outline view answers its own names.
    enum class Notice { SelectionDidChange, SelectionIsChanging, ColumnDidMove, ColumnDidResize };
    virtual fnd::String notificationName(Notice notice) const;

    // Replaces the selection without asking anyone (rows moved under it); posts SelectionDidChange when `notify`.
    void replaceSelection(const fnd::IndexSet& rows, bool notify);
    // The rows a person's click, key or drag proposes, through the delegate's filters; false when refused or
    // unchanged.
    bool selectRowsByUser(fnd::IndexSet proposed);
    // Whether the person may edit the cell: the column is editable and the delegate agrees.
    virtual bool canEditCell(long column, long row);
    // Writes an edited or clicked value back: the column's binding, else the data source.
    virtual void setObjectValueForColumn(const fnd::Value& value, long column, long row);
    // Writes a value to a row's object through the column's binding ("arrangedObjects.<key>": its <key>).
    void setBoundValueOfRowObject(const fnd::Value& value, TableColumn& column, fnd::Object& rowObject);
    // Drops: the target the point proposes, validated with the data source (DropTarget carries the table's row and
    // operation; an outline view overrides these three with its items).
    virtual DragOperation validateDropAtPoint(DraggingInfo& info, gfx::Point point);
    virtual bool acceptValidatedDrop(DraggingInfo& info);
    virtual void drawDropHighlight();
    void clearDropHighlight();
    // The enclosing clip view's visible rect in the table's coordinates (the bounds when there is none).
    gfx::Rect visibleRowsRect() const;

    // Set while the drag highlight shows.
    bool m_dropHighlightShown { false };

private:
    struct RowGeometry;
    // Bound rows: the row the edited object stands at in the rows the binding holds now, which the table may not
    // have been told of yet (-1 when it left them); whether the table shows those rows already.
    long rowOfEditedObjectInBoundRows() const;
    bool showsBoundRows() const;
    // After the bound rows changed: the edit moves to its object's new row, or ends when the object left them; once
    // the rows are laid out, the editor is placed over its cell.
    void followEditedObject();
    void placeEditor();
    void ensureRowCount() const;
    void invalidateRowGeometry();
    double rowTop(long row) const;
    double rowPitch(long row) const;
    double totalRowsHeight() const;
    void layoutColumns();
    void autoresizeColumns(double delta);
    // Columns follow a change of the enclosing clip view's width, as the autoresizing style says.
    void observeClipView();
    void clipViewFrameDidChange();
    void postNotification(Notice notice, fnd::Dictionary info = {});
    void writeBackSelection();
    void showBoundSelection();

    // Mouse and keys (TableViewMouse.cpp, TableViewKeyboard.cpp).
    void trackSelection(const Event& event, long row, long column);
    bool trackCellAt(const Event& event, long column, long row);
    bool beginRowDrag(const Event& mouseDown, long row);
    void moveSelectionBy(long delta, bool extend);
    void moveSelectionTo(long row, bool extend);
    // The nearest selectable row from `row` in the direction (±1), or -1.
    long selectableRowFrom(long row, long direction);
    bool typeSelect(const Event& event);
    fnd::String typeSelectStringForRow(long row);
    void sendDoubleAction();

    // Editing (TableViewEditing.cpp).
    void endCellEditing();
    void editNextCell(long movement);

    std::weak_ptr<TableViewDataSource> m_dataSource;
    std::weak_ptr<TableViewDelegate> m_delegate;
    std::vector<std::shared_ptr<TableColumn>> m_columns;
    std::shared_ptr<TableHeaderView> m_headerView;
    std::shared_ptr<View> m_cornerView;
    bool m_allowsColumnReordering { true };
    bool m_allowsColumnResizing { true };
    TableViewColumnAutoresizingStyle m_columnAutoresizingStyle { TableViewColumnAutoresizingStyle::LastColumnOnly };

    // Rows: counted on demand; with the delegate's heights, the top of each row.
    mutable long m_numberOfRows { 0 };
    mutable bool m_rowCountValid { false };
    mutable bool m_heightsAsked { false };
    mutable std::vector<double> m_rowTops;
    double m_rowHeight { DefaultRowHeight };
    gfx::Size m_intercellSpacing { DefaultIntercellSpacing };
    fnd::Value m_boundContent;
    bool m_hasBoundContent { false };

    gfx::ColorPtr m_backgroundColor;
    gfx::ColorPtr m_gridColor;
    bool m_usesAlternatingRowBackgroundColors { false };
    unsigned m_gridStyleMask { TableViewGridLine::None };
    TableViewSelectionHighlightStyle m_highlightStyle { TableViewSelectionHighlightStyle::Regular };

    fnd::IndexSet m_selectedRows;
    long m_lastSelectedRow { -1 };
    // Shift extends from the anchor: the rows between it and the row reached, added to the base (the selection
    // as it was when the anchor was set, less the anchor).
    long m_anchorRow { -1 };
    fnd::IndexSet m_anchorBase;
    bool m_allowsMultipleSelection { false };
    bool m_allowsEmptySelection { true };
    // While the mouse drags a selection, changes post SelectionIsChanging and one SelectionDidChange ends it.
    bool m_trackingSelection { false };
    bool m_selectionChangedWhileTracking { false };
    bool m_applyingBoundSelection { false };
    // The selection the "selectionIndexes" binding gave last, kept whole: the rows it names may arrive after it.
    std::optional<fnd::IndexSet> m_boundSelection;
    bool m_allowsTypeSelect { true };
    fnd::String m_typeSelectString;
    fnd::Date m_lastTypeSelectKey;

    fnd::Selector m_doubleAction;
    long m_clickedRow { -1 };
    long m_clickedColumn { -1 };

    std::shared_ptr<Cell> m_editingCell;
    // The text the edited cell showed when its edit began: an edit that ends with it typed nothing.
    fnd::String m_editedCellText;
    // The edited row's object in a table whose rows are bound: the edit follows it when rows come and go before it,
    // and what was typed is written to it, also after it left the rows.
    fnd::Value m_editedObject;
    long m_editedRow { -1 };
    long m_editedColumn { -1 };
    // The copy of a cell a click is tracking (a button in a row): drawn in its place and redrawn as it changes.
    std::shared_ptr<Cell> m_trackedCell;
    long m_trackedColumn { -1 };
    long m_trackedRow { -1 };
    // While a drag picture is drawn: the rows it shows (nothing else is drawn).
    std::optional<fnd::IndexSet> m_dragImageRows;
    // The rows of the drag under way, for the promised files.
    fnd::IndexSet m_draggedRows;

    fnd::SortDescriptors m_sortDescriptors;
    bool m_applyingBoundSortDescriptors { false };

    DragOperation m_localDragMask { DragOperations::Every };
    DragOperation m_remoteDragMask { DragOperations::Copy };
    bool m_verticalMotionCanBeginDrag { true };
    long m_dropRow { -1 };
    TableViewDropOperation m_dropOperation { TableViewDropOperation::On };

    fnd::String m_autosaveName;
    bool m_tiling { false };
    fnd::NotificationObserverToken m_clipFrameObserver;
    double m_lastClipWidth { -1 };
    mutable std::vector<std::shared_ptr<fnd::Object>> m_accessibilityRows;
};

}
