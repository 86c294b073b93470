#include "platform/ui/views/detail/FocusRing.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/look/SystemColors.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/ViewDrawing.h"

#include <algorithm>
#include <cmath>

namespace ui::detail {

namespace {

// The ring's opacity over the accent colour.
constexpr double RingAlpha = 0.6;
// Rings larger than this many pixels are not drawn (a view the size of a screen has no useful ring).
constexpr long MaxRingPixels = 4'000'000;

// Coverage of the shape grown by `radius` pixels, outside the shape only, from the shape's coverage in 0..1.
std::vector<float> grownOutline(const std::vector<float>& shape, int width, int height, double radius)
{
    const int reach = static_cast<int>(std::ceil(radius + 0.5));
    struct Tap {
        int dx, dy;
        float weight;
    };
    std::vector<Tap> taps;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            // Soft by half a pixel at the rim, so the ring's outer edge is smooth.
            double w = std::clamp(radius + 0.5 - std::hypot(dx, dy), 0.0, 1.0);
            if (w > 0)
                taps.push_back({ dx, dy, static_cast<float>(w) });
        }
    }
    std::vector<float> ring(shape.size(), 0.0f);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float inside = shape[std::size_t(y) * width + x];
            if (inside >= 1.0f)
                continue;
            float grown = 0;
            for (const auto& t : taps) {
                int sx = x + t.dx, sy = y + t.dy;
                if (sx < 0 || sy < 0 || sx >= width || sy >= height)
                    continue;
                grown = std::max(grown, shape[std::size_t(sy) * width + sx] * t.weight);
                if (grown >= 1.0f)
                    break;
            }
            ring[std::size_t(y) * width + x] = grown * (1.0f - inside);
        }
    }
    return ring;
}

}

void drawFocusRing(View& view, gfx::GraphicsContext& context, const gfx::AffineTransform& rootCTM,
    const gfx::AffineTransform& toTarget, const std::vector<gfx::Rect>& rects, gfx::Rect clip)
{
    auto maskBounds = view.focusRingMaskBounds();
    if (maskBounds.isEmpty())
        return;
    const auto toDevice = gfx::concatenated(toTarget, rootCTM);
    const double scale = std::max(1e-6, transformedRect(rootCTM, { 0, 0, 1, 1 }).width());
    const double radius = FocusRingOutset * scale;
    auto device = transformedRect(toDevice, maskBounds);
    device = gfx::insetRect(device, -radius - 1, -radius - 1);
    const int x0 = static_cast<int>(std::floor(device.minX()));
    const int y0 = static_cast<int>(std::floor(device.minY()));
    const int width = static_cast<int>(std::ceil(device.maxX())) - x0;
    const int height = static_cast<int>(std::ceil(device.maxY())) - y0;
    if (width <= 0 || height <= 0 || long(width) * height > MaxRingPixels)
        return;

    // The shape, in device pixels.
    auto maskContext = gfx::GraphicsContext::createForBitmap(width, height);
    {
        gfx::CurrentContextScope scope(maskContext);
        maskContext->setCTM(gfx::concatenated(toDevice, gfx::AffineTransform::translation(-x0, -y0)));
        maskContext->setFlipped(view.isFlipped());
        view.drawFocusRingMask();
    }
    auto pixels = maskContext->pixelBuffer();
    if (!pixels)
        return;
    std::vector<float> shape(std::size_t(width) * height);
    bool any = false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float a = gfx::alphaOf(pixels->pixel(x, y)) / 255.0f;
            shape[std::size_t(y) * width + x] = a;
            any = any || a > 0;
        }
    }
    if (!any)
        return;
    auto ring = grownOutline(shape, width, height, radius);

    // The ring in the accent colour, premultiplied.
    auto accent = SystemColors::accentColor()->rgba();
    std::vector<std::uint32_t> ringPixels(ring.size());
    for (std::size_t i = 0; i < ring.size(); ++i) {
        double a = ring[i] * RingAlpha;
        auto channel = [&](double c) { return static_cast<std::uint8_t>(std::lround(c * a * 255)); };
        ringPixels[i] = gfx::packPixel(static_cast<std::uint8_t>(std::lround(a * 255)), channel(accent[0]),
            channel(accent[1]), channel(accent[2]));
    }
    gfx::ConstPixelBufferView image(
        reinterpret_cast<const std::uint8_t*>(ringPixels.data()), width, height, std::ptrdiff_t(width) * 4);

    context.saveGraphicsState();
    context.setCTM(rootCTM);
    gfx::BezierPath area;
    for (const auto& r : rects) {
        auto piece = gfx::intersectionRect(r, clip);
        if (!piece.isEmpty())
            area.appendBezierPathWithRect(piece);
    }
    if (area.elementCount() > 0) {
        context.clipToPath(area);
        context.setCTM({});
        context.drawImage(image, { double(x0), double(y0), double(width), double(height) }, {},
            gfx::CompositingOperation::SourceOver, 1.0);
    }
    context.restoreGraphicsState();
}

}
