#include "platform/graphics/PDFImageRep.h"

#include "platform/graphics/detail/ImageCodecs.h"
#include "platform/graphics/detail/VectorDrawing.h"

#include <poppler.h>

#include <mutex>
#include <string_view>

namespace gfx {

FND_REGISTER_CLASS(PDFImageRep, ImageRep)

namespace {

// poppler builds its shared tables (glyph names, character maps) when a document opens while none is open, and drops
// them when the last one closes: a document kept open for the program's life spares every later PDF read rebuilding
// them, most of what reading a small PDF costs (about ten milliseconds under the sanitizers).
void keepPopplerTablesBuilt()
{
    static PopplerDocument* const keptOpen = [] {
        // One empty page of a point square.
        static constexpr std::string_view Empty = "%PDF-1.4\n"
                                                  "1 0 obj\n<</Type/Catalog/Pages 2 0 R>>\nendobj\n"
                                                  "2 0 obj\n<</Type/Pages/Kids[3 0 R]/Count 1>>\nendobj\n"
                                                  "3 0 obj\n<</Type/Page/Parent 2 0 R/MediaBox[0 0 1 1]>>\nendobj\n"
                                                  "xref\n0 4\n"
                                                  "0000000000 65535 f \n"
                                                  "0000000009 00000 n \n"
                                                  "0000000054 00000 n \n"
                                                  "0000000105 00000 n \n"
                                                  "trailer\n<</Size 4/Root 1 0 R>>\nstartxref\n166\n%%EOF\n";
        GBytes* bytes = g_bytes_new_static(Empty.data(), Empty.size());
        PopplerDocument* document = poppler_document_new_from_bytes(bytes, nullptr, nullptr);
        g_bytes_unref(bytes);
        return document;
    }();
    (void)keptOpen;
}

}

// poppler documents are not safe to render from two threads at once.
struct PDFImageRep::Document {
    PopplerDocument* document { nullptr };
    std::mutex mutex;
    ~Document()
    {
        if (document)
            g_object_unref(document);
    }
};

PDFImageRep::~PDFImageRep() = default;

fnd::Expected<std::shared_ptr<PDFImageRep>> PDFImageRep::imageRepWithData(const fnd::Data& data)
{
    if (!data.view().starts_with("%PDF-"))
        return std::unexpected(detail::decodeError("PDF", "The data does not start with a PDF header."));
    keepPopplerTablesBuilt();
    GBytes* bytes = g_bytes_new(data.bytes(), data.length());
    GError* error = nullptr;
    PopplerDocument* document = poppler_document_new_from_bytes(bytes, nullptr, &error);
    g_bytes_unref(bytes);
    if (!document) {
        std::string reason = error && error->message ? error->message : "The document cannot be opened.";
        if (error)
            g_error_free(error);
        return std::unexpected(detail::decodeError("PDF", reason));
    }
    auto rep = std::make_shared<PDFImageRep>();
    rep->m_data = data;
    rep->m_document = std::make_shared<Document>();
    rep->m_document->document = document;
    if (poppler_document_get_n_pages(document) < 1)
        return std::unexpected(detail::decodeError("PDF", "The document has no pages."));
    rep->setCurrentPage(0);
    rep->setHasAlpha(true);
    return rep;
}

long PDFImageRep::pageCount() const
{
    return m_document ? poppler_document_get_n_pages(m_document->document) : 0;
}

void PDFImageRep::setCurrentPage(long page)
{
    if (!m_document || page < 0 || page >= pageCount())
        return;
    std::lock_guard guard(m_document->mutex);
    PopplerPage* p = poppler_document_get_page(m_document->document, static_cast<int>(page));
    if (!p)
        return;
    double width = 0, height = 0;
    poppler_page_get_size(p, &width, &height);
    g_object_unref(p);
    m_currentPage = page;
    m_pageSize = { width, height };
    setSize(m_pageSize);
}

void PDFImageRep::drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from,
    CompositingOperation op, double fraction, bool flipped) const
{
    if (!m_document)
        return;
    auto document = m_document;
    long page = m_currentPage;
    detail::drawVectorContent(context, m_pageSize, size(), destination, from, op, fraction, flipped, [&](cairo_t* c) {
        std::lock_guard guard(document->mutex);
        PopplerPage* p = poppler_document_get_page(document->document, static_cast<int>(page));
        if (!p)
            return;
        poppler_page_render_for_printing(p, c);
        g_object_unref(p);
    });
}

}
