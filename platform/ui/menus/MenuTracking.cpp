#include "platform/ui/menus/MenuTracking.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/menus/MenuScrollView.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/ToolTipManager.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// Within this distance of the opening press the pointer has not moved yet.
constexpr double StillDistance = 3;
// Letters typed closer together than this extend the title being looked for.
constexpr double TypeSelectPause = 1.0;
// While the pointer rests on a scroll arrow the menu moves this far this often.
constexpr double ArrowScrollInterval = 0.04;
constexpr double ArrowScrollStep = 8;
// A wheel's notch moves a taller menu by this many points; precise (touchpad) deltas move it by themselves.
constexpr double WheelLine = 24;

gfx::Point screenLocation(const Event& event)
{
    if (auto window = event.window())
        return window->convertBaseToScreen(event.locationInWindow());
    return event.locationInWindow();
}

class MenuTracker {
public:
    MenuTracker(Menu& menu, gfx::Point topLeft)
        : m_menu(menu)
    {
        m_view = MenuView::create(std::static_pointer_cast<Menu>(menu.shared_from_this()));
        auto size = m_view->frame().size;
        // A menu taller than the screen's visible frame scrolls inside it.
        gfx::Rect wanted { topLeft.x, topLeft.y - size.height, size.width, size.height };
        double room = size.height;
        if (auto screen = Screen::screenForRect({ topLeft.x, topLeft.y - 1, 1, 1 }))
            room = screen->visibleFrame().height();
        m_scroller = MenuScrollView::create(m_view, room);
        const double height = m_scroller->frame().height();
        if (height < size.height) {
            // Its top stays at the point when it can; else it lies against the visible frame's top.
            wanted = { topLeft.x, topLeft.y - height, size.width, height };
        }
        auto frame = Screen::frameKeptOnScreen(wanted);
        m_window = Window::create(frame, WindowStyleMask::Borderless);
        m_window->setLevel(WindowLevel::PopUpMenu);
        m_window->setContentView(m_scroller);
        if (auto start = menu.highlightedItem()) {
            long index = menu.indexOfItem(*start);
            if (index >= 0 && MenuView::isChoosable(*start)) {
                m_view->setHighlightedIndex(index);
                // The item the menu opened at stays under the point when the menu had to move.
                if (m_scroller->scrolls()) {
                    const auto row = m_view->rectOfItemAtIndex(index);
                    const double shift = frame.maxY() - wanted.maxY();
                    m_scroller->setOffset(shift);
                    m_scroller->scrollRectToShow(row);
                }
            }
        }
        // A menu opened by a press stays open when that press ends where it began.
        if (auto current = Application::shared().currentEvent()) {
            auto type = current->type();
            m_opening = type == EventType::LeftMouseDown || type == EventType::RightMouseDown;
            m_pressPoint = screenLocation(*current);
        }
    }

    ~MenuTracker()
    {
        m_menu.setAccessibilityShownInWindow(nullptr);
        m_window->close();
    }

