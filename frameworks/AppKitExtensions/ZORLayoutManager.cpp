#include "frameworks/AppKitExtensions/ZORLayoutManager.h"

#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

FND_REGISTER_CLASS(ZORLayoutManager, txt::LayoutManager)

namespace {

// An off-screen text system built at the first call and kept for the process; used from the main thread only.
struct LineHeightTextSystem {
    std::shared_ptr<txt::TextStorage> storage = std::make_shared<txt::TextStorage>("Here's");
    std::shared_ptr<ZORLayoutManager> manager = fnd::makeObject<ZORLayoutManager>();
    std::shared_ptr<txt::TextContainer> container = std::make_shared<txt::TextContainer>(gfx::Size { 1e7, 1e7 });

    LineHeightTextSystem()
    {
        manager->setUsesScreenFonts(false);
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
    }
};

ZORLayoutManager& sharedLayoutManager()
{
    static const LineHeightTextSystem system;
    return *system.manager;
}

}

double ZORLayoutManager::lineHeightForFont(const gfx::Font& font)
{
    return sharedLayoutManager().defaultLineHeightForFont(font);
}
