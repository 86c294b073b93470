#pragma once

#include "frameworks/ZORAppKit/table-grid/ZORTableGridCell.h"

#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/controls/TextViewDelegate.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/View.h"

class ZORTableGrid;

// The cell area of a table grid (the document view of its content scroll view, flipped): draws the cells in sight,
// the selection outline with its grab handle and the drop feedback; selects with the mouse, edits a cell in place
// with the window's field editor, and forwards drags to the grid.
class ZORTableGridContentView : public ui::View, public ui::TextViewDelegate, public ui::DraggingDestination {
    FND_OBJECT(ZORTableGridContentView)

public:
    static constexpr double CursorSize = 20;
    static constexpr double AutoscrollInterval = 0.1;

    ZORTableGridContentView() = default;
    ~ZORTableGridContentView() override;
    static std::shared_ptr<ZORTableGridContentView> create(gfx::Rect frame);
    void initWithFrame(gfx::Rect frame) override;

    // The grid: the superview of the enclosing scroll view.
    std::shared_ptr<ZORTableGrid> tableGrid() const;

    // Geometry in this view's coordinates.
    gfx::Rect rectOfColumn(fnd::Index column) const;
    gfx::Rect rectOfRow(fnd::Index row) const;
    gfx::Rect frameOfCellAtColumn(fnd::Index column, fnd::Index row) const;
    fnd::Index columnAtPoint(gfx::Point point) const;
    fnd::Index rowAtPoint(gfx::Point point) const;

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void resetCursorRects() override;

    void mouseDown(const ui::Event& event) override;
    void mouseDragged(const ui::Event& event) override;
    void mouseUp(const ui::Event& event) override;
    void editSelectedCell(const fnd::Value& sender);
    void textDidEndEditing(const fnd::Notification& notification) override;
    // Ends an edit whose cell is no longer within the grid's counts without storing what was typed: the data source
    // has no such cell any more. An edit of a cell that remains goes on.
    void endEditingOfCellOutsideCounts();
    void _timerAutoscrollCallback();

    // Drags over the cells go to the grid; entering starts the autoscroll timer, leaving or ending stops it.
    ui::DragOperation draggingEntered(ui::DraggingInfo& info) override;
    std::optional<ui::DragOperation> draggingUpdated(ui::DraggingInfo& info) override;
    void draggingExited(ui::DraggingInfo& info) override;
    void draggingEnded(ui::DraggingInfo& info) override;
    bool prepareForDragOperation(ui::DraggingInfo& info) override;
    bool performDragOperation(ui::DraggingInfo& info) override;
    void concludeDragOperation(ui::DraggingInfo& info) override;

    // Drop feedback, set by the grid.
    fnd::Index dropColumn() const { return m_dropColumn; }
    fnd::Index dropRow() const { return m_dropRow; }
    void _setDropColumn(fnd::Index column);
    void _setDropRow(fnd::Index row);
    bool isDraggingColumnOrRow() const { return m_isDraggingColumnOrRow; }
    void _setDraggingColumnOrRow(bool flag) { m_isDraggingColumnOrRow = flag; }

    fnd::Index mouseDownColumn() const { return m_mouseDownColumn; }
    fnd::Index mouseDownRow() const { return m_mouseDownRow; }
    fnd::Index editedColumn() const { return m_editedColumn; }
    fnd::Index editedRow() const { return m_editedRow; }
    bool isEditing() const { return m_editedColumn != fnd::NotFound; }
    // The handle at the selection's bottom right while the grid has the keyboard in the key window; zero otherwise.
    gfx::Rect grabHandleRect() const { return m_grabHandleRect; }
    bool isAutoscrolling() const { return m_autoscrollTimer != nullptr; }
    // How many cells the last draw pass asked the data source for (a measure that only cells in sight are read).
    fnd::Index cellsDrawnInLastPass() const { return m_cellsDrawn; }

    std::shared_ptr<ui::Cursor> _cellSelectionCursor() const;
    std::shared_ptr<ui::Cursor> _cellExtendSelectionCursor() const;
    const std::shared_ptr<gfx::Image>& _cellSelectionCursorImage() const { return m_cursorImage; }
    const std::shared_ptr<gfx::Image>& _cellExtendSelectionCursorImage() const { return m_cursorExtendSelectionImage; }

    // The columns and rows a rect of this view shows: empty when no column (row) holds the rect's leading edge.
    fnd::Range visibleColumnsInRect(gfx::Rect rect) const;
    fnd::Range visibleRowsInRect(gfx::Rect rect) const;

private:
    static std::shared_ptr<gfx::Image> makeCursorImage(bool extend);
    void startAutoscrollTimer();
    void stopAutoscrollTimer();
    void drawSelection(ZORTableGrid& grid);
    void drawDropFeedback(ZORTableGrid& grid);

    fnd::Index m_mouseDownColumn { fnd::NotFound };
    fnd::Index m_mouseDownRow { fnd::NotFound };
    fnd::Index m_editedColumn { fnd::NotFound };
    fnd::Index m_editedRow { fnd::NotFound };
    // The text the edited cell showed when its edit began: an edit that ends with it stores nothing.
    fnd::String m_editedText;
    std::shared_ptr<gfx::Image> m_cursorImage;
    std::shared_ptr<gfx::Image> m_cursorExtendSelectionImage;
    gfx::Rect m_grabHandleRect;
    fnd::Index m_dropColumn { fnd::NotFound };
    fnd::Index m_dropRow { fnd::NotFound };
    std::shared_ptr<fnd::Timer> m_autoscrollTimer;
    bool m_isDraggingColumnOrRow { false };
    std::shared_ptr<ZORTableGridCell> m_cell;
    fnd::Index m_cellsDrawn { 0 };
};
