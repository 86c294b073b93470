#include "platform/ui/views/Window.h"

#include "platform/ui/views/Event.h"

#include <algorithm>
#include <functional>

namespace ui {

namespace {

void collectDescendants(View& view, std::vector<std::shared_ptr<View>>& into)
{
    for (const auto& sub : view.subviews()) {
        into.push_back(sub);
        collectDescendants(*sub, into);
    }
}

// Whether a view comes before another on the screen, as a person reads a form: of two views side by side (sharing
// most of the smaller one's height) the left one first, else the higher one.
bool readsBefore(const gfx::Rect& a, const gfx::Rect& b)
{
    const double shared = std::min(a.maxY(), b.maxY()) - std::max(a.minY(), b.minY());
    const bool sideBySide = shared > std::min(a.height(), b.height()) / 2;
    if (sideBySide && a.minX() != b.minX())
        return a.minX() < b.minX();
    return a.maxY() > b.maxY();
}

// The subviews of the view in reading order, each followed by its own subviews in theirs: what a container holds
// (the preview inside its scroll view beside the form) is read as one block, where the container stands.
void appendInReadingOrder(View& view, std::vector<std::shared_ptr<View>>& into)
{
    struct Placed {
        std::shared_ptr<View> view;
        gfx::Rect rect;
    };
    std::vector<Placed> remaining;
    for (const auto& sub : view.subviews())
        remaining.push_back({ sub, sub->convertRectToView(sub->bounds(), nullptr) });
    // The order need not be transitive in odd layouts, so each step takes the first of what is left rather than
    // sorting; views on the same spot keep their order in the tree.
    while (!remaining.empty()) {
        std::size_t first = 0;
        for (std::size_t i = 1; i < remaining.size(); ++i)
            if (readsBefore(remaining[i].rect, remaining[first].rect))
                first = i;
        auto next = std::move(remaining[first].view);
        remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(first));
        into.push_back(next);
        appendInReadingOrder(*next, into);
    }
}

std::vector<std::shared_ptr<View>> viewsInReadingOrder(View& contentView)
{
    std::vector<std::shared_ptr<View>> views;
    appendInReadingOrder(contentView, views);
    return views;
}

// An ancestor of the view that leads the keyboard through its own subviews took the move.
bool windowKeyViewAncestorMovedFocus(View& view, bool forward)
{
    auto keep = view.shared_from_this();
    for (auto ancestor = view.superview(); ancestor; ancestor = ancestor->superview())
        if (ancestor->moveKeyboardFocusFromSubview(view, forward))
            return true;
    return false;
}

bool isBacktab(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    return (chars.length() > 0 && chars.units()[0] == 0x19) || (event.modifierFlags() & ModifierFlags::Shift);
}

bool isTab(const Event& event)
{
    const auto& chars = event.charactersIgnoringModifiers();
    if (chars.length() == 0)
        return event.keyCode() == KeyCode::Tab;
    auto c = chars.units()[0];
    return c == u'\t' || c == 0x19;
}

}

void Window::recalculateKeyViewLoop()
{
    if (!m_contentView)
        return;
    auto views = viewsInReadingOrder(*m_contentView);
    // The field editor stands in for the control it edits; it is not a stop of its own.
    if (auto* editor = fieldEditorView())
        std::erase_if(views, [editor](const auto& view) { return view.get() == editor; });
    for (std::size_t i = 0; i < views.size(); ++i)
        views[i]->setNextKeyView(views[(i + 1) % views.size()]);
}

bool Window::hasKeyViewLinks() const
{
    if (!m_contentView)
        return false;
    std::vector<std::shared_ptr<View>> views;
    collectDescendants(*m_contentView, views);
    return std::any_of(views.begin(), views.end(), [](const auto& v) { return v->nextKeyView() != nullptr; });
}

std::shared_ptr<View> Window::keyViewStart() const
{
    auto view = std::dynamic_pointer_cast<View>(m_firstResponder.lock());
    if (!view)
        return nullptr;
    // While a field is edited the field editor has the keyboard, but the loop goes on from the field.
    if (auto field = view->superview(); field && field->currentEditor() == view)
        return field;
    return view;
}

void Window::selectKeyView(const std::shared_ptr<View>& view, KeyViewSelectionDirection direction)
{
    if (!view)
        return;
    auto self = shared_from_this();
    m_keyViewSelectionDirection = direction;
    makeFirstResponder(view);
    m_keyViewSelectionDirection = KeyViewSelectionDirection::Direct;
}

void Window::selectNextKeyView(const fnd::Value&)
{
    if (m_autorecalculatesKeyViewLoop || !hasKeyViewLinks())
        recalculateKeyViewLoop();
    auto start = keyViewStart();
    if (start && windowKeyViewAncestorMovedFocus(*start, true))
        return;
    std::shared_ptr<View> next;
    if (start) {
        next = start->nextValidKeyView();
    } else if (auto initial = initialFirstResponder(); initial && initial->canBecomeKeyView()) {
        next = initial;
    } else if (m_contentView) {
        // Nothing has the keyboard yet: the loop starts at the top left.
        for (const auto& v : viewsInReadingOrder(*m_contentView)) {
            if (v->canBecomeKeyView()) {
                next = v;
                break;
            }
        }
    }
    selectKeyView(next, KeyViewSelectionDirection::Next);
}

