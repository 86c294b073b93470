// Editing inside the inspector's text: the selection kept in one value run, typing, clicks, moving between fields,
// committing values, completion and the raised look of the edited run.
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"
#include "frameworks/FoundationExtensions/ZORNSTextStorageExtensions.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <set>
#include <utility>

namespace {

const char16_t ZORTextViewInspectorEditingLineSeparator = 0x2028;

// The room the raised editor's image leaves around the run, and how far the shadow's blur reaches into it from the
// run's edge (three standard deviations of the 5.52-point radius come to 8.3 points). Columns further in than that
// from both ends are all alike, so an image made around a narrow run serves any width: its ends are drawn as they
// are and its middle column is stretched between them.
constexpr double ZORTextViewInspectorEditingShadowRoom = 15;
constexpr double ZORTextViewInspectorEditingShadowReach = 10;

// The longest run of the attribute around the index; location NotFound when the character lacks it.
fnd::Range ZORTextViewInspectorEditingRun(
    const txt::TextStorage& storage, const fnd::String& name, fnd::Index index, fnd::Value* value = nullptr)
{
    if (index < 0 || index >= storage.length())
        return { fnd::NotFound, 0 };
    fnd::Range range;
    auto found = storage.attributeAtIndexLongestEffectiveRange(name, index, &range, { 0, storage.length() });
    if (found.isNil())
        return { fnd::NotFound, 0 };
    if (value)
        *value = found;
    return range;
}

}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::fieldAtCharacterIndex(fnd::Index index) const
{
    auto* storage = textStorage();
    if (!storage || index < 0 || index >= storage->length())
        return nullptr;
    return storage->attributeAtIndex(ZORTextInspectorAttribute::Field, index).objectAs<ZORTextViewInspectorField>();
}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::activeField() const
{
    return isEditing() ? fieldAtCharacterIndex(m_currentEditedStartLocation) : nullptr;
}

fnd::Range ZORTextViewInspector::currentEditingCharRange() const
{
    auto* storage = textStorage();
    if (!isEditing() || !storage)
        return { fnd::NotFound, 0 };
    return ZORTextViewInspectorEditingRun(
        *storage, ZORTextInspectorAttribute::PlaceholderValue, m_currentEditedStartLocation);
}

fnd::Range ZORTextViewInspector::currentEditingGlyphRange() const
{
    auto range = currentEditingCharRange();
    auto manager = layoutManager();
    if (range.location == fnd::NotFound || !manager)
        return { fnd::NotFound, 0 };
    return manager->glyphRangeForCharacterRange(range);
}

txt::Attributes ZORTextViewInspector::typingAttributes() const
{
    auto* storage = textStorage();
    if (!isEditing() || !storage || m_currentEditedStartLocation >= storage->length())
        return {};
    auto attributes = storage->attributesAtIndex(m_currentEditedStartLocation);
    if (auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(
            fieldAtCharacterIndex(m_currentEditedStartLocation))) {
        auto placeholder
            = storage->attributeAtIndex(ZORTextInspectorAttribute::PlaceholderValue, m_currentEditedStartLocation);
        for (const auto& [name, value] : typingAttributesForPlaceholderValue(
                 placeholder.string() ? std::optional<fnd::String>(*placeholder.string()) : text->placeholder(),
                 text.get()))
            attributes.set(name, value);
    }
    // Typed text is a value, whatever it reads like.
    attributes.remove(ZORTextInspectorAttribute::ShowsPlaceholder);
    return attributes;
}

void ZORTextViewInspector::setSelectedRange(fnd::Range range, ui::SelectionAffinity affinity, bool stillSelecting)
{
    if (!m_editableState)
        return;
    ui::TextView::setSelectedRange(range, affinity, stillSelecting);
}

fnd::Range ZORTextViewInspector::selectionRangeForProposedRange(
    fnd::Range proposed, ui::SelectionGranularity granularity)
{
    return ui::TextView::selectionRangeForProposedRange(validateProposedRange(proposed, false), granularity);
}

