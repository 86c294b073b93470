#include "frameworks/AppKitExtensions/ZORStopGradient.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <limits>

FND_REGISTER_CLASS(ZORStopGradient, fnd::Object)

namespace {

using Element = ZORStopGradient::StopGradientElement;
using RGBA = std::array<double, 4>;
using Mode = ZORStopGradient::BlendingMode;

// The number of samples per unit of position that stand for a hue blend, which is not linear in RGB.
constexpr int HueSamplesPerUnit = 256;

struct HSVA {
    double hue; // degrees; NaN when undefined (a grey)
    double saturation;
    double value;
    double alpha;
};

HSVA hsvFromRGB(const Element& c)
{
    double max = std::max({ c.red, c.green, c.blue });
    double min = std::min({ c.red, c.green, c.blue });
    double hue = std::numeric_limits<double>::quiet_NaN();
    if (max != min) {
        double d = max - min;
        if (max == c.red)
            hue = 60 * (c.green - c.blue) / d + (c.green < c.blue ? 360 : 0);
        else if (max == c.green)
            hue = 60 * (c.blue - c.red) / d + 120;
        else
            hue = 60 * (c.red - c.green) / d + 240;
    }
    return { hue, max == 0 ? 0 : 1 - min / max, max, c.alpha };
}

RGBA rgbFromHSV(const HSVA& c)
{
    // The hue goes round a full circle of 360 degrees, so 360 is red again.
    float h = std::fmod(static_cast<float>(c.hue), 360.0f);
    if (h < 0)
        return { 0, 0, 0, c.alpha };
    int i = static_cast<int>(std::floor(h / 60.0f)) % 6;
    double f = h / 60.0 - i;
    double s = c.saturation, v = c.value;
    double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return { v, t, p, c.alpha };
    case 1:
        return { q, v, p, c.alpha };
    case 2:
        return { p, v, t, c.alpha };
    case 3:
        return { p, q, v, c.alpha };
    case 4:
        return { t, p, v, c.alpha };
    default:
        return { v, p, q, c.alpha };
    }
}

Element elementFromHSV(double hue, double saturation, double value, double alpha, double position)
{
    auto rgb = rgbFromHSV({ hue, saturation, value, alpha });
    return { rgb[0], rgb[1], rgb[2], rgb[3], position };
}

Element elementFromColor(const gfx::Color& color, double position)
{
    auto rgba = color.rgbaIfAvailable().value_or(RGBA { 0, 0, 0, 0 });
    return { rgba[0], rgba[1], rgba[2], rgba[3], position };
}

RGBA rgbaOf(const Element& e)
{
    return { e.red, e.green, e.blue, e.alpha };
}

// The colour between a bracketing pair of stops, as the shading function computes it.
RGBA blend(const Element& c1, const Element& c2, double x, Mode mode)
{
    bool atFirst = c1.position >= x;
    bool atSecond = !atFirst && x >= c2.position;
    double t = atFirst || atSecond ? 0 : (x - c1.position) / (c2.position - c1.position);
    if (mode != Mode::Chromatic && mode != Mode::InverseChromatic) {
        if (atFirst)
            return rgbaOf(c1);
        if (atSecond)
            return rgbaOf(c2);
        RGBA a = rgbaOf(c1), b = rgbaOf(c2), out;
        for (int k = 0; k < 4; ++k)
            out[k] = a[k] + (b[k] - a[k]) * t;
        return out;
    }
    HSVA h1 = hsvFromRGB(c1), h2 = hsvFromRGB(c2);
    if (std::isnan(h1.hue) && std::isnan(h2.hue))
        h1.hue = h2.hue = 0;
    else if (std::isnan(h1.hue))
        h1.hue = h2.hue;
    else if (std::isnan(h2.hue))
        h2.hue = h1.hue;
    if (mode == Mode::Chromatic && h1.hue > h2.hue)
        h2.hue += 360;
    if (mode == Mode::InverseChromatic && h2.hue > h1.hue)
        h1.hue += 360;
    if (atFirst)
        return rgbFromHSV(h1);
    if (atSecond)
        return rgbFromHSV(h2);
    auto mix = [t](double a, double b) { return a + (b - a) * t; };
    return rgbFromHSV(
        { mix(h1.hue, h2.hue), mix(h1.saturation, h2.saturation), mix(h1.value, h2.value), mix(h1.alpha, h2.alpha) });
}

