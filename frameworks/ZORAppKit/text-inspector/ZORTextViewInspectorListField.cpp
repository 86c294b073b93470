#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorListField.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/KeyValueObserving.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/text/TokenField.h"
#include "platform/ui/text/TokenFieldCell.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORTextViewInspectorListField, ZORTextViewInspectorCompoundField)
FND_REGISTER_CLASS(ZORTextViewInspectorTokenListFieldItem, ZORTextViewInspectorViewField)
FND_REGISTER_CLASS(ZORTextViewInspectorTokenListField, ZORTextViewInspectorListField)

ZORTextViewInspectorListField::~ZORTextViewInspectorListField()
{
    if (m_observableObject)
        m_observableObject->removeObserver(*this, "arrangedObjects");
}

void ZORTextViewInspectorListField::bindToObject(const std::shared_ptr<fnd::ObjectController>& controller,
    const fnd::String& controllerKey, const fnd::String& modelKeyPathForValue, const fnd::String& modelKeyPathForLabel)
{
    unbindController();
    m_observableObject = controller;
    m_controllerKey = controllerKey;
    m_modelKeyPathForValue = modelKeyPathForValue;
    m_modelKeyPathForLabel = modelKeyPathForLabel;
    if (!controller)
        return;
    if (controller->managedObjectContext())
        setManagedObjectContext(controller->managedObjectContext());
    // The content the controller holds already gives the rows at once, as if it had just been set.
    controller->addObserver(*this, "arrangedObjects",
        fnd::KeyValueObservingOptions::New | fnd::KeyValueObservingOptions::Old
            | fnd::KeyValueObservingOptions::Initial);
}

void ZORTextViewInspectorListField::unbindController()
{
    if (m_observableObject)
        m_observableObject->removeObserver(*this, "arrangedObjects");
    m_observableObject.reset();
    m_controllerKey = {};
    m_modelKeyPathForValue = {};
    m_modelKeyPathForLabel = {};
}

bool ZORTextViewInspectorListField::canAdd() const
{
    return m_observableObject && m_observableObject->canAdd();
}

bool ZORTextViewInspectorListField::canRemove() const
{
    return m_observableObject && m_observableObject->canRemove();
}

fnd::Array ZORTextViewInspectorListField::controllerObjects() const
{
    if (!m_observableObject)
        return {};
    if (auto array = std::dynamic_pointer_cast<fnd::ArrayController>(m_observableObject))
        if (m_controllerKey.isEmpty() || m_controllerKey == "arrangedObjects")
            return array->arrangedObjects();
    auto value
        = m_observableObject->valueForKey(m_controllerKey.isEmpty() ? fnd::String("arrangedObjects") : m_controllerKey);
    return value.array() ? *value.array() : fnd::Array {};
}

bool ZORTextViewInspectorListField::isEnabled() const
{
    if (m_observableObject && !controllerObjects().empty() && !(canAdd() && canRemove()))
        return false;
    return ZORTextViewInspectorCompoundField::isEnabled();
}

ZORTextViewInspectorFieldPtr ZORTextViewInspectorListField::newRow(
    bool editable, bool enabled, const ZORTextViewInspectorFieldLabelPtr& label)
{
    if (!m_entryFieldTemplate)
        return nullptr;
    auto row = m_entryFieldTemplate->copy();
    row->setEditable(editable);
    row->setEnabled(enabled);
    if (label)
        row->setLabel(label);
    return row;
}

void ZORTextViewInspectorListField::insertRowSilently(const ZORTextViewInspectorFieldPtr& row, std::size_t index)
{
    insertField(row, index);
}

ZORTextViewInspectorFieldPtr ZORTextViewInspectorListField::insertRowAtIndex(
    std::size_t index, const ZORTextViewInspectorFieldLabelPtr& label)
{
    auto row = newRow(isEditable(), ZORTextViewInspectorCompoundField::isEnabled(), label);
    if (!row)
        return nullptr;
    index = std::min(index, allRows().size());
    insertRowSilently(row, index);
    auto self = shared_from_this();
    if (auto d = std::dynamic_pointer_cast<ZORTextViewInspectorListFieldDelegate>(delegate()))
        d->listFieldDidInsertRow(*this, row, index);
    return row;
}