fnd::Range ZORTextViewInspector::validateProposedRange(fnd::Range proposed, bool updateEditingInfo)
{
    auto* storage = textStorage();
    if (!storage)
        return { 0, 0 };
    const auto original = proposed;
    if (isEditing()) {
        auto run = ZORTextViewInspectorEditingRun(
            *storage, ZORTextInspectorAttribute::PlaceholderValue, m_currentEditedStartLocation);
        if (run.location != fnd::NotFound) {
            if (proposed.length > 0) {
                auto from = std::max(proposed.location, run.location);
                auto to = std::min(proposed.max(), run.max());
                proposed = to > from ? fnd::Range { from, to - from } : fnd::Range { 0, 0 };
            } else if (proposed.location == run.max()) {
                proposed.location = run.location;
            }
        }
    }
    fnd::Value value;
    auto run = proposed.max() < storage->length() ? ZORTextViewInspectorEditingRun(
                   *storage, ZORTextInspectorAttribute::PlaceholderValue, proposed.location, &value)
                                                  : fnd::Range { fnd::NotFound, 0 };
    // A read-only field's run is no place to edit, whoever puts the selection there (clicks and Tab pass it too).
    if (run.location != fnd::NotFound && proposed.location >= run.location && proposed.max() <= run.max()
        && runTakesEdits(run.location)) {
        fnd::Range answer = run;
        // The mark, not the text, tells a shown placeholder: typed text may begin with the placeholder's words.
        const bool showsValue
            = storage->attributeAtIndex(ZORTextInspectorAttribute::ShowsPlaceholder, run.location).isNil();
        if (value.string() && showsValue && run.location == m_currentEditedStartLocation) {
            auto from = std::max(original.location, run.location);
            auto to = std::min(original.max(), run.max());
            answer = { std::min(from, run.max()), std::max<fnd::Index>(0, to - from) };
        }
        if (updateEditingInfo) {
            if (isEditing() && m_currentEditedStartLocation != run.location && !m_replacingRun) {
                // Leaving one run for another keeps what was typed in the first.
                auto before = storage->length();
                auto left = m_currentEditedStartLocation;
                commitRunAt(left);
                auto delta = storage->length() - before;
                if (answer.location > left)
                    answer.location += delta;
                run.location += run.location > left ? delta : 0;
            }
            m_currentEditedStartLocation = run.location;
            noteEditedRunChanged();
        }
        return answer;
    }
    if (updateEditingInfo) {
        auto left = m_currentEditedStartLocation;
        m_currentEditedStartLocation = fnd::NotFound;
        if (left != fnd::NotFound && !m_replacingRun)
            commitRunAt(left);
        noteEditedRunChanged();
    }
    return { 0, 0 };
}

fnd::Range ZORTextViewInspector::textViewWillChangeSelection(ui::TextView&, fnd::Range, fnd::Range proposed)
{
    auto answer = validateProposedRange(proposed, true);
    if (!(answer.length == 0 && answer.location == m_nextInsertionIndex))
        stopCompletionTimer();
    return answer;
}

bool ZORTextViewInspector::shouldChangeTextInRange(fnd::Range range, const fnd::String* replacement)
{
    auto* storage = textStorage();
    if (!m_editableState || !isEditing() || !storage || !runTakesEdits(m_currentEditedStartLocation))
        return false;
    fnd::Value value;
    auto run
        = ZORTextViewInspectorEditingRun(*storage, ZORTextInspectorAttribute::PlaceholderValue, range.location, &value);
    if (run.location != fnd::NotFound && run == range && value.string()) {
        const fnd::String typed = replacement ? *replacement : fnd::String();
        const bool empty = typed.isEmpty();
        auto attributes = storage->attributesAtIndex(range.location);
        attributes.remove(ZORTextInspectorAttribute::ShowsPlaceholder);
        if (empty)
            attributes.set(ZORTextInspectorAttribute::ShowsPlaceholder, fnd::Value(true));
        const auto extra = empty
            ? placeholderValueAttributesWithValue(*value.string(), fieldAtCharacterIndex(range.location).get())
            : typingAttributes();
        for (const auto& [name, v] : extra)
            attributes.set(name, v);
        txt::AttributedString text(empty ? *value.string() : typed, attributes);
        m_replacingRun = true;
        m_replacedWholeRun = true;
        storage->replaceCharactersInRange(range, text);
        m_currentEditedStartLocation = range.location;
        // The caret follows the typed text; a placeholder that came back is selected whole, ready to be typed over.
        ui::TextView::setSelectedRange(
            empty ? fnd::Range { range.location, text.length() } : fnd::Range { range.location + text.length(), 0 },
            ui::SelectionAffinity::Downstream, false);
        m_replacingRun = false;
        m_nextInsertionIndex = range.location + (empty ? 0 : text.length());
        didChangeText();
        stopCompletionTimer();
        return false;
    }
    if (!ui::TextView::shouldChangeTextInRange(range, replacement))
        return false;
    m_nextInsertionIndex = range.location + (replacement ? replacement->length() : 0);
    startCompletionTimer();
    return true;
}