// The stops that bracket x: the last stop at or before it and its successor (itself when it is the last).
std::pair<const Element*, const Element*> bracket(const std::vector<Element>& list, double x)
{
    std::size_t i = 0;
    while (i + 1 < list.size() && x > list[i + 1].position)
        ++i;
    return { &list[i], &list[i + 1 < list.size() ? i + 1 : i] };
}

// The shading's stops over the whole domain 0..1: exact for linear blending, sampled for hue blending. Each
// interval between stop positions is evaluated with its own bracketing pair, so a jump at coincident stops stays
// sharp and falls on the side the search puts it.
std::vector<gfx::GradientStop> shadingStops(const std::vector<Element>& list, Mode mode)
{
    if (list.empty())
        return { { 0.0, { 1, 1, 1, 1 } }, { 1.0, { 1, 1, 1, 1 } } };
    std::vector<double> cuts { 0.0, 1.0 };
    for (const auto& e : list)
        if (e.position > 0 && e.position < 1)
            cuts.push_back(e.position);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    bool linear = mode != Mode::Chromatic && mode != Mode::InverseChromatic;
    std::vector<gfx::GradientStop> stops;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        double a = cuts[k], b = cuts[k + 1];
        auto [c1, c2] = bracket(list, (a + b) / 2);
        int steps = linear ? 1 : std::max(1, static_cast<int>(std::ceil((b - a) * HueSamplesPerUnit)));
        for (int i = 0; i <= steps; ++i) {
            double x = i == steps ? b : a + (b - a) * i / steps;
            stops.push_back({ x, blend(*c1, *c2, x, mode) });
        }
    }
    return stops;
}

}

std::shared_ptr<ZORStopGradient> ZORStopGradient::gradientWithBeginningColor(
    const gfx::Color& begin, const gfx::Color& end)
{
    auto gradient = std::make_shared<ZORStopGradient>();
    gradient->addElement(elementFromColor(begin, 0.0));
    gradient->addElement(elementFromColor(end, 1.0));
    return gradient;
}

namespace {

struct PresetStop {
    double red, green, blue, position;
};

std::shared_ptr<ZORStopGradient> preset(std::initializer_list<PresetStop> stops, Mode mode = Mode::Linear)
{
    auto gradient = std::make_shared<ZORStopGradient>();
    for (const auto& s : stops)
        gradient = gradient->addColorStop(*gfx::Color::colorWithCalibratedRed(s.red, s.green, s.blue), s.position);
    return mode == Mode::Linear ? gradient : gradient->gradientWithBlendingMode(mode);
}

PresetStop grey(double level, double position)
{
    return { level, level, level, position };
}

}

