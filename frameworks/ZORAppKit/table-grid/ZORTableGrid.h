#pragma once

#include "frameworks/ZORAppKit/table-grid/ZORTableGridDataSource.h"

#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace ui {
class Animation;
class ClipView;
class ScrollView;
}

class ZORTableGridCell;
class ZORTableGridContentView;
class ZORTableGridHeaderCell;
class ZORTableGridHeaderView;

// Notification names and pasteboard types of the grid (their values are their names).
namespace ZORTableGridNotification {
inline const fnd::String DidChangeSelection = "ZORTableGridDidChangeSelectionNotification";
inline const fnd::String DidMoveColumns = "ZORTableGridDidMoveColumnsNotification";
inline const fnd::String DidMoveRows = "ZORTableGridDidMoveRowsNotification";
}
inline const fnd::String ZORTableGridColumnDataType = "ZORTableGridColumnDataType";
inline const fnd::String ZORTableGridRowDataType = "ZORTableGridRowDataType";

// A spreadsheet-like grid: a corner, column headers ("A", "B", ...) along the top, row headers ("1", "2", ...) down
// the left and a scrolling area of equal-height cells. The data source holds every value; the grid keeps the
// counts, the column widths it was told and a rectangular selection (a set of columns and a set of rows, each
// changed through its setter so the delegate may rewrite it and the selection notification is posted). Only the
// cells in sight are asked for and drawn, so a million rows cost what ten do.
class ZORTableGrid : public ui::Control, public ui::DraggingSource, public ui::DraggingDestination {
    FND_OBJECT(ZORTableGrid)
    static void describeClass(fnd::ClassBuilder<ZORTableGrid>& c);

public:
    static constexpr double RowHeaderWidth = 40;
    static constexpr double ColumnHeaderHeight = 19;
    static constexpr double RowHeight = 20;
    static constexpr float DefaultColumnWidth = 60;
    static constexpr float MinimumColumnWidth = 20;
    // The bounds of a column's width: no wider than a view may be, and a positive width no narrower than the sums of
    // widths that place the columns still tell apart.
    static constexpr float WidestColumnWidth = float(ui::detail::ViewLargestCoordinate);
    static constexpr float NarrowestColumnWidth = 1.0f / 256;
    // Which edge of a selected range stays put while the other moves.
    static constexpr int StickyLeftEdge = 0;
    static constexpr int StickyRightEdge = 1;
    static constexpr int StickyTopEdge = 3;
    static constexpr int StickyBottomEdge = 4;

    using IndexSetPtr = std::shared_ptr<const fnd::IndexSet>;

    ZORTableGrid() = default;
    ~ZORTableGrid() override;
    static std::shared_ptr<ZORTableGrid> create(gfx::Rect frame);
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    // The grid keeps its data in its data source and its widths in memory; an archive holds the control's data and
    // names the parts among its subviews (the three scroll views and the header and content views in them).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    void awakeFromNib() override;

    // Reads the counts and sizes the content and header views to them (zero counts give an empty content). A
    // selection reaching past the new counts keeps only the cells that remain (none when no column or row does).
    void reloadData();

