#include "frameworks/AppKitExtensions/ZORLayoutManager.h"

FND_REGISTER_CLASS(ZORLayoutManager, txt::LayoutManager)

// Any layout manager's default line height is the font's own; the barcode engine asks the text layer directly.
double ZORLayoutManager::lineHeightForFont(const gfx::Font& font)
{
    return txt::defaultLineHeight(font);
}
