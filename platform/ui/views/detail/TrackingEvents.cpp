#include "platform/ui/views/detail/TrackingEvents.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui::detail {

namespace {

// Under a virtual clock time jumps from tick to tick, so a loop nobody releases would never end: it gives up after
// this many ticks without an event (hours of holding at any usual interval).
constexpr long MaxIdleTicksOnVirtualClock = 100'000;

}

void displayDuringTracking(View& view)
{
    view.setNeedsDisplay(true);
    if (auto window = view.window())
        window->displayIfNeeded();
}

TrackingEvents::TrackingEvents(bool periodic, double delay, double interval)
    : m_periodic(periodic)
    , m_interval(std::max(interval, 0.001))
    , m_nextTick(fnd::Clock::current()->now().addingTimeInterval(delay))
{
}

TrackingEvents::Next TrackingEvents::next()
{
    auto until = m_periodic ? m_nextTick : fnd::Date::distantFuture();
    auto event = Application::shared().nextEvent(
        EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, until, fnd::RunLoopMode::EventTracking, true);
    if (event) {
        m_idleTicks = 0;
        return { event, false };
    }
    auto clock = fnd::Clock::current();
    if (!m_periodic || clock->now().timeIntervalSince(m_nextTick) < 0)
        return {};
    if (clock->isVirtual() && ++m_idleTicks > MaxIdleTicksOnVirtualClock) {
        fnd::log("A control held down under a virtual clock got no further input; its tracking ends.");
        return {};
    }
    m_nextTick = m_nextTick.addingTimeInterval(m_interval);
    return { nullptr, true };
}

}
