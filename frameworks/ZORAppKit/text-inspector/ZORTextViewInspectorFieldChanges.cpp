// Changing the inspector's text one field or list row at a time. Every such change leaves the text, the visible
// list and an edit in progress as a rebuild of the whole text would (the edit's typed value kept, not yet committed).
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "frameworks/FoundationExtensions/ZORNSTextStorageExtensions.h"

#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/controls/Button.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

std::size_t ZORTextViewInspector::visibleIndexOf(const ZORTextViewInspectorField& field) const
{
    for (std::size_t i = 0; i < m_visibleFieldsArray.size(); ++i)
        if (m_visibleFieldsArray[i].get() == &field)
            return i;
    return m_visibleFieldsArray.size();
}

fnd::Index ZORTextViewInspector::characterIndexForVisibleIndex(std::size_t visibleIndex) const
{
    auto* storage = textStorage();
    if (!storage)
        return 0;
    // Each field's characters follow those of the field before it, after its line break or blank.
    if (visibleIndex > 0 && visibleIndex <= m_visibleFieldsArray.size()) {
        auto before = charactersOfShownField(*m_visibleFieldsArray[visibleIndex - 1]);
        return std::min(before.max(), storage->length());
    }
    if (!m_visibleFieldsArray.empty()) {
        auto first = charRangeOfField(*m_visibleFieldsArray.front());
        if (first.location != fnd::NotFound)
            return first.location;
    }
    return storage->length();
}

fnd::Range ZORTextViewInspector::charactersOfShownField(const ZORTextViewInspectorField& field) const
{
    auto* storage = textStorage();
    auto index = visibleIndexOf(field);
    if (!storage || index == m_visibleFieldsArray.size())
        return { fnd::NotFound, 0 };
    // Fields in the later half of the text are found from its end: rows added to a list low in the form, one after
    // another, do not walk the whole text each.
    fnd::Range range { fnd::NotFound, 0 };
    if (index * 2 < m_visibleFieldsArray.size()) {
        range = charRangeOfField(field);
    } else {
        for (fnd::Index i = storage->length() - 1; i >= 0;) {
            fnd::Range run;
            auto value = storage->attributeAtIndex(ZORTextInspectorAttribute::Field, i, &run);
            if (value.object().get() == &field) {
                range = run;
                break;
            }
            i = run.location - 1;
        }
    }
    // A field may have no characters of its own (no label, an empty value): it stands at its place.
    if (range.location == fnd::NotFound)
        range = { characterIndexForVisibleIndex(index), 0 };
    if (range.max() < storage->length())
        ++range.length;
    return range;
}

std::optional<std::size_t> ZORTextViewInspector::visibleIndexForRebuild(const ZORTextViewInspectorField& field) const
{
    // The fields in the order a rebuild appends them: the visible one met last before the field precedes it.
    std::unordered_map<const ZORTextViewInspectorField*, std::size_t> shown;
    for (std::size_t i = 0; i < m_visibleFieldsArray.size(); ++i)
        shown.emplace(m_visibleFieldsArray[i].get(), i);
    std::optional<std::size_t> before;
    std::function<bool(const std::vector<ZORTextViewInspectorFieldPtr>&)> walk
        = [&](const std::vector<ZORTextViewInspectorFieldPtr>& fields) {
              for (const auto& each : fields) {
                  if (!each->shouldBeVisibleWithEditableState(m_editableState))
                      continue;
                  if (each.get() == &field)
                      return true;
                  if (auto compound = std::dynamic_pointer_cast<ZORTextViewInspectorCompoundField>(each)) {
                      if (walk(compound->allFields()))
                          return true;
                      continue;
                  }
                  if (auto at = shown.find(each.get()); at != shown.end())
                      before = at->second;
              }
              return false;
          };
    if (!walk(m_fieldsArray))
        return std::nullopt;
    return before ? *before + 1 : 0;
}

void ZORTextViewInspector::replaceCharactersKeepingEdit(fnd::Range range, const txt::AttributedString& with)
{
    auto* storage = textStorage();
    if (!storage)
        return;
    const auto start = m_currentEditedStartLocation;
    const bool keeping = isEditing() && !m_replacingRun;
    // A change reaching into the edited run from before it cannot keep it: the edit ends (committing) first.
    if (keeping && range.location < start && range.max() > start)
        endEditing();
    const auto selected = selectedRange();
    storage->beginEditing();
    storage->replaceCharactersInRange(range, with);
    storage->endEditing();
    if (!keeping || !isEditing() || range.max() > start)
        return;
    // Characters before the edited run moved it: its start, and the caret or selection inside it, move along.
    const auto delta = with.length() - range.length;
    m_currentEditedStartLocation = start + delta;
    if (m_editableState && selected.location >= start)
        ui::TextView::setSelectedRange(
            { selected.location + delta, selected.length }, ui::SelectionAffinity::Downstream, false);
    noteEditedRunChanged();
}