ZORTextViewInspectorFieldPtr ZORTextViewInspectorListField::addRow()
{
    return insertRowAtIndex(allRows().size());
}

void ZORTextViewInspectorListField::removeRowAtIndex(std::size_t index)
{
    auto row = rowAtIndex(index);
    if (!row)
        return;
    auto self = shared_from_this();
    removeFieldAtIndex(index);
    if (auto d = std::dynamic_pointer_cast<ZORTextViewInspectorListFieldDelegate>(delegate()))
        d->listFieldDidRemoveRow(*this, row, index);
}

void ZORTextViewInspectorListField::removeRow(const ZORTextViewInspectorField& row)
{
    auto index = indexOfField(row);
    if (index != fnd::NotFound)
        removeRowAtIndex(static_cast<std::size_t>(index));
}

void ZORTextViewInspectorListField::removeAllRows()
{
    // From the last: the rows left keep their first row, which a shown list would otherwise build again each time.
    auto rows = allRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        removeRow(**row);
}

void ZORTextViewInspectorListField::setValue(const fnd::Value& value)
{
    const auto* array = value.array();
    if (!array)
        return;
    // The rows are shown by one rebuild at the end, not one by one as their values arrive.
    auto inspector = textViewInspector();
    if (inspector)
        inspector->beginFieldEditing();
    removeAllFields();
    fnd::Array elements;
    if (!array->empty() && array->front().array()) {
        for (const auto& inner : *array)
            if (const auto* items = inner.array())
                for (const auto& element : *items)
                    if (std::find(elements.begin(), elements.end(), element) == elements.end())
                        elements.push_back(element);
    } else {
        // A flat array gives one row per element too: every element must reach a row.
        elements = *array;
    }
    for (const auto& element : elements) {
        if (auto row = newRow(isEditable(), ZORTextViewInspectorCompoundField::isEnabled(), nullptr)) {
            insertRowSilently(row, allRows().size());
            row->setValue(element);
        }
    }
    ZORTextViewInspectorCompoundField::setValue(value);
    if (inspector)
        inspector->endFieldEditing();
}

void ZORTextViewInspectorListField::bindRow(const ZORTextViewInspectorFieldPtr& row, const fnd::Value& object)
{
    row->setListObject(object);
    auto target = object.object();
    if (!target) {
        row->setValue(object);
        return;
    }
    if (std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(row)) {
        // A token row stands for its object as a whole: ending its edit replaces the object in the controller.
        // The row itself shows the object's value and lets its label follow the object.
        row->bind("value", *target, "self");
        return;
    }
    if (!m_modelKeyPathForValue.isEmpty()) {
        // The row shows the object's value and writes edits back to it.
        row->bind("value", *target, m_modelKeyPathForValue);
    } else {
        // Without a value path the object is shown as it is; "self" cannot be written to.
        row->setValue(object);
    }
    // The row's label follows the object, so default labels its rows take are not offered twice.
    if (!m_modelKeyPathForLabel.isEmpty())
        row->bind("selectedRepresentedObjectOfLabel", *target, m_modelKeyPathForLabel);
}

void ZORTextViewInspectorListField::unbindRow(const ZORTextViewInspectorFieldPtr& row)
{
    if (row->infoForBinding("value"))
        row->unbind("value");
    if (row->infoForBinding("selectedRepresentedObjectOfLabel"))
        row->unbind("selectedRepresentedObjectOfLabel");
    row->setListObject({});
}

std::size_t ZORTextViewInspectorListField::numberOfObjectRowsBefore(std::size_t rowIndex) const
{
    const auto& rows = allRows();
    std::size_t count = 0;
    for (std::size_t i = 0; i < rowIndex && i < rows.size(); ++i)
        count += rows[i]->listObject().isNil() ? 0 : 1;
    return count;
}

std::optional<std::size_t> ZORTextViewInspectorListField::controllerIndexOfRow(std::size_t rowIndex) const
{
    const auto& rows = allRows();
    if (rowIndex >= rows.size() || rows[rowIndex]->listObject().isNil())
        return std::nullopt;
    return numberOfObjectRowsBefore(rowIndex);
}

