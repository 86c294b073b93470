#include "platform/graphics/ImageRep.h"

namespace gfx {

FND_REGISTER_CLASS(ImageRep, fnd::Object)

void ImageRep::drawInRect(GraphicsContext&, const Rect&, const Rect&, CompositingOperation, double, bool) const
{
}

bool ImageRep::drawInRect(const Rect& rect) const
{
    auto* context = GraphicsContext::current();
    if (!context)
        return false;
    drawInRect(*context, rect, {}, CompositingOperation::SourceOver, 1.0, context->isFlipped());
    return true;
}

}
