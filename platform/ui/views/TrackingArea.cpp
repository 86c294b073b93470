#include "platform/ui/views/TrackingArea.h"

#include "platform/ui/views/Event.h"
#include "platform/ui/views/Responder.h"

namespace ui {

FND_REGISTER_CLASS(TrackingArea, fnd::Object)

namespace {

long g_nextTrackingNumber = 1;
std::shared_ptr<SettableCursor> g_defaultCursor;

}

std::shared_ptr<TrackingArea> TrackingArea::create(
    gfx::Rect rect, unsigned options, const std::shared_ptr<Responder>& owner, fnd::Value userInfo)
{
    auto area = std::make_shared<TrackingArea>();
    area->m_rect = rect;
    area->m_options = options;
    area->m_owner = owner;
    area->m_userInfo = std::move(userInfo);
    area->m_number = g_nextTrackingNumber++;
    area->m_inside = (options & TrackingOptions::AssumeInside) != 0;
    return area;
}

std::shared_ptr<TrackingArea> TrackingArea::create(
    gfx::Rect rect, unsigned options, const std::shared_ptr<TrackingOwner>& owner, fnd::Value userInfo)
{
    auto area = create(rect, options, std::shared_ptr<Responder> {}, std::move(userInfo));
    area->m_trackingOwner = owner;
    return area;
}

void TrackingArea::deliver(const Event& event) const
{
    if (auto responder = owner()) {
        responder->dispatchEvent(event);
        return;
    }
    auto other = trackingOwner();
    if (!other)
        return;
    switch (event.type()) {
    case EventType::MouseEntered:
        other->mouseEntered(event);
        break;
    case EventType::MouseExited:
        other->mouseExited(event);
        break;
    case EventType::MouseMoved:
        other->mouseMoved(event);
        break;
    default:
        break;
    }
}

void setDefaultCursor(std::shared_ptr<SettableCursor> cursor)
{
    g_defaultCursor = std::move(cursor);
}

std::shared_ptr<SettableCursor> defaultCursor()
{
    return g_defaultCursor;
}

}
