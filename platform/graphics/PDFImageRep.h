#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/ImageRep.h"

#include <memory>

namespace gfx {

// A page of a PDF document as an image: its size is the page's size in points, and it draws as vectors (through
// poppler), so a PDF drawn into a bitmap is rasterised at the bitmap's resolution.
class PDFImageRep final : public ImageRep {
    FND_OBJECT(PDFImageRep)
public:
    PDFImageRep() = default;
    ~PDFImageRep() override;

    static fnd::Expected<std::shared_ptr<PDFImageRep>> imageRepWithData(const fnd::Data& data);

    const fnd::Data& PDFRepresentation() const { return m_data; }
    long pageCount() const;
    long currentPage() const { return m_currentPage; }
    // Out-of-range pages are ignored. The size follows the page.
    void setCurrentPage(long page);
    // The current page's media box, in points, at the origin.
    Rect bounds() const { return { {}, m_pageSize }; }

    void drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from, CompositingOperation op,
        double fraction, bool flipped) const override;
    using ImageRep::drawInRect;

private:
    struct Document;
    fnd::Data m_data;
    std::shared_ptr<Document> m_document;
    long m_currentPage { 0 };
    Size m_pageSize;
};

}
