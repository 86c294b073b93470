// Reads arbitrary bytes as a keyed archive of a tab bar control's style, through the decoder of a style the registry
// makes (every registered look, picked by the input's length), then draws a horizontal and a vertical bar with
// whatever it decoded.
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"

#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// One bar over one tab view of three tabs serves every input: an input only brings the style. The canvas is the
// bar's size: the style draws nothing outside the bar. Only the first tab has a title: laying out and drawing the
// same fixed titles again would cost more than all that the input decides.
struct TabStyleFuzzBar {
    std::shared_ptr<ZTBTabBarControl> bar = ZTBTabBarControl::create({ 0, 0, 300, 22 });
    std::shared_ptr<ui::TabView> tabView = ui::TabView::create({ 0, 22, 300, 100 });
    std::shared_ptr<gfx::GraphicsContext> canvas = gfx::GraphicsContext::createForBitmap(300, 22);
    // What the bar holds between inputs, horizontal: an input that left its own style and orientation behind would
    // end with more blocks than it began with, and libFuzzer would take every such input for a leak to look into.
    std::shared_ptr<ZTBTabStyle> restingStyle = bar->style();

    TabStyleFuzzBar()
    {
        bar->setTabView(tabView);
        tabView->setDelegate(bar);
        for (int i = 0; i < 3; ++i) {
            auto item = ui::TabViewItem::create();
            item->setLabel(i == 0 ? fnd::String("Tab") : fnd::String());
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
    // Bytes that are no keyed archive at all give the decoder nothing to read: every such input would only draw the
    // same default style.
    fnd::KeyedUnarchiver coder(data);
    if (coder.hasFailed())
        return 0;
    static const auto names = ZTBTabStyleRegistry::shared().registeredNames();
    const auto& name = names[size % names.size()];
    auto style = ZTBTabStyleRegistry::shared().makeStyle(name);
    if (!style || style->name() != name)
        std::abort();
    style->initWithCoder(coder);
    // Taking the style lays the bar out horizontally, then vertically.
    bar.setStyle(style);
    for (int orientation : { 0, 1 }) {
        bar.setOrientation(orientation);
        const double height = style->tabCellHeight();
        if (!std::isfinite(height) || height <= 0)
            std::abort();
        gfx::CurrentContextScope scope(shared->canvas);
        style->drawTabBar(bar, bar.bounds());
    }
    // Without its tab view the bar takes its resting style and orientation back without laying itself out; the next
    // input's style lays it out again.
    bar.setTabView(nullptr);
    bar.setStyle(shared->restingStyle);
    bar.setOrientation(0);
    bar.setTabView(shared->tabView);
    return 0;
}