std::shared_ptr<ZORStopGradient> ZORStopGradient::aquaSelectedGradient()
{
    return preset(
        { { 0.58, 0.86, 0.98, 0 }, { 0.42, 0.68, 0.90, 0.5 }, { 0.64, 0.80, 0.94, 0.5 }, { 0.56, 0.70, 0.90, 1.0 } });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::aquaNormalGradient()
{
    return preset({ grey(0.95, 0), grey(0.83, 0.5), grey(0.95, 0.5), grey(0.92, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::aquaPressedGradient()
{
    return preset({ grey(0.80, 0), grey(0.64, 0.5), grey(0.80, 0.5), grey(0.77, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::unifiedSelectedGradient()
{
    return preset({ grey(0.85, 0), grey(0.95, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::unifiedNormalGradient()
{
    return preset({ grey(0.75, 0), grey(0.90, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::unifiedPressedGradient()
{
    return preset({ grey(0.60, 0), grey(0.75, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::unifiedDarkGradient()
{
    return preset({ grey(0.68, 0), grey(0.83, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::sourceListSelectedGradient()
{
    return preset({ { 0.06, 0.37, 0.85, 0 }, { 0.30, 0.60, 0.92, 1.0 } });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::sourceListUnselectedGradient()
{
    return preset({ grey(0.43, 0), grey(0.60, 1.0) });
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::rainbowGradient()
{
    return preset({ { 1.0, 0, 0, 0 }, { 0.54, 0, 1.0, 1.0 } }, Mode::Chromatic);
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::hydrogenSpectrumGradient()
{
    struct Line {
        double hue, position, width;
    };
    // The visible Balmer lines of hydrogen, each a peak of full brightness between two nearly black flanks.
    constexpr Line lines[]
        = { { 22, 0.145, 0.01 }, { 200, 0.71, 0.008 }, { 253, 0.885, 0.005 }, { 275, 0.965, 0.003 } };
    auto gradient = std::make_shared<ZORStopGradient>();
    for (const auto& l : lines) {
        gradient->addElement(elementFromHSV(l.hue - 180 * l.width, 1, 0.001, 1, l.position - l.width));
        gradient->addElement(elementFromHSV(l.hue, 1, 1, 1, l.position));
        gradient->addElement(elementFromHSV(l.hue + 180 * l.width, 1, 0.001, 1, l.position + l.width));
    }
    gradient->setBlendingMode(Mode::Chromatic);
    return gradient;
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::copy() const
{
    auto gradient = std::make_shared<ZORStopGradient>();
    for (const auto& e : m_elements)
        gradient->addElement(e);
    gradient->setBlendingMode(m_blendingMode);
    return gradient;
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::gradientWithAlphaComponent(double alpha) const
{
    // The copy keeps the blending mode: a translucent rainbow is still a rainbow.
    auto gradient = copy();
    for (auto& e : gradient->m_elements)
        e.alpha = alpha;
    return gradient;
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::gradientWithBlendingMode(BlendingMode mode) const
{
    auto gradient = copy();
    gradient->setBlendingMode(mode);
    return gradient;
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::addColorStop(const gfx::Color& color, double atPosition) const
{
    // NaN is what the removals answer for "no stop", so a stop there could never be removed; an infinity sorts, but
    // no shading can place it.
    if (!std::isfinite(atPosition))
        throw fnd::Exception::invalidArgument(fnd::String(fmt::format(
            "-[{} addColorStop:atPosition:]: position ({}) is not a finite number", className().utf8(), atPosition)));
    auto gradient = copy();
    gradient->addElement(elementFromColor(color, atPosition));
    return gradient;
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::removeColorStopAtIndex(std::uint64_t index) const
{
    auto gradient = copy();
    if (std::isnan(gradient->removeElementAtIndex(index).position))
        throw fnd::Exception::range(fnd::String(fmt::format(
            "-[{} removeColorStopAtIndex:]: index ({}) beyond bounds", className().utf8(), static_cast<long>(index))));
    return gradient;
}

std::shared_ptr<ZORStopGradient> ZORStopGradient::removeColorStopAtPosition(double position) const
{
    auto gradient = copy();
    if (std::isnan(gradient->removeElementAtPosition(position).position))
        throw fnd::Exception::range(fnd::String(fmt::format(
            "-[{} removeColorStopAtPosition:]: no such colorStop at position ({:f})", className().utf8(), position)));
    return gradient;
}

gfx::ColorPtr ZORStopGradient::colorStopAtIndex(std::uint64_t index) const
{
    const auto* e = elementAtIndex(index);
    if (!e)
        throw fnd::Exception::range(fnd::String(fmt::format(
            "-[{} colorStopAtIndex:]: index ({}) beyond bounds", className().utf8(), static_cast<long>(index))));
    return gfx::Color::colorWithCalibratedRed(e->red, e->green, e->blue, e->alpha);
}

std::array<double, 4> ZORStopGradient::evaluate(double position) const
{
    if (m_elements.empty())
        return { 1, 1, 1, 1 };
    auto [c1, c2] = bracket(m_elements, position);
    return blend(*c1, *c2, position, m_blendingMode);
}

gfx::ColorPtr ZORStopGradient::colorAtPosition(double position) const
{
    auto c = evaluate(position);
    return gfx::Color::colorWithCalibratedRed(c[0], c[1], c[2], c[3]);
}

std::array<gfx::Point, 2> ZORStopGradient::axialEndPoints(const gfx::Rect& rect, double angle)
{
    double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    if (angle == 0)
        return { gfx::Point { x, y }, gfx::Point { x + w, y } };
    if (angle == 90)
        return { gfx::Point { x, y }, gfx::Point { x, y + h } };
    // L is the length of the rectangle's projection onto the direction, so the ends land on its far corners.
    double r = angle * 3.1415926535 / 180;
    auto fabsf = [](double v) { return static_cast<double>(std::fabs(static_cast<float>(v))); };
    double dx, dy;
    if (fabsf(std::tan(r)) <= 1) {
        double length = fabsf(std::sin(r)) * (h - fabsf(std::tan(r)) * w) + w / fabsf(std::cos(r));
        dx = length * std::cos(r) / 2;
        dy = length * std::sin(r) / 2;
    } else {
        double phi = r - 1.57079632675;
        double length = fabsf(std::sin(phi)) * (w - fabsf(std::tan(phi)) * h) + h / fabsf(std::cos(phi));
        dx = -length * std::sin(phi) / 2;
        dy = length * std::cos(phi) / 2;
    }
    double cx = x + w / 2, cy = y + h / 2;
    return { gfx::Point { cx - dx, cy - dy }, gfx::Point { cx + dx, cy + dy } };
}

void ZORStopGradient::fillRect(const gfx::Rect& rect, double angle) const
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || rect.isEmpty())
        return;
    auto [start, end] = axialEndPoints(rect, angle);
    auto stops = shadingStops(m_elements, m_blendingMode);
    context->saveGraphicsState();
    context->clipToRect(rect);
    context->drawLinearGradient(stops, start, end, 0);
    context->restoreGraphicsState();
}

void ZORStopGradient::drawInRect(const gfx::Rect& rect, double angle) const
{
    gfx::GraphicsStateGuard guard;
    gfx::BezierPath::bezierPathWithRect(rect)->addClip();
    fillRect(rect, angle);
}

void ZORStopGradient::radialFillRect(const gfx::Rect& rect) const
{
    auto* context = gfx::GraphicsContext::current();
    if (!context || rect.isEmpty())
        return;
    gfx::Point centre { rect.midX(), rect.midY() };
    auto stops = shadingStops(m_elements, m_blendingMode);
    context->saveGraphicsState();
    context->clipToRect(rect);
    context->drawRadialGradient(stops, centre, 1.0, centre, std::max(rect.width(), rect.height()) / 2,
        gfx::GradientDrawsBeforeStartingLocation | gfx::GradientDrawsAfterEndingLocation);
    context->restoreGraphicsState();
}

void ZORStopGradient::drawSwatchInRect(const gfx::Rect& rect) const
{
    fillRect(rect, 45);
}

void ZORStopGradient::addElement(const StopGradientElement& element)
{
    // After every stop at or before the position, so stops at one position keep the order they were added in.
    auto at = std::upper_bound(m_elements.begin(), m_elements.end(), element.position,
        [](double position, const StopGradientElement& e) { return position < e.position; });
    m_elements.insert(at, element);
}

ZORStopGradient::StopGradientElement ZORStopGradient::removeElementAtIndex(std::uint64_t index)
{
    if (index >= m_elements.size())
        return { 0, 0, 0, 0, std::numeric_limits<double>::quiet_NaN() };
    auto removed = m_elements[index];
    m_elements.erase(m_elements.begin() + static_cast<std::ptrdiff_t>(index));
    return removed;
}

ZORStopGradient::StopGradientElement ZORStopGradient::removeElementAtPosition(double position)
{
    auto at = std::find_if(
        m_elements.begin(), m_elements.end(), [&](const StopGradientElement& e) { return e.position == position; });
    if (at == m_elements.end())
        return { 0, 0, 0, 0, std::numeric_limits<double>::quiet_NaN() };
    auto removed = *at;
    m_elements.erase(at);
    return removed;
}

const ZORStopGradient::StopGradientElement* ZORStopGradient::elementAtIndex(std::uint64_t index) const
{
    return index < m_elements.size() ? &m_elements[index] : nullptr;
}
