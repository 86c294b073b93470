#include "platform/ui/views/ToolTipManager.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/ToolTipView.h"
#include "platform/ui/views/Window.h"

#include <utility>

namespace ui {

namespace {

// Where the tip's top left sits from the pointer: below the arrow, a little to the right.
constexpr double TipOffsetX = 2;
constexpr double TipOffsetBelow = 20;
// When there is no room below, the tip goes above the pointer with this gap.
constexpr double TipOffsetAbove = 4;

double clockNow()
{
    return fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
}

template <typename T> bool sameObject(const std::weak_ptr<T>& a, const std::weak_ptr<T>& b)
{
    return !a.owner_before(b) && !b.owner_before(a) && !a.expired();
}

}

ToolTipManager& ToolTipManager::shared()
{
    // Never destroyed: a tip's window may outlive the statics its teardown would need at exit.
    static auto* manager = new ToolTipManager;
    return *manager;
}

bool ToolTipManager::Tip::sameAreaAs(const Tip& other) const
{
    return !isEmpty() && sameObject(window, other.window) && sameObject(view, other.view) && rect == other.rect
        && text == other.text;
}

ToolTipManager::Tip ToolTipManager::tipAt(Window& window, gfx::Point basePoint)
{
    for (auto view = window.hitTestViews(basePoint); view; view = view->superview()) {
        gfx::Rect rect;
        auto text = view->toolTipAtPoint(view->convertPointFromView(basePoint, nullptr), &rect);
        if (!text.isEmpty())
            return { std::static_pointer_cast<Window>(window.shared_from_this()), view, rect, text };
    }
    return {};
}

void ToolTipManager::windowWillSendEvent(Window& window, const Event& event)
{
    if (m_window && &window == m_window.get())
        return;
    switch (event.type()) {
    case EventType::MouseMoved:
        pointerMoved(window, event.locationInWindow());
        return;
    case EventType::LeftMouseDown:
    case EventType::RightMouseDown:
    case EventType::OtherMouseDown:
    case EventType::ScrollWheel:
        m_quiet = tipAt(window, event.locationInWindow());
        cancelPending();
        hide(false);
        return;
    case EventType::KeyDown:
        m_quiet = isShown() ? m_shown : m_pending;
        cancelPending();
        hide(false);
        return;
    case EventType::LeftMouseDragged:
    case EventType::RightMouseDragged:
    case EventType::OtherMouseDragged:
        cancelPending();
        hide(false);
        return;
    default:
        return;
    }
}

void ToolTipManager::pointerMoved(Window& window, gfx::Point basePoint)
{
    auto tip = window.acceptsInput() ? tipAt(window, basePoint) : Tip {};
    if (!m_quiet.isEmpty()) {
        if (tip.sameAreaAs(m_quiet))
            return;
        m_quiet = {};
    }
    auto screenPoint = window.convertBaseToScreen(basePoint);
    if (isShown()) {
        if (tip.sameAreaAs(m_shown))
            return;
        if (tip.isEmpty())
            hide(true);
        else
            show(tip, screenPoint); // a neighbour's tip follows at once
        return;
    }
    if (tip.isEmpty()) {
        cancelPending();
        return;
    }
    if (withinGrace()) {
        show(tip, screenPoint);
        return;
    }
    // Each move starts the wait again: the tip comes when the pointer rests.
    startPending(tip, screenPoint);
}

void ToolTipManager::startPending(const Tip& tip, gfx::Point screenPoint)
{
    cancelPending();
    m_pending = tip;
    m_pendingScreenPoint = screenPoint;
    m_timer = fnd::Timer::create(InitialDelay, false, [this](fnd::Timer&) {
        // The loop holds the timer while it fires; it is spent afterwards.
        auto tip = m_pending;
        m_pending = {};
        auto window = tip.window.lock();
        if (window && window->isVisible() && !tip.view.expired())
            show(tip, m_pendingScreenPoint);
    });
    fnd::RunLoop::main().addTimer(m_timer, fnd::RunLoopMode::Common);
}

void ToolTipManager::cancelPending()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
    m_pending = {};
}

bool ToolTipManager::withinGrace() const
{
    return clockNow() - m_hiddenAt < NeighbourGrace;
}

void ToolTipManager::show(const Tip& tip, gfx::Point screenPoint)
{
    cancelPending();
    auto size = ToolTipView::sizeForText(tip.text);
    gfx::Rect frame { screenPoint.x + TipOffsetX, screenPoint.y - TipOffsetBelow - size.height, size.width,
        size.height };
    if (auto screen = Screen::screenForRect({ screenPoint, { 1, 1 } });
        screen && frame.minY() < screen->visibleFrame().minY())
        frame.origin.y = screenPoint.y + TipOffsetAbove;
    frame = Screen::frameKeptOnScreen(frame);
    // A window per tip, closed when it goes, as pop-up menus have, so no hidden window stays in the application.
    if (!m_window) {
        m_window = Window::create(frame, WindowStyleMask::Borderless);
        m_window->setLevel(WindowLevel::PopUpMenu);
        m_window->setIgnoresMouseEvents(true);
        m_view = ToolTipView::create();
        m_window->setContentView(m_view);
    }
    m_view->setText(tip.text);
    m_window->setFrame(frame, true);
    m_window->orderFront();
    m_shown = tip;
}

void ToolTipManager::hide(bool byLeaving)
{
    bool wasShown = isShown();
    m_shown = {};
    if (auto window = std::exchange(m_window, nullptr)) {
        m_view.reset();
        window->close();
    }
    if (wasShown && byLeaving)
        m_hiddenAt = clockNow();
}

void ToolTipManager::windowDidResignKey(Window& window)
{
    if (m_window && &window == m_window.get())
        return;
    cancelPending();
    hide(false);
}

void ToolTipManager::windowWillClose(Window& window)
{
    auto belongs = [&](const Tip& tip) { return tip.window.lock().get() == &window; };
    if (belongs(m_pending))
        cancelPending();
    if (belongs(m_shown))
        hide(false);
}

void ToolTipManager::applicationDidResignActive()
{
    cancelPending();
    hide(false);
}

void ToolTipManager::viewToolTipDidChange(const View& view)
{
    if (m_pending.view.lock().get() == &view)
        cancelPending();
    if (m_shown.view.lock().get() == &view)
        hide(false);
}

void ToolTipManager::reset()
{
    cancelPending();
    m_shown = {};
    m_quiet = {};
    m_window.reset();
    m_view.reset();
    m_hiddenAt = -1e300;
}

std::shared_ptr<Window> ToolTipManager::toolTipWindow() const
{
    return m_window && m_window->isVisible() && !m_shown.isEmpty() ? m_window : nullptr;
}

fnd::String ToolTipManager::shownText() const
{
    return isShown() ? m_shown.text : fnd::String();
}

}
