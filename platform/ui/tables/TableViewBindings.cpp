// A table's bindings: its rows ("content"), its selection ("selectionIndexes") and its order ("sortDescriptors").

#include "platform/ui/tables/TableView.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"

namespace ui {

void TableView::takeBoundValue(const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options)
{
    auto self = weak_from_this().lock();
    if (binding == fnd::BindingName::Content) {
        m_hasBoundContent = true;
        m_boundContent = value.array() ? value : fnd::Value(fnd::Array {});
        // Before the reload, which ends an edit whose row is past the rows.
        followEditedObject();
        // The rows change under a selection the controller keeps: what the table trims is not written back, and
        // a bound selection that came before its rows is shown now.
        m_applyingBoundSelection = true;
        reloadData();
        placeEditor();
        if (m_boundSelection)
            showBoundSelection();
        m_applyingBoundSelection = false;
    } else if (binding == fnd::BindingName::SelectionIndexes) {
        auto indexes = value.objectAs<fnd::IndexSet>();
        m_boundSelection = indexes ? *indexes : fnd::IndexSet {};
        showBoundSelection();
    } else if (binding == fnd::BindingName::SortDescriptors) {
        m_applyingBoundSortDescriptors = true;
        setSortDescriptors(fnd::sortDescriptorsFromValue(value));
        m_applyingBoundSortDescriptors = false;
    } else {
        Control::takeBoundValue(value, binding, options);
    }
}

void TableView::showBoundSelection()
{
    fnd::IndexSet kept;
    const long count = numberOfRows();
    for (const auto& range : m_boundSelection->ranges())
        if (range.location < count)
            kept.add(fnd::Range { range.location, std::min<fnd::Index>(range.length, count - range.location) });
    const bool applying = m_applyingBoundSelection;
    m_applyingBoundSelection = true;
    replaceSelection(kept, true);
    if (!m_selectedRows.contains(m_anchorRow)) {
        m_anchorRow = selectedRow();
        m_anchorBase = {};
    }
    m_applyingBoundSelection = applying;
}

void TableView::setBoundValueOfRowObject(const fnd::Value& value, TableColumn& column, fnd::Object& rowObject)
{
    auto info = column.infoForBinding(fnd::BindingName::Value);
    if (!info)
        return;
    auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue();
    auto dot = keyPath.rangeOfString(".");
    if (dot.location == fnd::NotFound)
        return;
    auto written = value;
    auto options = info->get(fnd::BindingInfoKey::Options);
    if (const auto* dict = options.dictionary())
        if (auto transformer = fnd::valueTransformerForBindingOptions(*dict)) {
            if (!transformer->allowsReverseTransformation())
                return;
            written = transformer->reverseTransformedValue(value);
        }
    rowObject.setValueForKeyPath(written, keyPath.substringFrom(dot.location + 1));
}

long TableView::rowOfEditedObjectInBoundRows() const
{
    auto info = infoForBinding(fnd::BindingName::Content);
    auto observed = info ? info->get(fnd::BindingInfoKey::ObservedObject).object() : nullptr;
    const auto rows = observed
        ? observed->valueForKeyPath(info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue())
        : m_boundContent;
    const auto* array = rows.array();
    if (!array)
        return -1;
    for (std::size_t i = 0; i < array->size(); ++i)
        if ((*array)[i].object() == m_editedObject.object())
            return static_cast<long>(i);
    return -1;
}

bool TableView::showsBoundRows() const
{
    auto info = infoForBinding(fnd::BindingName::Content);
    auto observed = info ? info->get(fnd::BindingInfoKey::ObservedObject).object() : nullptr;
    return !observed
        || observed->valueForKeyPath(info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue()) == m_boundContent;
}

void TableView::followEditedObject()
{
    if (!m_editingCell || m_editedObject.isNil())
        return;
    const auto* array = m_boundContent.array();
    long row = -1;
    for (std::size_t i = 0; array && i < array->size(); ++i)
        if ((*array)[i].object() == m_editedObject.object())
            row = static_cast<long>(i);
    if (row < 0) {
        // The object left the rows: what was typed for it still reaches it.
        endEditingKeepingTyped();
        return;
    }
    m_editedRow = row;
}

void TableView::placeEditor()
{
    auto editor = currentEditor();
    if (!editor || !m_editingCell)
        return;
    const auto frame = m_editingCell->titleRectForBounds(frameOfCellAtColumn(m_editedColumn, m_editedRow));
    if (editor->frame() != frame) {
        editor->setFrame(frame);
        setNeedsDisplay(true);
    }
}

void TableView::unbind(const fnd::String& binding)
{
    Control::unbind(binding);
    if (binding == fnd::BindingName::SelectionIndexes)
        m_boundSelection.reset();
    if (binding == fnd::BindingName::Content && m_hasBoundContent) {
        m_hasBoundContent = false;
        m_boundContent = {};
        reloadData();
    }
}

void TableView::columnValueWasBound(TableColumn& column)
{
    // A column bound to "<key>.<path>" of a controller gives the table its rows from "<key>", and, for an array
    // controller's arranged objects, its selection and order from the same controller.
    auto info = column.infoForBinding(fnd::BindingName::Value);
    if (!info)
        return;
    auto observed = info->get(fnd::BindingInfoKey::ObservedObject).object();
    auto keyPath = info->get(fnd::BindingInfoKey::ObservedKeyPath).stringValue();
    auto dot = keyPath.rangeOfString(".");
    if (!observed || dot.location == fnd::NotFound)
        return;
    auto rowsKey = keyPath.substringTo(dot.location);
    if (!infoForBinding(fnd::BindingName::Content))
        bind(fnd::BindingName::Content, *observed, rowsKey);
    if (!std::dynamic_pointer_cast<fnd::ArrayController>(observed) || rowsKey != "arrangedObjects")
        return;
    if (!infoForBinding(fnd::BindingName::SelectionIndexes))
        bind(fnd::BindingName::SelectionIndexes, *observed, "selectionIndexes");
    if (!infoForBinding(fnd::BindingName::SortDescriptors))
        bind(fnd::BindingName::SortDescriptors, *observed, "sortDescriptors");
}

}
