// Changes the user makes: the should-change gate, typing, undo with typing coalesced, marked text, keys and
// commands, ending a field editor's editing, and completion.

#include "platform/ui/text/TextView.h"

#include "platform/foundation/model/UndoManager.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/detail/TextViewInternals.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/KeyBindings.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <map>
#include <set>

namespace ui {

// One undo step: the text now in `range` replaced `oldText`, and the selection before was `selection`. Consecutive
// typing grows the step instead of adding one.
struct TextView::TypingUndo {
    fnd::Range range;
    txt::AttributedString oldText;
    fnd::Range selection;
};

// The gate.

bool TextView::shouldChangeTextInRange(fnd::Range range, const fnd::String* replacement)
{
    if (!m_editable)
        return false;
    auto self = shared_from_this();
    if (!m_editingBegan) {
        if (auto d = delegate(); d && !d->textShouldBeginEditing(*this))
            return false;
        m_editingBegan = true;
        auto note = std::make_shared<fnd::Notification>(TextNotification::DidBeginEditing, selfValue());
        fnd::NotificationCenter::defaultCenter().postNotification(note);
        if (auto d = delegate())
            d->textDidBeginEditing(*note);
    }
    if (auto d = delegate(); d && !d->textViewShouldChangeTextInRange(*this, range, replacement))
        return false;
    return true;
}

void TextView::didChangeText()
{
    auto self = shared_from_this();
    auto note = std::make_shared<fnd::Notification>(TextNotification::DidChange, selfValue());
    fnd::NotificationCenter::defaultCenter().postNotification(note);
    if (auto d = delegate())
        d->textDidChange(*note);
    accessibilityPostNotification(accessibilityTextOwner(), AccessibilityNotification::ValueChanged);
}

txt::AttributedString TextView::attributedForInsertion(const fnd::Value& string) const
{
    if (auto text = string.objectAs<txt::AttributedString>()) {
        if (m_richText)
            return *text;
        return txt::AttributedString(text->string(), typingAttributes());
    }
    return txt::AttributedString(string.stringValue(), typingAttributes());
}

bool TextView::userReplace(
    fnd::Range range, const txt::AttributedString& text, fnd::Range selectionAfter, bool coalesceAsTyping)
{
    auto* storage = textStorage();
    if (!storage || !m_editable)
        return false;
    range = detail::clampRange(range, storage->length());
    auto self = shared_from_this();
    auto replacement = text.string();
    if (!shouldChangeTextInRange(range, &replacement))
        return false;
    // The delegate may have changed the text meanwhile.
    range = detail::clampRange(range, storage->length());
    auto oldText = storage->attributedSubstringFromRange(range);
    auto oldSelection = m_selectedRange;
    {
        detail::TextChange change(*this, range, text.length());
        m_changingText = true;
        storage->replaceCharactersInRange(range, text);
        m_changingText = false;
        change.finish();
    }
    recordUndo({ range.location, text.length() }, oldText, oldSelection, coalesceAsTyping);
    auto typing = m_typingUndo;
    selectionAfter.location = std::min(selectionAfter.location, storage->length());
    selectionAfter.length = std::min(selectionAfter.length, storage->length() - selectionAfter.location);
    setSelectedRange(selectionAfter, SelectionAffinity::Downstream, false);
    m_typingUndo = typing; // the selection that typing itself makes keeps the step open
    didChangeText();
    scrollRangeToVisible(m_selectedRange);
    updateInsertionPointStateAndRestartTimer(true);
    return true;
}

void TextView::insertText(const fnd::Value& string)
{
    insertText(string, fnd::Range::notFound());
}

void TextView::insertText(const fnd::Value& string, fnd::Range replacementRange)
{
    if (!m_editable) {
        Application::shared().beep();
        return;
    }
    auto self = shared_from_this();
    auto range = replacementRange.location != fnd::NotFound ? replacementRange
        : hasMarkedText()                                   ? m_markedRange
                                                            : m_selectedRange;
    auto text = attributedForInsertion(string);
    if (hasMarkedText()) {
        // The composition ends: its text takes the place of what marking replaced, as one undo step.
        auto before = m_textBeforeMarking;
        auto beforeRange = m_rangeBeforeMarking;
        auto marked = m_markedRange;
        m_markedRange = { fnd::NotFound, 0 };
        m_textBeforeMarking.reset();
        updateSelectionHighlight();
        if (before && beforeRange.location == marked.location && range == marked) {
            m_changingText = true;
            textStorage()->replaceCharactersInRange(marked, *before);
            m_changingText = false;
            range = { marked.location, before->length() };
        }
    }
    userReplace(range, text, { range.location + text.length(), 0 }, true);
}

void TextView::breakUndoCoalescing()
{
    m_typingUndo.reset();
}

std::shared_ptr<fnd::UndoManager> TextView::undoManager()
{
    if (auto d = delegate())
        if (auto manager = d->undoManagerForTextView(*this))
            return manager;
    if (!m_undoManager)
        m_undoManager = std::make_shared<fnd::UndoManager>();
    return m_undoManager;
}

// Undo.

void TextView::recordUndo(
    fnd::Range newRange, const txt::AttributedString& oldText, fnd::Range oldSelection, bool coalesceAsTyping)
{
    if (!m_allowsUndo)
        return;
    auto manager = undoManager();
    if (!manager)
        return;
    if (coalesceAsTyping && m_typingUndo && !manager->isUndoing() && !manager->isRedoing()) {
        auto& step = *m_typingUndo;
        const auto end = step.range.max();
        const auto removed = oldText.length();
        if (newRange.location == end && removed == 0) {
            step.range.length += newRange.length; // typing on
            return;
        }
        if (newRange.length == 0 && newRange.location + removed == end) {
            if (newRange.location >= step.range.location) {
                step.range.length -= removed; // deleting what was typed
            } else {
                // Deleting back past the typed text: what goes comes back on undo.
                auto before = oldText.attributedSubstringFromRange({ 0, step.range.location - newRange.location });
                before.appendAttributedString(step.oldText);
                step.oldText = before;
                step.range = { newRange.location, 0 };
            }
            return;
        }
        if (newRange.length == 0 && newRange.location == end) {
            step.oldText.appendAttributedString(oldText); // deleting forward
            return;
        }
    }
    auto step = std::make_shared<TypingUndo>(TypingUndo { newRange, oldText, oldSelection });
    std::weak_ptr<fnd::Object> weak = weak_from_this();
    manager->registerUndo([weak, step] {
        if (auto self = std::static_pointer_cast<TextView>(weak.lock()))
            self->applyUndo(step->range, step->oldText, step->selection);
    });
    manager->setActionName(coalesceAsTyping ? "Typing" : "Change");
    m_typingUndo = coalesceAsTyping ? step : nullptr;
}

void TextView::applyUndo(fnd::Range range, const txt::AttributedString& text, fnd::Range selection)
{
    auto* storage = textStorage();
    if (!storage)
        return;
    auto self = shared_from_this();
    m_typingUndo.reset();
    range = detail::clampRange(range, storage->length());
    auto current = storage->attributedSubstringFromRange(range);
    auto selectionNow = m_selectedRange;
    auto replacement = text.string();
    // Undoing is editing too: the session begins (and the delegate hears of the change), but no one can veto it.
    if (!m_editingBegan)
        shouldChangeTextInRange(range, &replacement);
    {
        detail::TextChange change(*this, range, text.length());
        m_changingText = true;
        storage->replaceCharactersInRange(range, text);
        m_changingText = false;
        change.finish();
    }
    // The inverse goes on the other stack.
    if (auto manager = undoManager()) {
        auto inverse
            = std::make_shared<TypingUndo>(TypingUndo { { range.location, text.length() }, current, selectionNow });
        std::weak_ptr<fnd::Object> weak = weak_from_this();
        manager->registerUndo([weak, inverse] {
            if (auto view = std::static_pointer_cast<TextView>(weak.lock()))
                view->applyUndo(inverse->range, inverse->oldText, inverse->selection);
        });
    }
    selection.location = std::min(selection.location, storage->length());
    selection.length = std::min(selection.length, storage->length() - selection.location);
    setSelectedRange(selection, SelectionAffinity::Downstream, false);
    didChangeText();
    scrollRangeToVisible(m_selectedRange);
}

void TextView::undo(const fnd::Value&)
{
    auto manager = undoManager();
    if (!manager || !manager->canUndo()) {
        Application::shared().beep();
        return;
    }
    unmarkText();
    m_typingUndo.reset();
    manager->undo();
}

void TextView::redo(const fnd::Value&)
{
    auto manager = undoManager();
    if (!manager || !manager->canRedo()) {
        Application::shared().beep();
        return;
    }
    m_typingUndo.reset();
    manager->redo();
}

// Marked text.

void TextView::setMarkedText(const fnd::Value& string, fnd::Range selectedRange, fnd::Range replacementRange)
{
    auto* storage = textStorage();
    if (!storage || !m_editable)
        return;
    auto self = shared_from_this();
    auto range = replacementRange.location != fnd::NotFound ? replacementRange
        : hasMarkedText()                                   ? m_markedRange
                                                            : m_selectedRange;
    range = detail::clampRange(range, storage->length());
    auto text = attributedForInsertion(string);
    if (!hasMarkedText()) {
        auto replacement = text.string();
        if (!shouldChangeTextInRange(range, &replacement))
            return;
        m_textBeforeMarking = std::make_shared<txt::AttributedString>(storage->attributedSubstringFromRange(range));
        m_rangeBeforeMarking = range;
    }
    {
        detail::TextChange change(*this, range, text.length());
        m_changingText = true;
        storage->replaceCharactersInRange(range, text);
        m_changingText = false;
        change.finish();
    }
    m_typingUndo.reset();
    if (text.length() == 0) {
        // An empty composition is no composition: what it replaced stays replaced, as typing would leave it.
        m_markedRange = { fnd::NotFound, 0 };
        if (m_textBeforeMarking && m_textBeforeMarking->length() > 0)
            recordUndo(
                { range.location, 0 }, *m_textBeforeMarking, { range.location, m_textBeforeMarking->length() }, false);
        m_textBeforeMarking.reset();
        setSelectedRange({ range.location, 0 });
    } else {
        m_markedRange = { range.location, text.length() };
        m_rangeBeforeMarking.location = range.location;
        auto inside = fnd::intersection(
            { range.location + selectedRange.location, selectedRange.length }, { range.location, text.length() });
        if (selectedRange.length == 0)
            inside = { std::min(range.location + selectedRange.location, range.location + text.length()), 0 };
        setSelectedRange(inside, SelectionAffinity::Downstream, false);
    }
    updateSelectionHighlight();
    didChangeText();
}

void TextView::setMarkedText(const fnd::String& text, fnd::Range selectedRange)
{
    if (text.isEmpty() && !hasMarkedText())
        return;
    setMarkedText(fnd::Value(text), selectedRange, fnd::Range::notFound());
}

std::optional<gfx::Rect> TextView::firstRectForMarkedText() const
{
    auto rect = firstRectForCharacterRange(hasMarkedText() ? m_markedRange : m_selectedRange, nullptr);
    if (rect.isEmpty() && rect.height() == 0)
        return std::nullopt;
    return rect;
}

void TextView::unmarkText()
{
    if (!hasMarkedText())
        return;
    // The marked text stays as it is, committed as one undo step.
    auto marked = m_markedRange;
    auto before = m_textBeforeMarking;
    m_markedRange = { fnd::NotFound, 0 };
    m_textBeforeMarking.reset();
    if (before && textStorage())
        recordUndo(marked, *before, { marked.location, before->length() }, false);
    updateSelectionHighlight();
    setNeedsDisplayForRange(marked);
}

gfx::Rect TextView::firstRectForCharacterRange(fnd::Range range, fnd::Range* actualRange) const
{
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return {};
    auto rects = manager->rectsForCharacterRange(range, *m_textContainer);
    if (rects.empty())
        return {};
    auto rect = rects.front();
    if (actualRange) {
        fnd::Range line;
        manager->lineFragmentRectForGlyphAtIndex(
            std::min(range.location, std::max<fnd::Index>(0, manager->numberOfGlyphs() - 1)), &line);
        *actualRange = range.length == 0 ? range : fnd::intersection(range, line);
    }
    rect.origin.x += m_textContainerOrigin.x;
    rect.origin.y += m_textContainerOrigin.y;
    auto inBase = convertRectToView(rect, nullptr);
    auto w = window();
    return w ? w->convertRectToScreen(inBase) : inBase;
}

fnd::Index TextView::characterIndexForPoint(gfx::Point screenPoint) const
{
    auto w = window();
    auto base = w ? w->convertScreenToBase(screenPoint) : screenPoint;
    return characterIndexForViewPoint(convertPointFromView(base, nullptr));
}

// Keys.

void TextView::keyDown(const Event& event)
{
    auto self = shared_from_this();
    interpretKeyEvent(event);
}

void TextView::interpretKeyEvents(const std::vector<std::shared_ptr<Event>>& events)
{
    auto self = shared_from_this();
    for (const auto& event : events)
        if (event)
            interpretKeyEvent(*event);
}

void TextView::interpretKeyEvent(const Event& event)
{
    const auto& bindings = m_keyBindings ? *m_keyBindings : KeyBindings::standard();
    if (auto selector = bindings.selectorForEvent(event)) {
        doCommandBySelector(*selector);
        return;
    }
    const auto& characters = event.characters();
    bool printable = characters.length() > 0;
    for (char16_t c : characters.units())
        if (c < 0x20 || c == 0x7F || (c >= 0xF700 && c <= 0xF8FF))
            printable = false;
    if (printable && !(event.modifierFlags() & (ModifierFlags::Command | ModifierFlags::Control)))
        insertText(fnd::Value(characters));
    else
        View::keyDown(event); // on up the chain (the window's key view loop, key equivalents, a beep)
}

void TextView::doCommandBySelector(fnd::Selector selector)
{
    auto self = shared_from_this();
    if (auto d = delegate(); d && d->textViewDoCommandBySelector(*this, selector))
        return;
    if (respondsTo(selector)) {
        perform(selector, fnd::Value(selfValue()));
        return;
    }
    // Commands the view does not know travel up the responder chain.
    if (!tryToPerform(selector, selfValue()))
        Application::shared().beep();
}

// Ending editing in a field editor.

bool TextView::endEditingWithMovement(long movement)
{
    auto self = shared_from_this();
    if (m_endingEditing)
        return true;
    if (m_editable && !m_forceEndEditing)
        if (auto d = delegate(); d && !d->textShouldEndEditing(*this))
            return false;
    m_endingEditing = true;
    unmarkText();
    m_editingBegan = false;
    fnd::Dictionary info;
    info.set(TextNotification::MovementKey, fnd::Value(movement));
    auto note = std::make_shared<fnd::Notification>(TextNotification::DidEndEditing, selfValue(), info);
    fnd::NotificationCenter::defaultCenter().postNotification(note);
    if (auto d = delegate())
        d->textDidEndEditing(*note);
    m_endingEditing = false;
    return true;
}

void TextView::insertNewline(const fnd::Value&)
{
    if (m_fieldEditor) {
        endEditingWithMovement(TextMovement::Return);
        return;
    }
    insertText(fnd::Value(fnd::String(u"\n")));
}

void TextView::insertTab(const fnd::Value&)
{
    if (m_fieldEditor) {
        endEditingWithMovement(TextMovement::Tab);
        return;
    }
    insertText(fnd::Value(fnd::String(u"\t")));
}

void TextView::insertBacktab(const fnd::Value&)
{
    if (m_fieldEditor)
        endEditingWithMovement(TextMovement::Backtab);
}

void TextView::insertLineBreak(const fnd::Value&)
{
    insertText(fnd::Value(fnd::String(u"\u2028")));
}

void TextView::insertNewlineIgnoringFieldEditor(const fnd::Value&)
{
    insertText(fnd::Value(fnd::String(u"\n")));
}

void TextView::insertTabIgnoringFieldEditor(const fnd::Value&)
{
    insertText(fnd::Value(fnd::String(u"\t")));
}

void TextView::cancelOperation(const fnd::Value& sender)
{
    // In a field, Escape is first the window's: a Cancel button with Escape as its key takes it (panels, sheets,
    // alerts); only when none does is it the completion key.
    if (isFieldEditor()) {
        auto event = Application::shared().currentEvent();
        auto w = window();
        if (event && event->type() == EventType::KeyDown && w && w->contentView()
            && w->contentView()->performKeyEquivalent(*event))
            return;
        // A panel closes, an alert takes its Cancel.
        if (w && w->cancelOperation(sender))
            return;
    }
    complete(sender);
}

// Completion.

fnd::Range TextView::rangeForUserCompletion() const
{
    auto* storage = textStorage();
    if (!storage || m_selectedRange.length != 0)
        return fnd::Range::notFound();
    auto caret = m_selectedRange.location;
    if (caret == 0)
        return fnd::Range::notFound();
    auto word = txt::doubleClickAtIndex(storage->string(), caret - 1);
    auto start = txt::nextWordFromIndex(storage->string(), caret, false);
    if (word.max() != caret || start != word.location)
        return fnd::Range::notFound();
    return { word.location, caret - word.location };
}

std::vector<fnd::String> TextView::completionsForPartialWordRange(fnd::Range range, long* indexOfSelectedItem)
{
    auto* storage = textStorage();
    if (indexOfSelectedItem)
        *indexOfSelectedItem = 0;
    if (!storage || range.length <= 0)
        return {};
    // The words of the text that begin with the partial word, in order of first appearance.
    auto partial = storage->string().substring(range).lowercaseString();
    std::vector<fnd::String> words;
    std::set<std::u16string> seen;
    const auto& text = storage->string();
    fnd::Index i = 0;
    while (i < text.length()) {
        auto word = txt::doubleClickAtIndex(text, i);
        if (word.length == 0)
            break;
        if (word.location != range.location && word.length > range.length) {
            auto candidate = text.substring(word);
            if (candidate.lowercaseString().hasPrefix(partial) && seen.insert(candidate.units()).second)
                words.push_back(candidate);
        }
        i = word.max();
    }
    if (auto d = delegate())
        if (auto answer = d->textViewCompletions(*this, words, range, indexOfSelectedItem))
            return *answer;
    return words;
}

void TextView::insertCompletion(const fnd::String& word, fnd::Range charRange, long, bool)
{
    userReplace(charRange, attributedForInsertion(fnd::Value(word)), { charRange.location + word.length(), 0 });
}

void TextView::complete(const fnd::Value&)
{
    auto self = shared_from_this();
    auto range = rangeForUserCompletion();
    if (range.location == fnd::NotFound || !m_editable) {
        Application::shared().beep();
        return;
    }
    long index = 0;
    auto words = completionsForPartialWordRange(range, &index);
    if (words.empty()) {
        Application::shared().beep();
        return;
    }
    if (words.size() == 1) {
        insertCompletion(words.front(), range, 0, true);
        return;
    }
    // Several: the person picks one from a menu under the word.
    auto menu = Menu::create();
    for (const auto& word : words)
        menu->addItemWithTitle(word);
    auto rect = firstRectForCharacterRange(range, nullptr);
    auto chosen = Backend::current().popUpMenu(*menu, { rect.minX(), rect.minY() });
    if (chosen && *chosen >= 0 && *chosen < static_cast<long>(words.size()))
        insertCompletion(words[static_cast<std::size_t>(*chosen)], range, 0, true);
}

// Menu validation.

bool TextView::validateUserInterfaceItem(const fnd::Value& item)
{
    auto menuItem = item.objectAs<MenuItem>();
    if (!menuItem)
        return true;
    auto action = menuItem->action();
    if (action == fnd::Selector("cut:") || action == fnd::Selector("delete:"))
        return m_editable && m_selectedRange.length > 0 && !m_secure;
    if (action == fnd::Selector("copy:")) {
        if (m_secure)
            return false;
        if (m_selectedRange.length > 0)
            return true;
        // Nothing selected: Copy passes on to what else copies, and is available as that one says.
        auto other = Application::shared().targetForActionAfter(action, *this);
        if (!other)
            return false;
        if (auto* validator = dynamic_cast<MenuItemValidation*>(other.get()))
            return validator->validateMenuItem(*menuItem);
        return true;
    }
    if (action == fnd::Selector("paste:") || action == fnd::Selector("pasteAsPlainText:")
        || action == fnd::Selector("pasteAsRichText:")) {
        auto pasteboard = Pasteboard::generalPasteboard();
        return m_editable && pasteboard->availableTypeFromArray(readablePasteboardTypes()).has_value();
    }
    if (action == fnd::Selector("undo:")) {
        auto manager = undoManager();
        return manager && manager->canUndo();
    }
    if (action == fnd::Selector("redo:")) {
        auto manager = undoManager();
        return manager && manager->canRedo();
    }
    return true;
}

}