    std::optional<long> run()
    {
        auto& app = Application::shared();
        m_window->orderFront();
        // Assistive technologies hear the menu open, then the item it opened at.
        m_menu.setAccessibilityShownInWindow(m_window);
        if (auto item = m_menu.highlightedItem())
            accessibilityPostNotification(*item, AccessibilityNotification::FocusedUIElementChanged);
        const EventMask mask = EventMasks::LeftMouseDown | EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged
            | EventMasks::RightMouseDown | EventMasks::RightMouseUp | EventMasks::RightMouseDragged
            | EventMasks::MouseMoved | EventMasks::KeyDown | EventMasks::ScrollWheel;
        while (!m_done) {
            // Resting on a scroll arrow moves the menu on, so the loop wakes up without input then.
            const bool onArrow = m_arrow != MenuScrollView::Part::Items;
            const auto until = onArrow ? fnd::Clock::current()->now().addingTimeInterval(ArrowScrollInterval)
                                       : fnd::Date::distantFuture();
            auto event = app.nextEvent(mask, until, fnd::RunLoopMode::EventTracking, true);
            if (!event) {
                if (!onArrow)
                    break; // no more input will come
                scrollFromArrow();
            } else {
                reportToToolTips(*event);
                if (event->isKeyEvent())
                    key(*event);
                else if (event->type() == EventType::ScrollWheel)
                    wheel(*event);
                else
                    mouse(*event);
            }
            m_window->displayIfNeeded();
        }
        return m_chosen;
    }

private:
    // The menu's window is sent no events (the tracker reads them all), so the pointer is handed to the tool tips
    // from here: items show their tips while it rests on them, and keys hide them.
    void reportToToolTips(const Event& event)
    {
        auto& tips = ToolTipManager::shared();
        switch (event.type()) {
        case EventType::MouseMoved:
        case EventType::LeftMouseDragged:
        case EventType::RightMouseDragged: {
            auto base = m_window->convertScreenToBase(screenLocation(event));
            auto moved = Event::mouseEventWithType(EventType::MouseMoved, base, event.modifierFlags(),
                event.timestamp(), m_window->windowNumber(), 0, 0, 0);
            tips.windowWillSendEvent(*m_window, *moved);
            return;
        }
        case EventType::KeyDown:
            tips.windowWillSendEvent(*m_window, event);
            return;
        default:
            return;
        }
    }

    void choose(long index)
    {
        m_chosen = index;
        m_done = true;
    }

    void dismiss() { m_done = true; }

    gfx::Point scrollerPoint(gfx::Point screenPoint) const
    {
        return m_scroller->convertPointFromView(m_window->convertScreenToBase(screenPoint), nullptr);
    }

    long indexAt(gfx::Point screenPoint) const
    {
        auto inScroller = scrollerPoint(screenPoint);
        switch (m_scroller->partAtPoint(inScroller)) {
        case MenuScrollView::Part::Outside:
            return -2; // outside the menu
        case MenuScrollView::Part::Items:
            return m_view->indexOfItemAtPoint(m_scroller->itemsPoint(inScroller));
        default:
            return -1; // on a scroll arrow
        }
    }

    void scrollFromArrow()
    {
        m_scroller->scrollBy(m_arrow == MenuScrollView::Part::UpArrow ? -ArrowScrollStep : ArrowScrollStep);
        // The item under the resting pointer changes as the menu moves.
        if (auto pointer = lastPointer())
            m_view->setHighlightedIndex(choosableAt(*pointer));
    }

    void wheel(const Event& event)
    {
        const double points
            = event.hasPreciseScrollingDeltas() ? event.scrollingDeltaY() : event.scrollingDeltaY() * WheelLine;
        // A turn up (positive) shows what is above.
        m_scroller->scrollBy(-points);
        const auto point = screenLocation(event);
        m_lastPointer = point;
        m_view->setHighlightedIndex(choosableAt(point));
    }

    std::optional<gfx::Point> lastPointer() const { return m_lastPointer; }

    long choosableAt(gfx::Point screenPoint) const
    {
        long index = indexAt(screenPoint);
        return choosable(index) ? index : -1;
    }

    // Whether a title is being typed: a key went to type-select within the pause.
    bool typeSelectRuns() const
    {
        return !m_typed.isEmpty() && fnd::Clock::current()->now().timeIntervalSince(m_lastKey) <= TypeSelectPause;
    }

    // Keeps the keyboard's item in sight.
    void highlight(long index)
    {
        m_view->setHighlightedIndex(index);
        if (index >= 0)
            m_scroller->scrollRectToShow(m_view->rectOfItemAtIndex(index));
    }

    bool choosable(long index) const
    {
        auto item = m_menu.itemAtIndex(index);
        return item && MenuView::isChoosable(*item);
    }

