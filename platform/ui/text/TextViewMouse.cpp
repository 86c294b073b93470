// The mouse in a text view: selecting by character, word or paragraph with autoscroll, extending with Shift,
// dragging the selection, following links; and the cursors over text and links.

#include "platform/ui/text/TextView.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextAttachment.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// How far the mouse moves in a selection before it drags the selection rather than selecting anew.
constexpr double DragThreshold = 3;
// While the mouse is outside the view during a selection, the view scrolls this often.
constexpr double AutoscrollInterval = 0.1;

bool insideAny(const std::vector<gfx::Rect>& rects, gfx::Point p)
{
    return std::any_of(rects.begin(), rects.end(), [&](const gfx::Rect& r) { return gfx::pointInRect(p, r); });
}

}

fnd::Range TextView::linkRangeAt(fnd::Index index, fnd::Value* link) const
{
    auto* storage = textStorage();
    if (!storage || index < 0 || index >= storage->length())
        return fnd::Range::notFound();
    fnd::Range range;
    auto value = storage->attributeAtIndexLongestEffectiveRange(
        txt::LinkAttributeName, index, &range, { 0, storage->length() });
    if (value.isNil())
        return fnd::Range::notFound();
    if (link)
        *link = value;
    return range;
}

void TextView::mouseDown(const Event& event)
{
    if (!isSelectable()) {
        View::mouseDown(event);
        return;
    }
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto index = characterIndexForViewPoint(point);
    const bool shift = event.modifierFlags() & ModifierFlags::Shift;
    // A double click on an attachment goes to the delegate first.
    if (!shift && event.clickCount() == 2 && textStorage() && index < textStorage()->length()
        && textStorage()->string().units()[static_cast<std::size_t>(index)] == txt::AttachmentCharacter) {
        auto attachment
            = textStorage()->attributeAtIndex(txt::AttachmentAttributeName, index).objectAs<txt::TextAttachment>();
        auto frame = rectForCharacterRange({ index, 1 });
        if (auto d = delegate(); d && attachment && attachment->attachmentCell() && gfx::pointInRect(point, frame)
            && d->textViewDoubleClickedOnCell(*this, attachment->attachmentCell(), frame, index))
            return;
    }
    if (!shift && event.clickCount() == 1) {
        if (trackLink(event, index))
            return;
        // A press in the selection may start dragging it.
        if (m_selectedRange.length > 0 && !m_secure && m_selectedRange.contains(index)) {
            std::vector<gfx::Rect> rects;
            if (auto manager = layoutManager())
                for (auto r : manager->rectsForCharacterRange(m_selectedRange, *m_textContainer))
                    rects.push_back({ r.minX() + m_textContainerOrigin.x, r.minY() + m_textContainerOrigin.y, r.width(),
                        r.height() });
            if (insideAny(rects, point)) {
                auto& app = Application::shared();
                auto next = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged,
                    fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, false);
                if (next && next->type() == EventType::LeftMouseDragged) {
                    auto to = convertPointFromView(next->locationInWindow(), nullptr);
                    if (std::hypot(to.x - point.x, to.y - point.y) >= DragThreshold) {
                        dragSelectionWithEvent(event, {}, true);
                        return;
                    }
                }
            }
        }
    }
    trackSelection(event);
}

