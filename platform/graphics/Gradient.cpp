#include "platform/graphics/Gradient.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace gfx {

FND_REGISTER_CLASS(Gradient, fnd::Object)

Gradient::Gradient()
    : m_colorSpaceName(ColorSpaceName::CalibratedRGB)
{
}

Gradient::Gradient(std::vector<ColorStop> stops, fnd::String colorSpaceName)
    : m_stops(std::move(stops))
    , m_colorSpaceName(std::move(colorSpaceName))
{
    for (auto& s : m_stops)
        s.location = std::isnan(s.location) ? 0.0 : std::clamp(s.location, 0.0, 1.0);
    // Stable: stops at one location keep the order they were given in.
    std::vector<std::size_t> order(m_stops.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return m_stops[a].location < m_stops[b].location || (m_stops[a].location == m_stops[b].location && a < b);
    });
    std::vector<ColorStop> sorted;
    for (std::size_t i : order)
        sorted.push_back(m_stops[i]);
    m_stops = std::move(sorted);
    for (const auto& s : m_stops) {
        auto rgba = s.color ? s.color->rgbaIfAvailable() : std::nullopt;
        m_rgbaStops.push_back({ s.location, rgba.value_or(std::array<double, 4> { 0, 0, 0, 0 }) });
    }
}

std::shared_ptr<Gradient> Gradient::gradientWithStartingColor(const Color& start, const Color& end)
{
    return std::make_shared<Gradient>(
        std::vector<ColorStop> { { std::make_shared<Color>(start), 0.0 }, { std::make_shared<Color>(end), 1.0 } });
}

std::shared_ptr<Gradient> Gradient::gradientWithColors(const std::vector<ColorPtr>& colors)
{
    std::vector<ColorStop> stops;
    for (std::size_t i = 0; i < colors.size(); ++i)
        stops.push_back({ colors[i], colors.size() == 1 ? 0.0 : double(i) / double(colors.size() - 1) });
    return std::make_shared<Gradient>(std::move(stops));
}

std::shared_ptr<Gradient> Gradient::gradientWithColorsAndLocations(
    std::vector<ColorStop> stops, fnd::String colorSpaceName)
{
    return std::make_shared<Gradient>(std::move(stops), std::move(colorSpaceName));
}

Gradient::ColorStop Gradient::colorStopAtIndex(std::int64_t index) const
{
    if (index < 0 || index >= numberOfColorStops())
        throw fnd::Exception::range(
            fnd::String(fmt::format("colour stop index {} beyond bounds of {} stops", index, numberOfColorStops())));
    return m_stops[static_cast<std::size_t>(index)];
}

ColorPtr Gradient::interpolatedColorAtLocation(double location) const
{
    const auto& s = m_rgbaStops;
    auto make = [](const std::array<double, 4>& c) { return Color::colorWithCalibratedRed(c[0], c[1], c[2], c[3]); };
    if (s.empty())
        return Color::colorWithCalibratedRed(1, 1, 1, 1);
    if (location <= s.front().location)
        return make(s.front().rgba);
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        if (location <= s[i + 1].location) {
            double span = s[i + 1].location - s[i].location;
            double t = span > 0 ? (location - s[i].location) / span : 1.0;
            std::array<double, 4> c;
            for (int k = 0; k < 4; ++k)
                c[k] = s[i].rgba[k] + (s[i + 1].rgba[k] - s[i].rgba[k]) * t;
            return make(c);
        }
    }
    return make(s.back().rgba);
}

void Gradient::drawFromPoint(Point start, Point end, unsigned options) const
{
    if (auto* context = GraphicsContext::current())
        context->drawLinearGradient(m_rgbaStops, start, end, options);
}

void Gradient::drawFromCenter(
    Point startCenter, double startRadius, Point endCenter, double endRadius, unsigned options) const
{
    if (auto* context = GraphicsContext::current())
        context->drawRadialGradient(m_rgbaStops, startCenter, startRadius, endCenter, endRadius, options);
}

void Gradient::drawAxialIn(const Rect& rect, double angle) const
{
    double radians = angle * std::numbers::pi / 180.0;
    double ux = std::cos(radians), uy = std::sin(radians);
    if (std::fabs(ux) < 1e-12)
        ux = 0;
    if (std::fabs(uy) < 1e-12)
        uy = 0;
    double half = (std::fabs(rect.width() * ux) + std::fabs(rect.height() * uy)) / 2;
    Point c { rect.midX(), rect.midY() };
    drawFromPoint({ c.x - ux * half, c.y - uy * half }, { c.x + ux * half, c.y + uy * half },
        GradientDrawsBeforeStartingLocation | GradientDrawsAfterEndingLocation);
}

void Gradient::drawInRect(const Rect& rect, double angle) const
{
    auto* context = GraphicsContext::current();
    if (!context || rect.isEmpty())
        return;
    context->saveGraphicsState();
    context->clipToRect(rect);
    drawAxialIn(rect, angle);
    context->restoreGraphicsState();
}

