#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/CustomImageRep.h"
#include "platform/graphics/ImageRep.h"

#include <memory>
#include <optional>
#include <vector>

namespace fnd {
class Bundle;
}

namespace gfx {

// A picture with a size in points and one or more representations: bitmaps, vector pages (PDF, SVG) or a drawing
// handler. Drawing picks the representation that suits the destination: a vector or handler rep when there is one,
// else the bitmap with the most pixels.
// Archived with its size, flippedness and representations, each as data another program reads: a bitmap as PNG
// (TIFF when it is CMYK), a vector page as its PDF or SVG document, a drawing handler rendered to PNG at 1x and 2x.
class Image : public fnd::Object, public PatternImage, public fnd::Coding {
    FND_OBJECT(Image)
public:
    using DrawingHandler = CustomImageRep::DrawingHandler;

    Image() = default;
    // An empty image of that size, to draw into with lockFocus or to add representations to.
    static std::shared_ptr<Image> imageWithSize(Size size);
    // An image drawn by the handler whenever it is drawn.
    static std::shared_ptr<Image> imageWithSize(Size size, bool flipped, DrawingHandler handler);
    static std::shared_ptr<Image> imageWithRepresentation(std::shared_ptr<ImageRep> rep);
    // PNG, TIFF, JPEG, JPEG 2000, GIF, PDF (first page) or SVG, by content; the size is the picture's in points.
    static fnd::Expected<std::shared_ptr<Image>> imageWithData(const fnd::Data& data);
    static fnd::Expected<std::shared_ptr<Image>> imageWithContentsOfFile(const fnd::String& path);
    // An image registered under the name (setName), else the main bundle's image resource of that name, loaded once
    // and kept; nullptr when there is none.
    static std::shared_ptr<Image> imageNamed(const fnd::String& name);
    // The image resource of that name in a bundle; nullptr when missing or unreadable.
    static std::shared_ptr<Image> imageForResource(const fnd::Bundle& bundle, const fnd::String& name);

    // The zero size until set or until a representation gives one. A side of an image is from 0 to LargestSide
    // points: setSize ignores any other size (NaN, infinite, negative), as decoding refuses one.
    static constexpr double LargestSide = 1e6;
    Size size() const;
    void setSize(Size size)
    {
        if (size.width >= 0 && size.height >= 0 && size.width <= LargestSide && size.height <= LargestSide)
            m_size = size;
    }
    bool isFlipped() const { return m_flipped; }
    void setFlipped(bool flipped) { m_flipped = flipped; }
    const fnd::String& name() const { return m_name; }
    // Registers the image for imageNamed; false when another image holds the name.
    bool setName(const fnd::String& name);

    const std::vector<std::shared_ptr<ImageRep>>& representations() const { return m_reps; }
    void addRepresentation(std::shared_ptr<ImageRep> rep);
    void removeRepresentation(const std::shared_ptr<ImageRep>& rep);
    bool isValid() const { return !m_reps.empty(); }
    std::shared_ptr<Image> copy() const;

    // Draws the part `from` of the image (points, y up; the empty rectangle for all of it) into the current
    // context. Without respectFlipped the image's own flippedness decides (an unflipped image shows upside down in a
    // flipped context, as the platform's older calls do); with it the image stands upright either way.
    void drawInRect(const Rect& destination, const Rect& from, CompositingOperation op, double fraction,
        bool respectFlipped = false) const;
    // The whole image, source-over, opaque, upright.
    void drawInRect(const Rect& destination) const;
    // The image at its size with its lower-left corner (upper-left in a flipped context) at the point.
    void drawAtPoint(Point point, const Rect& from, CompositingOperation op, double fraction) const;

    // Draws into the image: a bitmap the size of the image (one pixel per point) becomes the current context until
    // unlockFocus, holding what the image showed before; afterwards that bitmap is the image's only representation.
    void lockFocus() { lockFocusFlipped(m_flipped); }
    void lockFocusFlipped(bool flipped);
    void unlockFocus();

    // The image as a bitmap in the drawing context's layout (premultiplied ARGB32), of the proposed size in pixels
    // (the image's size in points, rounded up, when none); nullptr for an empty image.
    std::shared_ptr<BitmapImageRep> CGImageForProposedRect(std::optional<Rect> proposed = std::nullopt) const;
    // Encoded from the bitmap rep (or a rendering of the image at one pixel per point when it has none).
    fnd::Expected<fnd::Data> TIFFRepresentation() const;
    fnd::Expected<fnd::Data> TIFFRepresentationUsingCompression(TIFFCompression compression, float factor) const;
    fnd::Expected<fnd::Data> representationUsingType(
        BitmapImageFileType type, const fnd::Dictionary& properties = {}) const;

    // Keyed: "NSSize", "NSFlipped", "NSRepresentations" (data), "NSRepresentationSizes"; sequential: the same four
    // in that order.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    Size patternSize() const override { return size(); }
    void drawPatternTile(GraphicsContext& context) const override;

private:
    // A vector rep first; else the bitmap with the most pixels, or with devicePixels (the size drawn to, in device
    // pixels) the smallest that covers them.
    std::shared_ptr<ImageRep> bestRepresentation(std::optional<Size> devicePixels = std::nullopt) const;
    std::shared_ptr<BitmapImageRep> bitmapForEncoding() const;
    void drawInContext(GraphicsContext& context, const Rect& destination, const Rect& from, CompositingOperation op,
        double fraction, bool flipped) const;

    struct Focus {
        std::shared_ptr<BitmapImageRep> rep;
        std::shared_ptr<GraphicsContext> context;
    };

    std::vector<std::shared_ptr<ImageRep>> m_reps;
    Size m_size;
    bool m_flipped { false };
    fnd::String m_name;
    std::vector<Focus> m_focus;
};

}