void ZORTextViewInspector::rebuildCharactersOfField(const ZORTextViewInspectorFieldPtr& shownField, bool keepTyped)
{
    // A copy: the caller's pointer may stand in the visible list, which changes below.
    const auto field = shownField;
    auto* storage = textStorage();
    auto index = visibleIndexOf(*field);
    if (!storage || index == m_visibleFieldsArray.size())
        return;
    auto range = charactersOfShownField(*field);
    // An edit in this field keeps what was typed: its run goes back over the new value run.
    std::optional<txt::AttributedString> typed;
    fnd::Range selectedInRun { fnd::NotFound, 0 };
    if (isEditing() && m_currentEditedStartLocation >= range.location && m_currentEditedStartLocation < range.max()) {
        auto run = currentEditingCharRange();
        if (run.location != fnd::NotFound) {
            typed = storage->attributedSubstringFromRange(run);
            auto selected = selectedRange();
            if (selected.location >= run.location && selected.max() <= run.max())
                selectedInRun = { selected.location - run.location, selected.length };
        }
        m_currentEditedStartLocation = fnd::NotFound;
    }
    auto keep = shared_from_this();
    for (const auto& view : viewsInCharacterRange(range))
        view->removeFromSuperview();
    m_visibleFieldsArray.erase(m_visibleFieldsArray.begin() + static_cast<std::ptrdiff_t>(index));
    std::optional<txt::AttributedString> built;
    if (auto view = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field))
        built = charactersOfViewField(view, previousVisibleEndsLine(index));
    else if (auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field))
        built = charactersOfTextField(text, previousVisibleEndsLine(index));
    if (!built) {
        replaceCharactersKeepingEdit(range, {});
        return;
    }
    built->addAttributes(tabStopAttributes(), { 0, built->length() });
    replaceCharactersKeepingEdit(range, *built);
    m_visibleFieldsArray.insert(m_visibleFieldsArray.begin() + static_cast<std::ptrdiff_t>(index), field);
    field->hasBecomeVisibleInInspector(self());
    if (!typed)
        return;
    auto run = ZORNSTextStorageExtensions::rangeForAttribute(
        *storage, ZORTextInspectorAttribute::PlaceholderValue, charRangeOfField(*field));
    if (run.location == fnd::NotFound)
        return;
    if (keepTyped) {
        storage->beginEditing();
        storage->replaceCharactersInRange(run, *typed);
        storage->endEditing();
    } else {
        // The field's new value is shown, and the edit goes on in it.
        typed = storage->attributedSubstringFromRange(run);
        selectedInRun = { 0, run.length };
    }
    m_currentEditedStartLocation = run.location;
    if (m_editableState)
        ui::TextView::setSelectedRange(selectedInRun.location == fnd::NotFound
                ? fnd::Range { run.location + typed->length(), 0 }
                : fnd::Range { run.location + selectedInRun.location, selectedInRun.length },
            ui::SelectionAffinity::Downstream, false);
    noteEditedRunChanged();
}

bool ZORTextViewInspector::removeButtonShownChanges(ZORTextViewInspectorField& row, fnd::Range range) const
{
    auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(row.compoundField());
    auto index = list ? list->indexOfField(row) : fnd::NotFound;
    if (index == fnd::NotFound || range.location == fnd::NotFound)
        return false;
    bool shown = false;
    for (const auto& view : viewsInCharacterRange(range))
        if (auto button = std::dynamic_pointer_cast<ui::Button>(view))
            shown = shown || button->action() == fnd::Selector("removeListRow:");
    return shown != shouldDisplayRemoveButtonForListField(*list, row, static_cast<std::size_t>(index));
}

