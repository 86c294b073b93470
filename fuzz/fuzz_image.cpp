// Decodes arbitrary bytes as an image in any format we read. Whatever decodes must encode as PNG and read back
// with the same pixels.
#include "platform/graphics/BitmapImageRep.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto rep = gfx::BitmapImageRep::imageRepWithData(fnd::Data(bytes, size));
    if (!rep)
        return 0;
    // Keep each run quick: large but valid pictures have been decoded, which is what is under test.
    if ((*rep)->pixelsWide() * (*rep)->pixelsHigh() > 1 << 20)
        return 0;
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
