// Decodes arbitrary bytes as an image in any format we read. Whatever decodes must encode as PNG and read back
// with the same pixels, make a thumbnail at any size a view may ask for (within the thumbnailer's bound), and encode
// in a file type the library writes, with codec options, into data that reads back at the same size (or be refused
// with a reason). The last byte picks the type and the options, from what the library lists.
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Thumbnailer.h"

#include <cmath>
#include <cstdio>
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

// The picture in a writable type picked by `pick`, with a TIFF compression and a compression factor picked too (none,
// the ends, a middle, and numbers outside the range or none at all).
void imageEncodeAs(const gfx::BitmapImageRep& rep, unsigned pick)
{
    const auto types = gfx::writableBitmapImageFileTypes();
    const auto compressions = gfx::writableTIFFCompressions();
    const auto type = types[pick % types.size()];
    pick /= unsigned(types.size());
    fnd::Dictionary properties;
    properties.set(gfx::ImagePropertyKey::CompressionMethod, int(compressions[pick % compressions.size()]));
    pick /= unsigned(compressions.size());
    const double nan = std::numeric_limits<double>::quiet_NaN(), infinity = std::numeric_limits<double>::infinity();
    static const double factors[] = { -2, 0, 0.5, 1, nan, -1, 2, infinity };
    if (const double factor = factors[pick % std::size(factors)]; factor != -2)
        properties.set(gfx::ImagePropertyKey::CompressionFactor, factor);

    auto data = rep.representationUsingType(type, properties);
    if (!data) {
        if (data.error().localizedDescription().isEmpty())
            std::abort();
        return;
    }
    auto back = gfx::BitmapImageRep::imageRepWithData(*data);
    if (!back || (*back)->pixelsWide() != rep.pixelsWide() || (*back)->pixelsHigh() != rep.pixelsHigh()) {
        std::fprintf(
            stderr, "type %d does not read back at %ld x %ld\n", int(type), rep.pixelsWide(), rep.pixelsHigh());
        std::abort();
    }
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
    if ((*rep)->pixelsWide() * (*rep)->pixelsHigh() <= 1 << 16) {
        imageThumbnail(*rep, size);
        imageEncodeAs(**rep, bytes[size - 1]);
    }
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
