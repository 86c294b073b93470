#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"

// Fills the inside of a path with an axial shading between two colours, computed by an evaluation callback.
namespace ZORShading {

// The shading function's callbacks. evaluate reads one input t in 0..1 and writes red, green, blue and alpha; info
// points to twelve doubles: the first colour's RGBA, the second colour's RGBA and their differences (second minus
// first). releaseInfo, when set, is called once the fill is done.
struct ShadingCallbacks {
    unsigned version { 0 };
    void (*evaluate)(void* info, const double* in, double* out) { nullptr };
    void (*releaseInfo)(void* info) { nullptr };
};

// First colour to second colour.
ShadingCallbacks linearShadingCallbacks();
// First colour at both ends, second colour along the middle.
ShadingCallbacks bilinearShadingCallbacks();

// The shading from startPoint to endPoint, not extended past them, clipped to the path, in the current context.
void customFillWithCallbacks(const gfx::BezierPath& path, const ShadingCallbacks& callbacks,
    const gfx::Color& firstColor, const gfx::Color& secondColor, gfx::Point startPoint, gfx::Point endPoint);
// From the bottom of the path's bounds to the top: bands run horizontally.
void customHorizontalFillWithCallbacks(const gfx::BezierPath& path, const ShadingCallbacks& callbacks,
    const gfx::Color& firstColor, const gfx::Color& secondColor);
// From the left of the bounds to the right.
void customVerticalFillWithCallbacks(const gfx::BezierPath& path, const ShadingCallbacks& callbacks,
    const gfx::Color& firstColor, const gfx::Color& secondColor);

void linearGradientFillWithStartColor(
    const gfx::BezierPath& path, const gfx::Color& startColor, const gfx::Color& endColor);
void linearVerticalGradientFillWithStartColor(
    const gfx::BezierPath& path, const gfx::Color& startColor, const gfx::Color& endColor);
// Inner colour at the bottom and top edges, outer colour along the horizontal middle.
void bilinearGradientFillWithOuterColor(
    const gfx::BezierPath& path, const gfx::Color& outerColor, const gfx::Color& innerColor);

}
