#include "platform/ui/tables/TableColumn.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/graphics/Font.h"
#include "platform/ui/tables/TableHeaderCell.h"
#include "platform/ui/tables/TableView.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(TableColumn, fnd::Object)

void TableColumn::describeClass(fnd::ClassBuilder<TableColumn>& c)
{
    c.property("identifier", &TableColumn::identifier, &TableColumn::setIdentifier);
    c.property("title", &TableColumn::title, &TableColumn::setTitle);
    c.property("headerToolTip", &TableColumn::headerToolTip, &TableColumn::setHeaderToolTip);
    c.property("headerCell", &TableColumn::headerCell, &TableColumn::setHeaderCell);
    c.property("dataCell", &TableColumn::dataCell, &TableColumn::setDataCell);
    c.property("width", &TableColumn::width, &TableColumn::setWidth);
    c.property("minWidth", &TableColumn::minWidth, &TableColumn::setMinWidth);
    c.property("maxWidth", &TableColumn::maxWidth, &TableColumn::setMaxWidth);
    c.property("resizingMask", &TableColumn::resizingMask, &TableColumn::setResizingMask);
    c.property("editable", &TableColumn::isEditable, &TableColumn::setEditable);
    c.property("hidden", &TableColumn::isHidden, &TableColumn::setHidden);
    c.property(
        "sortDescriptorPrototype", &TableColumn::sortDescriptorPrototype, &TableColumn::setSortDescriptorPrototype);
    c.exposeBinding(fnd::BindingName::Value);
}

TableColumn::TableColumn()
{
    auto header = fnd::makeObject<TableHeaderCell>();
    m_headerCell = header;
    // Rows show their text on one line, cut with an ellipsis, without a field's border or background.
    auto data = fnd::makeObject<TextFieldCell>();
    data->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    data->setDrawsBackground(false);
    m_dataCell = data;
}

std::shared_ptr<TableColumn> TableColumn::create(const fnd::String& identifier)
{
    auto column = fnd::makeObject<TableColumn>();
    column->setIdentifier(identifier);
    column->setTitle(identifier);
    return column;
}

fnd::String TableColumn::title() const
{
    return m_headerCell ? m_headerCell->stringValue() : fnd::String();
}

void TableColumn::setTitle(const fnd::String& title)
{
    if (m_headerCell)
        m_headerCell->setStringValue(title);
    tableNeedsLayout();
}

void TableColumn::setHeaderCell(std::shared_ptr<Cell> cell)
{
    m_headerCell = std::move(cell);
    tableNeedsLayout();
}

void TableColumn::setDataCell(std::shared_ptr<Cell> cell)
{
    m_dataCell = std::move(cell);
    if (auto table = tableView())
        table->setNeedsDisplay(true);
}

std::shared_ptr<Cell> TableColumn::dataCellForRow(long) const
{
    return m_dataCell;
}

void TableColumn::setWidth(double width)
{
    // Widths that are not numbers are ignored: std::clamp and std::max let NaN through, or take it for 0.
    if (std::isnan(width))
        return;
    width = std::clamp(width, m_minWidth, std::max(m_minWidth, m_maxWidth));
    if (width == m_width)
        return;
    double old = m_width;
    m_width = width;
    if (auto table = tableView())
        table->columnDidChangeWidth(*this, old);
}

void TableColumn::setMinWidth(double width)
{
    if (std::isnan(width))
        return;
    m_minWidth = std::max(0.0, width);
    if (m_width < m_minWidth)
        setWidth(m_minWidth);
}

void TableColumn::setMaxWidth(double width)
{
    if (std::isnan(width))
        return;
    m_maxWidth = std::max(0.0, width);
    if (m_width > m_maxWidth)
        setWidth(m_maxWidth);
}

void TableColumn::sizeToFit()
{
    if (!m_headerCell)
        return;
    setWidth(std::ceil(m_headerCell->cellSize().width));
}

void TableColumn::setHidden(bool flag)
{
    if (flag == m_hidden)
        return;
    m_hidden = flag;
    if (auto table = tableView())
        table->columnDidChangeWidth(*this, m_width);
}

void TableColumn::tableNeedsLayout()
{
    if (auto table = tableView()) {
        table->tile();
        table->setNeedsDisplay(true);
    }
}

void TableColumn::takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options)
{
    if (binding != fnd::BindingName::Value) {
        fnd::Object::takeBoundValue(value, binding, options);
        return;
    }
    // One value per row; a single value (a controller with one object) is one row.
    bool first = !m_boundValues;
    if (const auto* array = value.array())
        m_boundValues = *array;
    else if (value.isNil() || value.isNull() || fnd::selectionMarkerKind(value))
        m_boundValues = fnd::Array {};
    else
        m_boundValues = fnd::Array { value };
    if (auto table = tableView()) {
        if (first)
            table->columnValueWasBound(*this);
        table->reloadData();
    }
}

void TableColumn::setEditable(bool flag)
{
    if (flag == m_editable)
        return;
    m_editable = flag;
    auto table = tableView();
    if (flag || !table || table->editedColumn() < 0)
        return;
    const auto& columns = table->tableColumns();
    if (static_cast<std::size_t>(table->editedColumn()) < columns.size()
        && columns[static_cast<std::size_t>(table->editedColumn())].get() == this)
        table->endEditingKeepingTyped();
}

void TableColumn::unbind(const fnd::String& binding)
{
    fnd::Object::unbind(binding);
    if (binding == fnd::BindingName::Value && m_boundValues) {
        m_boundValues.reset();
        if (auto table = tableView())
            table->reloadData();
    }
}

}
