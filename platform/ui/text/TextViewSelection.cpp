// The selection, its looks, and the commands that move, extend, select and delete.

#include "platform/ui/text/TextView.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/text/detail/TextViewInternals.h"
#include "platform/ui/views/Application.h"

#include <algorithm>
#include <cmath>

namespace ui {

// Setting the selection.

void TextView::setSelectedRange(fnd::Range range)
{
    setSelectedRange(range, SelectionAffinity::Downstream, false);
}

void TextView::setSelectedRange(fnd::Range range, SelectionAffinity affinity, bool stillSelecting)
{
    auto* storage = textStorage();
    const fnd::Index n = storage ? storage->length() : 0;
    auto clamp = [n](fnd::Range r) {
        r.location = std::clamp<fnd::Index>(r.location, 0, n);
        r.length = std::clamp<fnd::Index>(r.length, 0, n - r.location);
        return r;
    };
    auto self = shared_from_this();
    range = clamp(range);
    auto old = m_selectedRange;
    if (auto d = delegate())
        range = clamp(d->textViewWillChangeSelection(*this, old, range));
    // Moving out of a composition commits it.
    if (hasMarkedText() && (range.location < m_markedRange.location || range.max() > m_markedRange.max()))
        unmarkText();
    bool changed = range != old || affinity != m_affinity;
    if (changed)
        setNeedsDisplayForRange(old);
    m_selectedRange = range;
    m_affinity = affinity;
    if (!m_keepGoalX)
        m_goalX.reset();
    if (changed) {
        setNeedsDisplayForRange(range);
        updateSelectionHighlight();
    }
    // A selection made with the mouse is announced once, when the button goes up.
    if (stillSelecting && changed)
        m_changedWhileSelecting = true;
    if (!stillSelecting && (changed || m_changedWhileSelecting)) {
        m_changedWhileSelecting = false;
        m_typingAttributesSet = false;
        m_typingUndo.reset();
        fnd::Dictionary info;
        info.set(TextNotification::OldSelectedCharacterRangeKey, fnd::Value(old));
        auto note = std::make_shared<fnd::Notification>(TextNotification::DidChangeSelection, selfValue(), info);
        fnd::NotificationCenter::defaultCenter().postNotification(note);
        if (auto d = delegate())
            d->textViewDidChangeSelection(*note);
        accessibilityPostNotification(accessibilityTextOwner(), AccessibilityNotification::SelectedTextChanged);
    }
    updateInsertionPointStateAndRestartTimer(true);
}

void TextView::clearHighlight()
{
    auto manager = layoutManager();
    if (!manager)
        return;
    for (const auto& name : m_appliedSelectionLook)
        manager->removeTemporaryAttribute(name, m_selectionHighlight);
    for (const auto& [name, value] : m_markedTextAttributes)
        manager->removeTemporaryAttribute(name, m_markedHighlight);
    m_appliedSelectionLook.clear();
    m_selectionHighlight = m_markedHighlight = { 0, 0 };
}

void TextView::updateSelectionHighlight()
{
    auto manager = layoutManager();
    if (!manager)
        return;
    clearHighlight();
    if (hasMarkedText()) {
        for (const auto& [name, value] : m_markedTextAttributes)
            manager->addTemporaryAttribute(name, value, m_markedRange);
        m_markedHighlight = m_markedRange;
    }
    if (m_selectedRange.length > 0 && isSelectable()) {
        auto look = m_selectedTextAttributes;
        // Without the keyboard the selection is shown in grey.
        if (!isKeyFocus() && look.get(txt::BackgroundColorAttributeName).object())
            look.set(txt::BackgroundColorAttributeName, fnd::Value(gfx::Color::secondarySelectedControlColor()));
        for (const auto& [name, value] : look) {
            manager->addTemporaryAttribute(name, value, m_selectedRange);
            m_appliedSelectionLook.push_back(name);
        }
        m_selectionHighlight = m_selectedRange;
    }
    setNeedsDisplayForRange(m_selectedRange);
}

void TextView::updateLinkLooks(fnd::Range range)
{
    auto manager = layoutManager();
    auto* storage = textStorage();
    if (!manager || !storage)
        return;
    range = detail::clampRange(range, storage->length());
    if (range.length == 0)
        return;
    clearHighlight();
    for (const auto& [name, value] : m_linkTextAttributes)
        manager->removeTemporaryAttribute(name, range);
    fnd::Index i = range.location;
    while (i < range.max()) {
        fnd::Range run;
        auto link = storage->attributeAtIndexLongestEffectiveRange(txt::LinkAttributeName, i, &run, range);
        if (run.length == 0)
            break;
        if (!link.isNil())
            for (const auto& [name, value] : m_linkTextAttributes)
                manager->addTemporaryAttribute(name, value, run);
        i = run.max();
    }
    updateSelectionHighlight();
}

fnd::Range TextView::selectionRangeForProposedRange(fnd::Range proposed, SelectionGranularity granularity)
{
    auto* storage = textStorage();
    if (!storage || storage->length() == 0)
        return { 0, 0 };
    const auto& text = storage->string();
    const auto n = text.length();
    proposed.location = std::clamp<fnd::Index>(proposed.location, 0, n);
    proposed.length = std::clamp<fnd::Index>(proposed.length, 0, n - proposed.location);
    switch (granularity) {
    case SelectionGranularity::ByCharacter:
        return text.rangeOfComposedCharacterSequencesForRange(proposed);
    case SelectionGranularity::ByWord: {
        auto first = txt::doubleClickAtIndex(text, std::min(proposed.location, n - 1));
        auto last = proposed.length > 0 ? txt::doubleClickAtIndex(text, proposed.max() - 1) : first;
        return { first.location, last.max() - first.location };
    }
    case SelectionGranularity::ByParagraph:
        return txt::paragraphRangeForRange(text, proposed);
    }
    return proposed;
}

// Character and line positions.

fnd::Index TextView::nextCharacter(fnd::Index index) const
{
    auto* storage = textStorage();
    if (!storage || index >= storage->length())
        return storage ? storage->length() : 0;
    return storage->string().rangeOfComposedCharacterSequenceAtIndex(std::max<fnd::Index>(index, 0)).max();
}

fnd::Index TextView::previousCharacter(fnd::Index index) const
{
    auto* storage = textStorage();
    if (!storage || index <= 0)
        return 0;
    index = std::min(index, storage->length());
    return storage->string().rangeOfComposedCharacterSequenceAtIndex(index - 1).location;
}

fnd::Index TextView::characterIndexForViewPoint(gfx::Point point) const
{
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return 0;
    return manager->characterIndexForPoint(
        { point.x - m_textContainerOrigin.x, point.y - m_textContainerOrigin.y }, *m_textContainer);
}

fnd::Index TextView::insertionIndexForViewPoint(gfx::Point point) const
{
    auto manager = layoutManager();
    if (!manager || !m_textContainer)
        return 0;
    return manager->characterIndexForInsertionAtPoint(
        { point.x - m_textContainerOrigin.x, point.y - m_textContainerOrigin.y }, *m_textContainer);
}

fnd::Range TextView::lineRangeAt(fnd::Index index, SelectionAffinity affinity) const
{
    auto manager = layoutManager();
    auto* storage = textStorage();
    if (!manager || !storage)
        return { 0, 0 };
    const auto n = storage->length();
    if (index >= n) {
        if (n == 0 || !manager->extraLineFragmentRect().isEmpty())
            return { n, 0 };
        index = n - 1;
    }
    fnd::Range line;
    manager->lineFragmentRectForGlyphAtIndex(index, &line);
    if (affinity == SelectionAffinity::Upstream && index > 0 && line.location == index) {
        auto c = storage->string().units()[static_cast<std::size_t>(index - 1)];
        if (!txt::isParagraphSeparator(c) && !txt::isLineSeparator(c))
            manager->lineFragmentRectForGlyphAtIndex(index - 1, &line);
    }
    return line;
}

namespace {

// The end of a line's content: before its line break, if it ends in one.
fnd::Index contentEnd(const fnd::String& text, fnd::Range line)
{
    auto end = line.max();
    const auto& u = text.units();
    if (end > line.location
        && (txt::isParagraphSeparator(u[static_cast<std::size_t>(end - 1)])
            || txt::isLineSeparator(u[static_cast<std::size_t>(end - 1)]))) {
        --end;
        if (end > line.location && u[static_cast<std::size_t>(end)] == u'\n'
            && u[static_cast<std::size_t>(end - 1)] == u'\r')
            --end;
    }
    return end;
}

}

fnd::Index TextView::verticalDestination(fnd::Index from, double lines, SelectionAffinity* affinity)
{
    auto manager = layoutManager();
    auto* storage = textStorage();
    if (!manager || !storage || !m_textContainer)
        return from;
    const auto n = storage->length();
    auto saved = m_selectedRange;
    auto savedAffinity = m_affinity;
    // The caret's rect at `from`, as it is drawn.
    m_selectedRange = { from, 0 };
    m_affinity = *affinity;
    auto caret = insertionPointRect();
    m_selectedRange = saved;
    m_affinity = savedAffinity;
    caret.origin.x -= m_textContainerOrigin.x;
    caret.origin.y -= m_textContainerOrigin.y;
    if (!m_goalX)
        m_goalX = caret.minX();
    double y
        = lines < 0 ? caret.minY() + (lines + 1) * caret.height() - 1 : caret.maxY() + (lines - 1) * caret.height() + 1;
    auto used = manager->usedRectForTextContainer(*m_textContainer);
    double bottom = std::max(used.maxY(), manager->extraLineFragmentRect().maxY());
    *affinity = SelectionAffinity::Downstream;
    if (y < 0)
        return 0;
    if (y >= bottom)
        return n;
    auto index = manager->characterIndexForInsertionAtPoint({ *m_goalX, y }, *m_textContainer);
    // At the end of a wrapped line the caret stays on that line.
    if (index > 0 && index < n) {
        fnd::Range line;
        auto rect = manager->lineFragmentRectForGlyphAtIndex(index - 1, &line);
        if (line.max() == index && y >= rect.minY() && y < rect.maxY())
            *affinity = SelectionAffinity::Upstream;
    }
    return index;
}

fnd::Index TextView::destination(Move move, fnd::Index from, SelectionAffinity* affinity)
{
    auto* storage = textStorage();
    if (!storage)
        return 0;
    const auto& text = storage->string();
    const auto n = text.length();
    auto pageLines = [&] {
        auto manager = layoutManager();
        double lineHeight = manager ? manager->defaultLineHeightForFont(*font()) : 15;
        return std::max(1.0, std::floor(visibleRect().height() / std::max(1.0, lineHeight)) - 1);
    };
    auto current = *affinity;
    *affinity = SelectionAffinity::Downstream;
    switch (move) {
    case Move::Forward:
    case Move::Right:
        return nextCharacter(from);
    case Move::Backward:
    case Move::Left:
        return previousCharacter(from);
    case Move::Up:
        *affinity = current;
        return verticalDestination(from, -1, affinity);
    case Move::Down:
        *affinity = current;
        return verticalDestination(from, 1, affinity);
    case Move::PageUp:
        *affinity = current;
        return verticalDestination(from, -pageLines(), affinity);
    case Move::PageDown:
        *affinity = current;
        return verticalDestination(from, pageLines(), affinity);
    case Move::WordForward:
    case Move::WordRight:
        return txt::nextWordFromIndex(text, from, true);
    case Move::WordBackward:
    case Move::WordLeft:
        return txt::nextWordFromIndex(text, from, false);
    case Move::LineStart:
        return lineRangeAt(from, current).location;
    case Move::LineEnd: {
        auto line = lineRangeAt(from, current);
        auto end = contentEnd(text, line);
        if (end == line.max() && end < n)
            *affinity = SelectionAffinity::Upstream; // a wrapped line: the caret stays at its end
        return end;
    }
    case Move::ParagraphStart:
        return txt::paragraphRangeForRange(text, { std::min(from, n), 0 }).location;
    case Move::ParagraphEnd:
        return contentEnd(text, txt::paragraphRangeForRange(text, { std::min(from, n), 0 }));
    case Move::ParagraphBackward: {
        auto start = txt::paragraphRangeForRange(text, { std::min(from, n), 0 }).location;
        if (from == start && from > 0)
            start = txt::paragraphRangeForRange(text, { from - 1, 0 }).location;
        return start;
    }
    case Move::ParagraphForward: {
        auto paragraph = txt::paragraphRangeForRange(text, { std::min(from, n), 0 });
        auto end = contentEnd(text, paragraph);
        if (from == end && paragraph.max() < n)
            end = contentEnd(text, txt::paragraphRangeForRange(text, { paragraph.max(), 0 }));
        return end;
    }
    case Move::DocumentStart:
        return 0;
    case Move::DocumentEnd:
        return n;
    }
    return from;
}

void TextView::move(Move move, bool extend)
{
    if (!isSelectable())
        return;
    auto self = shared_from_this();
    const bool vertical = move == Move::Up || move == Move::Down || move == Move::PageUp || move == Move::PageDown;
    const bool forward = move == Move::Forward || move == Move::Right || move == Move::Down || move == Move::PageDown
        || move == Move::WordForward || move == Move::WordRight || move == Move::LineEnd || move == Move::ParagraphEnd
        || move == Move::ParagraphForward || move == Move::DocumentEnd;
    if (!vertical)
        m_goalX.reset();
    auto selection = m_selectedRange;
    auto affinity = m_affinity;
    fnd::Index moved;
    m_keepGoalX = vertical;
    if (!extend) {
        fnd::Index from = forward ? selection.max() : selection.location;
        if (selection.length > 0
            && (move == Move::Forward || move == Move::Right || move == Move::Backward || move == Move::Left)) {
            moved = from; // a selection collapses to its end in the move's direction
            affinity = SelectionAffinity::Downstream;
        } else {
            moved = destination(move, from, &affinity);
        }
        setSelectedRange({ moved, 0 }, affinity, false);
        m_anchor = moved;
    } else {
        // The anchor stays; the other end moves.
        fnd::Index anchor, end;
        if (m_anchor == selection.location && selection.length > 0) {
            anchor = selection.location;
            end = selection.max();
        } else if (m_anchor == selection.max()) {
            anchor = selection.max();
            end = selection.location;
        } else {
            anchor = forward ? selection.location : selection.max();
            end = forward ? selection.max() : selection.location;
        }
        moved = destination(move, end, &affinity);
        setSelectedRange({ std::min(anchor, moved), std::abs(moved - anchor) }, affinity, false);
        m_anchor = anchor;
    }
    m_keepGoalX = false;
    scrollRangeToVisible({ moved, 0 });
}

// Deleting.

bool TextView::deleteRange(fnd::Range range, bool coalesce)
{
    if (!m_editable || range.length <= 0) {
        Application::shared().beep();
        return false;
    }
    return userReplace(range, txt::AttributedString(), { range.location, 0 }, coalesce);
}

void TextView::deleteTo(Move move)
{
    if (!m_editable) {
        Application::shared().beep();
        return;
    }
    if (m_selectedRange.length > 0) {
        deleteRange(m_selectedRange, false);
        return;
    }
    auto caret = m_selectedRange.location;
    auto affinity = m_affinity;
    auto to = destination(move, caret, &affinity);
    // At the end of a line, deleting to its end takes the line break.
    if (to == caret && (move == Move::LineEnd || move == Move::ParagraphEnd))
        to = nextCharacter(caret);
    fnd::Range range { std::min(caret, to), std::abs(to - caret) };
    deleteRange(range, move == Move::Backward || move == Move::Forward);
}

// Commands.

void TextView::moveForward(const fnd::Value&)
{
    move(Move::Forward, false);
}
void TextView::moveBackward(const fnd::Value&)
{
    move(Move::Backward, false);
}
void TextView::moveLeft(const fnd::Value&)
{
    move(Move::Left, false);
}
void TextView::moveRight(const fnd::Value&)
{
    move(Move::Right, false);
}
void TextView::moveUp(const fnd::Value&)
{
    move(Move::Up, false);
}
void TextView::moveDown(const fnd::Value&)
{
    move(Move::Down, false);
}
void TextView::moveWordForward(const fnd::Value&)
{
    move(Move::WordForward, false);
}
void TextView::moveWordBackward(const fnd::Value&)
{
    move(Move::WordBackward, false);
}
void TextView::moveWordLeft(const fnd::Value&)
{
    move(Move::WordLeft, false);
}
void TextView::moveWordRight(const fnd::Value&)
{
    move(Move::WordRight, false);
}
void TextView::moveToBeginningOfLine(const fnd::Value&)
{
    move(Move::LineStart, false);
}
void TextView::moveToEndOfLine(const fnd::Value&)
{
    move(Move::LineEnd, false);
}
void TextView::moveToBeginningOfParagraph(const fnd::Value&)
{
    move(Move::ParagraphStart, false);
}
void TextView::moveToEndOfParagraph(const fnd::Value&)
{
    move(Move::ParagraphEnd, false);
}
void TextView::moveParagraphBackward(const fnd::Value&)
{
    move(Move::ParagraphBackward, false);
}
void TextView::moveParagraphForward(const fnd::Value&)
{
    move(Move::ParagraphForward, false);
}
void TextView::moveToBeginningOfDocument(const fnd::Value&)
{
    move(Move::DocumentStart, false);
}
void TextView::moveToEndOfDocument(const fnd::Value&)
{
    move(Move::DocumentEnd, false);
}
void TextView::pageUp(const fnd::Value&)
{
    move(Move::PageUp, false);
}
void TextView::pageDown(const fnd::Value&)
{
    move(Move::PageDown, false);
}
void TextView::moveForwardAndModifySelection(const fnd::Value&)
{
    move(Move::Forward, true);
}
void TextView::moveBackwardAndModifySelection(const fnd::Value&)
{
    move(Move::Backward, true);
}
void TextView::moveLeftAndModifySelection(const fnd::Value&)
{
    move(Move::Left, true);
}
void TextView::moveRightAndModifySelection(const fnd::Value&)
{
    move(Move::Right, true);
}
void TextView::moveUpAndModifySelection(const fnd::Value&)
{
    move(Move::Up, true);
}
void TextView::moveDownAndModifySelection(const fnd::Value&)
{
    move(Move::Down, true);
}
void TextView::moveWordForwardAndModifySelection(const fnd::Value&)
{
    move(Move::WordForward, true);
}
void TextView::moveWordBackwardAndModifySelection(const fnd::Value&)
{
    move(Move::WordBackward, true);
}
void TextView::moveWordLeftAndModifySelection(const fnd::Value&)
{
    move(Move::WordLeft, true);
}
void TextView::moveWordRightAndModifySelection(const fnd::Value&)
{
    move(Move::WordRight, true);
}
void TextView::moveToBeginningOfLineAndModifySelection(const fnd::Value&)
{
    move(Move::LineStart, true);
}
void TextView::moveToEndOfLineAndModifySelection(const fnd::Value&)
{
    move(Move::LineEnd, true);
}
void TextView::moveToBeginningOfParagraphAndModifySelection(const fnd::Value&)
{
    move(Move::ParagraphStart, true);
}
void TextView::moveToEndOfParagraphAndModifySelection(const fnd::Value&)
{
    move(Move::ParagraphEnd, true);
}
void TextView::moveParagraphBackwardAndModifySelection(const fnd::Value&)
{
    move(Move::ParagraphBackward, true);
}
void TextView::moveParagraphForwardAndModifySelection(const fnd::Value&)
{
    move(Move::ParagraphForward, true);
}
void TextView::moveToBeginningOfDocumentAndModifySelection(const fnd::Value&)
{
    move(Move::DocumentStart, true);
}
void TextView::moveToEndOfDocumentAndModifySelection(const fnd::Value&)
{
    move(Move::DocumentEnd, true);
}
void TextView::pageUpAndModifySelection(const fnd::Value&)
{
    move(Move::PageUp, true);
}
void TextView::pageDownAndModifySelection(const fnd::Value&)
{
    move(Move::PageDown, true);
}
void TextView::deleteForward(const fnd::Value&)
{
    deleteTo(Move::Forward);
}
void TextView::deleteBackward(const fnd::Value&)
{
    deleteTo(Move::Backward);
}
void TextView::deleteWordForward(const fnd::Value&)
{
    deleteTo(Move::WordForward);
}
void TextView::deleteWordBackward(const fnd::Value&)
{
    deleteTo(Move::WordBackward);
}
void TextView::deleteToBeginningOfLine(const fnd::Value&)
{
    deleteTo(Move::LineStart);
}
void TextView::deleteToEndOfLine(const fnd::Value&)
{
    deleteTo(Move::LineEnd);
}
void TextView::deleteToBeginningOfParagraph(const fnd::Value&)
{
    deleteTo(Move::ParagraphStart);
}
void TextView::deleteToEndOfParagraph(const fnd::Value&)
{
    deleteTo(Move::ParagraphEnd);
}

void TextView::deleteSelection(const fnd::Value&)
{
    deleteRange(m_selectedRange, false);
}

void TextView::selectAll(const fnd::Value&)
{
    if (!isSelectable())
        return;
    auto* storage = textStorage();
    setSelectedRange({ 0, storage ? storage->length() : 0 });
    m_anchor = 0;
}

void TextView::selectWord(const fnd::Value&)
{
    setSelectedRange(selectionRangeForProposedRange(m_selectedRange, SelectionGranularity::ByWord));
}

void TextView::selectParagraph(const fnd::Value&)
{
    setSelectedRange(selectionRangeForProposedRange(m_selectedRange, SelectionGranularity::ByParagraph));
}

void TextView::selectLine(const fnd::Value&)
{
    auto first = lineRangeAt(m_selectedRange.location, m_affinity);
    auto last
        = m_selectedRange.length > 0 ? lineRangeAt(m_selectedRange.max() - 1, SelectionAffinity::Downstream) : first;
    setSelectedRange({ first.location, last.max() - first.location });
}

void TextView::transpose(const fnd::Value&)
{
    auto* storage = textStorage();
    if (!storage || !m_editable || m_selectedRange.length > 0 || storage->length() < 2) {
        Application::shared().beep();
        return;
    }
    const auto& text = storage->string();
    auto i = m_selectedRange.location;
    // At the end of a line the two characters before the caret change places.
    if (i == text.length() || txt::isParagraphSeparator(text.units()[static_cast<std::size_t>(i)])
        || txt::isLineSeparator(text.units()[static_cast<std::size_t>(i)]))
        i = previousCharacter(i);
    if (i == 0) {
        Application::shared().beep();
        return;
    }
    auto a = previousCharacter(i);
    auto b = nextCharacter(i);
    auto swapped = storage->attributedSubstringFromRange({ i, b - i });
    swapped.appendAttributedString(storage->attributedSubstringFromRange({ a, i - a }));
    userReplace({ a, b - a }, swapped, { b, 0 });
}

// The commands as actions, so that menus, key bindings and the responder chain reach them by selector.

namespace detail {

void describeTextViewCommands(fnd::ClassBuilder<TextView>& c)
{
    c.action("moveForward:", &TextView::moveForward);
    c.action("moveBackward:", &TextView::moveBackward);
    c.action("moveLeft:", &TextView::moveLeft);
    c.action("moveRight:", &TextView::moveRight);
    c.action("moveUp:", &TextView::moveUp);
    c.action("moveDown:", &TextView::moveDown);
    c.action("moveWordForward:", &TextView::moveWordForward);
    c.action("moveWordBackward:", &TextView::moveWordBackward);
    c.action("moveWordLeft:", &TextView::moveWordLeft);
    c.action("moveWordRight:", &TextView::moveWordRight);
    c.action("moveToBeginningOfLine:", &TextView::moveToBeginningOfLine);
    c.action("moveToEndOfLine:", &TextView::moveToEndOfLine);
    c.action("moveToLeftEndOfLine:", &TextView::moveToBeginningOfLine);
    c.action("moveToRightEndOfLine:", &TextView::moveToEndOfLine);
    c.action("moveToBeginningOfParagraph:", &TextView::moveToBeginningOfParagraph);
    c.action("moveToEndOfParagraph:", &TextView::moveToEndOfParagraph);
    c.action("moveParagraphBackward:", &TextView::moveParagraphBackward);
    c.action("moveParagraphForward:", &TextView::moveParagraphForward);
    c.action("moveToBeginningOfDocument:", &TextView::moveToBeginningOfDocument);
    c.action("moveToEndOfDocument:", &TextView::moveToEndOfDocument);
    c.action("pageUp:", &TextView::pageUp);
    c.action("pageDown:", &TextView::pageDown);
    c.action("moveForwardAndModifySelection:", &TextView::moveForwardAndModifySelection);
    c.action("moveBackwardAndModifySelection:", &TextView::moveBackwardAndModifySelection);
    c.action("moveLeftAndModifySelection:", &TextView::moveLeftAndModifySelection);
    c.action("moveRightAndModifySelection:", &TextView::moveRightAndModifySelection);
    c.action("moveUpAndModifySelection:", &TextView::moveUpAndModifySelection);
    c.action("moveDownAndModifySelection:", &TextView::moveDownAndModifySelection);
    c.action("moveWordForwardAndModifySelection:", &TextView::moveWordForwardAndModifySelection);
    c.action("moveWordBackwardAndModifySelection:", &TextView::moveWordBackwardAndModifySelection);
    c.action("moveWordLeftAndModifySelection:", &TextView::moveWordLeftAndModifySelection);
    c.action("moveWordRightAndModifySelection:", &TextView::moveWordRightAndModifySelection);
    c.action("moveToBeginningOfLineAndModifySelection:", &TextView::moveToBeginningOfLineAndModifySelection);
    c.action("moveToEndOfLineAndModifySelection:", &TextView::moveToEndOfLineAndModifySelection);
    c.action("moveToLeftEndOfLineAndModifySelection:", &TextView::moveToBeginningOfLineAndModifySelection);
    c.action("moveToRightEndOfLineAndModifySelection:", &TextView::moveToEndOfLineAndModifySelection);
    c.action("moveToBeginningOfParagraphAndModifySelection:", &TextView::moveToBeginningOfParagraphAndModifySelection);
    c.action("moveToEndOfParagraphAndModifySelection:", &TextView::moveToEndOfParagraphAndModifySelection);
    c.action("moveParagraphBackwardAndModifySelection:", &TextView::moveParagraphBackwardAndModifySelection);
    c.action("moveParagraphForwardAndModifySelection:", &TextView::moveParagraphForwardAndModifySelection);
    c.action("moveToBeginningOfDocumentAndModifySelection:", &TextView::moveToBeginningOfDocumentAndModifySelection);
    c.action("moveToEndOfDocumentAndModifySelection:", &TextView::moveToEndOfDocumentAndModifySelection);
    c.action("pageUpAndModifySelection:", &TextView::pageUpAndModifySelection);
    c.action("pageDownAndModifySelection:", &TextView::pageDownAndModifySelection);
    c.action("deleteForward:", &TextView::deleteForward);
    c.action("deleteBackward:", &TextView::deleteBackward);
    c.action("deleteWordForward:", &TextView::deleteWordForward);
    c.action("deleteWordBackward:", &TextView::deleteWordBackward);
    c.action("deleteToBeginningOfLine:", &TextView::deleteToBeginningOfLine);
    c.action("deleteToEndOfLine:", &TextView::deleteToEndOfLine);
    c.action("deleteToBeginningOfParagraph:", &TextView::deleteToBeginningOfParagraph);
    c.action("deleteToEndOfParagraph:", &TextView::deleteToEndOfParagraph);
    c.action("delete:", &TextView::deleteSelection);
    c.action("insertNewline:", &TextView::insertNewline);
    c.action("insertTab:", &TextView::insertTab);
    c.action("insertBacktab:", &TextView::insertBacktab);
    c.action("insertLineBreak:", &TextView::insertLineBreak);
    c.action("insertNewlineIgnoringFieldEditor:", &TextView::insertNewlineIgnoringFieldEditor);
    c.action("insertTabIgnoringFieldEditor:", &TextView::insertTabIgnoringFieldEditor);
    c.action("cancelOperation:", &TextView::cancelOperation);
    c.action("complete:", &TextView::complete);
    c.action("selectAll:", &TextView::selectAll);
    c.action("selectWord:", &TextView::selectWord);
    c.action("selectParagraph:", &TextView::selectParagraph);
    c.action("selectLine:", &TextView::selectLine);
    c.action("transpose:", &TextView::transpose);
    c.action("centerSelectionInVisibleArea:", &TextView::centerSelectionInVisibleArea);
    c.action("cut:", &TextView::cut);
    c.action("copy:", &TextView::copy);
    c.action("showContextMenu:", &TextView::showContextMenu);
    c.action("paste:", &TextView::paste);
    c.action("pasteAsPlainText:", &TextView::pasteAsPlainText);
    c.action("pasteAsRichText:", &TextView::pasteAsRichText);
    c.action("undo:", &TextView::undo);
    c.action("redo:", &TextView::redo);
    c.action("validateUserInterfaceItem:", &TextView::validateUserInterfaceItem);
    c.action("validateMenuItem:", &TextView::validateUserInterfaceItem);
}

}

}
