#include "platform/graphics/ThreePartImage.h"

#include "platform/graphics/Axis.h"
#include "platform/graphics/Image.h"

#include <algorithm>

namespace gfx {

namespace {

void threePartDrawPiece(
    GraphicsContext& context, const Image& image, const Rect& r, CompositingOperation op, double alpha, bool flipped)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const bool upsideDown = (flipped != context.isFlipped()) != image.isFlipped();
    if (!upsideDown) {
        image.drawInRect(r, {}, op, alpha, true);
        return;
    }
    GraphicsStateGuard guard;
    context.translateCTM(0, r.minY() + r.maxY());
    context.scaleCTM(1, -1);
    image.drawInRect(r, {}, op, alpha, true);
}

}

void drawThreePartImage(const Rect& frame, const Image* startCap, const Image* centerFill, const Image* endCap,
    bool vertical, CompositingOperation op, double alpha, bool flipped)
{
    auto* context = GraphicsContext::current();
    if (!context || (!startCap && !centerFill && !endCap) || frame.width() <= 0 || frame.height() <= 0)
        return;
    const auto axis = vertical ? Axis::Y : Axis::X;
    const double length = lengthAlong(frame, axis);
    auto capLength = [&](const Image* cap) { return cap ? std::min(along(cap->size(), axis), length / 2) : 0.0; };
    const double startLength = capLength(startCap);
    const double endLength = capLength(endCap);
    Rect start, middle, end;
    if (!vertical) {
        start = { frame.minX(), frame.minY(), startLength, frame.height() };
        end = { frame.maxX() - endLength, frame.minY(), endLength, frame.height() };
        middle = { start.maxX(), frame.minY(), end.minX() - start.maxX(), frame.height() };
    } else {
        // The start cap is the top one: at minY in top-down coordinates, at maxY otherwise.
        const double top = flipped ? frame.minY() : frame.maxY() - startLength;
        const double bottom = flipped ? frame.maxY() - endLength : frame.minY();
        start = { frame.minX(), top, frame.width(), startLength };
        end = { frame.minX(), bottom, frame.width(), endLength };
        const double lo = flipped ? start.maxY() : end.maxY();
        const double hi = flipped ? end.minY() : start.minY();
        middle = { frame.minX(), lo, frame.width(), hi - lo };
    }
    if (centerFill)
        threePartDrawPiece(*context, *centerFill, middle, op, alpha, flipped);
    if (startCap)
        threePartDrawPiece(*context, *startCap, start, op, alpha, flipped);
    if (endCap)
        threePartDrawPiece(*context, *endCap, end, op, alpha, flipped);
}

}
