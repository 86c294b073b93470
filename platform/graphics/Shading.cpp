#include "platform/graphics/Shading.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace gfx {

namespace {

std::vector<GradientStop> sample(const ShadingFunction& f, const ShadingOptions& options)
{
    std::vector<double> ts { 0.0, 1.0 };
    int n = std::clamp(options.samples, 0, 4096);
    for (int i = 1; i < n; ++i)
        ts.push_back(double(i) / n);
    std::vector<double> breaks;
    for (double b : options.breakpoints)
        if (b > 0 && b < 1)
            breaks.push_back(b);
    ts.insert(ts.end(), breaks.begin(), breaks.end());
    std::sort(ts.begin(), ts.end());
    ts.erase(std::unique(ts.begin(), ts.end()), ts.end());

    auto clamped = [&](double t) {
        auto c = f(t);
        for (double& v : c)
            v = std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
        return c;
    };
    std::vector<GradientStop> stops;
    for (double t : ts) {
        if (std::find(breaks.begin(), breaks.end(), t) != breaks.end())
            stops.push_back({ t, clamped(std::nextafter(t, 0.0)) });
        stops.push_back({ t, clamped(t) });
    }
    return stops;
}

unsigned extendOptions(const ShadingOptions& o)
{
    return (o.extendStart ? GradientDrawsBeforeStartingLocation : 0u)
        | (o.extendEnd ? GradientDrawsAfterEndingLocation : 0u);
}

}

void drawAxialShading(
    GraphicsContext& context, const ShadingFunction& function, Point start, Point end, const ShadingOptions& options)
{
    if (!function)
        return;
    auto stops = sample(function, options);
    context.drawLinearGradient(stops, start, end, extendOptions(options));
}

void drawRadialShading(GraphicsContext& context, const ShadingFunction& function, Point startCenter, double startRadius,
    Point endCenter, double endRadius, const ShadingOptions& options)
{
    if (!function)
        return;
    auto stops = sample(function, options);
    context.drawRadialGradient(stops, startCenter, startRadius, endCenter, endRadius, extendOptions(options));
}

}
