#pragma once

#include "platform/ui/controls/Control.h"

#include <vector>

namespace ui {

// A grid of cells of one size (a list of check boxes, say), rows from the top. New cells are copies of the
// prototype. Every cell tracks the mouse on its own, as a lone control's would; the one clicked becomes the selected
// cell, and its action goes out with the matrix as sender: the cell's own action and target when it has an action,
// else the matrix's. With the keyboard the arrows move between cells and Space clicks the one with the focus ring.
class Matrix : public Control {
    FND_OBJECT(Matrix)
    static void describeClass(fnd::ClassBuilder<Matrix>& c);

public:
    Matrix() = default;
    static std::shared_ptr<Matrix> create(gfx::Rect frame, const std::shared_ptr<Cell>& prototype);

    const std::shared_ptr<Cell>& prototype() const { return m_prototype; }
    void setPrototype(const std::shared_ptr<Cell>& prototype) { m_prototype = prototype; }

    // Rows and columns. renewRows keeps the cells that still fit and makes the missing ones.
    long numberOfRows() const { return m_rows; }
    long numberOfColumns() const { return m_columns; }
    void addRow();
    void addColumn();
    void renewRows(long rows, long columns);
    // A fresh copy of the prototype (an action cell without one).
    virtual std::shared_ptr<Cell> makeCellAtRowColumn(long row, long column);

    // Cells, row by row.
    const std::vector<std::shared_ptr<Cell>>& cells() const { return m_cells; }
    std::shared_ptr<Cell> cellAtRowColumn(long row, long column) const;
    // The first cell with the tag, nullptr for none.
    std::shared_ptr<Cell> cellWithTag(long tag) const;
    // Whether the cell is one of this matrix's, and where.
    bool getRowColumnOfCell(const Cell& cell, long& row, long& column) const;

    // Geometry, in the flipped view.
    gfx::Size cellSize() const { return m_cellSize; }
    void setCellSize(gfx::Size size);
    gfx::Size intercellSpacing() const { return m_intercellSpacing; }
    void setIntercellSpacing(gfx::Size spacing);
    gfx::Rect cellFrameAtRowColumn(long row, long column) const;
    // The cell under the point; false between cells and outside the grid.
    bool getRowColumnForPoint(gfx::Point point, long& row, long& column) const;
    // The frame fits the grid.
    void sizeToCells();
    // The cells grow (or shrink) to the largest cell's natural size, then the frame fits them.
    void sizeToFit() override;

    // The cell last clicked or chosen (nullptr before any); the keyboard's cell.
    std::shared_ptr<Cell> selectedCell() const override;
    long selectedRow() const { return m_selectedRow; }
    long selectedColumn() const { return m_selectedColumn; }
    void selectCellAtRowColumn(long row, long column);
    std::shared_ptr<Cell> keyCell() const { return cellAtRowColumn(m_keyRow, m_keyColumn); }

    // The matrix's own settings reach every cell.
    void setEnabled(bool flag) override;

    // Control.
    bool sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target) override;
    void updateCell(Cell& cell) override;
    void updateCellInside(Cell& cell) override;

    // View.
    bool acceptsFirstResponder() const override;
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void keyDown(const Event& event) override;
    void drawFocusRingMask() override;
    gfx::Rect focusRingMaskBounds() const override;

    // Accessibility: a radio group (a group when its cells are not radio buttons) whose children are its cells.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override { return {}; }
    bool accessibilityIsIgnored() const override { return false; }
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    std::optional<gfx::Rect> accessibilityFrameOfCell(const Cell& cell) const override;

private:
    long indexOf(long row, long column) const { return row * m_columns + column; }
    void adoptCell(const std::shared_ptr<Cell>& cell);
    // Moves the keyboard's cell by rows and columns to the next enabled cell that way; false at the edge.
    bool moveKeyCell(long rowStep, long columnStep);
    void setKeyCell(long row, long column);

    std::shared_ptr<Cell> m_prototype;
    std::vector<std::shared_ptr<Cell>> m_cells;
    long m_rows { 0 };
    long m_columns { 0 };
    gfx::Size m_cellSize { 100, 18 };
    gfx::Size m_intercellSpacing { 1, 1 };
    long m_selectedRow { -1 };
    long m_selectedColumn { -1 };
    long m_keyRow { 0 };
    long m_keyColumn { 0 };
};

}
