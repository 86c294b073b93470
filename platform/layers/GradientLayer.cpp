#include "platform/layers/GradientLayer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/LayerAnimation.h"

namespace ui {

FND_REGISTER_CLASS(GradientLayer, Layer)

void GradientLayer::describeClass(fnd::ClassBuilder<GradientLayer>& c)
{
    c.property("colors", &GradientLayer::colors, &GradientLayer::setColors);
    c.property("locations", &GradientLayer::locations, &GradientLayer::setLocations);
    c.property("startPoint", &GradientLayer::startPoint, &GradientLayer::setStartPoint);
    c.property("endPoint", &GradientLayer::endPoint, &GradientLayer::setEndPoint);
}

GradientLayer::GradientLayer()
{
    // Drawn from its properties, so a new size needs a new drawing.
    initNeedsDisplayOnBoundsChange(true);
}

void GradientLayer::initWithLayer(const Layer& layer)
{
    Layer::initWithLayer(layer);
    if (auto* other = dynamic_cast<const GradientLayer*>(&layer))
        m_g = other->read(other->m_g);
}

std::vector<gfx::ColorPtr> GradientLayer::colors() const
{
    return read(m_g.colors);
}

void GradientLayer::setColors(std::vector<gfx::ColorPtr> colors)
{
    setProperty("colors", m_g.colors, colors);
}

std::vector<double> GradientLayer::locations() const
{
    return read(m_g.locations);
}

void GradientLayer::setLocations(std::vector<double> locations)
{
    setProperty("locations", m_g.locations, locations);
}

gfx::Point GradientLayer::startPoint() const
{
    return read(m_g.start);
}

void GradientLayer::setStartPoint(gfx::Point point)
{
    setProperty("startPoint", m_g.start, point);
}

gfx::Point GradientLayer::endPoint() const
{
    return read(m_g.end);
}

void GradientLayer::setEndPoint(gfx::Point point)
{
    setProperty("endPoint", m_g.end, point);
}

bool GradientLayer::needsDisplayForKey(const fnd::String& key) const
{
    return key == "colors" || key == "locations" || key == "startPoint" || key == "endPoint"
        || Layer::needsDisplayForKey(key);
}

std::shared_ptr<LayerAction> GradientLayer::defaultActionForKey(const fnd::String& key) const
{
    if (key == "startPoint" || key == "endPoint")
        return BasicAnimation::animationWithKeyPath(key);
    return Layer::defaultActionForKey(key);
}

void GradientLayer::drawInContext(gfx::GraphicsContext& context)
{
    auto g = read(m_g);
    const auto b = bounds();
    std::vector<gfx::GradientStop> stops;
    for (std::size_t i = 0; i < g.colors.size(); ++i) {
        if (!g.colors[i])
            continue;
        auto rgba = g.colors[i]->rgbaIfAvailable();
        if (!rgba)
            continue;
        double location = i < g.locations.size() ? g.locations[i]
                                                 : (g.colors.size() > 1 ? double(i) / double(g.colors.size() - 1) : 0);
        stops.push_back({ location, *rgba });
    }
    if (stops.empty())
        return;
    if (stops.size() == 1)
        stops.push_back({ 1, stops[0].rgba });
    context.saveGraphicsState();
    context.clipToRect(b);
    context.drawLinearGradient(stops, { b.minX() + g.start.x * b.width(), b.minY() + g.start.y * b.height() },
        { b.minX() + g.end.x * b.width(), b.minY() + g.end.y * b.height() },
        gfx::GradientDrawsBeforeStartingLocation | gfx::GradientDrawsAfterEndingLocation);
    context.restoreGraphicsState();
    Layer::drawInContext(context);
}

}
