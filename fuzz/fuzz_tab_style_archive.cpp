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

namespace {

// One bar over one tab view of three tabs serves every input: an input only brings the style.
struct TabStyleFuzzBar {
    std::shared_ptr<ZTBTabBarControl> bar = ZTBTabBarControl::create({ 0, 0, 300, 22 });
    std::shared_ptr<ui::TabView> tabView = ui::TabView::create({ 0, 22, 300, 100 });
    std::shared_ptr<gfx::GraphicsContext> canvas = gfx::GraphicsContext::createForBitmap(300, 100);

    TabStyleFuzzBar()
    {
        bar->setTabView(tabView);
        tabView->setDelegate(bar);
        for (int i = 0; i < 3; ++i) {
            auto item = ui::TabViewItem::create();
            item->setLabel(fnd::String("Tab " + std::to_string(i)));
            tabView->addTabViewItem(item);
        }
    }
};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // Kept for the whole run and never destroyed: at exit the runtime's own statics go first.
    static auto* shared = new TabStyleFuzzBar;
    auto& bar = *shared->bar;

    const fnd::Data data(bytes, size);
    auto style = fnd::makeObject<ZTBCapsuleTabStyle>();
    fnd::KeyedUnarchiver coder(data);
    style->initWithCoder(coder);
    bar.setStyle(style);
    for (int orientation : { 0, 1 }) {
        bar.setOrientation(orientation);
        bar.update(false);
        if (style->tabCellHeight() != (orientation == 1 ? 28.0 : 22.0))
            std::abort();
        gfx::CurrentContextScope scope(shared->canvas);
        style->drawTabBar(bar, bar.bounds());
    }
    return 0;
}
