#include "platform/ui/dragging/PasteboardConversion.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <algorithm>
#include <cmath>

namespace ui::pasteboardconversion {

namespace {

fnd::Error conversionError(const char* reason)
{
    return fnd::Error::make("ui", 1, fnd::String("The drawing cannot be made a bitmap."), fnd::String(reason));
}

// The pixels along a side of a length in points at a number of pixels a point: rounded up, less what the arithmetic
// adds (60 points at 2400 dpi are 2000 pixels, not 2001), at least one.
double conversionPixels(double length, double perPoint)
{
    return std::max(1.0, std::ceil(length * perPoint - 1e-6));
}

bool conversionFits(gfx::Size points, double perPoint, double maxPixels)
{
    const double wide = conversionPixels(points.width, perPoint), high = conversionPixels(points.height, perPoint);
    return wide <= MaxSide && high <= MaxSide && wide * high <= maxPixels;
}

bool holds(const Pasteboard& pasteboard, const fnd::String& type)
{
    auto types = pasteboard.types();
    return std::ranges::find(types, type) != types.end();
}

}

std::vector<fnd::String> convertedTypes(const Pasteboard& pasteboard)
{
    if (holds(pasteboard, PasteboardType::PDF) && !holds(pasteboard, PasteboardType::PNG))
        return { PasteboardType::PNG };
    return {};
}

std::optional<fnd::Data> convertedData(Pasteboard& pasteboard, const fnd::String& type)
{
    auto offered = convertedTypes(pasteboard);
    if (std::ranges::find(offered, type) == offered.end())
        return std::nullopt;
    auto pdf = pasteboard.dataForType(PasteboardType::PDF);
    if (!pdf)
        return std::nullopt;
    auto png = pngOfPDF(*pdf, pasteboard.imageResolution());
    if (!png)
        return std::nullopt;
    return *png;
}

fnd::Expected<BitmapSize> bitmapSize(gfx::Size points, double resolution, double maxPixels)
{
    if (!(points.width > 0 && points.height > 0) || !std::isfinite(points.width * points.height))
        return std::unexpected(conversionError("The page has no area."));
    double dpi = std::isnan(resolution)
        ? Pasteboard::DefaultImageResolution
        : std::clamp(resolution, Pasteboard::MinImageResolution, Pasteboard::MaxImageResolution);
    maxPixels = std::max(1.0, maxPixels);
    double perPoint = dpi / 72;
    if (!conversionFits(points, perPoint, maxPixels)) {
        // Fitting only gets harder as the resolution grows, one side's pixel at a time, so the highest resolution
        // that fits is one at which a side fills a whole number of pixels exactly: the larger of the best such
        // resolutions for the width and for the height. A single pixel always fits.
        auto best = [&](double length) {
            long fits = 0, exceeds = MaxSide + 1;
            while (exceeds - fits > 1) {
                const long middle = fits + (exceeds - fits) / 2;
                (conversionFits(points, double(middle) / length, maxPixels) ? fits : exceeds) = middle;
            }
            return double(fits) / length;
        };
        perPoint = std::max(best(points.width), best(points.height));
        dpi = perPoint * 72;
    }
    return BitmapSize { long(conversionPixels(points.width, perPoint)), long(conversionPixels(points.height, perPoint)),
        dpi };
}

fnd::Expected<fnd::Data> pngOfPDF(const fnd::Data& pdf, double resolution, double maxPixels)
{
    auto page = gfx::PDFImageRep::imageRepWithData(pdf);
    if (!page)
        return std::unexpected(page.error());
    const gfx::Size points = (*page)->bounds().size;
    auto pixels = bitmapSize(points, resolution, maxPixels);
    if (!pixels)
        return std::unexpected(pixels.error());
    auto bitmap = gfx::BitmapImageRep::create(pixels->wide, pixels->high, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return std::unexpected(conversionError("The bitmap cannot be made."));
    // The page fills the bitmap's whole pixels: its size in points at the resolution.
    const double perPoint = pixels->resolution / 72;
    const gfx::Size size { double(pixels->wide) / perPoint, double(pixels->high) / perPoint };
    bitmap->setSize(size);
    {
        auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer(), size);
        gfx::CurrentContextScope scope(context);
        (*page)->drawInRect(*context, { {}, points }, {}, gfx::CompositingOperation::SourceOver, 1, false);
    }
    return bitmap->representationUsingType(gfx::BitmapImageFileType::PNG);
}

}