std::vector<fnd::String> ZORTextViewInspector::readablePasteboardTypes()
{
    return { ui::PasteboardType::String };
}

bool ZORTextViewInspector::readSelectionFromPasteboard(ui::Pasteboard& pasteboard, const fnd::String& type)
{
    m_replacedWholeRun = false;
    // A paste over a whole value run is made by shouldChangeTextInRange itself, which then refuses the caller's
    // change: that is a successful paste.
    const bool read = ui::TextView::readSelectionFromPasteboard(pasteboard, type);
    const bool replaced = std::exchange(m_replacedWholeRun, false);
    return read || replaced;
}

void ZORTextViewInspector::mouseDown(const ui::Event& event)
{
    auto* storage = textStorage();
    auto manager = layoutManager();
    if (!storage || !manager || !textContainer())
        return;
    auto keep = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto origin = textContainerOrigin();
    fnd::Index index = storage->length() == 0
        ? fnd::NotFound
        : manager->characterIndexForPoint({ point.x - origin.x, point.y - origin.y }, *textContainer());
    auto field = fieldAtCharacterIndex(index);
    fnd::Value placeholder;
    auto run = index == fnd::NotFound
        ? fnd::Range { fnd::NotFound, 0 }
        : ZORTextViewInspectorEditingRun(*storage, ZORTextInspectorAttribute::PlaceholderValue, index, &placeholder);
    if (m_editableState) {
        if (field && !field->isEditable())
            return;
        if (run.location != fnd::NotFound && run.location == m_currentEditedStartLocation) {
            ui::TextView::mouseDown(event);
            return;
        }
        endEditing();
        if (run.location == fnd::NotFound)
            return;
        m_currentEditedStartLocation = run.location;
        noteEditedRunChanged();
        if (auto window = this->window(); window && window->firstResponder().get() != this)
            window->makeFirstResponder(std::static_pointer_cast<ui::Responder>(self()));
        ui::TextView::setSelectedRange(run);
        return;
    }
    auto delegate = inspectorDelegate();
    if (!delegate)
        return;
    if (field && field->shouldBeEditableWithEditableState(true)) {
        auto compound = field->compoundField();
        if (!compound || compound->shouldBeEditableWithEditableState(true))
            m_fieldToEdit = field;
    }
    delegate->delegateShouldChangeEditStateForTextViewInspector(*this);
}

void ZORTextViewInspector::endEditing()
{
    auto left = m_currentEditedStartLocation;
    m_currentEditedStartLocation = fnd::NotFound;
    stopCompletionTimer();
    if (m_editableState)
        ui::TextView::setSelectedRange({ 0, 0 }, ui::SelectionAffinity::Downstream, false);
    commitRunAt(left);
    noteEditedRunChanged();
}

void ZORTextViewInspector::noteEditedRunChanged()
{
    // Only the raised editor's old and new places are drawn again, not the whole form.
    auto old = m_selectedRect;
    calcSelectedRect();
    // Whole points, so that redrawn areas meet without seams; across the whole width, so that glyphs reaching
    // into the area from the text beside it are drawn again too.
    auto area = [&](gfx::Rect r) {
        auto grown = gfx::integralRect(gfx::insetRect(r, -16, -16));
        return gfx::Rect { bounds().minX(), grown.minY(), bounds().width(), grown.height() };
    };
    if (old != gfx::Rect {})
        setNeedsDisplayInRect(area(old));
    if (m_selectedRect != gfx::Rect {})
        setNeedsDisplayInRect(area(m_selectedRect));
}

