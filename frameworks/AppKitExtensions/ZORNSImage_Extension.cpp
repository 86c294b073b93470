#include "frameworks/AppKitExtensions/ZORNSImage_Extension.h"

#include "platform/graphics/Thumbnailer.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace ZORNSImage_Extension {

namespace {

// The pixels of a work bitmap for an image of that size in points: the points taken as pixels, but never more on a
// side than the bitmap drawn from holds (so a picture that declares a low resolution is not blown up to its size
// in points: 5 pixels at 1 pixel per metre are 14,173 points) and, whatever it is drawn from, never more than a
// screen shows, the thumbnailer's bound, the aspect kept and a side of a pixel or more keeping one. Empty for a
// size that is no length.
gfx::Size ZORNSImageWorkPixels(gfx::Size points, std::optional<gfx::Size> sourcePixels)
{
    if (!(points.width > 0 && points.height > 0) || !std::isfinite(points.width) || !std::isfinite(points.height))
        return {};
    gfx::Size pixels = points;
    if (sourcePixels)
        pixels = { std::min(pixels.width, sourcePixels->width), std::min(pixels.height, sourcePixels->height) };
    double scale = std::min(
        { 1.0, gfx::Thumbnailer::MaximumSide / pixels.width, gfx::Thumbnailer::MaximumSide / pixels.height });
    auto side = [scale](double length) { return length >= 1 ? std::max(1.0, length * scale) : length * scale; };
    return { side(pixels.width), side(pixels.height) };
}

// The pixels of a work bitmap of the whole image: bounded by its bitmaps' when it is drawn from bitmaps only (a
// vector page or a drawing handler is drawn in preference to them).
gfx::Size ZORNSImageWorkPixels(const gfx::Image& image)
{
    std::optional<gfx::Size> bitmapPixels;
    for (const auto& rep : image.representations()) {
        if (!dynamic_cast<const gfx::BitmapImageRep*>(rep.get()))
            return ZORNSImageWorkPixels(image.size(), std::nullopt);
        auto held = bitmapPixels.value_or(gfx::Size {});
        bitmapPixels = gfx::Size { std::max(held.width, double(rep->pixelsWide())),
            std::max(held.height, double(rep->pixelsHigh())) };
    }
    return ZORNSImageWorkPixels(image.size(), bitmapPixels);
}

}

std::shared_ptr<gfx::Image> zorTintedImageWithColor(const gfx::Image& image, const gfx::Color& color)
{
    auto tinted = image.copy();
    gfx::Size size = tinted->size();
    auto pixels = ZORNSImageWorkPixels(image);
    if (!(pixels.width > 0 && pixels.height > 0))
        return tinted;
    // What the image shows with the colour over it, in a bitmap of the image's size in points with the pixels a
    // work bitmap may have; it becomes the copy's one representation.
    auto bitmap = gfx::BitmapImageRep::create(long(std::ceil(pixels.width - 1e-9)),
        long(std::ceil(pixels.height - 1e-9)), gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return tinted;
    bitmap->setSize(size);
    auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer(), size, image.isFlipped());
    {
        gfx::CurrentContextScope scope(context);
        image.drawInRect({ {}, size }, {}, gfx::CompositingOperation::Copy, 1.0);
        color.setFill();
        context->fillRectUsingOperation({ 0, 0, size.width, size.height }, gfx::CompositingOperation::SourceAtop);
    }
    context->flush();
    for (auto reps = tinted->representations(); const auto& rep : reps)
        tinted->removeRepresentation(rep);
    tinted->addRepresentation(bitmap);
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
    // The size in points taken as pixels, within the source's own pixels.
    auto pixels
        = ZORNSImageWorkPixels(image.size(), gfx::Size { double(source->pixelsWide()), double(source->pixelsHigh()) });
    long wide = static_cast<long>(pixels.width), high = static_cast<long>(pixels.height);
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
    // A bitmap whose pixel size differs from the result's is sampled at the nearest pixel.
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
    auto pixels = ZORNSImageWorkPixels(image);
    long wide = static_cast<long>(pixels.width), high = static_cast<long>(pixels.height);
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
