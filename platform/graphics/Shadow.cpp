#include "platform/graphics/Shadow.h"

#include "platform/graphics/GraphicsContext.h"

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