    std::shared_ptr<ZORTableGridDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<ZORTableGridDataSource>& dataSource);
    std::shared_ptr<ZORTableGridDelegate> delegate() const { return m_delegate.lock(); }
    // The delegate hears the grid's three notifications for as long as it is the delegate.
    void setDelegate(const std::shared_ptr<ZORTableGridDelegate>& delegate);

    // The counts of the last reload; setting one resizes nothing. A negative count is none.
    fnd::Index numberOfRows() const { return m_numberOfRows; }
    void setNumberOfRows(fnd::Index count) { m_numberOfRows = std::max<fnd::Index>(count, 0); }
    fnd::Index numberOfColumns() const { return m_numberOfColumns; }
    void setNumberOfColumns(fnd::Index count) { m_numberOfColumns = std::max<fnd::Index>(count, 0); }
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool flag) { m_allowsMultipleSelection = flag; }
    bool allowsEditing() const { return m_allowsEditing; }
    void setAllowsEditing(bool flag) { m_allowsEditing = flag; }
    bool shouldOverrideModifiers() const { return m_shouldOverrideModifiers; }

    // The selection. Setting the very set already held does nothing; any other set (even an equal one) is offered
    // to the delegate, stored, and announced.
    const IndexSetPtr& selectedColumnIndexes() const { return m_selectedColumnIndexes; }
    void setSelectedColumnIndexes(IndexSetPtr indexes);
    void setSelectedColumnIndexes(const fnd::IndexSet& indexes);
    const IndexSetPtr& selectedRowIndexes() const { return m_selectedRowIndexes; }
    void setSelectedRowIndexes(IndexSetPtr indexes);
    void setSelectedRowIndexes(const fnd::IndexSet& indexes);

    const std::shared_ptr<ZORTableGridHeaderView>& columnHeaderView() const { return m_columnHeaderView; }
    const std::shared_ptr<ZORTableGridHeaderView>& rowHeaderView() const { return m_rowHeaderView; }
    const std::shared_ptr<ZORTableGridContentView>& contentView() const { return m_contentView; }
    const std::shared_ptr<ZORTableGridContentView>& _contentView() const { return m_contentView; }
    const std::shared_ptr<ui::ScrollView>& contentScrollView() const { return m_contentScrollView; }
    const std::shared_ptr<ui::ScrollView>& columnHeaderScrollView() const { return m_columnHeaderScrollView; }
    const std::shared_ptr<ui::ScrollView>& rowHeaderScrollView() const { return m_rowHeaderScrollView; }
    const std::shared_ptr<ZORTableGridHeaderCell>& headerCell() const { return m_headerCell; }

    // Geometry in the grid's coordinates (flipped). A column's rect spans its header, a row's rect its header.
    gfx::Rect rectOfColumn(fnd::Index column) const;
    gfx::Rect rectOfRow(fnd::Index row) const;
    gfx::Rect frameOfCellAtColumn(fnd::Index column, fnd::Index row) const;
    gfx::Rect headerRectOfColumn(fnd::Index column) const;
    gfx::Rect headerRectOfRow(fnd::Index row) const;
    gfx::Rect headerRectOfCorner() const { return { 0, 0, RowHeaderWidth, ColumnHeaderHeight }; }
    // fnd::NotFound where no column (row) is.
    fnd::Index columnAtPoint(gfx::Point point) const;
    fnd::Index rowAtPoint(gfx::Point point) const;

    // Widens the column by the distance (from 20 points to ten million; a width that is not a finite number takes 20)
    // and the content and column header with it.
    void resizeColumnWithIndex(fnd::Index column, float distance);
    // Scrolls the cell area so the rect (content view coordinates) shows, at once or over a quarter second (a new
    // request takes over from a running one).
    void scrollToArea(gfx::Rect area, bool animate);
    bool isScrollAnimating() const;
    // The headers follow the content's scrolling.
    void contentViewDidScroll(const fnd::Notification& notification);
    void viewFrameDidChange(const fnd::Notification&) { }

    bool isFlipped() const override { return true; }
    bool canBecomeKeyView() const override { return true; }
    bool acceptsFirstResponder() const override { return true; }

    // What the other parts of the grid use: the data source's answers with their fallbacks, the width store and
    // the anchor edges.
    fnd::Value _objectValueForColumn(fnd::Index column, fnd::Index row);
    gfx::ColorPtr _backgroundColorForColumn(fnd::Index column, fnd::Index row);
    void _setObjectValue(const fnd::Value& value, fnd::Index column, fnd::Index row);
    fnd::String _headerStringForColumn(fnd::Index column);
    fnd::String _headerStringForRow(fnd::Index row);
    float _widthForColumn(fnd::Index column) const;
    float _setWidthForColumn(fnd::Index column) const;
    bool _canEditCellAtColumn(fnd::Index column, fnd::Index row);
    void _setStickyColumn(int columnEdge, int rowEdge);
    int _stickyColumn() const { return m_stickyColumnEdge; }
    int _stickyRow() const { return m_stickyRowEdge; }
    // The content view's x of the column's left edge (widths summed in double precision).
    double _offsetOfColumn(fnd::Index column) const;

    // The letters of a column that has no header from the data source: "A" to "Z", then "AA", "AB", ...
    static fnd::String columnLetters(fnd::Index column);

    // Keys (through the key bindings) and the commands they name.
    void keyDown(const ui::Event& event) override;
    void insertTab(const fnd::Value& sender);
    void insertBacktab(const fnd::Value& sender);
    void insertNewline(const fnd::Value& sender);
    void moveUp(const fnd::Value& sender);
    void moveDown(const fnd::Value& sender);
    void moveLeft(const fnd::Value& sender);
    void moveRight(const fnd::Value& sender);
    void moveUpAndModifySelection(const fnd::Value& sender);
    void moveDownAndModifySelection(const fnd::Value& sender);
    void moveLeftAndModifySelection(const fnd::Value& sender);
    void moveRightAndModifySelection(const fnd::Value& sender);
    void selectAll(const fnd::Value& sender);
    void deleteBackward(const fnd::Value& sender);
    void insertText(const fnd::Value& text);
    // Ends an edit under way (keeping what was typed) and takes the keyboard.
    void mouseDown(const ui::Event& event) override;

    // Chrome: focus ring, header backgrounds and border; the labels are the header views'.
    void drawRect(gfx::Rect dirtyRect) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override { return bounds(); }
    void _drawCornerHeaderBackgroundInRect(gfx::Rect rect);
    void _drawColumnHeaderBackgroundInRect(gfx::Rect rect);
    void _drawRowHeaderBackgroundInRect(gfx::Rect rect);
    // Whether the window is key and its first responder lies inside the grid.
    bool _isFocused() const;

    // Dragging columns and rows, and drops.
    void registerForDraggedTypes(const std::vector<fnd::String>& types);
    void _dragColumnsWithEvent(const ui::Event& event);
    void _dragRowsWithEvent(const ui::Event& event);
    std::shared_ptr<gfx::Image> _imageForSelectedColumns();
    std::shared_ptr<gfx::Image> _imageForSelectedRows();
    fnd::Index _dropColumnForPoint(gfx::Point point) const;
    fnd::Index _dropRowForPoint(gfx::Point point) const;
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    ui::DragOperation draggingEntered(ui::DraggingInfo& info) override;
    std::optional<ui::DragOperation> draggingUpdated(ui::DraggingInfo& info) override;
    void draggingExited(ui::DraggingInfo& info) override;
    void draggingEnded(ui::DraggingInfo& info) override;
    bool prepareForDragOperation(ui::DraggingInfo&) override { return true; }
    bool performDragOperation(ui::DraggingInfo& info) override;
    void concludeDragOperation(ui::DraggingInfo& info) override;

    // The pasteboard form of a dragged set of columns or rows: a keyed archive of the index set. Reading answers
    // nullopt for anything that is not such an archive of valid ranges.
    static fnd::Data archivedIndexSet(const fnd::IndexSet& indexes);
    static std::optional<fnd::IndexSet> unarchivedIndexSet(const fnd::Data& data);

