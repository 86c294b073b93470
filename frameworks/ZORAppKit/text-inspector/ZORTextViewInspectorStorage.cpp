// Building the inspector's text from its fields.
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "frameworks/FoundationExtensions/ZORNSStringExtension.h"
#include "frameworks/FoundationExtensions/ZORNSTextStorageExtensions.h"
#include "frameworks/ZORAppKit/ZORPopUpButton/ZORPopUpButton.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorLayout.h"

#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Cell.h"
#include "platform/ui/controls/Control.h"

#include <cmath>

namespace {

const fnd::String ZORTextViewInspectorStorageTab = "\t";

txt::AttributedString ZORTextViewInspectorStoragePlain(
    const fnd::String& string, const txt::Attributes& attributes = {})
{
    return txt::AttributedString(string, attributes);
}

}

void ZORTextViewInspector::updateTextFieldStorage()
{
    if (m_fieldEditingCounter <= 0)
        recreateFieldTextStorage();
}

bool ZORTextViewInspector::appendFieldByKind(const ZORTextViewInspectorFieldPtr& field)
{
    if (auto view = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field))
        return appendViewField(view);
    if (auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field))
        return appendTextField(text);
    if (auto compound = std::dynamic_pointer_cast<ZORTextViewInspectorCompoundField>(field))
        return appendCompoundField(compound);
    return false;
}

void ZORTextViewInspector::recreateFieldTextStorage()
{
    auto keep = shared_from_this();
    m_displayMode = ZORInspectorDisplayMode::Fields;
    // An edit in progress ends first: its run is about to be rebuilt.
    if (isEditing() && !m_replacingRun)
        endEditing();
    recalcMaxLabelWidth();
    auto* storage = textStorage();
    if (!storage)
        return;
    ++m_rebuildCount;
    m_listRemoveAnswers.clear();
    storage->beginEditing();
    m_visibleFieldsArray.clear();
    removeSubviewsAndEmptyTextStorage();
    for (const auto& field : m_fieldsArray) {
        adoptField(field);
        if (!field->shouldBeVisibleWithEditableState(m_editableState))
            continue;
        field->setEnabled(field->shouldBeEnabledWithEditableState(m_editableState));
        appendFieldByKind(field);
    }
    storage->addAttributes(tabStopAttributes(), { 0, storage->length() });
    // Minimum heights may have come or gone: the next layout decides afresh how much an edit lays out. Dropped
    // before the edit ends, so the text is laid out once, when the view sizes itself to it, not twice.
    if (auto manager = layoutManager())
        manager->invalidateLayout();
    storage->endEditing();
    setNeedsDisplay(true);
    if (m_fieldToEdit) {
        auto field = m_fieldToEdit;
        m_fieldToEdit.reset();
        jumpToField(field);
    }
}

void ZORTextViewInspector::adoptField(const ZORTextViewInspectorFieldPtr& field)
{
    field->setTextViewInspector(self());
    if (auto compound = std::dynamic_pointer_cast<ZORTextViewInspectorCompoundField>(field))
        for (const auto& sub : compound->allFields())
            adoptField(sub);
}

void ZORTextViewInspector::recalcMaxLabelWidth()
{
    double widest = 0;
    for (const auto& field : m_fieldsArray) {
        if (!field->label())
            continue;
        txt::AttributedString measured(field->label()->label(), labelAttributes());
        widest = std::max(widest, measured.size().width + 10);
    }
    double width = std::trunc(static_cast<float>(widest + 10));
    m_maxLabelWidth = std::max(width, ZORTextViewInspector::minFieldLabelWidth());
}

