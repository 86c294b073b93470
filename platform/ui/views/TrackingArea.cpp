#include "platform/ui/views/TrackingArea.h"

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

void setDefaultCursor(std::shared_ptr<SettableCursor> cursor)
{
    g_defaultCursor = std::move(cursor);
}

std::shared_ptr<SettableCursor> defaultCursor()
{
    return g_defaultCursor;
}

}
