#include "platform/graphics/SVGImageRep.h"

#include "platform/graphics/detail/ImageCodecs.h"
#include "platform/graphics/detail/VectorDrawing.h"

#include <librsvg/rsvg.h>

#include <mutex>

namespace gfx {

FND_REGISTER_CLASS(SVGImageRep, ImageRep)

struct SVGImageRep::Document {
    RsvgHandle* handle { nullptr };
    std::mutex mutex;
    ~Document()
    {
        if (handle)
            g_object_unref(handle);
    }
};

SVGImageRep::~SVGImageRep() = default;

fnd::Expected<std::shared_ptr<SVGImageRep>> SVGImageRep::imageRepWithData(const fnd::Data& data)
{
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(data.bytes(), data.length(), &error);
    if (!handle) {
        std::string reason = error && error->message ? error->message : "The document cannot be read.";
        if (error)
            g_error_free(error);
        return std::unexpected(detail::decodeError("SVG", reason));
    }
    auto document = std::make_shared<Document>();
    document->handle = handle;
    double width = 0, height = 0;
    if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height)) {
        gboolean hasWidth, hasHeight, hasViewBox;
        RsvgLength w, h;
        RsvgRectangle viewBox;
        rsvg_handle_get_intrinsic_dimensions(handle, &hasWidth, &w, &hasHeight, &h, &hasViewBox, &viewBox);
        if (hasViewBox) {
            width = viewBox.width;
            height = viewBox.height;
        }
    }
    if (!(width > 0) || !(height > 0))
        return std::unexpected(detail::decodeError("SVG", "The document has no size."));
    auto rep = std::make_shared<SVGImageRep>();
    rep->m_document = std::move(document);
    rep->m_data = data;
    rep->m_documentSize = { width, height };
    rep->setSize(rep->m_documentSize);
    rep->setHasAlpha(true);
    return rep;
}

void SVGImageRep::drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from,
    CompositingOperation op, double fraction, bool flipped) const
{
    if (!m_document)
        return;
    auto document = m_document;
    Size size = m_documentSize;
    detail::drawVectorContent(context, size, this->size(), destination, from, op, fraction, flipped, [&](cairo_t* c) {
        std::lock_guard guard(document->mutex);
        RsvgRectangle viewport { 0, 0, size.width, size.height };
        rsvg_handle_render_document(document->handle, c, &viewport, nullptr);
    });
}

}
