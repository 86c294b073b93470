#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Value.h"

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

// The types the pasteboard can give by conversion and does not hold itself, in the order they are offered.
std::vector<fnd::String> convertedTypes(const Pasteboard& pasteboard);
// The data of one of those types, made now; nullopt for any other type, or when what it is made from does not
// convert (no PDF, a damaged one).
std::optional<fnd::Data> convertedData(Pasteboard& pasteboard, const fnd::String& type);

// The PNG of the PDF's first page at the resolution in dots per inch: each side the page's length in points times
// resolution / 72, rounded up, and the PNG says the resolution. Transparent where the page draws nothing.
fnd::Expected<fnd::Data> pngOfPDF(const fnd::Data& pdf, double resolution);

}
