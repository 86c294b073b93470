#include "platform/graphics/detail/VectorDrawing.h"

#include "platform/graphics/detail/GraphicsContextImpl.h"

#include <algorithm>

namespace gfx::detail {

void drawVectorContent(GraphicsContext& context, Size contentSize, Size repSize, const Rect& destination,
    const Rect& from, CompositingOperation op, double fraction, bool flipped,
    const std::function<void(cairo_t*)>& paint)
{
    auto& impl = context.impl();
    if (!impl.isLive() || destination.isEmpty() || !(fraction > 0) || contentSize.width <= 0 || contentSize.height <= 0)
        return;
    Rect source = from.isEmpty() ? Rect({}, contentSize) : from;
    if (!from.isEmpty() && repSize.width > 0 && repSize.height > 0) {
        double kx = contentSize.width / repSize.width, ky = contentSize.height / repSize.height;
        source = { from.minX() * kx, from.minY() * ky, from.width() * kx, from.height() * ky };
    }
    double sx = destination.width() / source.width();
    double sy = destination.height() / source.height();

    auto& state = impl.state();
    auto previousOp = state.op;
    double previousAlpha = state.alpha;
    state.op = op;
    state.alpha = previousAlpha * std::min(fraction, 1.0);
    impl.render([&](cairo_t* c, cairo_operator_t cop) {
        cairo_save(c);
        cairo_new_path(c);
        cairo_rectangle(c, destination.minX(), destination.minY(), destination.width(), destination.height());
        cairo_clip(c);
        if (flipped) {
            cairo_translate(c, destination.minX(), destination.minY());
            cairo_scale(c, sx, sy);
        } else {
            cairo_translate(c, destination.minX(), destination.maxY());
            cairo_scale(c, sx, -sy);
        }
        // The source's top edge, measured down from the picture's top.
        cairo_translate(c, -source.minX(), -(contentSize.height - source.maxY()));
        if (cop == CAIRO_OPERATOR_OVER) {
            paint(c);
        } else {
            // The picture draws with its own operators; the asked-for one applies to the finished picture.
            cairo_push_group(c);
            paint(c);
            cairo_pop_group_to_source(c);
            cairo_set_operator(c, cop);
            cairo_paint(c);
        }
        cairo_restore(c);
    });
    state.op = previousOp;
    state.alpha = previousAlpha;
}

}
