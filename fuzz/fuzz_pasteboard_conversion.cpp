// Reads arbitrary bytes as the PDF a pasteboard holds and asks for it in every type the pasteboard converts it to
// (a PNG bitmap), as a program that pastes only bitmaps does. The first byte chooses the pasteboard's resolution (9 to
// 2400 dpi, evenly in its logarithm). The size of the page's bitmap is checked within the conversion's own bound (16 Mi
// pixels), which the arithmetic alone shows; the page is drawn within a bound small enough to keep an input quick:
// drawing and encoding a large bitmap are most of what converting a large page costs (a million pixels, a fifth of a
// second under the sanitizers), in libraries that carry no coverage hooks.
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/dragging/PasteboardConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

namespace conversion = ui::pasteboardconversion;

// The most pixels the target draws a page into.
constexpr double DrawnPixels = 1024;

void check(bool holds)
{
    if (!holds)
        std::abort();
}

// A size within the bound: each side the page's length at the size's resolution, rounded up, and that resolution
// the one asked for, or lower only as far as the bound needs: one side fills its pixels exactly (within the
// arithmetic's slack) and the pixel more it needs at any higher resolution is beyond the bound.
void checkSize(gfx::Size points, double asked, double bound, const conversion::BitmapSize& size)
{
    check(size.wide >= 1 && size.high >= 1 && size.wide <= conversion::MaxSide && size.high <= conversion::MaxSide
        && double(size.wide) * double(size.high) <= bound);
    check(size.resolution > 0 && size.resolution <= asked);
    const double wide = points.width * size.resolution / 72, high = points.height * size.resolution / 72;
    auto roundedUp
        = [](long pixels, double exact) { return pixels >= exact - 2e-6 && (pixels == 1 || pixels - 1 < exact); };
    check(roundedUp(size.wide, wide) && roundedUp(size.high, high));
    if (size.resolution == asked)
        return;
    const bool wideFilled = std::abs(wide - double(size.wide)) <= 2e-6;
    const bool highFilled = std::abs(high - double(size.high)) <= 2e-6;
    const double wider = double(size.wide + wideFilled), higher = double(size.high + highFilled);
    check(wideFilled || highFilled);
    check(wider > conversion::MaxSide || higher > conversion::MaxSide || wider * higher > bound);
}

std::uint32_t bigEndian(const fnd::Data& data, std::size_t at)
{
    const auto* b = data.bytes() + at;
    return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3];
}

// A PNG of the size, saying its resolution in pixels a metre: the header, then that chunk.
void checkPNG(const fnd::Data& png, const conversion::BitmapSize& size)
{
    static constexpr unsigned char Signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    check(png.length() >= 54 && std::memcmp(png.bytes(), Signature, sizeof Signature) == 0);
    check(bigEndian(png, 16) == std::uint32_t(size.wide) && bigEndian(png, 20) == std::uint32_t(size.high));
    check(std::memcmp(png.bytes() + 37, "pHYs", 4) == 0);
    const auto pixelsPerMetre = std::uint32_t(std::lround(size.resolution / 0.0254));
    check(bigEndian(png, 41) == pixelsPerMetre && bigEndian(png, 45) == pixelsPerMetre);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const fnd::Data pdf(bytes + 1, size - 1);
    const double resolution = ui::Pasteboard::MinImageResolution
        * std::pow(ui::Pasteboard::MaxImageResolution / ui::Pasteboard::MinImageResolution, bytes[0] / 255.0);
    static auto pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
    pasteboard->declareTypes({ ui::PasteboardType::PDF });
    pasteboard->setData(pdf, ui::PasteboardType::PDF);
    pasteboard->setImageResolution(resolution);
    const double asked = pasteboard->imageResolution();

    // What poppler does not open, and a page without area, convert to nothing.
    auto page = gfx::PDFImageRep::imageRepWithData(pdf);
    const gfx::Size points = page ? (*page)->bounds().size : gfx::Size {};
    auto full = conversion::bitmapSize(points, asked);
    if (!full) {
        for (const auto& type : conversion::convertedTypes(*pasteboard))
            check(!conversion::convertedData(*pasteboard, type));
        return 0;
    }
    checkSize(points, asked, conversion::MaxPixels, *full);

    // A page small enough is drawn as the pasteboard gives it, a larger one within the target's bound.
    auto drawn = conversion::bitmapSize(points, asked, DrawnPixels);
    check(drawn.has_value());
    checkSize(points, asked, DrawnPixels, *drawn);
    if (double(full->wide) * double(full->high) <= DrawnPixels) {
        check(drawn->wide == full->wide && drawn->high == full->high && drawn->resolution == full->resolution);
        // Every type the pasteboard offers by conversion is made; the PNG is checked byte by byte.
        const auto offered = conversion::convertedTypes(*pasteboard);
        check(std::ranges::find(offered, ui::PasteboardType::PNG) != offered.end());
        for (const auto& type : offered) {
            auto converted = conversion::convertedData(*pasteboard, type);
            check(converted.has_value() && !converted->isEmpty());
            if (type == ui::PasteboardType::PNG)
                checkPNG(*converted, *drawn);
        }
    } else {
        auto png = conversion::pngOfPDF(pdf, asked, DrawnPixels);
        check(png.has_value());
        checkPNG(*png, *drawn);
    }
    return 0;
}