bool ZORTextViewInspector::runTakesEdits(fnd::Index index) const
{
    auto field = fieldAtCharacterIndex(index);
    return field && field->isEditable();
}

void ZORTextViewInspector::endEditingOfField(const ZORTextViewInspectorField& field)
{
    if (!isEditing() || m_committing)
        return;
    if (auto active = activeField(); active.get() == &field) {
        auto keep = shared_from_this();
        endEditing();
    }
}

bool ZORTextViewInspector::runShowsValueOfTextField(
    const ZORTextViewInspectorTextField& field, const fnd::String& text, bool showsPlaceholder) const
{
    auto shown = newTextFieldValueStringForTextField(field);
    const bool shownIsPlaceholder
        = shown.length() > 0 && !shown.attributeAtIndex(ZORTextInspectorAttribute::ShowsPlaceholder, 0).isNil();
    return text == shown.string() && showsPlaceholder == shownIsPlaceholder;
}

void ZORTextViewInspector::commitRunAt(fnd::Index start)
{
    auto* storage = textStorage();
    if (start == fnd::NotFound || !storage || start >= storage->length())
        return;
    fnd::Value placeholder;
    auto run
        = ZORTextViewInspectorEditingRun(*storage, ZORTextInspectorAttribute::PlaceholderValue, start, &placeholder);
    auto field = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(fieldAtCharacterIndex(start));
    if (run.location == fnd::NotFound || !field)
        return;
    auto text = storage->string().substring(run);
    const bool showsPlaceholder
        = !storage->attributeAtIndex(ZORTextInspectorAttribute::ShowsPlaceholder, run.location).isNil();
    // A run still showing what the field's value gives was not typed into. What is shown is not always the value
    // (lines joined, blank lines and a last line break dropped, a fraction rounded, the placeholder for a value
    // without a text of its own, the multiple-values text): written back, it would change the model.
    if (runShowsValueOfTextField(*field, text, showsPlaceholder))
        return;
    const auto state = field->valueState();
    auto keep = shared_from_this();
    const bool wasCommitting = std::exchange(m_committing, true);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore { m_committing, wasCommitting };
    // A run showing its placeholder stands for no value; any typed text is converted as typed.
    auto converted
        = showsPlaceholder ? std::expected<fnd::Value, fnd::String>(fnd::Value()) : field->valueObjectForString(text);
    if (!converted) {
        // Text the field's formatter cannot read is refused: nothing is written, and the run shows the value in use.
        auto delegate = inspectorDelegate();
        if (!delegate || !delegate->textViewInspectorDidFailToFormatString(*this, *field, text, converted.error()))
            ui::Application::shared().beep();
        updateDisplayOfTextField(*field);
        return;
    }
    // What the run stood for: one value shown for several equal ones is that value, and no value at all is nil.
    const auto before = state == ZORInspectorValueState::NoValue ? fnd::Value() : field->shownValue();
    if (*converted == before && converted->isNil() == before.isNil())
        return;
    field->setValue(*converted);
    ZORNSObject_Extension::propagateValue(*field, *converted, "value");
    // A value the bound side did not take (no object selected) must not look stored: the field shows what its
    // binding gives now, as it would after any change of the model.
    if (auto held = fnd::boundValue(*field, "value"); held && *held != *converted) {
        const auto info = field->infoForBinding("value");
        const auto optionsValue = info ? info->get(fnd::BindingInfoKey::Options) : fnd::Value();
        const auto* options = optionsValue.dictionary();
        field->setValueForKey(
            fnd::placeholderForBoundValue(*held, options ? *options : fnd::Dictionary {}).value_or(*held), "value");
    }
    if (auto delegate = inspectorDelegate())
        delegate->textViewInspectorDidChangedValueOfField(*this, *field);
    field->valueDidChangedFromTextInspector();
}

