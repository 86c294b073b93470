#include "frameworks/AppKitExtensions/ZORShading.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shading.h"

#include <array>
#include <vector>

namespace ZORShading {

namespace {

using InfoBlock = std::array<double, 12>;

void linearEvaluate(void* info, const double* in, double* out)
{
    const auto& block = *static_cast<const InfoBlock*>(info);
    for (int i = 0; i < 4; ++i)
        out[i] = block[i] + block[8 + i] * in[0];
}

void bilinearEvaluate(void* info, const double* in, double* out)
{
    const auto& block = *static_cast<const InfoBlock*>(info);
    double s = in[0] <= 0.5 ? 2 * in[0] : 2 - 2 * in[0];
    for (int i = 0; i < 4; ++i)
        out[i] = block[i] + block[8 + i] * s;
}

// Colours that have no RGB form (patterns) take part as transparent black.
std::array<double, 4> rgbaOf(const gfx::Color& color)
{
    return color.rgbaIfAvailable().value_or(std::array<double, 4> { 0, 0, 0, 0 });
}

}

ShadingCallbacks linearShadingCallbacks()
{
    return { 0, linearEvaluate, nullptr };
}

ShadingCallbacks bilinearShadingCallbacks()
{
    return { 0, bilinearEvaluate, nullptr };
}

void customFillWithCallbacks(const gfx::BezierPath& path, const ShadingCallbacks& callbacks,
    const gfx::Color& firstColor, const gfx::Color& secondColor, gfx::Point startPoint, gfx::Point endPoint)
{
    InfoBlock info;
    auto first = rgbaOf(firstColor), second = rgbaOf(secondColor);
    for (int i = 0; i < 4; ++i) {
        info[i] = first[i];
        info[4 + i] = second[i];
        info[8 + i] = second[i] - first[i];
    }
    auto* context = gfx::GraphicsContext::current();
    if (context && callbacks.evaluate) {
        auto function = [&](double t) {
            std::array<double, 4> out {};
            callbacks.evaluate(&info, &t, out.data());
            return out;
        };
        // The built-in functions are straight between their kinks, so stops at the kinks draw them exactly.
        static constexpr double middle[] = { 0.5 };
        gfx::ShadingOptions options;
        if (callbacks.evaluate == linearEvaluate) {
            options.samples = 0;
        } else if (callbacks.evaluate == bilinearEvaluate) {
            options.samples = 0;
            options.breakpoints = middle;
        }
        context->saveGraphicsState();
        context->clipToPath(path);
        gfx::drawAxialShading(*context, function, startPoint, endPoint, options);
        context->restoreGraphicsState();
    }
    if (callbacks.releaseInfo)
        callbacks.releaseInfo(&info);
}

void customHorizontalFillWithCallbacks(const gfx::BezierPath& path, const ShadingCallbacks& callbacks,
    const gfx::Color& firstColor, const gfx::Color& secondColor)
{
    gfx::Rect bounds = path.bounds();
    customFillWithCallbacks(path, callbacks, firstColor, secondColor, { 0, bounds.minY() }, { 0, bounds.maxY() });
}

void customVerticalFillWithCallbacks(const gfx::BezierPath& path, const ShadingCallbacks& callbacks,
    const gfx::Color& firstColor, const gfx::Color& secondColor)
{
    gfx::Rect bounds = path.bounds();
    customFillWithCallbacks(path, callbacks, firstColor, secondColor, { bounds.minX(), 0 }, { bounds.maxX(), 0 });
}

void linearGradientFillWithStartColor(
    const gfx::BezierPath& path, const gfx::Color& startColor, const gfx::Color& endColor)
{
    customHorizontalFillWithCallbacks(path, linearShadingCallbacks(), startColor, endColor);
}

void linearVerticalGradientFillWithStartColor(
    const gfx::BezierPath& path, const gfx::Color& startColor, const gfx::Color& endColor)
{
    customVerticalFillWithCallbacks(path, linearShadingCallbacks(), startColor, endColor);
}

void bilinearGradientFillWithOuterColor(
    const gfx::BezierPath& path, const gfx::Color& outerColor, const gfx::Color& innerColor)
{
    customHorizontalFillWithCallbacks(path, bilinearShadingCallbacks(), innerColor, outerColor);
}

}
