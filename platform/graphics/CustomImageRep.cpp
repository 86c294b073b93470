#include "platform/graphics/CustomImageRep.h"

#include <algorithm>
#include <cmath>

namespace gfx {

FND_REGISTER_CLASS(CustomImageRep, ImageRep)

std::shared_ptr<CustomImageRep> CustomImageRep::create(Size size, bool flipped, DrawingHandler handler)
{
    auto rep = std::make_shared<CustomImageRep>();
    rep->setSize(size);
    rep->setHasAlpha(true);
    rep->m_flipped = flipped;
    rep->m_handler = std::move(handler);
    return rep;
}

void CustomImageRep::drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from,
    CompositingOperation op, double fraction, bool flipped) const
{
    Size s = size();
    if (!m_handler || destination.isEmpty() || !(fraction > 0) || s.width <= 0 || s.height <= 0)
        return;
    Rect source = from.isEmpty() ? Rect({}, s) : from;

    if (op != CompositingOperation::SourceOver || fraction < 1) {
        // Drawn once into a bitmap of the destination's device size, then composited like any bitmap.
        AffineTransform ctm = context.CTM();
        double density
            = context.target() == GraphicsContext::Target::Bitmap || context.target() == GraphicsContext::Target::Window
            ? 1.0
            : 4.0;
        double kx = std::hypot(ctm.m11, ctm.m12) * density, ky = std::hypot(ctm.m21, ctm.m22) * density;
        int w = std::clamp(static_cast<int>(std::ceil(destination.width() * kx)), 1, 8192);
        int h = std::clamp(static_cast<int>(std::ceil(destination.height() * ky)), 1, 8192);
        auto offscreen = GraphicsContext::createForBitmap(w, h, destination.size);
        if (!offscreen)
            return;
        drawInRect(*offscreen, Rect({}, destination.size), from, CompositingOperation::SourceOver, 1.0, flipped);
        auto pixels = offscreen->pixelBuffer();
        if (pixels)
            context.drawImage(*pixels, destination, {}, op, fraction, false);
        return;
    }

    // Rep space (y up) to user space: `source` fills the destination, its top edge at maxY, or at minY for an
    // upright drawing in a flipped context.
    double sx = destination.width() / source.width(), sy = destination.height() / source.height();
    AffineTransform map = flipped ? AffineTransform { sx, 0, 0, -sy, destination.minX() - source.minX() * sx,
        destination.minY() + source.maxY() * sy }
                                  : AffineTransform { sx, 0, 0, sy, destination.minX() - source.minX() * sx,
                                        destination.minY() - source.minY() * sy };
    if (m_flipped)
        map = concatenated(AffineTransform { 1, 0, 0, -1, 0, s.height }, map);

    // The handler draws into the current context, so this one is made current for it, flipped as the picture is
    // drawn (text and arcs follow the flag): whatever the context drawn into, as whole or through a bitmap.
    CurrentContextScope scope(context.shared_from_this());
    context.saveGraphicsState();
    const bool wasFlipped = context.isFlipped();
    context.setFlipped(m_flipped);
    context.clipToRect(destination);
    context.concatCTM(map);
    m_handler(Rect({}, s));
    context.setFlipped(wasFlipped);
    context.restoreGraphicsState();
}

}
