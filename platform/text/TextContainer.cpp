#include "platform/text/TextContainer.h"

#include "platform/text/LayoutManager.h"

namespace txt {

FND_REGISTER_CLASS(TextContainer, fnd::Object)

void TextContainer::setContainerSize(gfx::Size size)
{
    if (size == m_size)
        return;
    m_size = size;
    invalidateLayout();
}

void TextContainer::setLineFragmentPadding(double padding)
{
    if (padding == m_padding)
        return;
    m_padding = padding;
    invalidateLayout();
}

void TextContainer::invalidateLayout()
{
    if (auto manager = m_layoutManager.lock())
        manager->invalidateLayout();
}

}