txt::AttributedString ZORTextViewInspector::attachmentStringHostingView(
    const std::shared_ptr<ui::View>& view, gfx::Size overrideSize)
{
    auto cell = fnd::makeObject<ZORTextViewInspectorViewTextAttachmentCell>();
    cell->setView(view);
    cell->setOverrideCellSize(overrideSize);
    cell->setLabelFont(labelFont());
    auto attachment = std::make_shared<txt::TextAttachment>(cell);
    view->setHidden(true);
    addSubview(view);
    return txt::AttributedString(ZORNSStringExtension::stringWithCharacter(txt::AttachmentCharacter),
        { { txt::AttachmentAttributeName, fnd::Value(std::static_pointer_cast<fnd::Object>(attachment)) } });
}

bool ZORTextViewInspector::appendTextField(const std::shared_ptr<ZORTextViewInspectorTextField>& field)
{
    auto* storage = textStorage();
    storage->appendAttributedString(charactersOfTextField(field, previousVisibleEndsLine(m_visibleFieldsArray.size())));
    m_visibleFieldsArray.push_back(field);
    field->hasBecomeVisibleInInspector(self());
    return true;
}

bool ZORTextViewInspector::previousVisibleEndsLine(std::size_t visibleIndex) const
{
    return visibleIndex > 0 && visibleIndex <= m_visibleFieldsArray.size()
        && m_visibleFieldsArray[visibleIndex - 1]->shouldAppendNewline();
}

txt::AttributedString ZORTextViewInspector::listRowButtons(const ZORTextViewInspectorFieldPtr& field)
{
    txt::AttributedString built;
    auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(field->compoundField());
    if (!list)
        return built;
    auto fieldObject = fnd::Value(std::static_pointer_cast<fnd::Object>(field));
    auto rowIndex = static_cast<std::size_t>(std::max<fnd::Index>(0, list->indexOfField(*field)));
    auto hostButton = [&](const std::shared_ptr<ui::Button>& button, const char* action, bool adds) {
        if (button->cell())
            button->cell()->setRepresentedObject(fieldObject);
        button->setTarget(shared_from_this());
        button->setAction(action);
        built.appendAttributedString(attachmentStringHostingView(button, { 1, button->frame().height() }));
        nameListRowButton(*list, *button, adds);
    };
    if (shouldDisplayAddButtonForListField(*list, *field, rowIndex))
        hostButton(addButton(), "addListRow:", true);
    if (shouldDisplayRemoveButtonForListField(*list, *field, rowIndex)) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(" "));
        hostButton(removeButton(), "removeListRow:", false);
    }
    return built;
}

txt::AttributedString ZORTextViewInspector::charactersOfTextField(
    const std::shared_ptr<ZORTextViewInspectorTextField>& field, bool previousEndsLine)
{
    // A text field in a list gets the row buttons a view field there gets.
    auto built = listRowButtons(field);
    auto compound = field->compoundField();
    if (!field->isLabelHidden() && field->shouldDisplayLabelMenu()) {
        auto popup = field->labelSelectionPopup();
        popup->setFont(labelFont());
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
        built.appendAttributedString(attachmentStringHostingView(popup, { 1, popup->frame().height() }));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
    } else if (!field->isLabelHidden() && field->hasLabel()) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(field->label()->label(), labelAttributes()));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
    } else if (compound && compound->hasLabel() && !compound->isLabelHidden() && compound->indexOfField(*field) == 0) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(compound->label()->label(), labelAttributes()));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
    } else if (previousEndsLine) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain("\t\t"));
    }
    built.appendAttributedString(newTextFieldValueStringForTextField(*field));
    built.addAttribute(ZORTextInspectorAttribute::Field, fnd::Value(std::static_pointer_cast<fnd::Object>(field)),
        { 0, built.length() });
    built.appendAttributedString(ZORTextViewInspectorStoragePlain(field->shouldAppendNewline() ? "\n" : " "));
    return built;
}

