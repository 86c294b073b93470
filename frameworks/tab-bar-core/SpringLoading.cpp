#include "frameworks/tab-bar-core/SpringLoading.h"

#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/ui/containers/TabViewItem.h"

namespace tbcore {

SpringLoading::SpringLoading(Fire fire)
    : m_fire(std::move(fire))
{
}

SpringLoading::~SpringLoading()
{
    stop();
}

void SpringLoading::dragOver(const std::shared_ptr<ui::TabViewItem>& item, gfx::Point location)
{
    m_location = location;
    if (item != m_item.lock()) {
        stop();
        m_item = item;
    }
    if (m_timer)
        return;
    // The bar owns this object and outlives its timer (stopped on destruction), so the callback may reach it.
    m_timer = fnd::Timer::create(springingDelay(), false, [this](fnd::Timer& timer) { m_fire(timer); });
    fnd::RunLoop::current().addTimer(m_timer, fnd::RunLoopMode::Common);
}

void SpringLoading::springNow()
{
    if (m_timer)
        m_timer->setFireDate(fnd::Clock::current()->now());
}

void SpringLoading::stop()
{
    if (m_timer)
        m_timer->invalidate();
    m_timer.reset();
}

}