void Gradient::drawInBezierPath(const BezierPath& path, double angle) const
{
    auto* context = GraphicsContext::current();
    if (!context || path.isEmpty())
        return;
    context->saveGraphicsState();
    context->clipToPath(path);
    drawAxialIn(path.bounds(), angle);
    context->restoreGraphicsState();
}

void Gradient::drawRadialIn(const Rect& rect, Point relative) const
{
    double rx = std::isnan(relative.x) ? 0 : std::clamp(relative.x, -1.0, 1.0);
    double ry = std::isnan(relative.y) ? 0 : std::clamp(relative.y, -1.0, 1.0);
    Point c { rect.midX() + rx * rect.width() / 2, rect.midY() + ry * rect.height() / 2 };
    double farX = std::max(std::fabs(c.x - rect.minX()), std::fabs(rect.maxX() - c.x));
    double farY = std::max(std::fabs(c.y - rect.minY()), std::fabs(rect.maxY() - c.y));
    drawFromCenter(
        c, 0, c, std::hypot(farX, farY), GradientDrawsBeforeStartingLocation | GradientDrawsAfterEndingLocation);
}

void Gradient::drawInRect(const Rect& rect, Point relativeCenterPosition) const
{
    auto* context = GraphicsContext::current();
    if (!context || rect.isEmpty())
        return;
    context->saveGraphicsState();
    context->clipToRect(rect);
    drawRadialIn(rect, relativeCenterPosition);
    context->restoreGraphicsState();
}

void Gradient::drawInBezierPath(const BezierPath& path, Point relativeCenterPosition) const
{
    auto* context = GraphicsContext::current();
    if (!context || path.isEmpty())
        return;
    context->saveGraphicsState();
    context->clipToPath(path);
    drawRadialIn(path.bounds(), relativeCenterPosition);
    context->restoreGraphicsState();
}

bool Gradient::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const Gradient*>(&other);
    if (!o || o->m_colorSpaceName != m_colorSpaceName || o->m_rgbaStops.size() != m_rgbaStops.size())
        return false;
    for (std::size_t i = 0; i < m_rgbaStops.size(); ++i)
        if (m_rgbaStops[i].location != o->m_rgbaStops[i].location || m_rgbaStops[i].rgba != o->m_rgbaStops[i].rgba)
            return false;
    return true;
}

}

namespace gfx {

namespace {

// More stops than any drawing needs; an archive holding more is damaged.
constexpr std::size_t GradientArchivedStopLimit = 4096;

}

void Gradient::encodeWithCoder(fnd::Coder& coder) const
{
    fnd::Array colors;
    fnd::Array locations;
    for (const auto& stop : m_stops) {
        colors.push_back(stop.color ? fnd::Value(stop.color) : fnd::Value(fnd::Null {}));
        locations.emplace_back(stop.location);
    }
    if (coder.allowsKeyedCoding()) {
        coder.encodeObject(fnd::Value(std::move(colors)), "NSColors");
        coder.encodeObject(fnd::Value(std::move(locations)), "NSLocations");
        coder.encodeObject(fnd::Value(m_colorSpaceName), "NSColorSpaceName");
        return;
    }
    coder.encodeObject(fnd::Value(std::move(colors)));
    coder.encodeObject(fnd::Value(std::move(locations)));
    coder.encodeObject(fnd::Value(m_colorSpaceName));
}

bool Gradient::initWithCoder(fnd::Coder& coder)
{
    const bool keyed = coder.allowsKeyedCoding();
    fnd::Value colors = keyed ? coder.decodeObjectForKey("NSColors") : coder.decodeObject();
    fnd::Value locations = keyed ? coder.decodeObjectForKey("NSLocations") : coder.decodeObject();
    fnd::Value space = keyed ? coder.decodeObjectForKey("NSColorSpaceName") : coder.decodeObject();
    if (coder.hasFailed())
        return false;
    const fnd::Array* colorList = colors.array();
    const fnd::Array* locationList = locations.array();
    if (!colorList || !locationList || colorList->size() != locationList->size()
        || colorList->size() > GradientArchivedStopLimit || (!space.isNil() && !space.string())) {
        fnd::failDecoding(coder, "a gradient's colours and locations do not match");
        return false;
    }
    std::vector<ColorStop> stops;
    for (std::size_t i = 0; i < colorList->size(); ++i) {
        const fnd::Value& color = (*colorList)[i];
        auto location = (*locationList)[i].number();
        auto object = color.objectAs<Color>();
        if (!location || !std::isfinite(location->doubleValue()) || (!object && !color.isNull())) {
            fnd::failDecoding(coder, "a gradient stop is not a colour at a location");
            return false;
        }
        stops.push_back({ object, location->doubleValue() });
    }
    static_cast<Gradient&>(*this)
        = Gradient(std::move(stops), space.string() ? *space.string() : ColorSpaceName::CalibratedRGB);
    return true;
}

}
