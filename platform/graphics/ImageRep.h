#pragma once

#include "platform/foundation/Geometry.h"
#include "platform/foundation/Object.h"

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
