#include "platform/graphics/PDFImageRep.h"

#include "platform/graphics/detail/ImageCodecs.h"
#include "platform/graphics/detail/VectorDrawing.h"

#include <poppler.h>

#include <algorithm>
#include <mutex>
#include <string_view>
#include <vector>

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

// The most indirect objects a PDF may have, the format's own limit. poppler sizes its object table from the largest
// object number a file names, about forty bytes an entry: a few bytes naming object 200,000,000 would cost it eight
// gigabytes.
constexpr long long PDFMaxObjects = 8'388'607;

bool pdfIsDelimiter(char c)
{
    return std::string_view(" \t\r\n\f\v()<>[]{}/%", 17).find(c) != std::string_view::npos || c == '\0';
}

bool pdfIsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether the data names an object beyond the limit where poppler sizes its table from it: an object's header
// ("number generation obj"), a cross-reference section's subsection ("first count" among "offset generation n"
// entries), a trailer's or cross-reference stream's /Size, or a pair of its /Index. Strings and streams are scanned
// too, as poppler scans them when it rebuilds a damaged file's table.
bool pdfNamesTooManyObjects(std::string_view pdf)
{
    enum class Kind { Integer, Keyword, Name, OpenArray, CloseArray, Other };
    struct Token {
        Kind kind { Kind::Other };
        long long integer { 0 };
        std::string_view text;
    };
    Token previous[2];
    bool inXref = false, sizeNext = false, inIndex = false, indexNext = false;
    std::vector<long long> numbers; // integers since the last entry of a cross-reference section, or in an /Index
    auto beyond = [](long long first, long long count) { return first + count > PDFMaxObjects + 1; };
    auto pairsBeyond = [&] {
        for (std::size_t i = 0; i + 1 < numbers.size(); i += 2)
            if (beyond(numbers[i], numbers[i + 1]))
                return true;
        return false;
    };

    std::size_t at = 0;
    while (at < pdf.size()) {
        const char c = pdf[at];
        Token token;
        if (std::string_view(" \t\r\n\f\v", 6).find(c) != std::string_view::npos || c == '\0') {
            ++at;
            continue;
        }
        if (c == '[' || c == ']') {
            token.kind = c == '[' ? Kind::OpenArray : Kind::CloseArray;
            ++at;
        } else if (c == '/') {
            const std::size_t start = at++;
            while (at < pdf.size() && !pdfIsDelimiter(pdf[at]))
                ++at;
            token = { Kind::Name, 0, pdf.substr(start, at - start) };
        } else if (pdfIsDelimiter(c)) {
            ++at;
        } else if (pdfIsDigit(c)) {
            // Digits run into a keyword ("0obj") as poppler reads them; a real number is no object number.
            const std::size_t start = at;
            long long value = 0;
            while (at < pdf.size() && pdfIsDigit(pdf[at])) {
                value = std::min(value * 10 + (pdf[at] - '0'), PDFMaxObjects + 2);
                ++at;
            }
            if (at < pdf.size() && pdf[at] == '.') {
                while (at < pdf.size() && !pdfIsDelimiter(pdf[at]))
                    ++at;
            } else {
                token = { Kind::Integer, value, pdf.substr(start, at - start) };
            }
        } else {
            const std::size_t start = at;
            while (at < pdf.size() && !pdfIsDelimiter(pdf[at]))
                ++at;
            const auto text = pdf.substr(start, at - start);
            token = { c == '+' || c == '-' || c == '.' ? Kind::Other : Kind::Keyword, 0, text };
        }

        if (token.kind == Kind::Keyword && token.text.starts_with("obj") && previous[0].kind == Kind::Integer
            && previous[1].kind == Kind::Integer && beyond(previous[0].integer, 1))
            return true;
        if (sizeNext && token.kind == Kind::Integer && beyond(token.integer, 0))
            return true;
        sizeNext = token.kind == Kind::Name && token.text == "/Size";
        if (inIndex) {
            if (token.kind == Kind::Integer) {
                numbers.push_back(token.integer);
            } else {
                if (pairsBeyond())
                    return true;
                inIndex = false;
                numbers.clear();
            }
        } else if (indexNext && token.kind == Kind::OpenArray) {
            inIndex = true;
            numbers.clear();
        } else if (inXref) {
            if (token.kind == Kind::Integer) {
                numbers.push_back(token.integer);
            } else {
                // An entry's two numbers precede its n or f; what came before them are subsections.
                const bool entry = token.kind == Kind::Keyword && (token.text == "n" || token.text == "f");
                if (entry && numbers.size() >= 2)
                    numbers.resize(numbers.size() - 2);
                if (pairsBeyond())
                    return true;
                numbers.clear();
                inXref = entry;
            }
        }
        indexNext = !inIndex && token.kind == Kind::Name && token.text == "/Index";
        if (token.kind == Kind::Keyword && token.text == "xref") {
            inXref = true;
            numbers.clear();
        }
        previous[0] = previous[1];
        previous[1] = token;
    }
    return (inXref || inIndex) && pairsBeyond();
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
    if (pdfNamesTooManyObjects(data.view()))
        return std::unexpected(detail::decodeError("PDF", "The document names more objects than a PDF may have."));
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
