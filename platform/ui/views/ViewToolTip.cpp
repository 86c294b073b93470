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

fnd::String View::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    bool inside = !m_toolTip.isEmpty() && gfx::pointInRect(point, bounds());
    if (rect)
        *rect = inside ? bounds() : gfx::Rect {};
    return inside ? m_toolTip : fnd::String();
}

}
