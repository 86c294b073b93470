#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarDraggingHandle.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarLook.h"

#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Window.h"

#include <cmath>

FND_REGISTER_CLASS(ZORSplitViewToolbarDraggingHandle, ui::View)

namespace {

constexpr double ZORSplitViewToolbarDraggingHandleSpacing = 4.0;
constexpr double ZORSplitViewToolbarDraggingHandleThickness = 1.0;
constexpr int ZORSplitViewToolbarDraggingHandleLines = 3;

}

std::shared_ptr<ZORSplitViewToolbarDraggingHandle> ZORSplitViewToolbarDraggingHandle::create(gfx::Rect frame)
{
    return ui::makeView<ZORSplitViewToolbarDraggingHandle>(frame);
}

void ZORSplitViewToolbarDraggingHandle::setVertical(bool flag)
{
    m_vertical = flag;
    setNeedsDisplay(true);
}

std::vector<gfx::Rect> ZORSplitViewToolbarDraggingHandle::lineRects() const
{
    std::vector<gfx::Rect> lines;
    auto b = bounds();
    for (int n = 0; n < ZORSplitViewToolbarDraggingHandleLines; ++n) {
        if (m_vertical) {
            double x = b.maxX() - (6.0 + ZORSplitViewToolbarDraggingHandleSpacing * n);
            lines.push_back({ x, b.minY() + 3.0, ZORSplitViewToolbarDraggingHandleThickness, b.height() - 6.0 });
        } else {
            double start = std::ceil((b.height() + 1 - 11) / 2);
            double y = b.minY() + start + ZORSplitViewToolbarDraggingHandleSpacing * n;
            lines.push_back({ b.minX() + 5.0, y, b.width() - 10.0, ZORSplitViewToolbarDraggingHandleThickness });
        }
    }
    return lines;
}

void ZORSplitViewToolbarDraggingHandle::drawRect(gfx::Rect)
{
    auto w = window();
    auto gradient = ZORSplitViewToolbarLook::gripGradient(!(w && w->isKeyWindow()));
    for (const auto& line : lineRects()) {
        gfx::GraphicsStateGuard guard;
        gradient->drawInRect(line, m_vertical ? 90 : 135);
    }
}