bool ZORTextViewInspector::insertTextField(
    const std::shared_ptr<ZORTextViewInspectorTextField>& field, fnd::Index characterIndex, std::size_t visibleRowIndex)
{
    auto* storage = textStorage();
    if (!storage)
        return false;
    visibleRowIndex = std::min(visibleRowIndex, m_visibleFieldsArray.size());
    auto built = charactersOfTextField(field, previousVisibleEndsLine(visibleRowIndex));
    built.addAttributes(tabStopAttributes(), { 0, built.length() });
    replaceCharactersKeepingEdit({ std::clamp<fnd::Index>(characterIndex, 0, storage->length()), 0 }, built);
    m_visibleFieldsArray.insert(m_visibleFieldsArray.begin() + static_cast<std::ptrdiff_t>(visibleRowIndex), field);
    field->hasBecomeVisibleInInspector(self());
    return true;
}

txt::AttributedString ZORTextViewInspector::newTextFieldValueStringForTextField(
    const ZORTextViewInspectorTextField& field) const
{
    using State = ZORInspectorValueState;
    auto state = field.valueState();
    if (state == State::MultipleValues)
        return txt::AttributedString(ZORTextViewInspectorLocalizedString("ZORTextViewInspectorMultipleValues"),
            placeholderValueAttributesWithValue(field.placeholder(), &field));
    if (state == State::NoSelection)
        // From the inspector's own table, as the multiple-values text is, so both follow the component's language.
        return txt::AttributedString(ZORTextViewInspectorLocalizedString("ZORTextViewInspectorNoSelection"),
            placeholderValueAttributesWithValue(field.placeholder(), &field));
    auto shown = field.displayStringForValue();
    auto replacement = field.notEditableReplacementString();
    if (shown && !shown->isEmpty() && (!replacement || m_editableState))
        return txt::AttributedString(*shown, typingAttributesForPlaceholderValue(field.placeholder(), &field));
    if (m_editableState || !replacement) {
        if (field.placeholder()) {
            // Marked, so that typed text reading like the placeholder is never taken for it.
            auto attributes = placeholderValueAttributesWithValue(field.placeholder(), &field);
            attributes.set(ZORTextInspectorAttribute::ShowsPlaceholder, fnd::Value(true));
            return txt::AttributedString(*field.placeholder(), attributes);
        }
        // A read-only field shows what its value is: nothing, when it has none.
        if (!field.isEditable())
            return txt::AttributedString("", typingAttributesForPlaceholderValue(std::nullopt, &field));
        return txt::AttributedString("missing placeholder", placeholderValueAttributesWithValue(std::nullopt, &field));
    }
    return txt::AttributedString(*replacement, typingAttributesForPlaceholderValue(field.placeholder(), &field));
}

bool ZORTextViewInspector::appendViewField(const std::shared_ptr<ZORTextViewInspectorViewField>& field)
{
    auto* storage = textStorage();
    return insertViewField(field, storage ? storage->length() : 0, m_visibleFieldsArray.size());
}

bool ZORTextViewInspector::insertField(
    const ZORTextViewInspectorFieldPtr& field, fnd::Index characterIndex, std::size_t visibleRowIndex)
{
    if (auto view = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field))
        return insertViewField(view, characterIndex, visibleRowIndex);
    // Lists of text fields get their rows one at a time as well.
    if (auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field))
        return insertTextField(text, characterIndex, visibleRowIndex);
    return false;
}

bool ZORTextViewInspector::insertViewField(
    const std::shared_ptr<ZORTextViewInspectorViewField>& field, fnd::Index characterIndex, std::size_t visibleRowIndex)
{
    auto* storage = textStorage();
    if (!field->view() || !storage)
        return false;
    visibleRowIndex = std::min(visibleRowIndex, m_visibleFieldsArray.size());
    auto built = charactersOfViewField(field, previousVisibleEndsLine(visibleRowIndex));
    if (!built)
        return false;
    replaceCharactersKeepingEdit({ std::clamp<fnd::Index>(characterIndex, 0, storage->length()), 0 }, *built);
    m_visibleFieldsArray.insert(m_visibleFieldsArray.begin() + static_cast<std::ptrdiff_t>(visibleRowIndex), field);
    field->hasBecomeVisibleInInspector(self());
    return true;
}