void TextView::trackSelection(const Event& event)
{
    auto& app = Application::shared();
    auto granularity = event.clickCount() >= 3 ? SelectionGranularity::ByParagraph
        : event.clickCount() == 2              ? SelectionGranularity::ByWord
                                               : SelectionGranularity::ByCharacter;
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto insertionAt = [&](gfx::Point p, SelectionAffinity* affinity) {
        auto index = insertionIndexForViewPoint(p);
        *affinity = SelectionAffinity::Downstream;
        // A click beyond the end of a wrapped line puts the caret at the end of that line.
        if (auto manager = layoutManager(); manager && index > 0 && index < manager->numberOfGlyphs()) {
            fnd::Range line;
            auto rect = manager->lineFragmentRectForGlyphAtIndex(index - 1, &line);
            double y = p.y - m_textContainerOrigin.y;
            if (line.max() == index && y >= rect.minY() && y < rect.maxY())
                *affinity = SelectionAffinity::Upstream;
        }
        return index;
    };
    SelectionAffinity affinity;
    auto index = insertionAt(point, &affinity);
    // What the selection grows from: the click's unit, or, with Shift, the current selection's far end.
    fnd::Range anchor = granularity == SelectionGranularity::ByCharacter
        ? fnd::Range { index, 0 }
        : selectionRangeForProposedRange({ index, 0 }, granularity);
    if ((event.modifierFlags() & ModifierFlags::Shift) && event.clickCount() == 1) {
        auto selection = m_selectedRange;
        fnd::Index fixed = m_anchor == selection.max() ? selection.max()
            : m_anchor == selection.location           ? selection.location
            : index < selection.location               ? selection.max()
                                                       : selection.location;
        anchor = { fixed, 0 };
        granularity = m_granularity;
    }
    auto rangeTo = [&](fnd::Index to) {
        auto unit = granularity == SelectionGranularity::ByCharacter
            ? fnd::Range { to, 0 }
            : selectionRangeForProposedRange({ to, 0 }, granularity);
        auto lo = std::min(anchor.location, unit.location);
        auto hi = std::max(anchor.max(), unit.max());
        return fnd::Range { lo, hi - lo };
    };
    m_granularity = granularity;
    auto range = rangeTo(index);
    setSelectedRange(range, affinity, true);
    auto last = std::make_shared<Event>(event);
    for (;;) {
        auto visible = visibleRect();
        auto lastPoint = convertPointFromView(last->locationInWindow(), nullptr);
        bool outside = !gfx::pointInRect(lastPoint, visible);
        // Outside the view the selection keeps growing on a timer as the view scrolls.
        auto until = outside ? fnd::Clock::current()->now().addingTimeInterval(AutoscrollInterval)
                             : fnd::Date::distantFuture();
        auto next = app.nextEvent(
            EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, until, fnd::RunLoopMode::EventTracking, true);
        if (!next) {
            if (!outside)
                break;
            autoscroll(*last); // the mouse rests outside: the clip view keeps scrolling towards it
        } else {
            last = next;
            if (next->type() == EventType::LeftMouseDragged)
                autoscroll(*next);
        }
        auto p = convertPointFromView(last->locationInWindow(), nullptr);
        range = rangeTo(insertionAt(p, &affinity));
        bool up = next && next->type() == EventType::LeftMouseUp;
        setSelectedRange(range, affinity, !up);
        if (up)
            break;
    }
    // The end away from where the press began moves with Shift and the arrow keys.
    m_anchor = range.location == anchor.location ? range.location : range.max();
    if (range == m_selectedRange)
        setSelectedRange(range, affinity, false);
}

bool TextView::trackLink(const Event& event, fnd::Index index)
{
    fnd::Value link;
    auto range = linkRangeAt(index, &link);
    if (range.location == fnd::NotFound)
        return false;
    auto rectsOf = [&] {
        std::vector<gfx::Rect> rects;
        if (auto manager = layoutManager())
            for (auto r : manager->rectsForCharacterRange(range, *m_textContainer))
                rects.push_back(
                    { r.minX() + m_textContainerOrigin.x, r.minY() + m_textContainerOrigin.y, r.width(), r.height() });
        return rects;
    };
    auto rects = rectsOf();
    if (!insideAny(rects, convertPointFromView(event.locationInWindow(), nullptr)))
        return false;
    // Following a link: it opens when the button goes up over it.
    auto& app = Application::shared();
    for (;;) {
        auto next = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!next)
            return true;
        if (next->type() == EventType::LeftMouseUp) {
            if (insideAny(rects, convertPointFromView(next->locationInWindow(), nullptr)))
                clickedOnLink(link, index);
            return true;
        }
    }
}

void TextView::clickedOnLink(const fnd::Value& link, fnd::Index characterIndex)
{
    auto self = shared_from_this();
    if (auto d = delegate(); d && d->textViewClickedOnLink(*this, link, characterIndex))
        return;
    auto address = link.stringValue();
    if (address.isEmpty() || !Application::shared().openURL(address))
        Application::shared().beep();
}

void TextView::resetCursorRects()
{
    if (!isSelectable())
        return;
    auto visible = visibleRect();
    addCursorRect(visible, Cursor::IBeamCursor());
    auto manager = layoutManager();
    auto* storage = textStorage();
    if (!manager || !storage || !m_textContainer || storage->length() == 0)
        return;
    // The pointing hand over the visible parts of links.
    gfx::Rect inContainer { visible.minX() - m_textContainerOrigin.x, visible.minY() - m_textContainerOrigin.y,
        visible.width(), visible.height() };
    auto glyphs = manager->glyphRangeForBoundingRect(inContainer, *m_textContainer);
    fnd::Index i = glyphs.location;
    while (i < glyphs.max()) {
        fnd::Range run;
        auto link = storage->attributeAtIndexLongestEffectiveRange(txt::LinkAttributeName, i, &run, glyphs);
        if (run.length == 0)
            break;
        if (!link.isNil())
            for (auto r : manager->rectsForCharacterRange(run, *m_textContainer)) {
                gfx::Rect inView { r.minX() + m_textContainerOrigin.x, r.minY() + m_textContainerOrigin.y, r.width(),
                    r.height() };
                auto shown = gfx::intersectionRect(inView, visible);
                if (!shown.isEmpty())
                    addCursorRect(shown, Cursor::pointingHandCursor());
            }
        i = run.max();
    }
}

}
