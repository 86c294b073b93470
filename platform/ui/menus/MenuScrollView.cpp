#include "platform/ui/menus/MenuScrollView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/detail/FlippedView.h"

#include <algorithm>
#include <cmath>

namespace ui {

FND_REGISTER_CLASS(MenuScrollView, View)

std::shared_ptr<MenuScrollView> MenuScrollView::create(std::shared_ptr<MenuView> items, double maximumHeight)
{
    const auto size = items->frame().size;
    const bool scrolls = size.height > maximumHeight;
    const double height = scrolls ? std::floor(maximumHeight) : size.height;
    auto view = makeView<MenuScrollView>({ 0, 0, size.width, height });
    view->m_scrolls = scrolls;
    view->m_items = std::move(items);
    view->m_clip = detail::FlippedView::create(view->clipFrame());
    view->m_clip->addSubview(view->m_items);
    view->addSubview(view->m_clip);
    view->setOffset(0);
    return view;
}

gfx::Rect MenuScrollView::clipFrame() const
{
    const auto b = bounds();
    if (!m_scrolls)
        return b;
    return { 0, ArrowHeight, b.width(), std::max(0.0, b.height() - 2 * ArrowHeight) };
}

double MenuScrollView::maximumOffset() const
{
    if (!m_items)
        return 0;
    return std::max(0.0, m_items->frame().height() - clipFrame().height());
}

void MenuScrollView::setOffset(double offset)
{
    offset = std::clamp(std::round(offset), 0.0, maximumOffset());
    if (offset == m_offset && m_items->frame().minY() == -offset)
        return;
    m_offset = offset;
    m_items->setFrameOrigin({ 0, -offset });
    setNeedsDisplay(true);
}

void MenuScrollView::scrollRectToShow(gfx::Rect rect)
{
    const double visible = clipFrame().height();
    if (rect.minY() < m_offset)
        setOffset(rect.minY());
    else if (rect.maxY() > m_offset + visible)
        setOffset(rect.maxY() - visible);
}

MenuScrollView::Part MenuScrollView::partAtPoint(gfx::Point point) const
{
    if (!gfx::pointInRect(point, bounds()))
        return Part::Outside;
    if (m_scrolls && point.y < ArrowHeight)
        return Part::UpArrow;
    if (m_scrolls && point.y >= bounds().height() - ArrowHeight)
        return Part::DownArrow;
    return Part::Items;
}

gfx::Point MenuScrollView::itemsPoint(gfx::Point point) const
{
    const auto clip = clipFrame();
    return { point.x - clip.minX(), point.y - clip.minY() + m_offset };
}

void MenuScrollView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const auto b = bounds();
    context->setFillColor(*ControlLook::fieldBackgroundColor());
    context->fillRect(b);
    if (!m_scrolls)
        return;
    auto strip = [&](gfx::Rect r, ControlLook::Direction direction, bool more) {
        auto color = more ? ControlLook::textColor(true) : ControlLook::secondaryTextColor(false);
        ControlLook::drawChevron({ r.midX(), r.midY() }, 4.5, direction, *color);
    };
    strip({ 0, 0, b.width(), ArrowHeight }, ControlLook::Direction::Up, m_offset > 0);
    strip({ 0, b.height() - ArrowHeight, b.width(), ArrowHeight }, ControlLook::Direction::Down,
        m_offset < maximumOffset());
    auto border = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(b, 0.5, 0.5));
    border->setLineWidth(1);
    context->setStrokeColor(*ControlLook::borderColor());
    context->strokePath(*border);
}

}