    void mouse(const Event& event)
    {
        auto point = screenLocation(event);
        if (std::hypot(point.x - m_pressPoint.x, point.y - m_pressPoint.y) > StillDistance)
            m_moved = true;
        m_lastPointer = point;
        const auto part = m_scroller->partAtPoint(scrollerPoint(point));
        m_arrow = part == MenuScrollView::Part::UpArrow || part == MenuScrollView::Part::DownArrow
            ? part
            : MenuScrollView::Part::Items;
        long index = indexAt(point);
        switch (event.type()) {
        case EventType::MouseMoved:
        case EventType::LeftMouseDragged:
        case EventType::RightMouseDragged:
            m_view->setHighlightedIndex(choosable(index) ? index : -1);
            return;
        case EventType::LeftMouseDown:
        case EventType::RightMouseDown:
            if (index == -2) {
                dismiss();
                return;
            }
            m_opening = false;
            m_view->setHighlightedIndex(choosable(index) ? index : -1);
            return;
        case EventType::LeftMouseUp:
        case EventType::RightMouseUp: {
            const bool endsOpeningClick = m_opening && !m_moved;
            m_opening = false;
            if (endsOpeningClick)
                return;
            if (index == -2)
                dismiss();
            else if (choosable(index))
                choose(index);
            return;
        }
        default:
            return;
        }
    }

    // The next choosable index from `from` in the direction, or `from` when there is none.
    long step(long from, int direction) const
    {
        long count = m_menu.numberOfItems();
        for (long i = from + direction; i >= 0 && i < count; i += direction) {
            if (choosable(i))
                return i;
        }
        return from;
    }

    void key(const Event& event)
    {
        const auto& chars = event.charactersIgnoringModifiers();
        char16_t c = chars.length() > 0 ? chars.units()[0] : 0;
        long current = m_view->highlightedIndex();
        long count = m_menu.numberOfItems();
        // Moving by keys ends a search: the next letter starts a new one, and Space chooses.
        if (c >= 0xF700 && c <= 0xF8FF)
            m_typed = {};
        switch (c) {
        case FunctionKey::DownArrow:
            highlight(step(current < 0 ? -1 : current, +1));
            return;
        case FunctionKey::UpArrow:
            highlight(step(current < 0 ? count : current, -1));
            return;
        case FunctionKey::Home:
        case FunctionKey::PageUp:
            highlight(step(-1, +1));
            return;
        case FunctionKey::End:
        case FunctionKey::PageDown:
            highlight(step(count, -1));
            return;
        case u' ':
            // Titles hold spaces: while a title is being typed ("Code 128"), the space is part of it.
            if (typeSelectRuns())
                break;
            [[fallthrough]];
        case u'\r':
        case 0x03:
            if (choosable(current))
                choose(current);
            else
                dismiss();
            return;
        case 0x1b:
            dismiss();
            return;
        default:
            break;
        }
        if (c < 0x20 || (c >= 0xF700 && c <= 0xF8FF))
            return;
        // Type to select: the first item whose title starts with what was typed.
        auto now = fnd::Clock::current()->now();
        if (!typeSelectRuns())
            m_typed = {};
        m_lastKey = now;
        m_typed = m_typed + chars.lowercaseString();
        for (long i = 0; i < count; ++i) {
            auto item = m_menu.itemAtIndex(i);
            if (choosable(i) && item->title().lowercaseString().hasPrefix(m_typed)) {
                highlight(i);
                return;
            }
        }
    }

    Menu& m_menu;
    std::shared_ptr<MenuView> m_view;
    std::shared_ptr<MenuScrollView> m_scroller;
    // The arrow the pointer rests on (Items when on none).
    MenuScrollView::Part m_arrow { MenuScrollView::Part::Items };
    std::optional<gfx::Point> m_lastPointer;
    std::shared_ptr<Window> m_window;
    std::optional<long> m_chosen;
    bool m_done { false };
    bool m_opening { false };
    bool m_moved { false };
    gfx::Point m_pressPoint;
    fnd::String m_typed;
    fnd::Date m_lastKey = fnd::Date::distantPast();
};

}

std::optional<long> runMenuTracking(Menu& menu, gfx::Point topLeft)
{
    auto keep = menu.shared_from_this();
    MenuTracker tracker(menu, topLeft);
    return tracker.run();
}

// Without a window system's own menus, ours are tracked in process.
std::optional<long> Backend::popUpMenu(Menu& menu, gfx::Point screenLocation)
{
    return runMenuTracking(menu, screenLocation);
}

}