void ZORTextViewInspector::insertNewline(const fnd::Value&)
{
    auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(activeField());
    if (text && text->supportNewLine()) {
        insertText(fnd::Value(fnd::String(std::u16string(1, ZORTextViewInspectorEditingLineSeparator))));
        return;
    }
    endEditing();
}

fnd::Range ZORTextViewInspector::nextEditableRange(fnd::Index location, bool forward) const
{
    auto* storage = textStorage();
    if (location == fnd::NotFound || !storage)
        return { 0, 0 };
    const auto n = storage->length();
    const auto& name = ZORTextInspectorAttribute::PlaceholderValue;
    auto current = ZORTextViewInspectorEditingRun(*storage, name, location);
    if (current.location == fnd::NotFound)
        current = { location, 0 };
    auto probeFrom = [&](fnd::Index probe) -> fnd::Range {
        if (probe < 0 || probe >= n)
            return { fnd::NotFound, 0 };
        auto found = ZORTextViewInspectorEditingRun(*storage, name, probe);
        if (found.location != fnd::NotFound)
            return found;
        fnd::Range gap;
        storage->attributeAtIndexLongestEffectiveRange(name, probe, &gap, { 0, n });
        auto beyond = forward ? gap.max() : gap.location - 1;
        if (beyond >= 0 && beyond < n)
            return ZORTextViewInspectorEditingRun(*storage, name, beyond);
        return { fnd::NotFound, 0 };
    };
    auto found = probeFrom(forward ? current.max() : current.location - 1);
    if (found.location == fnd::NotFound)
        found = probeFrom(forward ? 0 : n - 1);
    return found.location == fnd::NotFound ? current : found;
}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::nextEditableField(
    fnd::Index location, bool forward, fnd::Range* fieldRange) const
{
    auto* storage = textStorage();
    if (fieldRange)
        *fieldRange = { fnd::NotFound, 0 };
    if (location == fnd::NotFound || !storage || storage->length() == 0)
        return nullptr;
    const auto n = storage->length();
    const auto& name = ZORTextInspectorAttribute::Field;
    auto current = ZORTextViewInspectorEditingRun(*storage, name, std::min(location, n - 1));
    if (current.location == fnd::NotFound)
        current = { std::min(location, n - 1), 1 };
    // Field runs are separated by line breaks and blanks without the attribute: step over them, wrapping once.
    fnd::Index probe = forward ? current.max() : current.location - 1;
    for (fnd::Index steps = 0; steps <= n; ++steps) {
        if (probe >= n)
            probe = 0;
        if (probe < 0)
            probe = n - 1;
        auto found = ZORTextViewInspectorEditingRun(*storage, name, probe);
        if (found.location != fnd::NotFound) {
            if (fieldRange)
                *fieldRange = found;
            return fieldAtCharacterIndex(found.location);
        }
        probe += forward ? 1 : -1;
    }
    return nullptr;
}

bool ZORTextViewInspector::editableFieldAtIndex(fnd::Index index, ZORTextViewInspectorFieldPtr* found) const
{
    auto field = fieldAtCharacterIndex(index);
    if (found)
        *found = field;
    if (!field)
        return false;
    if (field->isEditable()) {
        // A text field takes the focus in its value run only.
        if (std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field)) {
            auto range = charRangeOfField(*field);
            auto* storage = textStorage();
            return storage
                && ZORNSTextStorageExtensions::rangeForAttribute(
                       *storage, ZORTextInspectorAttribute::PlaceholderValue, range)
                       .location
                != fnd::NotFound;
        }
    }
    auto viewField = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field);
    auto control = viewField ? std::dynamic_pointer_cast<ui::Control>(viewField->view()) : nullptr;
    if (control && control->acceptsFirstResponder() && control->isEnabled() && control->superview().get() == this)
        return true;
    return field->isEditable() && !viewField;
}

void ZORTextViewInspector::insertTab(const fnd::Value&)
{
    moveFocusToNextField(true);
}

void ZORTextViewInspector::insertBacktab(const fnd::Value&)
{
    moveFocusToNextField(false);
}

