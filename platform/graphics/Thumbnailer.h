#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace gfx {

class Image;
class PDFImageRep;

// Small pictures of files as a desktop shows them, made without a window: an image file's own picture (through our
// codecs), a PDF's first page (through poppler); for anything else the desktop's thumbnail (from its shared
// thumbnail cache, else made by a thumbnailer installed on the system and stored there for every program), and
// failing that the icon of its content type from the freedesktop icon theme. Every result is a premultiplied ARGB32
// bitmap of whole pixels, at most MaximumSide pixels a side; everything here is safe to call off the main thread.
class Thumbnailer {
public:
    // The longest side of any picture made here. A picture is shown on a screen, and a larger request (a view
    // thousands of points high) would ask for a bitmap beyond what memory holds.
    static constexpr double MaximumSide = 4096;
    // The size scaled down with its aspect kept until neither side exceeds MaximumSide; the empty size for one that
    // is no length (not positive, not finite). Callers that cache pictures by size ask for this size, so that a
    // bounded picture counts as the one they wanted.
    static Size boundedSize(Size size);

    // A picture of the file that fits in maxSize (aspect kept, never enlarged past the source's own pixels for
    // bitmaps); nullptr when the file cannot be read and its type has no icon either.
    static std::shared_ptr<BitmapImageRep> thumbnailOfFile(const fnd::String& path, Size maxSize);
    // The icon theme's picture for a content type (a MIME type such as "image/png"), its generic family icon
    // ("image-x-generic") when the type has none, or nullptr; drawn at size.
    static std::shared_ptr<BitmapImageRep> iconForMIMEType(const fnd::String& mimeType, Size size);
    // The icon theme's picture of an icon name ("folder", "text-x-generic"), searched in every context of the
    // themes; nullptr when no theme has it.
    static std::shared_ptr<BitmapImageRep> iconNamed(const fnd::String& name, Size size);
    // The desktop's thumbnail of a file that fits in maxSize: the cached one when it is still the file's, else
    // one made by an installed thumbnailer (then cached); nullptr when there is none.
    static std::shared_ptr<BitmapImageRep> desktopThumbnailOfFile(
        const fnd::String& path, const fnd::String& mimeType, Size maxSize);
    // The MIME type the file name's extension suggests ("application/octet-stream" when it suggests nothing).
    static fnd::String mimeTypeForFileName(const fnd::String& fileName);
    // The image drawn whole into a bitmap that fits maxSize with its aspect kept; nullptr for an empty image.
    static std::shared_ptr<BitmapImageRep> bitmapOfImage(const Image& image, Size maxSize);
    // A PDF page drawn into a bitmap of the size (whole pixels; a size beyond MaximumSide is bounded first): on white,
    // or on transparency. A page narrower than the request is scaled up by the widths; a wider one is fitted into the
    // size with its aspect kept. nullptr for a size without pixels.
    static std::shared_ptr<BitmapImageRep> bitmapOfPDFPage(const PDFImageRep& page, Size size, bool transparent);
};

}
