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

fnd::Expected<fnd::Data> pngOfPDF(const fnd::Data& pdf, double resolution)
{
    auto page = gfx::PDFImageRep::imageRepWithData(pdf);
    if (!page)
        return std::unexpected(page.error());
    const gfx::Size points = (*page)->bounds().size;
    if (!(points.width > 0 && points.height > 0) || !std::isfinite(points.width * points.height))
        return std::unexpected(conversionError("The page has no area."));
    double dpi = std::isnan(resolution)
        ? Pasteboard::DefaultImageResolution
        : std::clamp(resolution, Pasteboard::MinImageResolution, Pasteboard::MaxImageResolution);
    // Rounded up, less what the arithmetic adds: 60 points at 2400 dpi are 2000 pixels, not 2001.
    auto pixelsFor = [&](double length) { return std::max(1.0, std::ceil(length * dpi / 72 - 1e-6)); };
    if (double area = pixelsFor(points.width) * pixelsFor(points.height); area > MaxPixels)
        dpi *= std::sqrt(MaxPixels / area) * 0.999;
    const double wide = pixelsFor(points.width), high = pixelsFor(points.height);
    if (wide * high > MaxPixels)
        return std::unexpected(conversionError("The page is too large."));
    auto bitmap = gfx::BitmapImageRep::create(long(wide), long(high), gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return std::unexpected(conversionError("The bitmap cannot be made."));
    // The page fills the bitmap's whole pixels: its size in points at the resolution.
    const gfx::Size size { wide * 72 / dpi, high * 72 / dpi };
    bitmap->setSize(size);
    {
        auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer(), size);
        gfx::CurrentContextScope scope(context);
        (*page)->drawInRect(*context, { {}, points }, {}, gfx::CompositingOperation::SourceOver, 1, false);
    }
    return bitmap->representationUsingType(gfx::BitmapImageFileType::PNG);
}

}
