#include "frameworks/AppKitExtensions/ZORColor_Extension.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace ZORExtension {

gfx::ColorPtr CGColor(const gfx::Color& color)
{
    return color.colorUsingColorSpaceName(gfx::ColorSpaceName::CalibratedRGB);
}

bool isTransparent(const gfx::Color& color)
{
    return color.alphaComponent() == 0.0;
}

gfx::ColorPtr disabledColor(const gfx::Color& color)
{
    return color.colorWithAlphaComponent(color.alphaComponent() * 0.5);
}

std::shared_ptr<gfx::Image> colorImageWithSize(const gfx::Color& color, gfx::Size size)
{
    auto image = gfx::Image::imageWithSize(size);
    if (!(size.width > 0 && size.height > 0))
        return image;
    gfx::Rect bounds({}, size);
    image->lockFocus();
    auto* context = gfx::GraphicsContext::current();
    context->setShouldAntialias(false);
    color.setFill();
    gfx::BezierPath::fillRect(bounds);
    gfx::Color::blackColor()->set();
    if (isTransparent(color)) {
        // The two diagonals.
        auto cross = gfx::BezierPath::bezierPath();
        cross->moveToPoint({ bounds.minX(), bounds.minY() });
        cross->lineToPoint({ bounds.maxX(), bounds.maxY() });
        cross->moveToPoint({ bounds.minX(), bounds.maxY() });
        cross->lineToPoint({ bounds.maxX(), bounds.minY() });
        cross->stroke();
    }
    // A one-point frame inside the bounds.
    gfx::BezierPath::fillRect({ bounds.minX(), bounds.minY(), bounds.width(), 1 });
    gfx::BezierPath::fillRect({ bounds.minX(), bounds.maxY() - 1, bounds.width(), 1 });
    gfx::BezierPath::fillRect({ bounds.minX(), bounds.minY(), 1, bounds.height() });
    gfx::BezierPath::fillRect({ bounds.maxX() - 1, bounds.minY(), 1, bounds.height() });
    context->setShouldAntialias(true);
    image->unlockFocus();
    return image;
}

void zorDrawPixelThickLineAtPosition(const gfx::Color& color, long position, long withInset, gfx::Rect inRect,
    const ui::View* inView, bool horizontal, bool flip)
{
    // Device pixels per point of the window; positions and insets count device pixels.
    double scale = 1.0;
    if (inView)
        if (auto window = inView->window())
            scale = window->backingScaleFactor();

    // Snap to whole device pixels in the window, then move half a pixel so that a one-pixel line lies on a pixel row
    // or column inside the rectangle (in a flipped view the rectangle's origin side is the top).
    gfx::Rect r = inView ? inView->convertRectToView(inRect, nullptr) : gfx::ZeroRect;
    r = gfx::integralRect({ r.minX() * scale, r.minY() * scale, r.width() * scale, r.height() * scale });
    if (horizontal)
        r.origin.y += inView && inView->isFlipped() ? -0.5 : 0.5;
    else
        r.origin.x += 0.5;
    double pixelWidth = r.width(), pixelHeight = r.height();
    r = { r.minX() / scale, r.minY() / scale, r.width() / scale, r.height() / scale };
    r = inView ? inView->convertRectFromView(r, nullptr) : gfx::ZeroRect;

    if (flip)
        position = static_cast<long>((horizontal ? pixelHeight : pixelWidth) - position - 1);
    auto p = static_cast<float>(position / scale), i = static_cast<float>(withInset / scale);
    auto single = [](double v) { return static_cast<double>(static_cast<float>(v)); };
    gfx::Point from, to;
    if (horizontal) {
        from = { single(r.minX() + i), single(r.minY() + p) };
        to = { single(r.maxX() - i), single(r.minY() + p) };
    } else {
        from = { single(r.minX() + p), single(r.minY() + i) };
        to = { single(r.minX() + p), single(r.maxY() - i) };
    }
    auto line = gfx::BezierPath::bezierPath();
    line->moveToPoint(from);
    line->lineToPoint(to);
    line->setLineWidth(0);
    color.set();
    line->stroke();
}

}
