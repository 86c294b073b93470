#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/ImageRep.h"

#include <memory>

namespace gfx {

// An SVG document as an image, drawn as vectors through librsvg at whatever size it is drawn. Its size in points
// is the document's intrinsic size (one SVG user unit per point), else its view box.
class SVGImageRep final : public ImageRep {
    FND_OBJECT(SVGImageRep)
public:
    SVGImageRep() = default;
    ~SVGImageRep() override;

    static fnd::Expected<std::shared_ptr<SVGImageRep>> imageRepWithData(const fnd::Data& data);
    // The document the rep was made from (archives keep it, so a decoded image draws the same vectors).
    const fnd::Data& SVGRepresentation() const { return m_data; }

    void drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from, CompositingOperation op,
        double fraction, bool flipped) const override;
    using ImageRep::drawInRect;

private:
    struct Document;
    std::shared_ptr<Document> m_document;
    fnd::Data m_data;
    Size m_documentSize;
};

}
