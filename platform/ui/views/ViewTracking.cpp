#include "platform/ui/views/View.h"

#include "platform/ui/views/Window.h"

#include <algorithm>

namespace ui {

const std::vector<std::shared_ptr<TrackingArea>>& View::trackingAreas() const
{
    if (m_trackingAreaHoles > 0) {
        std::erase(m_trackingAreas, nullptr);
        m_trackingAreaHoles = 0;
        for (std::size_t i = 0; i < m_trackingAreas.size(); ++i)
            m_trackingAreaSlots[m_trackingAreas[i].get()] = i;
    }
    return m_trackingAreas;
}

std::shared_ptr<TrackingArea> View::trackingAreaWithNumber(long number) const
{
    auto found = m_trackingAreasByNumber.find(number);
    if (found == m_trackingAreasByNumber.end())
        return nullptr;
    return m_trackingAreas[m_trackingAreaSlots.at(found->second)];
}

void View::addTrackingArea(const std::shared_ptr<TrackingArea>& area)
{
    if (!area || m_trackingAreaSlots.contains(area.get()))
        return;
    area->setView(std::static_pointer_cast<View>(shared_from_this()));
    m_trackingAreaSlots.emplace(area.get(), m_trackingAreas.size());
    m_trackingAreasByNumber.emplace(area->trackingNumber(), area.get());
    m_trackingAreas.push_back(area);
}

void View::removeTrackingArea(const std::shared_ptr<TrackingArea>& area)
{
    auto slot = area ? m_trackingAreaSlots.find(area.get()) : m_trackingAreaSlots.end();
    if (slot == m_trackingAreaSlots.end())
        return;
    auto [first, last] = m_trackingAreasByNumber.equal_range(area->trackingNumber());
    for (auto it = first; it != last; ++it)
        if (it->second == area.get()) {
            m_trackingAreasByNumber.erase(it);
            break;
        }
    m_trackingAreas[slot->second] = nullptr;
    m_trackingAreaSlots.erase(slot);
    ++m_trackingAreaHoles;
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
    auto [first, last] = m_trackingAreasByNumber.equal_range(tag);
    for (auto it = first; it != last; ++it) {
        auto slot = m_trackingAreaSlots.find(it->second);
        m_trackingAreas[slot->second] = nullptr;
        m_trackingAreaSlots.erase(slot);
        ++m_trackingAreaHoles;
    }
    m_trackingAreasByNumber.erase(first, last);
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