std::optional<std::size_t> ZORTextViewInspectorListField::rowIndexOfControllerIndex(std::size_t index) const
{
    const auto& rows = allRows();
    std::size_t seen = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!rows[i]->listObject().isNil() && seen++ == index)
            return i;
    return std::nullopt;
}

std::size_t ZORTextViewInspectorListField::rowIndexForInsertionAtControllerIndex(std::size_t index) const
{
    if (auto row = rowIndexOfControllerIndex(index))
        return *row;
    // After the last row that stands for an object; without any, at the controller's index.
    const auto& rows = allRows();
    for (std::size_t i = rows.size(); i > 0; --i)
        if (!rows[i - 1]->listObject().isNil())
            return i;
    return std::min(index, rows.size());
}

void ZORTextViewInspectorListField::observeValueForKeyPath(
    const fnd::String& keyPath, fnd::Object&, const fnd::KeyValueChange& change, const void*)
{
    if (keyPath != "arrangedObjects")
        return;
    auto self = shared_from_this();
    const bool editable = isEditable();
    const bool enabled = isEnabled();
    // Editing ends in every row first, but for the row whose ending edit caused this change.
    const auto adopting = m_adoptingRow.lock();
    for (const auto& row : allRows())
        if (row != adopting)
            if (auto viewField = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(row);
                viewField && viewField->view())
                if (auto window = viewField->view()->window()) {
                    auto responder = std::dynamic_pointer_cast<ui::View>(window->firstResponder());
                    // The field editor of a control being edited is a subview of it.
                    if (responder && (responder == viewField->view() || responder->isDescendantOf(*viewField->view())))
                        window->makeFirstResponder(nullptr);
                }
    auto objects = controllerObjects();
    // A row is bound to its object before the inspector hears of it: it is shown with its value and buttons.
    auto addWith = [&](std::size_t index, const ZORTextViewInspectorFieldLabelPtr& label,
                       const std::optional<fnd::Value>& object = std::nullopt) {
        auto row = newRow(editable, enabled, label);
        if (!row)
            return ZORTextViewInspectorFieldPtr {};
        index = std::min(index, allRows().size());
        insertRowSilently(row, index);
        if (object)
            bindRow(row, *object);
        if (auto d = std::dynamic_pointer_cast<ZORTextViewInspectorListFieldDelegate>(delegate()))
            d->listFieldDidInsertRow(*this, row, index);
        return row;
    };
    std::vector<fnd::Index> indexes = change.indexes ? change.indexes->indexes() : std::vector<fnd::Index> {};
    // Rows without an object stand between the others, so the controller's indexes count object rows only.
    auto insertAt = [&](std::size_t index) {
        if (index >= objects.size())
            return;
        auto adopting = m_adoptingRow.lock();
        if (adopting && adopting->listObject().isNil() && indexOfField(*adopting) != fnd::NotFound
            && numberOfObjectRowsBefore(static_cast<std::size_t>(indexOfField(*adopting))) == index) {
            // The row the person typed the object into stands for it now: no second row.
            m_adoptingRow.reset();
            bindRow(adopting, objects[index]);
            return;
        }
        addWith(rowIndexForInsertionAtControllerIndex(index), nullptr, objects[index]);
    };
    auto removeAt = [&](std::size_t index) {
        auto rowIndex = rowIndexOfControllerIndex(index);
        if (!rowIndex)
            return;
        auto row = rowAtIndex(*rowIndex);
        unbindRow(row);
        if (row != m_adoptingRow.lock())
            removeRowAtIndex(*rowIndex);
    };
    switch (change.kind) {
    case fnd::KeyValueChangeKind::Setting: {
        for (const auto& row : allRows())
            unbindRow(row);
        removeAllRows();
        if (!objects.empty()) {
            auto remaining = m_defaultLabels;
            for (const auto& object : objects) {
                auto row = addWith(allRows().size(), nullptr, object);
                if (!row)
                    continue;
                std::erase(remaining, row->label());
            }
            for (const auto& label : remaining)
                addWith(allRows().size(), label);
        } else if (m_defaultLabels.empty()) {
            addWith(0, nullptr);
        } else {
            for (const auto& label : m_defaultLabels)
                addWith(allRows().size(), label);
        }
        break;
    }
    case fnd::KeyValueChangeKind::Insertion:
        for (auto index : indexes)
            insertAt(static_cast<std::size_t>(index));
        break;
    case fnd::KeyValueChangeKind::Removal:
        // The indexes count objects before the change: the highest goes first, so the others still point at theirs.
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it)
            removeAt(static_cast<std::size_t>(*it));
        break;
    case fnd::KeyValueChangeKind::Replacement:
        for (auto index : indexes)
            if (auto rowIndex = rowIndexOfControllerIndex(static_cast<std::size_t>(index));
                rowIndex && static_cast<std::size_t>(index) < objects.size()) {
                auto row = rowAtIndex(*rowIndex);
                unbindRow(row);
                removeRowAtIndex(*rowIndex);
                addWith(*rowIndex, nullptr, objects[static_cast<std::size_t>(index)]);
            }
        break;
    }
}

