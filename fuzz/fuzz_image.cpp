// Decodes arbitrary bytes as an image in any format we read. Whatever decodes must encode as PNG and read back
// with the same pixels, and make a thumbnail at any size a view may ask for (within the thumbnailer's bound).
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Thumbnailer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A thumbnail of the picture at a size picked by the input: ordinary, beyond what a bitmap may hold, or no length.
void imageThumbnail(const std::shared_ptr<gfx::BitmapImageRep>& rep, std::size_t pick)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), infinity = std::numeric_limits<double>::infinity();
    static const gfx::Size sizes[] = { { 64, 48 }, { 17000, 17000 }, { 40000, 3 }, { 1e300, 1e300 }, { nan, 10 },
        { infinity, 1 }, { 0.5, 0.5 }, { -1, 10 } };
    auto size = sizes[pick % std::size(sizes)];
    auto thumbnail = gfx::Thumbnailer::bitmapOfImage(*gfx::Image::imageWithRepresentation(rep), size);
    if (!thumbnail)
        return;
    if (thumbnail->pixelsWide() < 1 || thumbnail->pixelsHigh() < 1
        || thumbnail->pixelsWide() > gfx::Thumbnailer::MaximumSide
        || thumbnail->pixelsHigh() > gfx::Thumbnailer::MaximumSide
        || thumbnail->pixelsWide() > std::max<long>(rep->pixelsWide(), 1)
        || thumbnail->pixelsHigh() > std::max<long>(rep->pixelsHigh(), 1))
        std::abort();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto rep = gfx::BitmapImageRep::imageRepWithData(fnd::Data(bytes, size));
    if (!rep)
        return 0;
    // Keep each run quick: large but valid pictures have been decoded, which is what is under test.
    if ((*rep)->pixelsWide() * (*rep)->pixelsHigh() > 1 << 20)
        return 0;
    // Thumbnails of small pictures only: the sizes are handled alike for any picture, and drawing large ones would
    // set the pace.
    if ((*rep)->pixelsWide() * (*rep)->pixelsHigh() <= 1 << 16)
        imageThumbnail(*rep, size);
    auto png = (*rep)->representationUsingType(gfx::BitmapImageFileType::PNG);
    if (!png)
        std::abort();
    auto back = gfx::BitmapImageRep::imageRepWithData(*png);
    if (!back)
        std::abort();
    auto expected = (*rep)->converted((*back)->layout().value_or(gfx::BitmapLayout::RGBA));
    if (!expected || expected->pixelsWide() != (*back)->pixelsWide() || expected->pixelsHigh() != (*back)->pixelsHigh())
        std::abort();
    // Transparent pixels lose their colour in some layouts; compare only when the picture has no alpha.
    if (!(*back)->hasAlpha()
        && std::memcmp(expected->bitmapData(), (*back)->bitmapData(), expected->bytesPerRow() * expected->pixelsHigh())
            != 0)
        std::abort();
    return 0;
}