ZORTextViewInspectorFieldPtr ZORTextViewInspector::fieldHostingView(const ui::View& view) const
{
    for (const auto& field : m_visibleFieldsArray)
        if (auto viewField = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field))
            if (auto hosted = viewField->view(); hosted && (hosted.get() == &view || view.isDescendantOf(*hosted)))
                return field;
    return nullptr;
}

bool ZORTextViewInspector::moveKeyboardFocusFromSubview(ui::View& subview, bool forward)
{
    auto field = fieldHostingView(subview);
    if (!field)
        return false;
    moveFocusToNextField(forward, field);
    return true;
}

void ZORTextViewInspector::moveFocusToNextField(bool forward, ZORTextViewInspectorFieldPtr from)
{
    auto keep = shared_from_this();
    auto start = m_currentEditedStartLocation;
    endEditing();
    auto* storage = textStorage();
    if (!storage || storage->length() == 0)
        return;
    // A hosted control with the keyboard (a Tab it did not use reaches the inspector) is where the walk starts.
    if (!from && start == fnd::NotFound)
        if (auto window = this->window())
            if (auto responder = std::dynamic_pointer_cast<ui::View>(window->firstResponder());
                responder && responder.get() != this)
                from = fieldHostingView(*responder);
    if (from)
        start = charRangeOfField(*from).location;
    // From the top (forward) or the bottom (backward) when nothing had the focus.
    fnd::Index location = start;
    if (location == fnd::NotFound)
        location = forward ? storage->length() - 1 : 0;
    std::set<fnd::Index> visited;
    fnd::Range range;
    for (;;) {
        auto field = nextEditableField(location, forward, &range);
        if (!field || !visited.insert(range.location).second)
            return;
        if (editableFieldAtIndex(range.location)) {
            jumpToField(field);
            return;
        }
        location = range.location;
    }
}

void ZORTextViewInspector::jumpToField(const ZORTextViewInspectorFieldPtr& field)
{
    auto* storage = textStorage();
    if (!field || !storage)
        return;
    auto range = charRangeOfField(*field);
    if (range.location == fnd::NotFound)
        return;
    // An edit elsewhere ends first: the selection could not leave its run otherwise.
    if (isEditing()
        && !(m_currentEditedStartLocation >= range.location && m_currentEditedStartLocation < range.max())) {
        endEditing();
        range = charRangeOfField(*field);
        if (range.location == fnd::NotFound)
            return;
    }
    if (std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field)) {
        auto run = ZORNSTextStorageExtensions::rangeForAttribute(
            *storage, ZORTextInspectorAttribute::PlaceholderValue, range);
        if (run.location != fnd::NotFound) {
            if (auto window = this->window(); window && window->firstResponder().get() != this)
                window->makeFirstResponder(std::static_pointer_cast<ui::Responder>(self()));
            ui::TextView::setSelectedRange(run);
        }
    } else if (auto viewField = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(field)) {
        if (auto view = viewField->view(); view && view->acceptsFirstResponder())
            if (auto window = this->window())
                window->makeFirstResponder(view);
    }
    scrollRangeToVisible(range);
}

// Completion.

void ZORTextViewInspector::startCompletionTimer()
{
    if (!isEditing())
        return;
    auto field = activeField();
    if (!field)
        return;
    auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(field);
    if (text && !text->supportTextCompletion())
        return;
    stopCompletionTimer();
    std::weak_ptr<ZORTextViewInspector> weak = self();
    m_completionTimer = fnd::Timer::scheduled(0.5, false, [weak](fnd::Timer&) {
        if (auto inspector = weak.lock())
            inspector->doCompletion({});
    });
}

void ZORTextViewInspector::stopCompletionTimer()
{
    if (m_completionTimer)
        m_completionTimer->invalidate();
    m_completionTimer.reset();
}

void ZORTextViewInspector::doCompletion(const fnd::Value&)
{
    stopCompletionTimer();
    complete({});
}