private:
    void buildParts(gfx::Rect frame);
    void selectCell(fnd::Index column, fnd::Index row);
    void scrollToCell(fnd::Index column, fnd::Index row);
    // The anchor cell: the selection's corner that stays put.
    fnd::Index anchorColumn() const;
    fnd::Index anchorRow() const;
    bool hasSelection() const;
    void dragWithEvent(const ui::Event& event, bool columns);
    gfx::Point dragLocation(ui::DraggingInfo& info) const;
    std::optional<fnd::IndexSet> draggedSet(ui::DraggingInfo& info, const fnd::String& type) const;
    void observeContentScrolling();
    void stopObserving();
    void invalidateColumnOffsets(fnd::Index fromColumn) const;
    void clipSelectionToCounts();

    std::shared_ptr<ZORTableGridHeaderCell> m_headerCell;
    std::weak_ptr<ZORTableGridDataSource> m_dataSource;
    std::weak_ptr<ZORTableGridDelegate> m_delegate;
    std::vector<fnd::NotificationObserverToken> m_delegateObservers;
    std::shared_ptr<ui::ScrollView> m_columnHeaderScrollView;
    std::shared_ptr<ZORTableGridHeaderView> m_columnHeaderView;
    std::shared_ptr<ui::ScrollView> m_rowHeaderScrollView;
    std::shared_ptr<ZORTableGridHeaderView> m_rowHeaderView;
    std::shared_ptr<ui::ScrollView> m_contentScrollView;
    std::shared_ptr<ZORTableGridContentView> m_contentView;
    fnd::NotificationObserverToken m_scrollObserver;
    std::shared_ptr<ui::Animation> m_scrollAnimation;
    IndexSetPtr m_selectedColumnIndexes;
    IndexSetPtr m_selectedRowIndexes;
    bool m_allowsMultipleSelection { true };
    bool m_shouldOverrideModifiers { false };
    bool m_allowsEditing { false };
    int m_stickyColumnEdge { StickyLeftEdge };
    int m_stickyRowEdge { StickyTopEdge };
    // The width store: "column<index>" → width, once the data source or a resize gave it.
    mutable fnd::Dictionary m_columnWidths;
    // Left edges of the columns, filled as far as asked (front: column 0 at 0).
    mutable std::vector<double> m_columnOffsets;
    fnd::Index m_numberOfRows { 0 };
    fnd::Index m_numberOfColumns { 0 };
};