void ZORTextViewInspector::refreshRemoveButtonsOfList(ZORTextViewInspectorListField& list)
{
    // Whether the controller can remove changes with its content (and its selection): when it did, every row whose
    // minus button that decides follows. One pass over the list's characters finds the rows showing one.
    auto* storage = textStorage();
    if (!storage)
        return;
    const bool canRemove = list.canRemove();
    const auto key = std::weak_ptr<fnd::Object>(list.shared_from_this());
    if (auto known = m_listRemoveAnswers.find(key); known != m_listRemoveAnswers.end() && known->second == canRemove)
        return;
    m_listRemoveAnswers[key] = canRemove;
    std::unordered_set<const fnd::Object*> withMinus;
    for (const auto& view : viewsInCharacterRange({ 0, storage->length() }))
        if (auto button = std::dynamic_pointer_cast<ui::Button>(view);
            button && button->cell() && button->action() == fnd::Selector("removeListRow:"))
            withMinus.insert(button->cell()->representedObject().object().get());
    std::unordered_set<const ZORTextViewInspectorField*> shown;
    for (const auto& field : m_visibleFieldsArray)
        shown.insert(field.get());
    const auto rows = list.allRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (shown.contains(rows[i].get())
            && withMinus.contains(rows[i].get()) != shouldDisplayRemoveButtonForListField(list, *rows[i], i))
            rebuildCharactersOfField(rows[i]);
}

void ZORTextViewInspector::updateDisplayOfTextField(ZORTextViewInspectorTextField& field)
{
    updateDisplayOfField(field);
}

void ZORTextViewInspector::updateDisplayOfField(ZORTextViewInspectorField& field)
{
    if (!textStorage() || m_displayMode != ZORInspectorDisplayMode::Fields)
        return;
    auto keep = shared_from_this();
    // A URL or e-mail field is shown or left out with its text's value: its button comes or goes with it.
    auto compound = field.compoundField();
    if (compound && !std::dynamic_pointer_cast<ZORTextViewInspectorListField>(compound)) {
        const auto siblings = compound->allFields();
        for (const auto& sibling : siblings)
            updateShownStateOfField(sibling);
        return;
    }
    updateShownStateOfField(std::static_pointer_cast<ZORTextViewInspectorField>(field.shared_from_this()));
}

void ZORTextViewInspector::updateShownStateOfField(const ZORTextViewInspectorFieldPtr& field)
{
    auto* storage = textStorage();
    const bool shown = visibleIndexOf(*field) < m_visibleFieldsArray.size();
    // A value that comes or goes may show or leave out the field, as a rebuild would (a read-only inspector leaves
    // out fields without a value). Nothing is put in or taken out while rebuilds are deferred.
    if (shown != field->shouldBeVisibleWithEditableState(m_editableState)) {
        const auto place = visibleIndexForRebuild(*field);
        if (m_fieldEditingCounter > 0 || shown == place.has_value())
            return;
        auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(field->compoundField());
        if (shown)
            removeShownField(field);
        else if (list)
            // A row comes in as the list's new rows do, with its neighbours and buttons.
            listFieldDidInsertRow(*list, field, static_cast<std::size_t>(list->indexOfField(*field)));
        else
            showField(field, *place);
        return;
    }
    if (!shown)
        return;
    if (auto view = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field)) {
        // Read-only, a control is shown as its replacement text, which follows the value.
        if (!m_editableState && !view->isSeparator() && !view->viewShouldAlwaysBeVisible())
            rebuildCharactersOfField(field);
        return;
    }
    auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field);
    if (!text)
        return;
    auto range = charRangeOfField(*text);
    auto run = range.location == fnd::NotFound
        ? range
        : ZORNSTextStorageExtensions::rangeForAttribute(*storage, ZORTextInspectorAttribute::PlaceholderValue, range);
    // A read-only value has no editable run to replace, and a list row's minus button comes or goes with its value
    // when the list cannot remove: the field's characters are built again.
    if (run.location == fnd::NotFound || removeButtonShownChanges(*text, range)) {
        rebuildCharactersOfField(text, false);
        return;
    }
    auto replacement = newTextFieldValueStringForTextField(*text);
    replacement.addAttribute(ZORTextInspectorAttribute::Field, fnd::Value(std::static_pointer_cast<fnd::Object>(text)),
        { 0, replacement.length() });
    replacement.addAttributes(tabStopAttributes(), { 0, replacement.length() });
    replaceCharactersKeepingEdit(run, replacement);
}

void ZORTextViewInspector::showField(const ZORTextViewInspectorFieldPtr& field, std::size_t visibleIndex)
{
    // Set up as a rebuild sets it up before appending it.
    if (auto compound = field->compoundField()) {
        field->setEditable(field->shouldBeEditableWithEditableState(compound->isEditable()));
        field->setEnabled(field->shouldBeEnabledWithEditableState(compound->isEnabled()));
    } else {
        field->setEnabled(field->shouldBeEnabledWithEditableState(m_editableState));
    }
    const bool previousEndsLine = previousVisibleEndsLine(visibleIndex);
    if (!insertField(field, characterIndexForVisibleIndex(visibleIndex), visibleIndex))
        return;
    // The field after it followed another before: its two tabs may come or go.
    if (visibleIndex + 1 < m_visibleFieldsArray.size() && previousEndsLine != field->shouldAppendNewline())
        rebuildCharactersOfField(m_visibleFieldsArray[visibleIndex + 1]);
    setNeedsDisplay(true);
}