// Token list rows.

void ZORTextViewInspectorTokenListFieldItem::initWithIdentifierAndView(const fnd::String& identifier,
    std::shared_ptr<ui::View> view, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorViewField::initWithIdentifierAndView(
        identifier, std::move(view), placeholder, std::move(label));
    setPlaceholder(placeholder);
    setViewWidthShouldBeAdjusted(true);
}

std::shared_ptr<ui::View> ZORTextViewInspectorTokenListFieldItem::viewForField()
{
    auto field = ui::TokenField::create({ 0, 0, 233, 17 });
    field->setAutoresizingMask(ui::AutoresizingMask::WidthSizable);
    field->setBezeled(false);
    field->setControlSize(ui::ControlSize::Small);
    field->setFont(gfx::Font::systemFontOfSize(gfx::Font::systemFontSizeForControlSize(gfx::ControlSize::Small)));
    field->setTokenizingCharacterSet(fnd::CharacterSet::characterSetWithCharactersInString(";"));
    return field;
}

std::shared_ptr<ui::TokenField> ZORTextViewInspectorTokenListFieldItem::tokenField() const
{
    return std::dynamic_pointer_cast<ui::TokenField>(view());
}

std::shared_ptr<ZORTextViewInspectorListField> ZORTextViewInspectorTokenListFieldItem::tokenListField() const
{
    return std::dynamic_pointer_cast<ZORTextViewInspectorListField>(compoundField());
}

void ZORTextViewInspectorTokenListFieldItem::setEditable(bool flag)
{
    ZORTextViewInspectorViewField::setEditable(flag);
    if (auto field = tokenField())
        field->setEditable(flag);
}

void ZORTextViewInspectorTokenListFieldItem::setPlaceholder(std::optional<fnd::String> placeholder)
{
    ZORTextViewInspectorViewField::setPlaceholder(placeholder);
    if (auto field = tokenField())
        field->setPlaceholderString(placeholder.value_or(""));
}

std::optional<fnd::String> ZORTextViewInspectorTokenListFieldItem::notEditableReplacementString() const
{
    if (value().isNil())
        return std::nullopt;
    auto field = tokenField();
    return field ? std::optional<fnd::String>(field->stringValue()) : std::nullopt;
}

void ZORTextViewInspectorTokenListFieldItem::showTokens(const fnd::Value& shown)
{
    auto field = tokenField();
    if (!field)
        return;
    const fnd::Value tokens = shown.isNil() || shown.isNull() ? fnd::Value(fnd::Array {})
        : shown.array()                                       ? shown
                                                              : fnd::Value(fnd::Array { shown });
    // Setting a value aborts an edit under way, and with it the movement that ends it (a Tab would leave the
    // keyboard with the window). The edit that ends now wrote this value to the model, which sends it back here:
    // the field keeps tokens it shows already, and takes others once its edit has ended.
    m_modelTokens = tokens;
    m_pendingTokens.reset();
    if (field->objectValue() == tokens)
        return;
    auto list = std::dynamic_pointer_cast<ZORTextViewInspectorTokenListField>(compoundField());
    if (list && list->isEndingRowEdit() && field->currentEditor()) {
        m_pendingTokens = tokens;
        return;
    }
    field->setObjectValue(tokens);
}

