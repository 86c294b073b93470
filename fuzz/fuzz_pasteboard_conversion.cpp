// Reads arbitrary bytes as the PDF a pasteboard holds and asks for it as PNG, as a program that pastes only bitmaps
// does: whatever converts is a PNG within the conversion's bound on pixels.
#include "platform/graphics/PDFImageRep.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/dragging/PasteboardConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The pixels a PNG's header announces (nullopt when it is no PNG).
std::optional<double> pngPixels(const fnd::Data& png)
{
    static constexpr unsigned char Signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    if (png.length() < 24 || std::memcmp(png.bytes(), Signature, sizeof Signature) != 0)
        return std::nullopt;
    auto bigEndian = [&](std::size_t at) {
        const auto* b = png.bytes() + at;
        return double((std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3]);
    };
    return bigEndian(16) * bigEndian(20);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    const fnd::Data pdf(bytes + 1, size - 1);
    // The first byte chooses the resolution, at most what keeps the page within a million pixels: a large bitmap
    // costs a second or more under the sanitizers, and the bound on larger ones has a test of its own.
    double resolution = 9 + bytes[0];
    if (auto page = gfx::PDFImageRep::imageRepWithData(pdf)) {
        const auto points = (*page)->bounds().size;
        if (points.width > 0 && points.height > 0)
            resolution = std::min(resolution, 72 * std::sqrt(double(1 << 20) / (points.width * points.height)));
    }
    static auto pasteboard = ui::Pasteboard::pasteboardWithUniqueName();
    pasteboard->declareTypes({ ui::PasteboardType::PDF });
    pasteboard->setData(pdf, ui::PasteboardType::PDF);
    pasteboard->setImageResolution(resolution);
    auto png = ui::pasteboardconversion::convertedData(*pasteboard, ui::PasteboardType::PNG);
    if (!png)
        return 0;
    auto pixels = pngPixels(*png);
    if (!pixels || *pixels < 1 || *pixels > ui::pasteboardconversion::MaxPixels)
        std::abort();
    return 0;
}
