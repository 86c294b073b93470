#pragma once

#include "platform/graphics/Geometry.h"

#include <array>
#include <functional>
#include <span>

namespace gfx {

class GraphicsContext;

// A colour as a function of t in [0, 1]: RGBA, not premultiplied.
using ShadingFunction = std::function<std::array<double, 4>(double t)>;

// Function shadings, drawn by sampling the function into gradient stops: `samples` even steps plus two stops at
// each breakpoint (the value just before it and at it), so piecewise-linear functions with their kinks as
// breakpoints are exact with samples = 0, and jumps stay sharp. The shading fills the current clip.
struct ShadingOptions {
    bool extendStart { false };
    bool extendEnd { false };
    int samples { 256 };
    std::span<const double> breakpoints {};
};

void drawAxialShading(GraphicsContext& context, const ShadingFunction& function, Point start, Point end,
    const ShadingOptions& options = {});
void drawRadialShading(GraphicsContext& context, const ShadingFunction& function, Point startCenter, double startRadius,
    Point endCenter, double endRadius, const ShadingOptions& options = {});

}