void ZORTextViewInspectorTokenListFieldItem::showPendingTokens()
{
    if (auto tokens = std::exchange(m_pendingTokens, std::nullopt))
        showTokens(*tokens);
}

void ZORTextViewInspectorTokenListFieldItem::setValue(const fnd::Value& value)
{
    fnd::Value shown = value;
    if (auto list = tokenListField(); list && !list->modelKeyPathForValue().isEmpty())
        if (auto object = value.object())
            shown = object->valueForKeyPath(list->modelKeyPathForValue());
    showTokens(shown);
    ZORTextViewInspectorViewField::setValue(value);
}

namespace {
const fnd::String ZORTextViewInspectorTokenListFieldItemTokens = "tokens";
const fnd::String ZORTextViewInspectorTokenListFieldItemLabel = "selectedRepresentedObjectOfLabel";
}

void ZORTextViewInspectorTokenListFieldItem::bind(
    const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath, const fnd::Dictionary& options)
{
    ZORTextViewInspectorViewField::bind(binding, observable, keyPath, options);
    auto list = tokenListField();
    if (binding != "value" || !list)
        return;
    auto object = observable.valueForKeyPath(keyPath).object();
    if (!object)
        return;
    if (!list->modelKeyPathForValue().isEmpty())
        ZORTextViewInspectorViewField::bind(
            ZORTextViewInspectorTokenListFieldItemTokens, *object, list->modelKeyPathForValue());
    if (!list->modelKeyPathForLabel().isEmpty())
        ZORTextViewInspectorViewField::bind(
            ZORTextViewInspectorTokenListFieldItemLabel, *object, list->modelKeyPathForLabel());
}

void ZORTextViewInspectorTokenListFieldItem::unbind(const fnd::String& binding)
{
    if (binding == "value")
        for (const auto& dependent :
            { ZORTextViewInspectorTokenListFieldItemTokens, ZORTextViewInspectorTokenListFieldItemLabel })
            if (infoForBinding(dependent))
                ZORTextViewInspectorViewField::unbind(dependent);
    ZORTextViewInspectorViewField::unbind(binding);
}

void ZORTextViewInspectorTokenListFieldItem::takeBoundValue(
    const fnd::Value& value, const fnd::String& binding, const fnd::Dictionary& options)
{
    if (binding == ZORTextViewInspectorTokenListFieldItemTokens) {
        showTokens(value);
        return;
    }
    ZORTextViewInspectorViewField::takeBoundValue(value, binding, options);
}

void ZORTextViewInspectorTokenListField::initWithIdentifier(
    const fnd::String& identifier, std::optional<fnd::String> placeholder, ZORTextViewInspectorFieldLabelPtr label)
{
    ZORTextViewInspectorListField::initWithIdentifier(identifier, placeholder, std::move(label));
    auto item = make<ZORTextViewInspectorTokenListFieldItem>("", nullptr, placeholder);
    item->setDelegate(std::dynamic_pointer_cast<fnd::Object>(shared_from_this()));
    setEntryFieldTemplate(item);
    setEditable(true);
}

fnd::Value ZORTextViewInspectorTokenListField::objectToInsertWithProposedObject(const fnd::Value& proposed,
    const ZORTextViewInspectorFieldPtr&, std::size_t, const ZORTextViewInspectorFieldLabelPtr&)
{
    return proposed;
}