void Window::selectPreviousKeyView(const fnd::Value&)
{
    if (m_autorecalculatesKeyViewLoop || !hasKeyViewLinks())
        recalculateKeyViewLoop();
    auto start = keyViewStart();
    if (start && windowKeyViewAncestorMovedFocus(*start, false))
        return;
    std::shared_ptr<View> previous;
    if (start) {
        previous = start->previousValidKeyView();
    } else if (auto initial = initialFirstResponder(); initial) {
        previous = initial->canBecomeKeyView() ? initial : initial->previousValidKeyView();
    } else if (m_contentView) {
        // Nothing has the keyboard (the window itself may, after the view that had it went): backwards, the loop
        // starts at the bottom right, as forwards it starts at the top left.
        auto views = viewsInReadingOrder(*m_contentView);
        auto last = std::find_if(views.rbegin(), views.rend(), [](const auto& v) { return v->canBecomeKeyView(); });
        if (last != views.rend())
            previous = *last;
    }
    selectKeyView(previous, KeyViewSelectionDirection::Previous);
}

void Window::selectKeyViewFollowingView(View& view)
{
    if (windowKeyViewAncestorMovedFocus(view, true))
        return;
    if (m_autorecalculatesKeyViewLoop || !hasKeyViewLinks())
        recalculateKeyViewLoop();
    selectKeyView(view.nextValidKeyView(), KeyViewSelectionDirection::Next);
}

void Window::selectKeyViewPrecedingView(View& view)
{
    if (windowKeyViewAncestorMovedFocus(view, false))
        return;
    if (m_autorecalculatesKeyViewLoop || !hasKeyViewLinks())
        recalculateKeyViewLoop();
    selectKeyView(view.previousValidKeyView(), KeyViewSelectionDirection::Previous);
}

void Window::keyDown(const Event& event)
{
    auto self = shared_from_this();
    const unsigned commandKeys = ModifierFlags::Command | ModifierFlags::Control | ModifierFlags::Alternate;
    if (isTab(event) && !(event.modifierFlags() & commandKeys)) {
        if (isBacktab(event))
            selectPreviousKeyView();
        else
            selectNextKeyView();
        return;
    }
    // Keys with Command or Control were offered as key equivalents before they reached the first responder.
    if (!(event.modifierFlags() & (ModifierFlags::Command | ModifierFlags::Control)) && m_contentView
        && m_contentView->performKeyEquivalent(event))
        return;
    const auto& chars = event.charactersIgnoringModifiers();
    const char16_t key = chars.length() == 1 ? chars.units()[0] : 0;
    const unsigned modifiers = event.modifierFlags() & (commandKeys | ModifierFlags::Shift);
    if (key == 0x1b && modifiers == 0 && cancelOperation())
        return;
    // Ctrl+W closes a panel as it closes a document window elsewhere.
    if ((key == u'w' || key == u'W') && modifiers == ModifierFlags::Command && closesOnEscape()) {
        performClose();
        return;
    }
    if (key == char16_t(FunctionKey::F1 + 5) && !(modifiers & commandKeys)
        && selectNextKeyViewArea(!(modifiers & ModifierFlags::Shift)))
        return;
    Responder::keyDown(event);
}

bool Window::closesOnEscape() const
{
    return (m_styleMask & WindowStyleMask::Utility) && (m_styleMask & WindowStyleMask::Closable);
}

void Window::setKeyViewAreas(const std::vector<std::shared_ptr<View>>& areas)
{
    m_keyViewAreas.assign(areas.begin(), areas.end());
}

bool Window::selectNextKeyViewArea(bool forward)
{
    std::vector<std::shared_ptr<View>> areas;
    for (const auto& weak : m_keyViewAreas)
        if (auto area = weak.lock(); area && !area->isHiddenOrHasHiddenAncestor())
            areas.push_back(area);
    if (areas.size() < 2)
        return false;
    auto self = shared_from_this();
    // The area that holds the keyboard now; none counts as before the first.
    const auto start = keyViewStart();
    long current = -1;
    for (std::size_t i = 0; i < areas.size(); ++i)
        if (start && (start == areas[i] || start->isDescendantOf(*areas[i])))
            current = long(i);
    const long count = long(areas.size());
    // From nowhere, forward starts at the first area and backward at the last.
    const long from = current >= 0 ? current : (forward ? -1 : count);
    for (long step = 1; step <= count; ++step) {
        const long index = ((from + (forward ? step : -step)) % count + count) % count;
        if (auto view = firstKeyViewIn(areas[std::size_t(index)])) {
            selectKeyView(view, forward ? KeyViewSelectionDirection::Next : KeyViewSelectionDirection::Previous);
            return true;
        }
    }
    return false;
}

std::shared_ptr<View> Window::firstKeyViewIn(const std::shared_ptr<View>& area) const
{
    if (area->canBecomeKeyView())
        return area;
    std::vector<std::shared_ptr<View>> views;
    appendInReadingOrder(*area, views);
    for (const auto& view : views)
        if (view->canBecomeKeyView())
            return view;
    return nullptr;
}

}
