#pragma once

#include <cmath>

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

namespace gfx {

// A drop shadow for later drawing. Offset and blur radius are in base space (points, +y up), unaffected by the
// current transform. A new shadow is black at one third alpha, no offset, no blur.
class Shadow : public fnd::Object, public fnd::Coding {
    FND_OBJECT(Shadow)
public:
    Shadow();

    Size shadowOffset() const { return m_offset; }
    // An offset or radius that is not finite is ignored, as decoding refuses one.
    void setShadowOffset(Size s)
    {
        if (std::isfinite(s.width) && std::isfinite(s.height))
            m_offset = s;
    }
    // Negative radii are taken as 0.
    double shadowBlurRadius() const { return m_blurRadius; }
    void setShadowBlurRadius(double r)
    {
        if (!std::isinf(r))
            m_blurRadius = r > 0 ? r : 0;
    }
    // nullptr draws no shadow.
    const ColorPtr& shadowColor() const { return m_color; }
    void setShadowColor(ColorPtr c) { m_color = std::move(c); }

    // Makes this the shadow of the current graphics context.
    void set() const;

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override { return std::hash<double>()(m_blurRadius); }

    // Keyed: "NSShadowOffset" (size), "NSShadowBlurRadius", "NSShadowColor"; sequential: the same in that order.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    Size m_offset;
    double m_blurRadius { 0 };
    ColorPtr m_color;
};

}
