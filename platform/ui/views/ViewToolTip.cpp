#include "platform/ui/views/ToolTipManager.h"
#include "platform/ui/views/View.h"

namespace ui {

void View::setToolTip(const fnd::String& toolTip)
{
    if (toolTip == m_toolTip)
        return;
    m_toolTip = toolTip;
    ToolTipManager::shared().viewToolTipDidChange(*this);
}

namespace {
long g_nextToolTipTag = 1;
}

long View::addToolTipRect(gfx::Rect rect, const std::shared_ptr<ToolTipOwner>& owner, fnd::Value userData)
{
    const long tag = g_nextToolTipTag++;
    m_toolTipRects.push_back({ tag, rect, owner, std::move(userData) });
    ToolTipManager::shared().viewToolTipDidChange(*this);
    return tag;
}

void View::removeToolTip(long tag)
{
    std::erase_if(m_toolTipRects, [tag](const ToolTipRect& r) { return r.tag == tag; });
    ToolTipManager::shared().viewToolTipDidChange(*this);
}

void View::removeAllToolTips()
{
    if (m_toolTipRects.empty())
        return;
    m_toolTipRects.clear();
    ToolTipManager::shared().viewToolTipDidChange(*this);
}

fnd::String View::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    for (auto it = m_toolTipRects.rbegin(); it != m_toolTipRects.rend(); ++it) {
        if (!gfx::pointInRect(point, it->rect))
            continue;
        auto owner = it->owner.lock();
        if (!owner)
            continue;
        auto text = owner->stringForToolTip(*this, it->tag, point, it->userData);
        if (text.isEmpty())
            continue;
        if (rect)
            *rect = it->rect;
        return text;
    }
    bool inside = !m_toolTip.isEmpty() && gfx::pointInRect(point, bounds());
    if (rect)
        *rect = inside ? bounds() : gfx::Rect {};
    return inside ? m_toolTip : fnd::String();
}

}
