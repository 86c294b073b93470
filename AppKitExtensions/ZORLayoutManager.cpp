#include "AppKitExtensions/ZORLayoutManager.h"

FND_REGISTER_CLASS(ZORLayoutManager, txt::LayoutManager)

namespace {

// Built at the first call and kept for the process; used from the main thread only.
ZORLayoutManager& sharedLayoutManager()
{
    static const auto manager = fnd::makeObject<ZORLayoutManager>();
    return *manager;
}

}

double ZORLayoutManager::lineHeightForFont(const gfx::Font& font)
{
    return sharedLayoutManager().defaultLineHeightForFont(font);
}
