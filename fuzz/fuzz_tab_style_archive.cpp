// Reads arbitrary bytes as a keyed archive of the capsule tab style, the one look that stores settings, then draws a
// horizontal and a vertical bar with whatever it decoded.
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"

#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const fnd::Data data(bytes, size);
    auto style = fnd::makeObject<ZTBCapsuleTabStyle>();
    fnd::KeyedUnarchiver coder(data);
    style->initWithCoder(coder);
    auto bar = ZTBTabBarControl::create({ 0, 0, 300, 22 });
    bar->setStyle(style);
    auto tabView = ui::TabView::create({ 0, 22, 300, 100 });
    bar->setTabView(tabView);
    tabView->setDelegate(bar);
    for (int i = 0; i < 3; ++i) {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("Tab " + std::to_string(i)));
        tabView->addTabViewItem(item);
    }
    for (int orientation : { 0, 1 }) {
        bar->setOrientation(orientation);
        bar->update(false);
        if (style->tabCellHeight() != (orientation == 1 ? 28.0 : 22.0))
            std::abort();
        auto context = gfx::GraphicsContext::createForBitmap(300, 100);
        gfx::CurrentContextScope scope(context);
        style->drawTabBar(*bar, bar->bounds());
    }
    tabView->setDelegate(nullptr);
    return 0;
}
