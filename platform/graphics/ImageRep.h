#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/GraphicsContext.h"

namespace gfx {

// One picture of an image: a bitmap, a vector page, or a drawing handler. Its size is in points; a bitmap also has
// a pixel size, and the two together give its resolution.
class ImageRep : public fnd::Object {
    FND_OBJECT(ImageRep)
public:
    ImageRep() = default;

    Size size() const { return m_size; }
    void setSize(Size size) { m_size = size; }

    // Pixels for a bitmap; 0 for reps that have none (vector pages, drawing handlers).
    long pixelsWide() const { return m_pixelsWide; }
    long pixelsHigh() const { return m_pixelsHigh; }

    virtual bool hasAlpha() const { return m_hasAlpha; }
    bool isOpaque() const { return m_isOpaque; }
    void setOpaque(bool opaque) { m_isOpaque = opaque; }

    // Draws the part `from` of the rep (points in its own y-up space; the empty rectangle means all of it) into
    // `destination` of the context. With `flipped` the rep's top edge lies at destination.minY, so it stands upright
    // in a flipped context; otherwise at maxY.
    virtual void drawInRect(GraphicsContext& context, const Rect& destination, const Rect& from,
        CompositingOperation op, double fraction, bool flipped) const;

    // The platform's short forms, into the current context (false when there is none): the whole rep at its size
    // at the origin or at a point, or stretched into a rectangle, upright whatever the context's flippedness.
    bool draw() const { return drawAtPoint({}); }
    bool drawAtPoint(Point point) const { return drawInRect(Rect(point, m_size)); }
    bool drawInRect(const Rect& rect) const;

protected:
    void setPixelSize(long wide, long high)
    {
        m_pixelsWide = wide;
        m_pixelsHigh = high;
    }
    void setHasAlpha(bool hasAlpha) { m_hasAlpha = hasAlpha; }

private:
    Size m_size;
    long m_pixelsWide { 0 };
    long m_pixelsHigh { 0 };
    bool m_hasAlpha { false };
    bool m_isOpaque { false };
};

}
