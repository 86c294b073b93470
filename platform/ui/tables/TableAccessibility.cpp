// How tables and outlines answer assistive technologies: the table's children are its rows, a row's children the
// elements of its cells. A table draws every row of a column with one cell, so rows and cells are elements of their
// own that ask the table when they are read.

#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/tables/OutlineView.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

namespace Attr = AccessibilityAttribute;
using Key = AccessibilityAttributeKey;

namespace {

gfx::Rect tableAccessibilityOnScreen(const TableView& table, gfx::Rect rect)
{
    auto inWindow = table.convertRectToView(rect, nullptr);
    auto window = table.window();
    return window ? window->convertRectToScreen(inWindow) : inWindow;
}

// One cell of the table: what the column's cell shows for the row.
class TableAccessibilityCell : public fnd::Object, public AccessibilityElement {
public:
    TableAccessibilityCell(std::weak_ptr<TableView> table, std::weak_ptr<fnd::Object> row, long column)
        : m_table(std::move(table))
        , m_row(std::move(row))
        , m_column(column)
    {
    }

    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        return accessibilityAttributeNameList({ Attr::Role, Attr::RoleDescription, Attr::Title, Attr::Value,
            Attr::Parent, Attr::Window, Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Enabled });
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto table = m_table.lock();
        auto rowObject = m_row.lock();
        auto rowValue = rowObject ? fnd::Value(rowObject) : fnd::Value();
        auto* rowElement = accessibilityElement(rowValue);
        long row = rowElement ? accessibilityAttribute(*rowElement, Attr::Index).integerValue() : -1;
        if (!table || row < 0 || row >= table->numberOfRows() || m_column >= table->numberOfColumns())
            return {};
        const auto key = accessibilityAttributeKey(attribute);
        switch (key) {
        case Key::Parent:
            return rowValue;
        case Key::Window:
        case Key::TopLevelUIElement:
            return table->accessibilityAttributeValue(Attr::Window);
        case Key::Position:
        case Key::Size: {
            auto frame = tableAccessibilityOnScreen(*table, table->frameOfCellAtColumn(m_column, row));
            return key == Key::Position ? fnd::Value(frame.origin) : fnd::Value(frame.size);
        }
        // Only what the column's cell shows needs it prepared for the row (a call to the data source): a walk of the
        // tree asks every cell for its children too.
        case Key::Role:
        case Key::Title:
        case Key::Value:
        case Key::Subrole:
        case Key::Enabled: {
            auto cell = table->preparedCellAtColumn(m_column, row);
            return cell ? cell->accessibilityAttributeValue(attribute) : fnd::Value();
        }
        default:
            return AccessibilityElement::accessibilityAttributeValue(attribute);
        }
    }

    bool accessibilityIsIgnored() const override { return false; }

private:
    std::weak_ptr<TableView> m_table;
    // The row owns its cells: a cell must not keep its row alive.
    std::weak_ptr<fnd::Object> m_row;
    long m_column;
};

// One row of the table.
class TableAccessibilityRow : public fnd::Object, public AccessibilityElement {
public:
    TableAccessibilityRow(std::weak_ptr<TableView> table, long row)
        : m_table(std::move(table))
        , m_row(row)
    {
    }

    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        auto names = accessibilityAttributeNameList({ Attr::Role, Attr::Subrole, Attr::RoleDescription, Attr::Title,
            Attr::Description, Attr::Index, Attr::Selected, Attr::Parent, Attr::Children, Attr::Window,
            Attr::TopLevelUIElement, Attr::Position, Attr::Size, Attr::Enabled });
        if (outline())
            accessibilityAddAttributeNames(names, { Attr::Disclosing, Attr::DisclosureLevel });
        return names;
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto table = m_table.lock();
        if (!table || m_row >= table->numberOfRows())
            return {};
        const auto key = accessibilityAttributeKey(attribute);
        switch (key) {
        case Key::Role:
            return AccessibilityRole::Row;
        case Key::Subrole:
            return outline() ? AccessibilitySubrole::OutlineRow : AccessibilitySubrole::TableRow;
        case Key::Title:
        case Key::Description: {
            auto text = key == Key::Title ? table->accessibilityTitleOfRow(m_row)
                                          : table->accessibilityDescriptionOfRow(m_row);
            return text.isEmpty() ? fnd::Value() : fnd::Value(text);
        }
        case Key::Index:
            return m_row;
        case Key::Selected:
            return table->isRowSelected(m_row);
        case Key::Parent:
            return table->selfValue();
        case Key::Children: {
            fnd::Array cells;
            const auto& columns = table->tableColumns();
            for (std::size_t column = 0; column < columns.size(); ++column) {
                if (columns[column]->isHidden())
                    continue;
                if (column >= m_cells.size())
                    m_cells.resize(column + 1);
                if (!m_cells[column])
                    m_cells[column] = std::make_shared<TableAccessibilityCell>(
                        m_table, std::const_pointer_cast<fnd::Object>(shared_from_this()), long(column));
                cells.push_back(m_cells[column]->selfValue());
            }
            return cells;
        }
        case Key::Window:
        case Key::TopLevelUIElement:
            return table->accessibilityAttributeValue(Attr::Window);
        case Key::Position:
        case Key::Size: {
            auto frame = tableAccessibilityOnScreen(*table, table->rectOfRow(m_row));
            return key == Key::Position ? fnd::Value(frame.origin) : fnd::Value(frame.size);
        }
        case Key::Enabled:
            return table->isEnabled();
        case Key::Disclosing:
            if (auto tree = outline())
                return tree->isItemExpanded(tree->itemAtRow(m_row));
            break;
        case Key::DisclosureLevel:
            if (auto tree = outline())
                return tree->levelForRow(m_row);
            break;
        default:
            break;
        }
        return AccessibilityElement::accessibilityAttributeValue(attribute);
    }

    bool accessibilityIsAttributeSettable(const fnd::String& attribute) const override
    {
        switch (accessibilityAttributeKey(attribute)) {
        case Key::Disclosing: {
            auto tree = outline();
            return tree && tree->isExpandable(tree->itemAtRow(m_row));
        }
        case Key::Selected:
            return m_table.lock() != nullptr;
        default:
            return false;
        }
    }

    void accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute) override
    {
        auto table = m_table.lock();
        if (!table || m_row >= table->numberOfRows())
            return;
        const auto key = accessibilityAttributeKey(attribute);
        if (key == Key::Selected) {
            if (value.boolValue())
                table->selectRowIndexes(fnd::IndexSet(m_row), table->allowsMultipleSelection());
            else
                table->deselectRow(m_row);
        } else if (key == Key::Disclosing) {
            if (auto tree = outline()) {
                auto item = tree->itemAtRow(m_row);
                if (value.boolValue())
                    tree->expandItem(item);
                else
                    tree->collapseItem(item);
            }
        }
    }

    bool accessibilityIsIgnored() const override { return false; }

