#include "platform/ui/controls/Matrix.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(Matrix, Control)

void Matrix::describeClass(fnd::ClassBuilder<Matrix>& c)
{
    c.property("prototype", &Matrix::prototype, &Matrix::setPrototype);
    c.property("cellSize", &Matrix::cellSize, &Matrix::setCellSize);
    c.property("intercellSpacing", &Matrix::intercellSpacing, &Matrix::setIntercellSpacing);
    c.property("numberOfRows", &Matrix::numberOfRows);
    c.property("numberOfColumns", &Matrix::numberOfColumns);
}

std::shared_ptr<Matrix> Matrix::create(gfx::Rect frame, const std::shared_ptr<Cell>& prototype)
{
    auto matrix = makeView<Matrix>(frame);
    matrix->setPrototype(prototype);
    return matrix;
}

// Rows and columns.

std::shared_ptr<Cell> Matrix::makeCellAtRowColumn(long, long)
{
    if (m_prototype)
        return m_prototype->copy();
    return fnd::makeObject<ActionCell>();
}

void Matrix::adoptCell(const std::shared_ptr<Cell>& cell)
{
    cell->setControlView(std::static_pointer_cast<View>(shared_from_this()));
}

void Matrix::renewRows(long rows, long columns)
{
    rows = std::max(0L, rows);
    columns = std::max(0L, columns);
    std::vector<std::shared_ptr<Cell>> cells;
    cells.reserve(std::size_t(rows * columns));
    for (long row = 0; row < rows; ++row) {
        for (long column = 0; column < columns; ++column) {
            auto cell = row < m_rows && column < m_columns ? m_cells[std::size_t(indexOf(row, column))]
                                                           : makeCellAtRowColumn(row, column);
            adoptCell(cell);
            cells.push_back(cell);
        }
    }
    m_cells = std::move(cells);
    m_rows = rows;
    m_columns = columns;
    if (m_selectedRow >= rows || m_selectedColumn >= columns)
        m_selectedRow = m_selectedColumn = -1;
    if (m_keyRow >= rows || m_keyColumn >= columns)
        m_keyRow = m_keyColumn = 0;
    setNeedsDisplay(true);
}

void Matrix::addRow()
{
    // A matrix without columns gets one, so the new row holds a cell.
    renewRows(m_rows + 1, std::max(1L, m_columns));
}

void Matrix::addColumn()
{
    renewRows(std::max(1L, m_rows), m_columns + 1);
}

std::shared_ptr<Cell> Matrix::cellAtRowColumn(long row, long column) const
{
    if (row < 0 || column < 0 || row >= m_rows || column >= m_columns)
        return nullptr;
    return m_cells[std::size_t(indexOf(row, column))];
}

std::shared_ptr<Cell> Matrix::cellWithTag(long tag) const
{
    auto found = std::find_if(m_cells.begin(), m_cells.end(), [tag](const auto& cell) { return cell->tag() == tag; });
    return found == m_cells.end() ? nullptr : *found;
}

bool Matrix::getRowColumnOfCell(const Cell& cell, long& row, long& column) const
{
    auto found = std::find_if(m_cells.begin(), m_cells.end(), [&](const auto& c) { return c.get() == &cell; });
    if (found == m_cells.end())
        return false;
    auto index = long(found - m_cells.begin());
    row = index / m_columns;
    column = index % m_columns;
    return true;
}

// Geometry.

void Matrix::setCellSize(gfx::Size size)
{
    size = boundedSize(size, m_cellSize);
    if (size == m_cellSize)
        return;
    m_cellSize = size;
    setNeedsDisplay(true);
}

void Matrix::setIntercellSpacing(gfx::Size spacing)
{
    spacing = boundedSize(spacing, m_intercellSpacing);
    if (spacing == m_intercellSpacing)
        return;
    m_intercellSpacing = spacing;
    setNeedsDisplay(true);
}

gfx::Rect Matrix::cellFrameAtRowColumn(long row, long column) const
{
    return { double(column) * (m_cellSize.width + m_intercellSpacing.width),
        double(row) * (m_cellSize.height + m_intercellSpacing.height), m_cellSize.width, m_cellSize.height };
}

bool Matrix::getRowColumnForPoint(gfx::Point point, long& row, long& column) const
{
    const double pitchX = m_cellSize.width + m_intercellSpacing.width;
    const double pitchY = m_cellSize.height + m_intercellSpacing.height;
    if (point.x < 0 || point.y < 0 || pitchX <= 0 || pitchY <= 0)
        return false;
    long r = long(std::floor(point.y / pitchY));
    long c = long(std::floor(point.x / pitchX));
    if (r >= m_rows || c >= m_columns || !gfx::pointInRect(point, cellFrameAtRowColumn(r, c)))
        return false;
    row = r;
    column = c;
    return true;
}

void Matrix::sizeToCells()
{
    auto extent = [](long count, double size, double spacing) {
        return count > 0 ? double(count) * size + double(count - 1) * spacing : 0.0;
    };
    setFrameSize({ extent(m_columns, m_cellSize.width, m_intercellSpacing.width),
        extent(m_rows, m_cellSize.height, m_intercellSpacing.height) });
}

