#include "frameworks/AppKitExtensions/ZORNSImage_Extension.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ZORNSImage_Extension {

std::shared_ptr<gfx::Image> zorTintedImageWithColor(const gfx::Image& image, const gfx::Color& color)
{
    auto tinted = image.copy();
    gfx::Size size = tinted->size();
    if (!(size.width > 0 && size.height > 0))
        return tinted;
    tinted->lockFocus();
    color.setFill();
    gfx::GraphicsContext::current()->fillRectUsingOperation(
        { 0, 0, size.width, size.height }, gfx::CompositingOperation::SourceAtop);
    tinted->unlockFocus();
    return tinted;
}

std::shared_ptr<gfx::Image> normalizeSize(const std::shared_ptr<gfx::Image>& image)
{
    if (!image)
        return image;
    for (const auto& rep : image->representations()) {
        if (auto bitmap = std::dynamic_pointer_cast<gfx::BitmapImageRep>(rep)) {
            gfx::Size pixels { double(bitmap->pixelsWide()), double(bitmap->pixelsHigh()) };
            bitmap->setSize(pixels);
            image->setSize(pixels);
            break;
        }
    }
    return image;
}

std::shared_ptr<gfx::Image> darkenedImageWithColor(const gfx::Image& image, const gfx::Color& color)
{
    const auto& reps = image.representations();
    auto source = reps.empty() ? nullptr : std::dynamic_pointer_cast<gfx::BitmapImageRep>(reps.front());
    auto rgb = color.rgbaIfAvailable();
    if (!source || !rgb || source->pixelsWide() <= 0 || source->pixelsHigh() <= 0)
        return nullptr;
    long wide = static_cast<long>(image.size().width), high = static_cast<long>(image.size().height);
    if (wide <= 0 || high <= 0)
        return nullptr;
    bool alpha = source->hasAlpha();
    auto result = gfx::BitmapImageRep::create(wide, high, 8, alpha ? 4 : 3, alpha, false,
        gfx::BitmapImageRep::CalibratedRGBColorSpace, alpha ? gfx::BitmapFormat::AlphaNonpremultiplied : 0, 0, 0);
    if (!result)
        return nullptr;
    // Samples in plain RGB(A), whatever the source stores (CMYK, premultiplied, alpha first).
    auto plain = source->converted(alpha ? gfx::BitmapLayout::RGBA : gfx::BitmapLayout::RGB);
    if (!plain)
        return nullptr;
    int lower[3];
    for (int k = 0; k < 3; ++k)
        lower[k] = static_cast<int>(std::trunc(256 - (*rgb)[k] * 255));
    // A bitmap whose pixel size differs from the image's point size is sampled at the nearest pixel.
    std::vector<unsigned> in(static_cast<std::size_t>(plain->samplesPerPixel()));
    std::vector<unsigned> out(static_cast<std::size_t>(result->samplesPerPixel()));
    for (long x = 0; x < wide; ++x) {
        long sx = std::min(plain->pixelsWide() - 1, x * plain->pixelsWide() / wide);
        for (long y = 0; y < high; ++y) {
            long sy = std::min(plain->pixelsHigh() - 1, y * plain->pixelsHigh() / high);
            plain->getPixel(in, sx, sy);
            for (int k = 0; k < 3; ++k) {
                int value = static_cast<int>(in[static_cast<std::size_t>(k)]) - lower[k];
                out[static_cast<std::size_t>(k)] = value < 1 ? 0u : static_cast<unsigned>(value);
            }
            if (alpha)
                out[3] = in[3];
            result->setPixel(out, x, y);
        }
    }
    result->setSize(image.size());
    auto darkened = gfx::Image::imageWithSize(image.size());
    darkened->addRepresentation(result);
    return darkened;
}

std::shared_ptr<gfx::BitmapImageRep> imageRefCopy(const gfx::Image& image)
{
    long wide = static_cast<long>(image.size().width), high = static_cast<long>(image.size().height);
    if (!image.isValid() || wide <= 0 || high <= 0)
        return nullptr;
    auto bitmap = gfx::BitmapImageRep::create(wide, high, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return nullptr;
    gfx::Size size { double(wide), double(high) };
    bitmap->setSize(size);
    auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer(), size, false);
    {
        gfx::CurrentContextScope scope(context);
        image.drawInRect({ {}, size }, {}, gfx::CompositingOperation::Copy, 1.0);
    }
    context->flush();
    return bitmap;
}

void drawAtPoint(const gfx::Image& image, gfx::Point point, gfx::CompositingOperation operation)
{
    drawAtPoint(image, point, operation, 1.0);
}

void drawAtPoint(const gfx::Image& image, gfx::Point point, gfx::CompositingOperation operation, double fraction)
{
    image.drawAtPoint(point, gfx::ZeroRect, operation, fraction);
}

}
