#include "platform/graphics/Shadow.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>

namespace gfx {

FND_REGISTER_CLASS(Shadow, fnd::Object)

Shadow::Shadow()
    : m_color(Color::colorWithCalibratedWhite(0, 1.0 / 3.0))
{
}

void Shadow::set() const
{
    if (auto* context = GraphicsContext::current())
        context->setShadow(*this);
}

bool Shadow::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const Shadow*>(&other);
    if (!o || m_offset != o->m_offset || m_blurRadius != o->m_blurRadius)
        return false;
    if (!m_color || !o->m_color)
        return m_color == o->m_color;
    return m_color->isEqual(*o->m_color);
}

}

namespace gfx {

void Shadow::encodeWithCoder(fnd::Coder& coder) const
{
    fnd::Value color = m_color ? fnd::Value(m_color) : fnd::Value();
    if (coder.allowsKeyedCoding()) {
        coder.encodeSize(m_offset, "NSShadowOffset");
        coder.encodeDouble(m_blurRadius, "NSShadowBlurRadius");
        coder.encodeObject(color, "NSShadowColor");
        return;
    }
    coder.encodeSize(m_offset);
    coder.encodeValueOfObjCType('d', fnd::Number(m_blurRadius));
    coder.encodeObject(color);
}

bool Shadow::initWithCoder(fnd::Coder& coder)
{
    const bool keyed = coder.allowsKeyedCoding();
    Size offset = keyed ? coder.decodeSizeForKey("NSShadowOffset") : coder.decodeSize();
    double blur
        = keyed ? coder.decodeDoubleForKey("NSShadowBlurRadius") : coder.decodeValueOfObjCType('d').doubleValue();
    auto color
        = keyed ? fnd::decodeObjectOfClass<Color>(coder, "NSShadowColor") : fnd::decodeObjectOfClass<Color>(coder);
    if (coder.hasFailed())
        return false;
    if (!std::isfinite(offset.width) || !std::isfinite(offset.height) || !std::isfinite(blur)) {
        fnd::failDecoding(coder, "a shadow's offset or blur is not a finite number");
        return false;
    }
    m_offset = offset;
    setShadowBlurRadius(blur);
    m_color = std::move(color);
    return true;
}

}