std::vector<fnd::String> ZORTextViewInspector::completionsForPartialWordRange(
    fnd::Range range, long* indexOfSelectedItem)
{
    auto* storage = textStorage();
    auto text = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(activeField());
    if (!isEditing() || range.length == 0 || !text || !storage)
        return {};
    return text->completionsForPartialString(storage->string().substring(range), indexOfSelectedItem);
}

bool ZORTextViewInspector::resignFirstResponder()
{
    endEditing();
    ui::TextView::resignFirstResponder();
    return true;
}

void ZORTextViewInspector::resetCursorRects()
{
    ui::TextView::resetCursorRects();
    for (const auto& view : subviews())
        addCursorRect(view->frame(), ui::Cursor::arrowCursor());
}

// Drawing.

void ZORTextViewInspector::drawRect(gfx::Rect dirtyRect)
{
    calcSelectedRect();
    ui::TextView::drawRect(dirtyRect);
    drawRaisedEditorIfNecessaryInRect(dirtyRect);
}

void ZORTextViewInspector::calcSelectedRect()
{
    auto glyphs = currentEditingGlyphRange();
    auto manager = layoutManager();
    auto container = textContainer();
    if (glyphs.location == fnd::NotFound || !manager || !container) {
        m_selectedRect = {};
        return;
    }
    gfx::Rect united;
    bool first = true;
    for (auto g = glyphs.location; g < glyphs.max(); ++g) {
        auto rect = manager->boundingRectForGlyphRange({ g, 1 }, *container);
        united = first ? rect : gfx::unionRect(united, rect);
        first = false;
    }
    auto* storage = textStorage();
    if (glyphs.length > 0
        && storage->string().characterAt(glyphs.max() - 1) == ZORTextViewInspectorEditingLineSeparator) {
        auto firstRect = manager->boundingRectForGlyphRange({ glyphs.location, 1 }, *container);
        auto lastRect = manager->boundingRectForGlyphRange({ glyphs.max() - 1, 1 }, *container);
        united = gfx::unionRect(
            united, { firstRect.minX(), lastRect.minY() + firstRect.height(), lastRect.width(), lastRect.height() });
    }
    if (glyphs.length == 0) {
        auto rects = manager->rectsForCharacterRange({ glyphs.location, 0 }, *container);
        if (!rects.empty())
            united = rects.front();
    }
    auto origin = textContainerOrigin();
    m_selectedRect = { united.minX() + origin.x, united.minY() + origin.y, united.width(), united.height() };
}

void ZORTextViewInspector::drawRaisedEditorIfNecessaryInRect(gfx::Rect)
{
    if (m_selectedRect == gfx::Rect {})
        return;
    if (!gfx::GraphicsContext::current())
        return;
    auto grown = gfx::insetRect(m_selectedRect, -2, -2);
    gfx::Size size { std::floor(grown.width() + 0.5), std::floor(grown.height() + 0.5) };
    auto window = this->window();
    const bool focused = window && window->isKeyWindow() && window->firstResponder().get() == this;
    // One image per height and focus: typing, which widens the run, draws the kept image again.
    const double room = ZORTextViewInspectorEditingShadowRoom, reach = ZORTextViewInspectorEditingShadowReach;
    if (!m_raisedEditorImage || m_raisedEditorImageHeight != size.height || m_raisedEditorImageFocused != focused) {
        auto path = gfx::BezierPath::bezierPathWithRect({ 0, 0, 2 * reach + 1, size.height });
        m_raisedEditorImage = shadowImageAroundPath(*path, focused);
        m_raisedEditorImageHeight = size.height;
        m_raisedEditorImageFocused = focused;
    }
    if (!m_raisedEditorImage)
        return;
    const auto imageSize = m_raisedEditorImage->size();
    const double width = size.width + 2 * room, height = imageSize.height;
    const double x = grown.minX() - room, y = grown.minY() - room;
    // Each end holds the room, the edge and the blur's reach; a run narrower than two reaches shows less of them.
    const double end = std::min(room + reach, width / 2);
    auto part = [&](double fromX, double fromWidth, double toX, double toWidth) {
        // Upright in the flipped text view: the shadow falls below the run on screen.
        m_raisedEditorImage->drawInRect({ toX, y, toWidth, height }, { fromX, 0, fromWidth, height },
            gfx::CompositingOperation::SourceOver, 1.0, true);
    };
    part(0, end, x, end);
    if (width > 2 * end)
        part(room + reach, 1, x + end, width - 2 * end);
    part(imageSize.width - end, end, x + width - end, end);
}