void ZORTextViewInspector::removeShownField(const ZORTextViewInspectorFieldPtr& field)
{
    auto range = charactersOfShownField(*field);
    if (isEditing() && m_currentEditedStartLocation >= range.location && m_currentEditedStartLocation < range.max()) {
        endEditing();
        if (visibleIndexOf(*field) == m_visibleFieldsArray.size())
            return;
        range = charactersOfShownField(*field);
    }
    const auto visibleIndex = visibleIndexOf(*field);
    for (const auto& view : viewsInCharacterRange(range))
        view->removeFromSuperview();
    replaceCharactersKeepingEdit(range, {});
    m_visibleFieldsArray.erase(m_visibleFieldsArray.begin() + static_cast<std::ptrdiff_t>(visibleIndex));
    // The field after it follows another now: its two tabs may come or go.
    if (visibleIndex < m_visibleFieldsArray.size()
        && previousVisibleEndsLine(visibleIndex) != field->shouldAppendNewline())
        rebuildCharactersOfField(m_visibleFieldsArray[visibleIndex]);
    setNeedsDisplay(true);
}

void ZORTextViewInspector::listFieldDidInsertRow(
    ZORTextViewInspectorListField& list, const ZORTextViewInspectorFieldPtr& row, std::size_t index)
{
    // Its value may show it later, when it has none now.
    row->setTextViewInspector(self());
    if (m_fieldEditingCounter > 0 || !textStorage() || visibleIndexOf(*row) < m_visibleFieldsArray.size())
        return;
    // The row goes where a rebuild would put it, after the visible field a rebuild would show before it.
    auto visibleIndex = visibleIndexForRebuild(*row);
    if (!visibleIndex)
        return;
    auto keep = shared_from_this();
    row->setEditable(row->shouldBeEditableWithEditableState(list.isEditable()));
    row->setEnabled(row->shouldBeEnabledWithEditableState(list.isEnabled()));
    if (!insertField(row, characterIndexForVisibleIndex(*visibleIndex), *visibleIndex))
        return;
    // The field after the row followed another before: its tabs, or its first-row label and buttons, may change.
    if (*visibleIndex + 1 < m_visibleFieldsArray.size()) {
        const auto next = m_visibleFieldsArray[*visibleIndex + 1];
        const bool wasFirstRow = index == 0 && next->compoundField().get() == &list;
        if (wasFirstRow || previousVisibleEndsLine(*visibleIndex) != row->shouldAppendNewline())
            rebuildCharactersOfField(next);
    }
    refreshRemoveButtonsOfList(list);
    setNeedsDisplay(true);
}

void ZORTextViewInspector::listFieldDidRemoveRow(
    ZORTextViewInspectorListField& list, const ZORTextViewInspectorFieldPtr& row, std::size_t index)
{
    auto* storage = textStorage();
    auto visibleIndex = visibleIndexOf(*row);
    if (m_fieldEditingCounter > 0 || !storage || visibleIndex == m_visibleFieldsArray.size())
        return;
    auto keep = shared_from_this();
    // Exactly the row's own characters and its line break or blank: a field sharing its line stays.
    auto range = charactersOfShownField(*row);
    if (isEditing() && m_currentEditedStartLocation >= range.location && m_currentEditedStartLocation < range.max()) {
        // What was typed into the row is committed; committing may show the value anew.
        endEditing();
        visibleIndex = visibleIndexOf(*row);
        if (visibleIndex == m_visibleFieldsArray.size())
            return;
        range = charactersOfShownField(*row);
    }
    for (const auto& view : viewsInCharacterRange(range))
        view->removeFromSuperview();
    replaceCharactersKeepingEdit(range, {});
    m_visibleFieldsArray.erase(m_visibleFieldsArray.begin() + static_cast<std::ptrdiff_t>(visibleIndex));
    // The field after it follows another now: its tabs, or its first-row label and buttons, may change.
    if (visibleIndex < m_visibleFieldsArray.size()) {
        const auto next = m_visibleFieldsArray[visibleIndex];
        const bool nowFirstRow = index == 0 && next->compoundField().get() == &list;
        if (nowFirstRow || previousVisibleEndsLine(visibleIndex) != row->shouldAppendNewline())
            rebuildCharactersOfField(next);
    }
    refreshRemoveButtonsOfList(list);
    setNeedsDisplay(true);
}
