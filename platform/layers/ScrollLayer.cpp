#include "platform/layers/ScrollLayer.h"

namespace ui {

FND_REGISTER_CLASS(ScrollLayer, Layer)

void ScrollLayer::describeClass(fnd::ClassBuilder<ScrollLayer>& c)
{
    c.property("scrollMode", &ScrollLayer::scrollMode, &ScrollLayer::setScrollMode);
}

void ScrollLayer::initWithLayer(const Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const ScrollLayer*>(&layer))
        m_scrollMode = other->scrollMode();
}

fnd::String ScrollLayer::scrollMode() const
{
    return read(m_scrollMode);
}

void ScrollLayer::setScrollMode(const fnd::String& mode)
{
    setProperty("scrollMode", m_scrollMode, mode);
}

void ScrollLayer::scrollToPoint(gfx::Point point)
{
    const auto mode = scrollMode();
    auto b = bounds();
    if (mode == ScrollMode::Horizontally || mode == ScrollMode::Both)
        b.origin.x = point.x;
    if (mode == ScrollMode::Vertically || mode == ScrollMode::Both)
        b.origin.y = point.y;
    setBounds(b);
}

void ScrollLayer::scrollToRect(gfx::Rect rect)
{
    const auto b = bounds();
    auto axis = [](double origin, double length, double min, double extent) {
        if (extent >= length || min < origin)
            return min;
        if (min + extent > origin + length)
            return min + extent - length;
        return origin;
    };
    scrollToPoint({ axis(b.minX(), b.width(), rect.minX(), rect.width()),
        axis(b.minY(), b.height(), rect.minY(), rect.height()) });
}

}