private:
    std::shared_ptr<OutlineView> outline() const { return std::dynamic_pointer_cast<OutlineView>(m_table.lock()); }

    std::weak_ptr<TableView> m_table;
    long m_row;
    mutable std::vector<std::shared_ptr<TableAccessibilityCell>> m_cells;
};

}

fnd::Value TableView::accessibilityRowElement(long row) const
{
    if (row < 0 || row >= numberOfRows())
        return {};
    auto index = static_cast<std::size_t>(row);
    if (index >= m_accessibilityRows.size())
        m_accessibilityRows.resize(index + 1);
    if (!m_accessibilityRows[index]) {
        auto self = std::static_pointer_cast<TableView>(std::const_pointer_cast<fnd::Object>(shared_from_this()));
        m_accessibilityRows[index] = std::make_shared<TableAccessibilityRow>(self, row);
    }
    return m_accessibilityRows[index]->selfValue();
}

std::vector<fnd::String> TableView::accessibilityAttributeNames() const
{
    auto names = View::accessibilityAttributeNames();
    for (const auto& name : { Attr::Rows, Attr::SelectedRows, Attr::VisibleRows, Attr::Enabled })
        names.push_back(name);
    return names;
}

fnd::Value TableView::accessibilityAttributeValue(const fnd::String& attribute) const
{
    switch (accessibilityAttributeKey(attribute)) {
    case Key::Role:
        return dynamic_cast<const OutlineView*>(this) ? AccessibilityRole::Outline : AccessibilityRole::Table;
    case Key::Rows:
    case Key::Children: {
        fnd::Array rows;
        const long count = numberOfRows();
        rows.reserve(std::size_t(std::max(count, 0L)));
        for (long row = 0; row < count; ++row)
            rows.push_back(accessibilityRowElement(row));
        return rows;
    }
    case Key::SelectedRows: {
        fnd::Array rows;
        for (long row = 0; row < numberOfRows(); ++row)
            if (isRowSelected(row))
                rows.push_back(accessibilityRowElement(row));
        return rows;
    }
    case Key::VisibleRows: {
        fnd::Array rows;
        auto visible = rowsInRect(visibleRect());
        for (auto row = visible.location; row < visible.max(); ++row)
            rows.push_back(accessibilityRowElement(static_cast<long>(row)));
        return rows;
    }
    case Key::Enabled:
        return isEnabled();
    default:
        return View::accessibilityAttributeValue(attribute);
    }
}

bool TableView::accessibilityIsAttributeSettable(const fnd::String& attribute) const
{
    return accessibilityAttributeKey(attribute) == Key::SelectedRows
        || View::accessibilityIsAttributeSettable(attribute);
}

void TableView::accessibilitySetValue(const fnd::Value& value, const fnd::String& attribute)
{
    if (accessibilityAttributeKey(attribute) != Key::SelectedRows) {
        View::accessibilitySetValue(value, attribute);
        return;
    }
    const auto* rows = value.array();
    if (!rows)
        return;
    fnd::IndexSet selection;
    for (const auto& row : *rows)
        if (auto* element = accessibilityElement(row))
            if (accessibilityAttribute(*element, Attr::Parent).object().get() == this)
                selection.add(accessibilityAttribute(*element, Attr::Index).integerValue());
    selectRowIndexes(selection, false);
}

fnd::Value TableView::accessibilityHitTest(gfx::Point screenPoint) const
{
    if (auto w = window()) {
        auto point = convertPointFromView(w->convertScreenToBase(screenPoint), nullptr);
        long row = rowAtPoint(point);
        if (row >= 0)
            return accessibilityRowElement(row);
    }
    return View::accessibilityHitTest(screenPoint);
}

}