void Matrix::sizeToFit()
{
    gfx::Size largest;
    for (const auto& cell : m_cells) {
        auto size = cell->cellSize();
        largest = { std::max(largest.width, std::ceil(size.width)), std::max(largest.height, std::ceil(size.height)) };
    }
    if (!m_cells.empty())
        setCellSize(largest);
    sizeToCells();
}

// Selection.

std::shared_ptr<Cell> Matrix::selectedCell() const
{
    return cellAtRowColumn(m_selectedRow, m_selectedColumn);
}

void Matrix::selectCellAtRowColumn(long row, long column)
{
    if (!cellAtRowColumn(row, column))
        row = column = -1;
    m_selectedRow = row;
    m_selectedColumn = column;
    if (row >= 0)
        setKeyCell(row, column);
}

void Matrix::setKeyCell(long row, long column)
{
    if (row == m_keyRow && column == m_keyColumn)
        return;
    noteFocusRingMaskChanged();
    m_keyRow = row;
    m_keyColumn = column;
    noteFocusRingMaskChanged();
}

void Matrix::setEnabled(bool flag)
{
    Control::setEnabled(flag);
    for (const auto& cell : m_cells)
        cell->setEnabled(flag);
}

// Control.

bool Matrix::sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target)
{
    if (action)
        return Control::sendAction(action, target);
    return Control::sendAction(this->action(), this->target());
}

void Matrix::updateCell(Cell& cell)
{
    long row = 0, column = 0;
    if (getRowColumnOfCell(cell, row, column))
        setNeedsDisplayInRect(cellFrameAtRowColumn(row, column));
    else
        Control::updateCell(cell);
}

void Matrix::updateCellInside(Cell& cell)
{
    updateCell(cell);
}

// View.

bool Matrix::acceptsFirstResponder() const
{
    return std::any_of(m_cells.begin(), m_cells.end(), [](const auto& cell) { return cell->acceptsFirstResponder(); });
}

void Matrix::drawRect(gfx::Rect dirtyRect)
{
    for (long row = 0; row < m_rows; ++row) {
        for (long column = 0; column < m_columns; ++column) {
            auto frame = cellFrameAtRowColumn(row, column);
            if (gfx::intersectsRect(frame, dirtyRect))
                m_cells[std::size_t(indexOf(row, column))]->drawWithFrame(frame, *this);
        }
    }
}

void Matrix::mouseDown(const Event& event)
{
    long row = 0, column = 0;
    if (!isEnabled() || !getRowColumnForPoint(convertPointFromView(event.locationInWindow(), nullptr), row, column))
        return;
    auto cell = cellAtRowColumn(row, column);
    if (!cell->isEnabled())
        return;
    auto self = shared_from_this(); // the action may remove the matrix
    selectCellAtRowColumn(row, column);
    const auto frame = cellFrameAtRowColumn(row, column);
    // As a lone control does: the cell tracks while the mouse is over it, the matrix waits while it is elsewhere.
    trackCell(*cell, frame, event);
}

bool Matrix::moveKeyCell(long rowStep, long columnStep)
{
    for (long row = m_keyRow + rowStep, column = m_keyColumn + columnStep;
         row >= 0 && row < m_rows && column >= 0 && column < m_columns; row += rowStep, column += columnStep) {
        if (cellAtRowColumn(row, column)->isEnabled()) {
            setKeyCell(row, column);
            scrollRectToVisible(cellFrameAtRowColumn(row, column));
            return true;
        }
    }
    return false;
}

void Matrix::keyDown(const Event& event)
{
    const auto& characters = event.charactersIgnoringModifiers();
    const unsigned commandKeys = ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Alternate;
    if (characters.length() != 1 || (event.modifierFlags() & commandKeys) || m_cells.empty()) {
        Control::keyDown(event);
        return;
    }
    bool handled = true;
    switch (characters.characterAt(0)) {
    case FunctionKey::UpArrow:
        handled = moveKeyCell(-1, 0);
        break;
    case FunctionKey::DownArrow:
        handled = moveKeyCell(1, 0);
        break;
    case FunctionKey::LeftArrow:
        handled = moveKeyCell(0, -1);
        break;
    case FunctionKey::RightArrow:
        handled = moveKeyCell(0, 1);
        break;
    case u' ':
        if (auto cell = keyCell(); cell && cell->isEnabled()) {
            auto self = shared_from_this();
            selectCellAtRowColumn(m_keyRow, m_keyColumn);
            cell->performClickWithFrame(cellFrameAtRowColumn(m_keyRow, m_keyColumn), *this);
        }
        break;
    default:
        Control::keyDown(event);
        return;
    }
    if (!handled)
        Application::shared().beep();
}

void Matrix::drawFocusRingMask()
{
    if (auto cell = keyCell())
        cell->drawFocusRingMaskWithFrame(cellFrameAtRowColumn(m_keyRow, m_keyColumn), *this);
}

gfx::Rect Matrix::focusRingMaskBounds() const
{
    auto cell = keyCell();
    if (!cell || !cell->showsFirstResponder())
        return {};
    return cell->focusRingMaskBoundsForFrame(cellFrameAtRowColumn(m_keyRow, m_keyColumn), const_cast<Matrix&>(*this));
}

}