std::shared_ptr<gfx::Image> ZORTextViewInspector::shadowImageAroundPath(const gfx::BezierPath& path, bool focused) const
{
    auto bounds = path.bounds();
    gfx::Size size { bounds.width() + 30, bounds.height() + 30 };
    auto window = this->window();
    const double scale = window ? std::max(1.0, window->backingScaleFactor()) : 1.0;
    auto rep = gfx::BitmapImageRep::create(static_cast<long>(std::ceil(size.width * scale)),
        static_cast<long>(std::ceil(size.height * scale)), gfx::BitmapLayout::ARGB32Premultiplied);
    if (!rep)
        return nullptr;
    rep->setSize(size);
    auto context = gfx::GraphicsContext::createForBitmap(rep->pixelBuffer(), size, false);
    gfx::GraphicsContext::saveCurrentGraphicsState();
    gfx::GraphicsContext::setCurrent(context);
    context->translateCTM(15, 15);
    if (focused) {
        gfx::GraphicsStateGuard shadowed;
        gfx::Shadow shadow;
        shadow.setShadowOffset({ 0, -4.479167 });
        shadow.setShadowBlurRadius(5.520833);
        shadow.set();
        gfx::Color::whiteColor()->set();
        path.fill();
    }
    {
        // The run itself stays clear: its text shows through.
        gfx::GraphicsStateGuard clipped;
        path.addClip();
        gfx::Color::clearColor()->set();
        context->fillRectUsingOperation(path.bounds(), gfx::CompositingOperation::Copy);
    }
    gfx::Color::colorWithDeviceRed(0.6f, 0.6f, 0.6f, 1.0)->set();
    path.stroke();
    context->flush();
    gfx::GraphicsContext::restoreCurrentGraphicsState();
    auto image = gfx::Image::imageWithSize(size);
    image->addRepresentation(rep);
    return image;
}

gfx::BezierPath ZORTextViewInspector::rolloverForCharacterRange(fnd::Range range) const
{
    gfx::BezierPath path;
    auto manager = layoutManager();
    auto container = textContainer();
    if (!manager || !container)
        return path;
    auto rect = manager->boundingRectForGlyphRange(manager->glyphRangeForCharacterRange(range), *container);
    double radius = rect.height() * 0.5;
    path.appendBezierPathWithArcWithCenter({ rect.minX(), rect.minY() + radius }, radius, 90, 270);
    path.appendBezierPathWithArcWithCenter({ rect.maxX(), rect.minY() + radius }, radius, 270, 90);
    path.closePath();
    return path;
}

void ZORTextViewInspector::drawRolloverIfNecessaryInRect(gfx::Rect)
{
    if (!m_rollover)
        return;
    gfx::Color::grayColor()->set();
    m_rollover->fill();
    // The text inside the outline again, in white and without its background (the text view is flipped: the
    // point is the line's top left).
    auto manager = layoutManager();
    auto* storage = textStorage();
    if (!manager || !storage || m_currentRolloverRange.location == fnd::NotFound
        || m_currentRolloverRange.max() > storage->length() || m_currentRolloverRange.length == 0)
        return;
    auto text = storage->attributedSubstringFromRange(m_currentRolloverRange);
    text.removeAttribute(txt::BackgroundColorAttributeName, { 0, text.length() });
    text.addAttributes(rolloverAttributes(), { 0, text.length() });
    auto glyphs = manager->glyphRangeForCharacterRange(m_currentRolloverRange);
    auto line = manager->lineFragmentRectForGlyphAtIndex(glyphs.location);
    auto location = manager->locationForGlyphAtIndex(glyphs.location);
    auto origin = textContainerOrigin();
    gfx::GraphicsStateGuard clipped;
    m_rollover->addClip();
    text.drawAtPoint({ origin.x + line.minX() + location.x, origin.y + line.minY() });
}