std::optional<txt::AttributedString> ZORTextViewInspector::charactersOfViewField(
    const std::shared_ptr<ZORTextViewInspectorViewField>& field, bool previousEndsLine)
{
    auto view = field->view();
    if (!view)
        return std::nullopt;
    auto container = textContainer();
    double padding = container ? container->lineFragmentPadding() : 0;
    double containerWidth = container ? container->containerSize().width : frame().width();
    double valueWidth = containerWidth - m_maxLabelWidth - padding - 10;
    double fullWidth = containerWidth - 2 * padding;
    auto built = listRowButtons(field);
    auto fieldObject = fnd::Value(std::static_pointer_cast<fnd::Object>(field));
    auto compound = field->compoundField();
    if (!field->isLabelHidden() && field->shouldDisplayLabelMenu() && m_editableState) {
        auto popup = field->labelSelectionPopup();
        popup->setFont(labelFont());
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
        built.appendAttributedString(attachmentStringHostingView(popup, { 1, popup->frame().height() }));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(":", labelAttributes()));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
    } else if (!field->isLabelHidden() && field->hasLabel()) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(field->label()->label(), labelAttributes()));
        if (!built.string().hasSuffix(":"))
            built.appendAttributedString(ZORTextViewInspectorStoragePlain(":", labelAttributes()));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
    } else if (compound && compound->hasLabel() && !compound->isLabelHidden() && compound->indexOfField(*field) == 0) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(compound->label()->label(), labelAttributes()));
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(ZORTextViewInspectorStorageTab));
    } else if (!field->isSeparator() && previousEndsLine) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain("\t\t"));
    }
    if (!m_editableState && !field->isSeparator() && !field->viewShouldAlwaysBeVisible()) {
        built.appendAttributedString(ZORTextViewInspectorStoragePlain(
            field->notEditableReplacementString().value_or(""), replacementStringAttributes()));
    } else {
        auto cell = fnd::makeObject<ZORTextViewInspectorFieldTextAttachmentCell>();
        cell->setField(field);
        cell->setLabelFont(labelFont());
        if (field->isSeparator()) {
            view->setFrame({ view->frame().origin, { fullWidth, view->frame().height() } });
        } else {
            if (auto control = std::dynamic_pointer_cast<ui::Control>(view))
                control->setEnabled(field->isEnabled());
            if (field->viewShouldNotShowAtAttachmentPosition()) {
                cell->setOverrideCellSize({ 1, 6.0 });
            } else if (field->viewWidthShouldBeAdjusted()) {
                view->setAutoresizingMask(ui::AutoresizingMask::WidthSizable);
                view->setFrame({ view->frame().origin, { valueWidth, view->frame().height() } });
                cell->setOverrideCellSize({ 1, view->frame().height() });
            }
        }
        auto attachment = std::make_shared<txt::TextAttachment>(cell);
        built.appendAttributedString(
            txt::AttributedString(ZORNSStringExtension::stringWithCharacter(txt::AttachmentCharacter),
                { { txt::AttachmentAttributeName, fnd::Value(std::static_pointer_cast<fnd::Object>(attachment)) } }));
        view->setHidden(true);
        addSubview(view);
        nameHostedView(*field, *view);
    }
    built.addAttribute(ZORTextInspectorAttribute::Field, fieldObject, { 0, built.length() });
    built.appendAttributedString(ZORTextViewInspectorStoragePlain(field->shouldAppendNewline() ? "\n" : " "));
    built.addAttributes(tabStopAttributes(), { 0, built.length() });
    return built;
}

bool ZORTextViewInspector::appendCompoundField(const std::shared_ptr<ZORTextViewInspectorCompoundField>& field)
{
    auto subFields = field->allFields();
    for (const auto& sub : subFields) {
        if (!sub->shouldBeVisibleWithEditableState(m_editableState))
            continue;
        sub->setEditable(sub->shouldBeEditableWithEditableState(field->isEditable()));
        sub->setEnabled(sub->shouldBeEnabledWithEditableState(field->isEnabled()));
        if (std::dynamic_pointer_cast<ZORTextViewInspectorListField>(sub))
            sub->setDelegate(shared_from_this());
        appendFieldByKind(sub);
    }
    if (auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(field))
        m_listRemoveAnswers[field] = list->canRemove();
    field->hasBecomeVisibleInInspector(self());
    return true;
}

