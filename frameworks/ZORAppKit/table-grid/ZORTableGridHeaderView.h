#pragma once

#include "frameworks/ZORAppKit/table-grid/ZORTableGridHeaderCell.h"

#include "platform/graphics/Axis.h"
#include "platform/ui/views/View.h"

#include <vector>

class ZORTableGrid;

// One header strip of a table grid (flipped): column headers along the top (orientation 0) or row headers down the
// left (orientation 1). A press selects the whole column or row, a drag across extends that, a press on a header
// already wholly selected starts dragging the selection once the pointer has moved 5 points, and the right edge of
// a column header resizes the column.
class ZORTableGridHeaderView : public ui::View {
    FND_OBJECT(ZORTableGridHeaderView)

public:
    static constexpr double DragThreshold = 5;
    // The resize area runs from 2 points left of a column's right edge to 3 points right of it.
    static constexpr double ResizeAreaLeft = 2;
    static constexpr double ResizeAreaWidth = 5;

    ZORTableGridHeaderView() = default;
    static std::shared_ptr<ZORTableGridHeaderView> create(gfx::Rect frame, int orientation);
    void initWithFrame(gfx::Rect frame) override;

    // The grid: the superview of the enclosing scroll view.
    std::shared_ptr<ZORTableGrid> tableGrid() const;
    int orientation() const { return m_orientation; }
    void setOrientation(int orientation) { m_orientation = orientation; }
    const std::shared_ptr<ZORTableGridHeaderCell>& headerCell() const { return m_headerCell; }
    void setHeaderCell(std::shared_ptr<ZORTableGridHeaderCell> cell) { m_headerCell = std::move(cell); }

    gfx::Rect headerRectOfColumn(fnd::Index column) const;
    gfx::Rect headerRectOfRow(fnd::Index row) const;

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    // Resize areas cover every column header in sight, whatever part was last redrawn; they are rebuilt when the
    // view scrolls or changes size and, after the columns changed (the grid asks for layout), by layout().
    void updateTrackingAreas() override;
    void layout() override;
    void mouseDown(const ui::Event& event) override;
    void mouseDragged(const ui::Event& event) override;
    void mouseUp(const ui::Event& event) override;
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;

    // Marks the headers of the items selected before or now but not both: a header shows whether its item is.
    void _setNeedsDisplayForItemsChanging(const fnd::IndexSet& before, const fnd::IndexSet& after);

    bool canResize() const { return m_canResize; }
    bool isResizing() const { return m_isResizing; }
    fnd::Index mouseDownItem() const { return m_mouseDownItem; }
    // The resize areas installed now (column headers only).
    const std::vector<std::shared_ptr<ui::TrackingArea>>& resizeAreas() const { return m_resizeAreas; }

private:
    // The header's items are columns along x or rows along y; these answer for whichever they are.
    bool isColumnHeader() const { return m_orientation == ZORTableGridHeaderCell::ColumnOrientation; }
    gfx::Axis axis() const { return isColumnHeader() ? gfx::Axis::X : gfx::Axis::Y; }
    gfx::Rect headerRectOfItem(fnd::Index item) const;
    fnd::Index itemAtPoint(ZORTableGrid& grid, gfx::Point inGrid) const;
    std::shared_ptr<const fnd::IndexSet> selectedItems(ZORTableGrid& grid) const;
    // The item alone in the header's dimension and every item of the other: the whole column or row.
    void selectWholeItem(ZORTableGrid& grid, fnd::Index item);
    void rebuildResizeAreas();
    void resetPress();
    void selectSpan(fnd::Index from, fnd::Index to);

    std::shared_ptr<ZORTableGridHeaderCell> m_headerCell;
    int m_orientation { ZORTableGridHeaderCell::ColumnOrientation };
    fnd::Index m_mouseDownItem { -1 };
    gfx::Point m_mouseDownLocation;
    gfx::Point m_lastMouseDraggingLocation;
    bool m_shouldDragItems { false };
    bool m_isInDrag { false };
    std::vector<std::shared_ptr<ui::TrackingArea>> m_resizeAreas;
    bool m_canResize { false };
    bool m_isResizing { false };
    fnd::Index m_draggingColumnIndex { 0 };
};
