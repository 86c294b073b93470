#include "platform/ui/views/Window.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/ToolTipManager.h"

#include <functional>
#include <optional>

namespace ui {

bool Window::acceptsInput() const
{
    return !m_attachedSheet && !m_modalBlocked && !Application::shared().isWindowBlockedByModal(*this);
}

void Window::sendEvent(const Event& event)
{
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    ToolTipManager::shared().windowWillSendEvent(*this, event);
    auto type = event.type();
    bool isInput
        = event.isMouseEvent() || event.isKeyEvent() || event.isGestureEvent() || type == EventType::FlagsChanged;
    bool toToolbar = m_toolbarTakesMouseWhileBlocked && m_toolbarView && event.isMouseEvent()
        && (gfx::pointInRect(event.locationInWindow(), m_toolbarView->frame())
            || (mouseDownView() && mouseDownView()->isDescendantOf(*m_toolbarView)));
    if (isInput && type != EventType::MouseMoved && !acceptsInput() && !toToolbar) {
        // A window behind a sheet or a modal session answers a click with a beep.
        if (type == EventType::LeftMouseDown || type == EventType::RightMouseDown || type == EventType::KeyDown)
            Application::shared().beep();
        return;
    }
    if ((event.isMouseEvent() || event.isGestureEvent()) && m_ignoresMouseEvents)
        return;

    switch (type) {
    case EventType::LeftMouseDown:
    case EventType::RightMouseDown:
    case EventType::OtherMouseDown: {
        std::shared_ptr<View> view = hitTestViews(event.locationInWindow());
        if (!m_isKey && canBecomeKeyWindow() && type == EventType::LeftMouseDown && !toToolbar
            && !activateForPress(view, event))
            return;
        if (!view)
            return;
        if (type == EventType::LeftMouseDown && view->acceptsFirstResponder())
            makeFirstResponder(view);
        m_mouseDownView = view;
        view->dispatchEvent(event);
        // The view's own loop may have taken the release: a delayed window comes forward now.
        auto& application = Application::shared();
        if (type == EventType::LeftMouseDown && application.windowWithDelayedOrdering() == self
            && !(Event::pressedMouseButtons() & 1)) {
            application.setWindowWithDelayedOrdering(nullptr);
            makeKeyAndOrderFront();
        }
        return;
    }
    case EventType::LeftMouseDragged:
    case EventType::RightMouseDragged:
    case EventType::OtherMouseDragged:
        updateTrackingAreas(event.locationInWindow(), event);
        [[fallthrough]];
    case EventType::LeftMouseUp:
    case EventType::RightMouseUp:
    case EventType::OtherMouseUp: {
        // The view that took the press keeps the drag and the release.
        auto view = mouseDownView();
        if (!view)
            view = hitTestViews(event.locationInWindow());
        if (type == EventType::LeftMouseUp || type == EventType::RightMouseUp || type == EventType::OtherMouseUp)
            m_mouseDownView.reset();
        if (view)
            view->dispatchEvent(event);
        if (type == EventType::LeftMouseUp && Application::shared().windowWithDelayedOrdering() == self) {
            Application::shared().setWindowWithDelayedOrdering(nullptr);
            makeKeyAndOrderFront();
        }
        return;
    }
    case EventType::MouseMoved:
        updateTrackingAreas(event.locationInWindow(), event);
        updateCursor(event.locationInWindow());
        if (m_acceptsMouseMovedEvents)
            firstResponder()->mouseMoved(event);
        return;
    case EventType::ScrollWheel:
    case EventType::Swipe:
    case EventType::Magnify:
    case EventType::Rotate:
        if (auto view = hitTestViews(event.locationInWindow()))
            view->dispatchEvent(event);
        return;
    case EventType::KeyDown:
    case EventType::KeyUp:
    case EventType::FlagsChanged:
        firstResponder()->dispatchEvent(event);
        return;
    case EventType::MouseEntered:
    case EventType::MouseExited:
        if (auto area = event.trackingArea())
            area->deliver(event);
        return;
    default:
        return;
    }
}

bool Window::activateForPress(const std::shared_ptr<View>& view, const Event& event)
{
    if (view && view->shouldDelayWindowOrderingForEvent(event)) {
        // The window comes forward at the release, unless the press starts a drag that prevents it.
        Application::shared().setWindowWithDelayedOrdering(std::static_pointer_cast<Window>(shared_from_this()));
        return view->acceptsFirstMouse(&event);
    }
    makeKeyAndOrderFront();
    // The click only activates the window unless the view takes first clicks.
    return view && view->acceptsFirstMouse(&event);
}

void Window::mouseDown(const Event& event)
{
    auto pressed = mouseDownView();
    if (event.type() == EventType::LeftMouseDown && isMovableByWindowBackground() && pressed
        && pressed->mouseDownCanMoveWindow()) {
        performWindowDragWithEvent(event);
        return;
    }
    Responder::mouseDown(event);
}

void Window::performWindowDragWithEvent(const Event& event)
{
    auto self = shared_from_this();
    auto& application = Application::shared();
    const gfx::Point press = event.locationOnScreen();
    gfx::Point last = press;
    // The pointer's place comes from the window system where it knows it: an event's place in a window that moves
    // under it may be older than the window's last move.
    const EventMask mask = EventMasks::LeftMouseDown | EventMasks::LeftMouseDragged | EventMasks::LeftMouseUp;
    for (;;) {
        auto next = application.nextEvent(mask, fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        // No more input will come: the window stays where the last event put it.
        if (!next)
            return;
        if (next->type() == EventType::LeftMouseDragged && Backend::current().beginWindowMove(*this, press))
            return;
        const gfx::Point at = Event::mouseLocation();
        if (at != last)
            setFrameOrigin({ m_frame.minX() + at.x - last.x, m_frame.minY() + at.y - last.y });
        last = at;
        if (next->type() == EventType::LeftMouseUp)
            return;
    }
}

namespace {

void forEachView(View& view, const std::function<void(View&)>& visit)
{
    visit(view);
    auto subviews = view.subviews();
    for (const auto& sub : subviews)
        forEachView(*sub, visit);
}

void forEachView(const std::vector<std::shared_ptr<View>>& roots, const std::function<void(View&)>& visit)
{
    for (const auto& root : roots)
        forEachView(*root, visit);
}

}

void Window::updateTrackingAreas(gfx::Point basePoint, const Event& cause)
{
    if (!m_contentView)
        return;
    bool dragging = cause.type() == EventType::LeftMouseDragged || cause.type() == EventType::RightMouseDragged
        || cause.type() == EventType::OtherMouseDragged;
    auto first = firstResponder();
    struct Change {
        std::shared_ptr<TrackingArea> area;
        EventType type;
    };
    std::vector<Change> exits, enters, moves;
    forEachView(rootViews(), [&](View& view) {
        // Whether the view shows, where the pointer is in it and what of it is visible: the same for all its areas,
        // found once (each walks up the superviews).
        std::optional<bool> shown;
        gfx::Point local;
        gfx::Rect visible;
        auto placePointer = [&] {
            if (!shown) {
                shown = !view.isHiddenOrHasHiddenAncestor();
                if (*shown) {
                    local = view.convertPointFromView(basePoint, nullptr);
                    visible = view.visibleRect();
                }
            }
            return *shown;
        };
        for (const auto& area : view.trackingAreas()) {
            unsigned o = area->options();
            if (dragging && !(o & TrackingOptions::EnabledDuringMouseDrag))
                continue;
            bool active = (o & TrackingOptions::ActiveAlways) || ((o & TrackingOptions::ActiveInKeyWindow) && m_isKey)
                || ((o & TrackingOptions::ActiveInActiveApp) && Application::shared().isActive())
                || ((o & TrackingOptions::ActiveWhenFirstResponder) && first.get() == &view);
            bool inside = false;
            if (active && placePointer()) {
                auto rect = (o & TrackingOptions::InVisibleRect) ? visible : area->rect();
                inside = view.mouseInRect(local, gfx::intersectionRect(rect, visible));
            }
            if (inside != area->isInside()) {
                area->setInside(inside);
                if (o & TrackingOptions::MouseEnteredAndExited)
                    (inside ? enters : exits)
                        .push_back({ area, inside ? EventType::MouseEntered : EventType::MouseExited });
            } else if (inside && (o & TrackingOptions::MouseMoved)) {
                moves.push_back({ area, EventType::MouseMoved });
            }
        }
    });
    // Leaving one area comes before entering the next, as the platform orders them.
    auto send = [&](const Change& change) {
        if (!change.area->owner() && !change.area->trackingOwner())
            return;
        std::shared_ptr<Event> e;
        if (change.type == EventType::MouseMoved) {
            e = Event::mouseEventWithType(
                EventType::MouseMoved, basePoint, cause.modifierFlags(), cause.timestamp(), m_windowNumber, 0, 0, 0);
        } else {
            e = Event::enterExitEventWithType(change.type, basePoint, cause.modifierFlags(), cause.timestamp(),
                m_windowNumber, 0, change.area->trackingNumber(), change.area->userInfo());
        }
        e->setTrackingArea(change.area);
        change.area->deliver(*e);
    };
    for (const auto& c : exits)
        send(c);
    for (const auto& c : enters)
        send(c);
    for (const auto& c : moves)
        send(c);
}

void Window::forgetMouseDownView(const View& view)
{
    auto pressed = mouseDownView();
    if (pressed && pressed->isDescendantOf(view))
        m_mouseDownView.reset();
}

void Window::beginLiveResize()
{
    if (m_inLiveResize || !m_contentView)
        return;
    m_inLiveResize = true;
    forEachView(*m_contentView, [](View& v) { v.viewWillStartLiveResize(); });
}

void Window::endLiveResize()
{
    if (!m_inLiveResize)
        return;
    m_inLiveResize = false;
    if (m_contentView)
        forEachView(*m_contentView, [](View& v) {
            // Views that drew only what the resize uncovered are drawn whole at their final size.
            if (v.preservesContentDuringLiveResize())
                v.setNeedsDisplay(true);
            v.viewDidEndLiveResize();
        });
}

// Cursor rects.

void Window::invalidateCursorRectsForView(View&)
{
    m_cursorRectsValid = false;
}

void Window::discardCursorRects()
{
    forEachView(rootViews(), [](View& v) { v.discardCursorRects(); });
    m_cursorRectsValid = false;
}

void Window::resetCursorRects()
{
    if (!m_contentView)
        return;
    forEachView(rootViews(), [](View& v) {
        v.discardCursorRects();
        if (!v.isHiddenOrHasHiddenAncestor())
            v.resetCursorRects();
    });
    m_cursorRectsValid = true;
}

void Window::updateCursor(gfx::Point basePoint)
{
    if (!m_cursorRectsEnabled || !m_contentView)
        return;
    if (!m_cursorRectsValid)
        resetCursorRects();
    std::shared_ptr<SettableCursor> cursor;
    // Later views are in front, so the last match wins.
    forEachView(rootViews(), [&](View& view) {
        if (view.cursorRects().empty() || view.isHiddenOrHasHiddenAncestor())
            return;
        auto local = view.convertPointFromView(basePoint, nullptr);
        auto visible = view.visibleRect();
        for (const auto& r : view.cursorRects()) {
            if (view.mouseInRect(local, gfx::intersectionRect(r.rect, visible)))
                cursor = r.cursor;
        }
    });
    if (!cursor)
        cursor = defaultCursor();
    if (cursor && cursor != m_currentCursor)
        cursor->set();
    m_currentCursor = cursor;
}

}
