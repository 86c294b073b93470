#pragma once

#include "platform/foundation/bindings/SortDescriptor.h"
#include "platform/ui/controls/Cell.h"

#include <optional>

namespace ui {

class TableView;

// How a column's width may change, with the platform's bits: with the table (autoresizing) and by dragging its
// header's edge.
namespace TableColumnResizing {
constexpr unsigned NoResizing = 0;
constexpr unsigned AutoresizingMask = 1;
constexpr unsigned UserResizingMask = 2;
}

// One column of a table: an identifier, a header cell showing the title, a data cell that draws every row's value,
// a width kept within its minimum and maximum, and the prototype of the sort descriptor a click on its header
// makes. Its "value" binding (usually to an array controller's "arrangedObjects.<key>") gives the column one value
// per row; the table then takes its rows from the controller.
class TableColumn : public fnd::Object {
    FND_OBJECT(TableColumn)
    static void describeClass(fnd::ClassBuilder<TableColumn>& c);

public:
    static constexpr double DefaultWidth = 100;

    TableColumn();
    // A column with the identifier and a title of the same text.
    static std::shared_ptr<TableColumn> create(const fnd::String& identifier);

    const fnd::String& identifier() const { return m_identifier; }
    void setIdentifier(const fnd::String& identifier) { m_identifier = identifier; }
    std::shared_ptr<TableView> tableView() const { return m_tableView.lock(); }
    // Set by the table that adds or removes the column.
    void setTableView(const std::shared_ptr<TableView>& table) { m_tableView = table; }

    // The header cell's text.
    fnd::String title() const;
    void setTitle(const fnd::String& title);
    const std::shared_ptr<Cell>& headerCell() const { return m_headerCell; }
    void setHeaderCell(std::shared_ptr<Cell> cell);
    const fnd::String& headerToolTip() const { return m_headerToolTip; }
    void setHeaderToolTip(const fnd::String& toolTip) { m_headerToolTip = toolTip; }

    // The cell that draws the rows; dataCellForRow lets a subclass vary it by row.
    const std::shared_ptr<Cell>& dataCell() const { return m_dataCell; }
    void setDataCell(std::shared_ptr<Cell> cell);
    virtual std::shared_ptr<Cell> dataCellForRow(long row) const;

    // Width, kept within [minWidth, maxWidth]; the table lays itself out again when it changes.
    double width() const { return m_width; }
    void setWidth(double width);
    double minWidth() const { return m_minWidth; }
    void setMinWidth(double width);
    double maxWidth() const { return m_maxWidth; }
    void setMaxWidth(double width);
    unsigned resizingMask() const { return m_resizingMask; }
    void setResizingMask(unsigned mask) { m_resizingMask = mask; }
    // The width of the header cell's title.
    void sizeToFit();

    bool isEditable() const { return m_editable; }
    // Made read-only during its edit, the column's edit ends, keeping what was typed.
    void setEditable(bool flag);
    bool isHidden() const { return m_hidden; }
    void setHidden(bool flag);

    // Clicking the header makes this descriptor (or reverses it when it already sorts first).
    const std::shared_ptr<fnd::SortDescriptor>& sortDescriptorPrototype() const { return m_sortDescriptorPrototype; }
    void setSortDescriptorPrototype(std::shared_ptr<fnd::SortDescriptor> prototype)
    {
        m_sortDescriptorPrototype = std::move(prototype);
    }

    // The values the "value" binding gives, one per row (nullopt while unbound).
    const std::optional<fnd::Array>& boundValues() const { return m_boundValues; }
    void unbind(const fnd::String& binding) override;

protected:
    void takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options) override;

private:
    void tableNeedsLayout();

    fnd::String m_identifier;
    std::weak_ptr<TableView> m_tableView;
    std::shared_ptr<Cell> m_headerCell;
    std::shared_ptr<Cell> m_dataCell;
    fnd::String m_headerToolTip;
    double m_width { DefaultWidth };
    double m_minWidth { 10 };
    double m_maxWidth { 1e6 };
    unsigned m_resizingMask { TableColumnResizing::AutoresizingMask | TableColumnResizing::UserResizingMask };
    bool m_editable { true };
    bool m_hidden { false };
    std::shared_ptr<fnd::SortDescriptor> m_sortDescriptorPrototype;
    std::optional<fnd::Array> m_boundValues;
};

}