fnd::Range ZORTextViewInspector::charRangeOfField(const ZORTextViewInspectorField& field) const
{
    auto* storage = textStorage();
    if (!storage)
        return { fnd::NotFound, 0 };
    auto object = std::const_pointer_cast<fnd::Object>(field.shared_from_this());
    return ZORNSTextStorageExtensions::longestRangeForAttribute(
        *storage, ZORTextInspectorAttribute::Field, fnd::Value(object), 0);
}

std::vector<std::shared_ptr<ui::View>> ZORTextViewInspector::viewsInCharacterRange(fnd::Range range) const
{
    std::vector<std::shared_ptr<ui::View>> views;
    auto* storage = textStorage();
    if (!storage)
        return views;
    const auto& text = storage->string();
    for (auto i = range.location; i < range.max() && i < storage->length(); ++i) {
        if (text.characterAt(i) != txt::AttachmentCharacter)
            continue;
        auto attachment = storage->attributeAtIndex(txt::AttachmentAttributeName, i).objectAs<txt::TextAttachment>();
        auto cell = attachment
            ? std::dynamic_pointer_cast<ZORTextViewInspectorViewTextAttachmentCell>(attachment->attachmentCell())
            : nullptr;
        if (cell && cell->view())
            views.push_back(cell->view());
    }
    return views;
}

void ZORTextViewInspector::removeSubviewsAndEmptyTextStorage()
{
    auto views = subviews();
    for (const auto& view : views)
        view->removeFromSuperview();
    if (auto* storage = textStorage())
        storage->replaceCharactersInRange({ 0, storage->length() }, fnd::String("\n"));
}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::previousVisibleFieldForField(
    const ZORTextViewInspectorField& field) const
{
    return previousVisibleFieldForField(field, m_fieldsArray);
}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::previousVisibleFieldForField(
    const ZORTextViewInspectorField& field, const std::vector<ZORTextViewInspectorFieldPtr>& fields, bool* met) const
{
    ZORTextViewInspectorFieldPtr candidate;
    for (const auto& each : fields) {
        if (each.get() == &field) {
            if (met)
                *met = true;
            return candidate;
        }
        if (auto compound = std::dynamic_pointer_cast<ZORTextViewInspectorCompoundField>(each)) {
            bool inner = false;
            auto found = previousVisibleFieldForField(field, compound->allFields(), &inner);
            if (inner) {
                if (met)
                    *met = true;
                return found ? found : candidate;
            }
            // Passed by: a compound with a visible sub-field stands before the field as a whole.
            for (const auto& sub : compound->allFields())
                if (std::find(m_visibleFieldsArray.begin(), m_visibleFieldsArray.end(), sub)
                    != m_visibleFieldsArray.end())
                    candidate = compound;
            continue;
        }
        if (std::find(m_visibleFieldsArray.begin(), m_visibleFieldsArray.end(), each) != m_visibleFieldsArray.end())
            candidate = each;
    }
    return nullptr;
}

fnd::String ZORTextViewInspector::stringRepresentation() const
{
    auto* storage = textStorage();
    if (!storage)
        return {};
    return storage->string().stringByReplacingOccurrencesOfString("\t", " ").stringByReplacingOccurrencesOfString(
        "\n ", "\n");
}

bool ZORTextViewInspector::anyVisibleFieldHasMinimumHeight() const
{
    for (const auto& field : m_visibleFieldsArray)
        if (field->minimumHeight() != 0)
            return true;
    for (const auto& field : m_fieldsArray)
        if (field->minimumHeight() != 0)
            return true;
    return false;
}
