#include "platform/ui/panels/PictureEditing.h"

#include "platform/graphics/PixelBuffer.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

std::uint32_t pictureEditingPixel(int a, double r, double g, double b)
{
    // Premultiplied channels never exceed alpha.
    auto channel = [a](double v) { return std::uint32_t(std::clamp(int(std::lround(v)), 0, a)); };
    return std::uint32_t(a) << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
}

}

const std::vector<PictureEffect>& pictureEffects()
{
    static const std::vector<PictureEffect> effects { PictureEffect::None, PictureEffect::Greyscale,
        PictureEffect::Sepia, PictureEffect::Invert };
    return effects;
}

void applyPictureEffect(gfx::BitmapImageRep& bitmap, PictureEffect effect)
{
    if (effect == PictureEffect::None)
        return;
    auto pixels = bitmap.pixelBuffer();
    if (!pixels.isValid())
        return;
    for (int y = 0; y < pixels.height; ++y) {
        auto* row = pixels.row(y);
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t p = row[x];
            const int a = int(p >> 24);
            const double r = double(p >> 16 & 0xff), g = double(p >> 8 & 0xff), b = double(p & 0xff);
            switch (effect) {
            case PictureEffect::Greyscale: {
                // ITU-R BT.601 luma weights.
                const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
                row[x] = pictureEditingPixel(a, luma, luma, luma);
                break;
            }
            case PictureEffect::Sepia:
                row[x] = pictureEditingPixel(a, 0.393 * r + 0.769 * g + 0.189 * b, 0.349 * r + 0.686 * g + 0.168 * b,
                    0.272 * r + 0.534 * g + 0.131 * b);
                break;
            case PictureEffect::Invert:
                // Premultiplied: the inverse of c/a is (a - c)/a.
                row[x] = pictureEditingPixel(a, a - r, a - g, a - b);
                break;
            case PictureEffect::None:
                break;
            }
        }
    }
}

std::shared_ptr<gfx::Image> editedPicture(
    const gfx::Image& picture, std::optional<gfx::Rect> crop, double scale, PictureEffect effect)
{
    const gfx::Size size = picture.size();
    if (size.width <= 0 || size.height <= 0 || !(scale > 0))
        return nullptr;
    gfx::Rect part { {}, size };
    if (crop)
        part = gfx::intersectionRect(*crop, part);
    if (part.isEmpty())
        return nullptr;
    const gfx::Size out { std::max(1.0, std::round(part.width() * scale)),
        std::max(1.0, std::round(part.height() * scale)) };
    auto bitmap
        = gfx::BitmapImageRep::create(long(out.width), long(out.height), gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    bitmap->setSize(out);
    auto result = gfx::Image::imageWithRepresentation(bitmap);
    result->lockFocus();
    picture.drawInRect({ {}, out }, part, gfx::CompositingOperation::Copy, 1.0, true);
    result->unlockFocus();
    auto drawn = result->CGImageForProposedRect();
    if (!drawn)
        return nullptr;
    applyPictureEffect(*drawn, effect);
    drawn->setSize(out);
    return gfx::Image::imageWithRepresentation(drawn);
}

}
