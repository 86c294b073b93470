#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"
#include "platform/graphics/Geometry.h"

#include <optional>
#include <vector>

namespace ui {
class Pasteboard;
}

// Types a pasteboard also gives by converting what it holds, for readers that take only those: a drawing (PDF) as
// a PNG bitmap of its first page, rendered at the pasteboard's image resolution. The window system offers them to
// other programs beside the types written; each is made only when a reader asks for it.
namespace ui::pasteboardconversion {

// The most pixels a converted bitmap has: a page that would have more is rendered at a lower resolution.
inline constexpr double MaxPixels = 16.0 * 1024 * 1024;
// The most pixels along either side, the most a bitmap drawing context renders into: a longer page is rendered at a
// lower resolution too.
inline constexpr long MaxSide = 32767;

// The bitmap a page is rendered into.
struct BitmapSize {
    long wide { 0 };
    long high { 0 };
    // Dots per inch: the page fills `wide` × `high` pixels at it, each side rounded up to whole pixels.
    double resolution { 0 };
};

// The types the pasteboard can give by conversion and does not hold itself, in the order they are offered.
std::vector<fnd::String> convertedTypes(const Pasteboard& pasteboard);
// The data of one of those types, made now; nullopt for any other type, or when what it is made from does not
// convert (no PDF, a damaged one).
std::optional<fnd::Data> convertedData(Pasteboard& pasteboard, const fnd::String& type);

// The bitmap of a page of the size in points at the resolution in dots per inch (kept within the pasteboard's
// limits; not a number is the default): each side the length times resolution / 72, rounded up, at least one pixel.
// When that bitmap would have more than `maxPixels` pixels (at least one) or a side longer than MaxSide, the
// resolution is the highest at which it has neither. An error for a page without area.
fnd::Expected<BitmapSize> bitmapSize(gfx::Size points, double resolution, double maxPixels = MaxPixels);

// The PNG of the PDF's first page at the resolution in dots per inch, in the bitmap `bitmapSize` gives, and the PNG
// says the resolution. Transparent where the page draws nothing.
fnd::Expected<fnd::Data> pngOfPDF(const fnd::Data& pdf, double resolution, double maxPixels = MaxPixels);

}
