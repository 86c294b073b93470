#pragma once

#include "platform/ui/views/View.h"

namespace ui {

class TableView;

// The strip of column titles above a table, in a clip view of its own that the scroll view puts above the rows
// and scrolls sideways with them. A click on a title sorts (TableView::didClickTableColumn), a drag of a title
// moves the column, a drag of a title's right edge resizes it. Flipped, like the table.
class TableHeaderView : public View {
    FND_OBJECT(TableHeaderView)

public:
    static constexpr double DefaultHeight = 22;
    // How near a title's right edge (points) a press resizes instead of moving, and how far the mouse must go
    // before a press becomes a move.
    static constexpr double ResizeMargin = 3;
    static constexpr double DragThreshold = 3;

    TableHeaderView() = default;
    static std::shared_ptr<TableHeaderView> create(gfx::Rect frame = { 0, 0, 100, DefaultHeight });

    std::shared_ptr<TableView> tableView() const { return m_tableView.lock(); }
    void setTableView(const std::shared_ptr<TableView>& table);

    // -1 outside every column.
    long columnAtPoint(gfx::Point point) const;
    gfx::Rect headerRectOfColumn(long column) const;
    // While a title is dragged: the column and how far it is from its place; -1 and 0 otherwise.
    long draggedColumn() const { return m_draggedColumn; }
    double draggedDistance() const { return m_draggedDistance; }
    // The column whose edge is dragged, -1 otherwise.
    long resizedColumn() const { return m_resizedColumn; }

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void resetCursorRects() override;
    // The tip of the column whose title is under the point.
    fnd::String toolTipAtPoint(gfx::Point point, gfx::Rect* rect = nullptr) override;

private:
    // The column whose right edge is within the resize margin of the point, if it may be resized by the person.
    long resizableColumnAtEdge(gfx::Point point) const;
    void trackResize(long column, const Event& event);
    void trackPress(long column, const Event& event);
    void drawColumn(long column, gfx::Rect rect, bool pressed);

    std::weak_ptr<TableView> m_tableView;
    long m_pressedColumn { -1 };
    long m_draggedColumn { -1 };
    double m_draggedDistance { 0 };
    long m_resizedColumn { -1 };
};

}
