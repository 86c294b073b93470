#include "platform/ui/views/View.h"

#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

void View::addTrackingArea(const std::shared_ptr<TrackingArea>& area)
{
    if (!area || std::find(m_trackingAreas.begin(), m_trackingAreas.end(), area) != m_trackingAreas.end())
        return;
    area->setView(std::static_pointer_cast<View>(shared_from_this()));
    m_trackingAreas.push_back(area);
}

void View::removeTrackingArea(const std::shared_ptr<TrackingArea>& area)
{
    std::erase(m_trackingAreas, area);
}

long View::addTrackingRect(
    gfx::Rect rect, const std::shared_ptr<Responder>& owner, fnd::Value userData, bool assumeInside)
{
    unsigned options = TrackingOptions::MouseEnteredAndExited | TrackingOptions::ActiveAlways;
    if (assumeInside)
        options |= TrackingOptions::AssumeInside;
    auto area = TrackingArea::create(rect, options, owner, std::move(userData));
    addTrackingArea(area);
    return area->trackingNumber();
}

long View::addTrackingRect(
    gfx::Rect rect, const std::shared_ptr<TrackingOwner>& owner, fnd::Value userData, bool assumeInside)
{
    unsigned options = TrackingOptions::MouseEnteredAndExited | TrackingOptions::ActiveAlways;
    if (assumeInside)
        options |= TrackingOptions::AssumeInside;
    auto area = TrackingArea::create(rect, options, owner, std::move(userData));
    addTrackingArea(area);
    return area->trackingNumber();
}

void View::removeTrackingRect(long tag)
{
    std::erase_if(m_trackingAreas, [&](const auto& area) { return area->trackingNumber() == tag; });
}

void View::addCursorRect(gfx::Rect rect, std::shared_ptr<SettableCursor> cursor)
{
    if (rect.isEmpty() || !cursor)
        return;
    m_cursorRects.push_back({ rect, std::move(cursor) });
}

void View::removeCursorRect(gfx::Rect rect, const std::shared_ptr<SettableCursor>& cursor)
{
    auto it = std::find_if(m_cursorRects.begin(), m_cursorRects.end(),
        [&](const CursorRect& c) { return c.rect == rect && c.cursor == cursor; });
    if (it != m_cursorRects.end())
        m_cursorRects.erase(it);
}

void View::discardCursorRects()
{
    m_cursorRects.clear();
}

}
