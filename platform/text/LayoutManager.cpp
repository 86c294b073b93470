#include "platform/text/LayoutManager.h"

namespace txt {

FND_REGISTER_CLASS(LayoutManager, fnd::Object)

double LayoutManager::defaultLineHeightForFont(const gfx::Font& font) const
{
    return font.ascender() - font.descender() + font.leading();
}

}