bool ZORTextViewInspectorTokenListField::controlTextShouldEndEditing(ui::Control& control, ui::View&)
{
    auto* token = dynamic_cast<ui::TokenField*>(&control);
    if (!token)
        return true;
    auto self = shared_from_this();
    if (token->stringValue()
            .stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceAndNewlineCharacterSet())
            .isEmpty())
        token->setToolTip({});
    auto objectValue = token->objectValue();
    fnd::Array objects = objectValue.array() ? *objectValue.array() : fnd::Array {};
    auto index = indexOfFieldWithView(*token);
    auto row = index == fnd::NotFound ? nullptr : fieldAtIndex(static_cast<std::size_t>(index));
    auto controller = std::dynamic_pointer_cast<fnd::ArrayController>(observableController());
    if (!row || !controller)
        return true;
    // The controller's change may end this very edit again (its row leaving the keyboard): once is enough.
    if (m_endingRowEdit)
        return true;
    // While the controller changes, the edited row takes the object's place instead of a new row.
    struct Adopting {
        ZORTextViewInspectorTokenListField& list;
        ~Adopting()
        {
            list.m_adoptingRow.reset();
            list.m_endingRowEdit = false;
        }
    } adopting { *this };
    m_endingRowEdit = true;
    // Rows without an object have none in the controller.
    const auto j = static_cast<fnd::Index>(numberOfObjectRowsBefore(static_cast<std::size_t>(index)));
    const auto current = row->listObject();
    // A row left as its object showed it writes nothing: passing through rows (a click, Tab or Backtab) must not
    // replace their objects.
    if (auto item = std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(row);
        item && !current.isNil() && fnd::Value(objects) == item->modelTokens())
        return true;
    if (auto target = current.object(); target && !objects.empty() && !modelKeyPathForValue().isEmpty()) {
        // The row shows a value of its object: an edit changes that value, and the object stays in the controller.
        const bool several = target->valueForKeyPath(modelKeyPathForValue()).array();
        target->setValueForKeyPath(several ? fnd::Value(objects) : objects.front(), modelKeyPathForValue());
        return true;
    }
    if (!objects.empty()) {
        m_adoptingRow = row;
        auto object
            = objectToInsertWithProposedObject(objects.front(), row, static_cast<std::size_t>(index), row->label());
        if (controller->canAdd() && !(current == object && !current.isNil())) {
            if (!current.isNil())
                controller->removeObjectAtArrangedObjectIndex(j);
            controller->insertObjectAtArrangedObjectIndex(object, j);
        }
    } else if (!current.isNil() && controller->canRemove()) {
        // The row's own object, at its place: an equal one in another row stays.
        auto object = current.object();
        if ((!object || !controller->objectClass() || object->isKindOf(*controller->objectClass()))
            && static_cast<std::size_t>(j) < controller->arrangedObjects().size())
            controller->removeObjectAtArrangedObjectIndex(j);
    }
    return true;
}

void ZORTextViewInspectorTokenListField::controlTextDidEndEditing(const fnd::Object& notification)
{
    const auto* note = dynamic_cast<const fnd::Notification*>(&notification);
    auto token = note ? note->object().objectAs<ui::TokenField>() : nullptr;
    auto index = token ? indexOfFieldWithView(*token) : fnd::NotFound;
    if (index == fnd::NotFound)
        return;
    if (auto item = std::dynamic_pointer_cast<ZORTextViewInspectorTokenListFieldItem>(
            fieldAtIndex(static_cast<std::size_t>(index))))
        item->showPendingTokens();
}

void ZORTextViewInspectorTokenListField::controlTextDidChange(const fnd::Object& notification)
{
    const auto* note = dynamic_cast<const fnd::Notification*>(&notification);
    if (!note)
        return;
    auto token = note->object().objectAs<ui::TokenField>();
    auto editor = note->userInfo().get("NSFieldEditor").objectAs<ui::TextView>();
    if (!token || !editor)
        return;
    auto text = editor->string();
    if (text.rangeOfString("\n").location == fnd::NotFound
        && text.rangeOfString(fnd::String(u"\u2028")).location == fnd::NotFound)
        return;
    auto index = indexOfFieldWithView(*token);
    if (index == fnd::NotFound)
        return;
    auto self = shared_from_this();
    // The line break ends the token; the row is written back, then a new row opens below it.
    auto cleaned = text.stringByReplacingOccurrencesOfString("\n", "").stringByReplacingOccurrencesOfString(
        fnd::String(u"\u2028"), "");
    editor->setString(cleaned);
    token->textShouldEndEditing(*editor);
    auto target = std::min<std::size_t>(static_cast<std::size_t>(index) + 1, allRows().size());
    insertRowAtIndex(target);
}
